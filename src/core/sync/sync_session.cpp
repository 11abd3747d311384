#include "sync/sync_session.hpp"

#include <algorithm>
#include <thread>

namespace veyra {

const char* SyncStatusName(SyncStatus status) {
  switch (status) {
    case SyncStatus::Success: return "success";
    case SyncStatus::Offline: return "offline";
    case SyncStatus::AlreadyOnline: return "already online";
    case SyncStatus::Locked: return "locked";
    case SyncStatus::OpenFailed: return "open failed";
    case SyncStatus::NoModelCode: return "no model code";
    case SyncStatus::UnknownModel: return "unknown model";
    case SyncStatus::ConnectError: return "connect error";
    case SyncStatus::NoReply: return "no reply";
    case SyncStatus::Cancelled: return "cancelled";
    case SyncStatus::BadProgram: return "bad program number";
  }
  return "?";
}

bool SyncSession::CancelRequested() const {
  return control_.Cancel != nullptr && control_.Cancel->load(std::memory_order_relaxed);
}

bool SyncSession::Send(uint8_t command, uint8_t slot, uint8_t channel, uint8_t block, uint8_t group) {
  const bool answered = SendFrame(*store_, link_, command, store_->DeviceId, slot, channel, block, group);
  ++(answered ? answered_ : unanswered_);
  return answered;
}

bool SyncSession::SendWithRetry(uint8_t command, uint8_t slot, uint8_t channel, uint8_t block, uint8_t group,
                                int attempts) {
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(kRetryGap);
    if (Send(command, slot, channel, block, group)) return true;
  }
  return false;
}

void SyncSession::Advance() {
  ++done_;
  if (control_.Progress) control_.Progress(done_, total_);
}

bool SyncSession::Step(uint8_t command, int slot, int channel, uint8_t block, uint8_t group, int attempts,
                       bool advance) {
  if (CancelRequested()) {
    cancelled_ = true;
    return false;
  }
  const auto s = static_cast<uint8_t>(slot), ch = static_cast<uint8_t>(channel);
  const bool answered = attempts > 1 ? SendWithRetry(command, s, ch, block, group, attempts)
                                     : Send(command, s, ch, block, group);
  if (advance) Advance();
  return answered;
}

SyncResult SyncSession::Failed(SyncStatus status, std::string message, int restartPollMs) const {
  if (cancelled_) return Finish(SyncStatus::Cancelled, {}, restartPollMs);
  return Finish(status, std::move(message), restartPollMs);
}

SyncResult SyncSession::Finish(SyncStatus status, std::string message, int restartPollMs) const {
  SyncResult result;
  result.Status = status;
  result.Message = std::move(message);
  result.RestartPollMs = restartPollMs;
  result.Exchanges = answered_;
  result.Unanswered = unanswered_;
  return result;
}

namespace {
size_t Records(int32_t count) { return static_cast<size_t>(std::clamp<int32_t>(count, 0, kChannelSlots)); }
}  // namespace

void CopyLiveToPreset(ParameterStore& store, int program) {
  PresetSlot& slot = store.Preset(program);
  std::memcpy(slot.Inputs, store.Inputs, sizeof(InputChannel) * Records(store.InputCount));
  std::memcpy(slot.Outputs, store.Outputs, sizeof(OutputChannel) * Records(store.OutputCount));
}

void CopyPresetToLive(ParameterStore& store, int program) {
  const PresetSlot& slot = store.Preset(program);
  std::memcpy(store.Inputs, slot.Inputs, sizeof(InputChannel) * Records(store.InputCount));
  std::memcpy(store.Outputs, slot.Outputs, sizeof(OutputChannel) * Records(store.OutputCount));
}

}  // namespace veyra
