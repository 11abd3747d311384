#include "sync/programs.hpp"

#include <algorithm>
#include <cstring>
#include <memory>

#include "link/messages.hpp"
#include "sync/sync_session.hpp"

namespace veyra {
namespace {

constexpr int kOne = 1;  // a single attempt

int Channels(const ParameterStore& store) { return store.InputCount + store.OutputCount; }

// The checks every program operation starts with; nothing when it may go on.
std::optional<SyncResult> Refused(const SyncSession& s, const ParameterStore& store, int program) {
  if (program < 1 || program > kPresetCount) return s.Finish(SyncStatus::BadProgram);
  if (store.System.LockState != 0) return s.Finish(SyncStatus::Locked);
  return std::nullopt;
}

bool SendCurrentProgram(SyncSession& s) {
  return s.Step(WriteCommand, 0, SystemItem::CurrentProgram, SystemBlock, 0);
}

// Upload or download all programs; reads go into `store` (the caller's copy).
SyncResult TransferAll(ParameterStore& store, DeviceLink& link, const SyncControl& control, uint8_t command,
                       const char* successText) {
  SyncSession s(store, link, control, kPresetCount * Channels(store));
  if (store.System.LockState != 0) return s.Finish(SyncStatus::Locked);
  if (store.Online == 0) return s.Finish(SyncStatus::Offline, successText);
  const uint8_t group = command == ReadCommand ? ReadAll : AllGroups;
  for (int q = 1; q <= kPresetCount; ++q) {
    // The name goes first on an upload, without a second attempt.
    if (command == WriteCommand && !s.Step(WriteCommand, q, SystemItem::PresetName, SystemBlock, 0, kOne, false))
      return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
    for (const uint8_t block : {InputBlock, OutputBlock}) {
      const int count = block == InputBlock ? store.InputCount : store.OutputCount;
      for (int ch = 0; ch < count; ++ch) {
        if (!s.Step(command, q, ch, block, group, SyncSession::kTransferAttempts))
          return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
      }
    }
  }
  return s.Finish(SyncStatus::Success, successText, kPollAfterWritesMs);
}

}  // namespace

SyncResult SavePresetToDevice(ParameterStore& store, DeviceLink& link, int program,
                              std::optional<std::string_view> name, const SyncControl& control) {
  SyncSession s(store, link, control, 1 + Channels(store));
  if (auto refused = Refused(s, store, program)) return *refused;
  PresetSlot& slot = store.Preset(program);
  if (name) {
    std::memset(slot.Name, 0, sizeof slot.Name);
    std::memcpy(slot.Name, name->data(), std::min(name->size(), sizeof slot.Name));
  }
  if (store.Online == 0) {
    CopyLiveToPreset(store, program);
    return s.Finish(SyncStatus::Offline, kSaveSuccessText);
  }
  if (!s.Step(WriteCommand, program, SystemItem::PresetName, SystemBlock, 0))
    return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
  for (int i = 0; i < store.InputCount; ++i) {
    slot.Inputs[i] = store.Inputs[i];
    if (!s.Step(WriteCommand, program, i, InputBlock, AllGroups))
      return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
  }
  for (int j = 0; j < store.OutputCount; ++j) {
    slot.Outputs[j] = store.Outputs[j];
    if (!s.Step(WriteCommand, program, j, OutputBlock, AllGroups))
      return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
  }
  return s.Finish(SyncStatus::Success, kSaveSuccessText, kPollAfterWritesMs);
}

SyncResult RecallPresetFromDevice(ParameterStore& store, DeviceLink& link, int program,
                                  const SyncControl& control) {
  SyncSession s(store, link, control, 1 + 2 * Channels(store));
  if (auto refused = Refused(s, store, program)) return *refused;
  if (store.Online == 0) {
    store.System.CurrentProgram = static_cast<uint8_t>(program);
    CopyPresetToLive(store, program);
    return s.Finish(SyncStatus::Offline, kRecallSuccessText);
  }
  auto work = std::make_unique<ParameterStore>(store);
  s.UseStore(*work);
  work->System.CurrentProgram = static_cast<uint8_t>(program);
  if (!SendCurrentProgram(s)) return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
  PresetSlot& slot = work->Preset(program);
  for (int i = 0; i < work->InputCount; ++i) {
    if (!s.Step(ReadCommand, program, i, InputBlock, ReadAll))
      return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
    work->Inputs[i] = slot.Inputs[i];
    if (!s.Step(WriteCommand, 0, i, InputBlock, AllGroups))
      return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
  }
  for (int j = 0; j < work->OutputCount; ++j) {
    if (!s.Step(ReadCommand, program, j, OutputBlock, ReadAll))
      return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
    work->Outputs[j] = slot.Outputs[j];
    if (!s.Step(WriteCommand, 0, j, OutputBlock, AllGroups))
      return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
  }
  store = *work;
  return s.Finish(SyncStatus::Success, kRecallSuccessText, kPollAfterWritesMs);
}

SyncResult RecallPresetFromFile(ParameterStore& store, DeviceLink& link, int program, const SyncControl& control) {
  SyncSession s(store, link, control, 2 + 2 * Channels(store));
  if (auto refused = Refused(s, store, program)) return *refused;
  store.System.CurrentProgram = static_cast<uint8_t>(program);
  if (store.Online == 0) {
    CopyPresetToLive(store, program);
    return s.Finish(SyncStatus::Offline, kRecallSuccessText);
  }
  if (!SendCurrentProgram(s)) return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
  CopyPresetToLive(store, program);
  if (!s.Step(WriteCommand, program, SystemItem::PresetName, SystemBlock, 0))
    return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
  for (const uint8_t block : {InputBlock, OutputBlock}) {
    const int count = block == InputBlock ? store.InputCount : store.OutputCount;
    for (int ch = 0; ch < count; ++ch) {
      // Into the stored program, then as the live settings.
      if (!s.Step(WriteCommand, program, ch, block, AllGroups) || !s.Step(WriteCommand, 0, ch, block, AllGroups))
        return s.Failed(SyncStatus::NoReply, {}, kPollAfterWritesMs);
    }
  }
  return s.Finish(SyncStatus::Success, kRecallSuccessText, kPollAfterWritesMs);
}

SyncResult DownloadAllPresets(ParameterStore& store, DeviceLink& link, const SyncControl& control) {
  if (store.Online == 0 || store.System.LockState != 0)
    return TransferAll(store, link, control, ReadCommand, kDownloadAllSuccessText);
  auto work = std::make_unique<ParameterStore>(store);
  SyncResult result = TransferAll(*work, link, control, ReadCommand, kDownloadAllSuccessText);
  if (result.ok()) store = *work;
  return result;
}

SyncResult UploadAllPresets(ParameterStore& store, DeviceLink& link, const SyncControl& control) {
  return TransferAll(store, link, control, WriteCommand, kUploadAllSuccessText);
}

}  // namespace veyra
