// The connection sequence, the meter poll and the live downloads, end to end
// over the real link against the in-process simulated processor.
#include "sync/connection.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "sim_test_support.hpp"
#include "state/models.hpp"

namespace veyra::testing {
namespace {

constexpr uint8_t A1 = WriteCommand, A2 = ReadCommand;

std::vector<Request> ExpectedConnection(int inputs, int outputs) {
  std::vector<Request> v = {{A2, 0, 9, 0x04, 0}, {A2, 0, 9, 0x10, 0}, {A2, 0, 9, 0x11, 0}, {A2, 0, 9, 0x12, 0}};
  for (uint8_t p = 1; p <= 30; ++p) v.push_back({A2, p, 9, 0, 0});
  auto channels = [&](uint8_t slot) {
    for (uint8_t i = 0; i < inputs; ++i) v.push_back({A2, slot, 1, i, 0x77});
    for (uint8_t j = 0; j < outputs; ++j) v.push_back({A2, slot, 2, j, 0x77});
  };
  for (uint8_t p = 1; p <= 30; ++p) channels(p);
  for (uint8_t item : {0x14, 0x15, 0x16, 0x17}) v.push_back({A2, 0, 9, item, 0});
  channels(0);
  return v;
}

bool SameStore(const ParameterStore& a, const ParameterStore& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(ConnectionSequence, ReadsTheWholeDeviceOfEveryModel) {
  for (const ModelInfo& model : Models()) {
    SimRig rig(std::string(model.CliName) + ",fast,seed=" + std::to_string(model.Model * 11));
    ASSERT_EQ(rig.store->CurrentModel, 1);  // the application starts as a Sistel
    const InputChannel sistelLive = rig.store->Inputs[0];
    int lastDone = 0, lastTotal = 0;
    SyncControl control;
    control.Progress = [&](int done, int total) {
      EXPECT_EQ(done, lastDone + 1);
      lastDone = done;
      lastTotal = total;
    };
    const ConnectionResult r = ConnectionSequence(*rig.store, rig.link, control);
    ASSERT_EQ(r.Status, SyncStatus::Success) << model.Name;
    const int expected = ConnectionExchanges(model.InputCount, model.OutputCount);
    EXPECT_EQ(r.Exchanges, expected);
    EXPECT_EQ(lastDone, expected);
    EXPECT_EQ(lastTotal, expected);
    EXPECT_EQ(rig.Recorder().Requests(), ExpectedConnection(model.InputCount, model.OutputCount));
    EXPECT_EQ(r.ModelChanged, model.Model != 1);
    EXPECT_EQ(r.Model, model.Model);
    EXPECT_EQ(rig.store->InputCount, model.InputCount);
    EXPECT_EQ(rig.store->Online, 1);
    EXPECT_EQ(r.RestartPollMs, 1000);
    EXPECT_TRUE(r.Message.empty());
    EXPECT_TRUE(rig.link.IsOpen());
    EXPECT_TRUE(StoreMatchesDevice(*rig.store, *rig.Device())) << model.Name;
    if (r.ModelChanged) {
      // The switch kept the settings the application had for its old model.
      EXPECT_TRUE(SameInput(rig.store->ModelBanks[1].Inputs[0], sistelLive));
    }
  }
  EXPECT_EQ(ConnectionExchanges(4, 8), 410);
}

TEST(ConnectionSequence, FailuresLeaveTheStoreAsItWas) {
  struct Case {
    const char* address;
    SyncStatus status;
    const char* message;
    size_t requests;  // 0: not checked
  } cases[] = {
      {"orvane,fast,absent", SyncStatus::OpenFailed,
       "Connection failed, please check the device.\nNo simulated processor is plugged in.", 0},
      {"orvane,fast,silent", SyncStatus::NoModelCode, "", 1},
      {"orvane,fast,model-code=Zedra", SyncStatus::UnknownModel, "Device type is not selected.", 1},
      {"orvane,fast,model-code=orvane", SyncStatus::UnknownModel, "Device type is not selected.", 1},
      {"orvane,fast,drop-every=2", SyncStatus::ConnectError, "Connect error.", 2},
      {"orvane,fast,drop-every=3", SyncStatus::NoReply, "", 3},
      {"orvane,fast,drop-every=4", SyncStatus::NoReply, "", 4},
      {"orvane,fast,drop-every=20", SyncStatus::NoReply, "", 20},   // a program name
      {"orvane,fast,silent-after=200", SyncStatus::NoReply, "", 201},
      {"orvane,fast,drop-every=400", SyncStatus::NoReply, "", 400},  // a live channel
      {"orvane,fast,disconnect-after=300", SyncStatus::NoReply, "", 0},
  };
  for (const Case& c : cases) {
    SimRig rig(c.address, TestTiming(60));
    const auto before = std::make_unique<ParameterStore>(*rig.store);
    const ConnectionResult r = ConnectionSequence(*rig.store, rig.link);
    EXPECT_EQ(r.Status, c.status) << c.address;
    EXPECT_EQ(r.Message, c.message) << c.address;
    if (c.requests) {
      EXPECT_EQ(rig.Recorder().Requests().size(), c.requests) << c.address;
    }
    EXPECT_TRUE(SameStore(*rig.store, *before)) << c.address;
    EXPECT_FALSE(r.ModelChanged);
    EXPECT_FALSE(rig.link.IsOpen()) << c.address;
    EXPECT_EQ(r.RestartPollMs, 0);
  }
}

TEST(ConnectionSequence, RefusedWhileOnlineAndCancellable) {
  SimRig rig("orvane,fast");
  rig.store->Online = 1;
  ConnectionResult r = ConnectionSequence(*rig.store, rig.link);
  EXPECT_EQ(r.Status, SyncStatus::AlreadyOnline);
  EXPECT_EQ(r.Message, "Already connect!");
  EXPECT_TRUE(rig.Recorder().Requests().empty());

  rig.store->Online = 0;
  const auto before = std::make_unique<ParameterStore>(*rig.store);
  std::atomic<bool> cancel{false};
  SyncControl control;
  control.Cancel = &cancel;
  control.Progress = [&](int done, int) {
    if (done == 50) cancel = true;
  };
  r = ConnectionSequence(*rig.store, rig.link, control);
  EXPECT_EQ(r.Status, SyncStatus::Cancelled);
  EXPECT_TRUE(r.Message.empty());
  EXPECT_EQ(rig.Recorder().Requests().size(), 50u);
  EXPECT_TRUE(SameStore(*rig.store, *before));
  EXPECT_FALSE(rig.link.IsOpen());
}

// A rig that has connected already.
std::unique_ptr<SimRig> Online(const std::string& address) {
  auto rig = std::make_unique<SimRig>(address);
  EXPECT_EQ(ConnectionSequence(*rig->store, rig->link).Status, SyncStatus::Success);
  rig->Recorder().Forget();
  return rig;
}

std::vector<Request> LiveWrites(int inputs, int outputs) {
  std::vector<Request> v;
  for (uint8_t i = 0; i < inputs; ++i) v.push_back({A1, 0, 1, i, 0});
  for (uint8_t j = 0; j < outputs; ++j) v.push_back({A1, 0, 2, j, 0});
  return v;
}

TEST(LiveDownloads, FactoryResetAndSettingsReachTheDevice) {
  auto rig = Online("merial,fast");
  SyncResult r = FactoryReset(*rig->store, rig->link);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.RestartPollMs, 100);
  EXPECT_EQ(rig->Recorder().Requests(), LiveWrites(3, 6));
  auto device = rig->Device();
  EXPECT_EQ(rig->store->Inputs[0].Gain, 600);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameInput(rig->store->Inputs[i], device->Inputs[i]));
  for (int j = 0; j < 6; ++j) EXPECT_TRUE(SameOutput(rig->store->Outputs[j], device->Outputs[j]));

