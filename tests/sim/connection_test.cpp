// The connection sequence, the meter poll and the live downloads, end to end
// over the real link against the in-process simulated processor.
#include "sync/connection.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "core/link/fake_transport.hpp"
#include "sim_test_support.hpp"
#include "state/models.hpp"

namespace veyra::testing {
namespace {

constexpr uint8_t A1 = WriteCommand, A2 = ReadCommand;

std::vector<Request> ExpectedConnection(int inputs, int outputs) {
  std::vector<Request> v;
  for (uint8_t item : {0x04, 0x10, 0x11, 0x12}) v.push_back({A2, 0, 9, item, 0});
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

TEST(ConnectionSequence, ReadsTheWholeDeviceOfEveryModel) {
  for (const ModelInfo& model : Models()) {
    SimRig rig(std::string(model.CliName) + ",fast,seed=" + std::to_string(model.Model * 11));
    const InputChannel sistelLive = rig.store->Inputs[0];  // the application starts as a Sistel
    int lastDone = 0, lastTotal = 0;
    SyncControl control;
    control.Progress = [&](int done, int total) {
      EXPECT_EQ(done, ++lastDone);
      lastTotal = total;
    };
    const ConnectionResult r = ConnectionSequence(*rig.store, rig.link, control);
    ASSERT_EQ(r.Status, SyncStatus::Success) << model.Name;
    const auto expected = ExpectedConnection(model.InputCount, model.OutputCount);
    EXPECT_EQ(rig.Recorder().Requests(), expected);
    EXPECT_EQ(std::vector<size_t>({size_t(r.Exchanges), size_t(lastDone), size_t(lastTotal)}),
              std::vector<size_t>(3, expected.size()));
    EXPECT_EQ(r.ModelChanged, model.Model != 1);
    EXPECT_EQ(rig.store->Online, 1);
    EXPECT_EQ(r.RestartPollMs, 1000);
    EXPECT_TRUE(rig.link.IsOpen());
    EXPECT_TRUE(StoreMatchesDevice(*rig.store, *rig.Device())) << model.Name;
    if (r.ModelChanged) {  // the switch kept the settings the application had for its old model
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
      {"absent", SyncStatus::OpenFailed,
       "Connection failed, please check the device.\nNo simulated processor is plugged in.", 0},
      {"silent", SyncStatus::NoModelCode, "", 1},
      {"model-code=Zedra", SyncStatus::UnknownModel, "Device type is not selected.", 1},
      {"model-code=orvane", SyncStatus::UnknownModel, "Device type is not selected.", 1},
      {"drop-every=2", SyncStatus::ConnectError, "Connect error.", 2},
      {"drop-every=3", SyncStatus::NoReply, "", 3},
      {"drop-every=400", SyncStatus::NoReply, "", 400},  // a live channel
      {"disconnect-after=300", SyncStatus::NoReply, "", 0},
  };
  for (const Case& c : cases) {
    SimRig rig(std::string("orvane,fast,") + c.address, TestTiming(60));
    const auto before = std::make_unique<ParameterStore>(*rig.store);
    const ConnectionResult r = ConnectionSequence(*rig.store, rig.link);
    EXPECT_EQ(r.Status, c.status) << c.address;
    EXPECT_EQ(r.Message, c.message) << c.address;
    if (c.requests) {
      EXPECT_EQ(rig.Recorder().Requests().size(), c.requests) << c.address;
    }
    EXPECT_TRUE(SameStore(*rig.store, *before)) << c.address;
    EXPECT_FALSE(rig.link.IsOpen() || r.ModelChanged || r.RestartPollMs) << c.address;
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
  control.Progress = [&](int done, int) { cancel = done == 50; };
  r = ConnectionSequence(*rig.store, rig.link, control);
  EXPECT_EQ(r.Status, SyncStatus::Cancelled);
  EXPECT_EQ(rig.Recorder().Requests().size(), 50u);
  EXPECT_TRUE(SameStore(*rig.store, *before));
  EXPECT_FALSE(rig.link.IsOpen());

  EXPECT_FALSE(GoOffline(*rig.store, rig.link));
  ASSERT_EQ(ConnectionSequence(*rig.store, rig.link).Status, SyncStatus::Success);
  EXPECT_TRUE(GoOffline(*rig.store, rig.link));
  EXPECT_FALSE(rig.store->Online || rig.link.IsOpen());
}

std::vector<Request> LiveWrites(int inputs, int outputs) {
  std::vector<Request> v;
  for (uint8_t i = 0; i < inputs; ++i) v.push_back({A1, 0, 1, i, 0});
  for (uint8_t j = 0; j < outputs; ++j) v.push_back({A1, 0, 2, j, 0});
  return v;
}

TEST(LiveDownloads, FactoryResetAndSettingsReachTheDevice) {
  auto rig = Online("merial,fast");
  rig->store->Inputs[0].Gain = 123;
  SyncResult r = FactoryReset(*rig->store, rig->link);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.RestartPollMs, 100);
  EXPECT_EQ(rig->store->Inputs[0].Gain, 600);
  rig->store->Outputs[5].Gain = 432;
  rig->store->Inputs[2].Delay = 99;
  r = DownloadLiveSettings(*rig->store, rig->link);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  const auto once = LiveWrites(3, 6);
  auto twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(rig->Recorder().Requests(), twice);
  EXPECT_TRUE(StoreMatchesDevice(*rig->store, *rig->Device()));

  // Offline the reset works on the store alone; locked it does nothing.
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
}

TEST(LiveDownloads, OneLostAcknowledgementDoesNotKeepTheOtherChannelsFromTheDevice) {
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
  EXPECT_EQ(PollMeters(*rig->store, rig->link).Status, SyncStatus::Success);
  EXPECT_EQ(rig->Recorder().Requests(), (std::vector<Request>{{A2, 0, 9, 3, 0}}));
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

TEST(PollMeters, AGarbledReplyRunningIntoAGoodOneIsNotTaken) {
  // A corrupted meter reply right before the good one, garbled so that the
  // trailer search finds a false frame from the bad header to a byte of the good frame.
  Bytes stream;
  for (int level = 0; level < 256 && stream.empty(); ++level) {
    // An AA byte in the good reply's payload can end the false frame.
    Bytes meters(12, 3);
    meters[10] = static_cast<uint8_t>(level);
    meters[11] = 0xAA;
    const Bytes good = BuildFrame(DataReply, 1, 0, SystemBlock, SystemItem::Meters, 0, meters);
    for (size_t bit = 32; bit < 8 * (good.size() - 2) && stream.empty(); ++bit) {
      Bytes both = good;
      both[bit / 8] ^= static_cast<uint8_t>(1 << bit % 8);
      both.insert(both.end(), good.begin(), good.end());
      const FrameSearch found = FindFrame(both);
      if (found.Found && found.Begin == 0 && !found.ByLength && found.Fields.Command == DataReply &&
          found.Fields.Channel == SystemItem::Meters)
        stream = both;
    }
  }
  ASSERT_FALSE(stream.empty());

  auto store = std::make_unique<ParameterStore>();
  store->Online = 1;
  DeviceLink link(std::make_unique<FakeTransport>([&](const Bytes&) { return stream; }), TestTiming(50));
  ASSERT_TRUE(link.Open().ok());
  auto plain = std::make_unique<ParameterStore>(*store);
  EXPECT_TRUE(SendFrame(*plain, link, ReadCommand, 1, 0, SystemItem::Meters, SystemBlock, 0))
      << "the link alone takes the false frame";
  const auto before = std::make_unique<ParameterStore>(*store);
  EXPECT_EQ(PollMeters(*store, link).Status, SyncStatus::NoReply);
  EXPECT_TRUE(SameStore(*store, *before));
}

}  // namespace
}  // namespace veyra::testing
