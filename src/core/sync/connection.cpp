#include "sync/connection.hpp"

#include <cstring>
#include <memory>

#include "link/messages.hpp"
#include "state/device_text.hpp"
#include "state/models.hpp"
#include "sync/sync_session.hpp"

namespace veyra {
namespace {

constexpr uint8_t kSettingItems[] = {SystemItem::BackLight, SystemItem::DeviceId, SystemItem::Temperature,
                                     SystemItem::CurrentProgram};

// Sends every live input and then every live output channel of the model as
// a whole channel. Goes on past an unanswered channel; stops when the device
// is gone or the caller cancels.
SyncResult SendLiveChannels(ParameterStore& store, DeviceLink& link, const SyncControl& control) {
  SyncSession s(store, link, control, store.InputCount + store.OutputCount);
  for (const uint8_t block : {InputBlock, OutputBlock}) {
    const int count = block == InputBlock ? store.InputCount : store.OutputCount;
    for (int ch = 0; ch < count; ++ch) {
      if (!link.IsOpen()) return s.Finish(SyncStatus::NoReply, {}, kPollAfterWritesMs);
      if (!s.Step(WriteCommand, 0, ch, block, AllGroups) && s.CancelRequested())
        return s.Failed(SyncStatus::Cancelled, {}, kPollAfterWritesMs);
    }
  }
  SyncResult result = s.Finish(SyncStatus::Success, {}, kPollAfterWritesMs);
  if (result.Unanswered > 0) result.Status = SyncStatus::NoReply;
  return result;
}

}  // namespace

int ConnectionExchanges(int inputs, int outputs) {
  // Model code, three system items, 30 names, 30 programs, four settings, the live channels.
  return 1 + 3 + kPresetCount + kPresetCount * (inputs + outputs) + 4 + (inputs + outputs);
}

ConnectionResult ConnectionSequence(ParameterStore& store, DeviceLink& link, const SyncControl& control) {
  ConnectionResult result;
  result.Model = store.CurrentModel;
  if (store.Online != 0) {
    result.Status = SyncStatus::AlreadyOnline;
    result.Message = kAlreadyConnectText;
    return result;
  }
  const OpenResult opened = link.Open();
  if (!opened.ok()) {
    result.Status = SyncStatus::OpenFailed;
    result.Message = ConnectionFailedText(opened);
    return result;
  }

  // Everything is read into a copy; the store changes only when all arrived.
  auto work = std::make_unique<ParameterStore>(store);
  SyncSession s(*work, link, control, ConnectionExchanges(work->InputCount, work->OutputCount));
  auto read = [&](int slot, int channel, uint8_t block, uint8_t group) {
    return s.Step(ReadCommand, slot, channel, block, group);
  };
  auto fail = [&](SyncStatus status, const char* message) {
    // A model code that is not answered is not worth keeping the device open
    // for either: the next connection opens it again.
    link.Close();
    static_cast<SyncResult&>(result) = s.Failed(status, message ? message : "");
    return result;
  };

  if (!read(0, SystemItem::ModelCode, SystemBlock, 0)) return fail(SyncStatus::NoModelCode, nullptr);
  const auto model = ModelFromDeviceCode(FieldText(work->System.ModelCode));
  if (!model) return fail(SyncStatus::UnknownModel, kDeviceTypeNotSelectedText);
  const bool modelChanged = SwitchModel(*work, *model);
  s.SetTotal(ConnectionExchanges(work->InputCount, work->OutputCount));

  if (!read(0, SystemItem::VersionText1, SystemBlock, 0)) return fail(SyncStatus::ConnectError, kConnectErrorText);
  if (!read(0, SystemItem::VersionText2, SystemBlock, 0) || !read(0, SystemItem::Lock, SystemBlock, 0))
    return fail(SyncStatus::NoReply, nullptr);
  for (int p = 1; p <= kPresetCount; ++p) {
    if (!read(p, SystemItem::PresetName, SystemBlock, 0)) return fail(SyncStatus::NoReply, nullptr);
  }
  auto readChannels = [&](int slot) {
    for (int i = 0; i < work->InputCount; ++i)
      if (!read(slot, i, InputBlock, ReadAll)) return false;
    for (int j = 0; j < work->OutputCount; ++j)
      if (!read(slot, j, OutputBlock, ReadAll)) return false;
    return true;
  };
  for (int p = 1; p <= kPresetCount; ++p) {
    if (!readChannels(p)) return fail(SyncStatus::NoReply, nullptr);
  }
  for (const uint8_t item : kSettingItems) {
    if (!read(0, item, SystemBlock, 0)) return fail(SyncStatus::NoReply, nullptr);
  }
  if (!readChannels(0)) return fail(SyncStatus::NoReply, nullptr);

  work->Online = 1;
  store = *work;
  static_cast<SyncResult&>(result) = s.Finish(SyncStatus::Success, {}, kPollAfterConnectMs);
  result.ModelChanged = modelChanged;
  result.Model = store.CurrentModel;
  result.DeviceOpen = true;
  return result;
}

SyncResult PollMeters(ParameterStore& store, DeviceLink& link) {
  SyncControl none;
  if (store.Online == 0) return SyncSession(store, link, none, 0).Finish(SyncStatus::Offline);
  // Whatever else the reply might carry, only the meters are taken.
  auto work = std::make_unique<ParameterStore>(store);
  SyncSession s(*work, link, none, 1);
  if (!s.Send(ReadCommand, 0, SystemItem::Meters, SystemBlock, 0)) return s.Finish(SyncStatus::NoReply);
  std::memcpy(store.System.InputMeters, work->System.InputMeters, sizeof store.System.InputMeters);
  std::memcpy(store.System.OutputMeters, work->System.OutputMeters, sizeof store.System.OutputMeters);
  return s.Finish(SyncStatus::Success);
}

SyncResult FactoryReset(ParameterStore& store, DeviceLink& link, const SyncControl& control) {
  if (store.System.LockState != 0) return SyncSession(store, link, control, 0).Finish(SyncStatus::Locked);
  ApplyFactoryDefaults(store);
  if (store.Online == 0) return SyncSession(store, link, control, 0).Finish(SyncStatus::Offline);
  return SendLiveChannels(store, link, control);
}

SyncResult DownloadLiveSettings(ParameterStore& store, DeviceLink& link, const SyncControl& control) {
  if (store.Online == 0) return SyncSession(store, link, control, 0).Finish(SyncStatus::Offline);
  return SendLiveChannels(store, link, control);
}

}  // namespace veyra