  rig->Recorder().Forget();
  rig->store->Outputs[5].Gain = 432;
  rig->store->Inputs[2].Delay = 99;
  r = DownloadLiveSettings(*rig->store, rig->link);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(rig->Recorder().Requests(), LiveWrites(3, 6));
  device = rig->Device();
  EXPECT_EQ(device->Outputs[5].Gain, 432);
  EXPECT_EQ(device->Inputs[2].Delay, 99);
}

TEST(LiveDownloads, OfflineLockedAndUnanswered) {
  SimRig offline("orvane,fast");
  offline.store->Inputs[0].Gain = 123;
  EXPECT_EQ(FactoryReset(*offline.store, offline.link).Status, SyncStatus::Offline);
  EXPECT_EQ(offline.store->Inputs[0].Gain, 600);
  EXPECT_EQ(DownloadLiveSettings(*offline.store, offline.link).Status, SyncStatus::Offline);
  offline.store->System.LockState = 1;
  offline.store->Inputs[0].Gain = 123;
  EXPECT_EQ(FactoryReset(*offline.store, offline.link).Status, SyncStatus::Locked);
  EXPECT_EQ(offline.store->Inputs[0].Gain, 123);
  EXPECT_TRUE(offline.Recorder().Requests().empty());

  // One lost acknowledgement does not keep the other channels from the device.
  auto rig = Online("orvane,fast,drop-every=415");
  const SyncResult r = FactoryReset(*rig->store, rig->link);
  EXPECT_EQ(r.Status, SyncStatus::NoReply);
  EXPECT_EQ(r.Unanswered, 1);
  EXPECT_EQ(r.Exchanges, 11);
  EXPECT_EQ(rig->Recorder().Requests(), LiveWrites(4, 8));
  EXPECT_EQ(r.RestartPollMs, 100);
}

TEST(PollMeters, TakesOnlyTheMeters) {
  auto rig = Online("orvane,fast");
  const auto before = std::make_unique<ParameterStore>(*rig->store);
  const SyncResult r = PollMeters(*rig->store, rig->link);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(rig->Recorder().Requests(), (std::vector<Request>{{A2, 0, 9, 3, 0}}));
  for (uint8_t v : rig->store->System.OutputMeters) EXPECT_LE(v, 10);
  std::memcpy(before->System.InputMeters, rig->store->System.InputMeters, 8);
  std::memcpy(before->System.OutputMeters, rig->store->System.OutputMeters, 8);
  EXPECT_TRUE(SameStore(*rig->store, *before));

  SimRig offline("orvane,fast");
  EXPECT_EQ(PollMeters(*offline.store, offline.link).Status, SyncStatus::Offline);
  EXPECT_TRUE(offline.Recorder().Requests().empty());

  auto quiet = Online("orvane,fast,silent-after=410");
  const auto kept = std::make_unique<ParameterStore>(*quiet->store);
  EXPECT_EQ(PollMeters(*quiet->store, quiet->link).Status, SyncStatus::NoReply);
  EXPECT_TRUE(SameStore(*quiet->store, *kept));
}

}  // namespace
}  // namespace veyra::testing
