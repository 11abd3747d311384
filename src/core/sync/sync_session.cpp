#include "sync/sync_session.hpp"

#include <algorithm>
#include <thread>

#include "link/messages.hpp"

namespace veyra {

const char* SyncStatusName(SyncStatus status) {
  switch (status) {
    case SyncStatus::Success:
      return "success";
    case SyncStatus::Offline:
      return "offline";
    case SyncStatus::AlreadyOnline:
      return "already online";
    case SyncStatus::Locked:
      return "locked";
    case SyncStatus::OpenFailed:
      return "open failed";
    case SyncStatus::NoModelCode:
      return "no model code";
    case SyncStatus::UnknownModel:
      return "unknown model";
    case SyncStatus::ConnectError:
      return "connect error";
    case SyncStatus::NoReply:
      return "no reply";
    case SyncStatus::Cancelled:
      return "cancelled";
    case SyncStatus::BadProgram:
      return "bad program number";
  }
  return "?";
}

bool SyncSession::CancelRequested() const {
  return control_.Cancel != nullptr && control_.Cancel->load(std::memory_order_relaxed);
}

namespace {

// Copies the record a reply with this address fills (ApplyDataReply's choice).
void CopyRecord(ParameterStore& to, const ParameterStore& from, uint8_t slot, uint8_t block,
                uint8_t channel) {
  if (block == SystemBlock) {
    if (channel == SystemItem::PresetName) {
      if (slot >= 1 && slot <= kPresetCount)
        std::memcpy(to.Preset(slot).Name, from.Preset(slot).Name, kPresetNameBytes);
    } else {
      to.System = from.System;
      to.DeviceId = from.DeviceId;
    }
    return;
  }
  if (slot > kPresetCount || channel >= kChannelSlots) return;
  if (block == InputBlock) {
    (slot ? to.Preset(slot).Inputs : to.Inputs)[channel] =
        (slot ? from.Preset(slot).Inputs : from.Inputs)[channel];
  } else if (block == OutputBlock) {
    (slot ? to.Preset(slot).Outputs : to.Outputs)[channel] =
        (slot ? from.Preset(slot).Outputs : from.Outputs)[channel];
  }
}

bool SameRecord(const FrameFields& reply, uint8_t slot, uint8_t block, uint8_t channel) {
  if (reply.Block != block || reply.Channel != channel) return false;
  // Only the preset name of the system items is chosen by the slot byte.
  return reply.Slot == slot || (block == SystemBlock && channel != SystemItem::PresetName);
}

}  // namespace

bool SyncSession::Send(uint8_t command, uint8_t slot, uint8_t channel, uint8_t block, uint8_t group) {
  std::vector<uint8_t> payload;
  if (command == WriteCommand) {
    auto built = BuildWritePayload(*store_, slot, block, channel, group);
    if (!built) {
      ++unanswered_;
      return false;
    }
    payload = std::move(*built);
  }
  const std::vector<uint8_t> frame =
      BuildFrame(command, store_->DeviceId, slot, block, channel, group, payload);
  if (!scratch_) scratch_ = std::make_unique<ParameterStore>(*store_);
  CopyRecord(*scratch_, *store_, slot, block, channel);
  const ExchangeResult exchange = link_.Exchange(*scratch_, frame);
  const FrameFields& reply = exchange.Reply.Fields;
  // The link keeps no payload size after parsing; Malformed is the sign that
  // the length field, the bytes carried and the layout disagree.
  const bool answered = exchange.accepted() && !exchange.Reply.Malformed &&
                        (!exchange.Reply.Stored || SameRecord(reply, slot, block, channel));
  if (exchange.Reply.Stored) {
    // Take the answer over, or undo what a rejected reply wrote.
    if (answered) {
      CopyRecord(*store_, *scratch_, slot, block, channel);
    } else {
      CopyRecord(*scratch_, *store_, reply.Slot, reply.Block, reply.Channel);
    }
  }
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
size_t Records(int32_t count) {
  return static_cast<size_t>(std::clamp<int32_t>(count, 0, kChannelSlots));
}
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
