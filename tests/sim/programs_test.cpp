// The program operations with the device, end to end against the simulator.
#include "sync/programs.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "sim_test_support.hpp"

namespace veyra::testing {
namespace {

constexpr uint8_t A1 = WriteCommand, A2 = ReadCommand;

// The requests of a sequence per channel, inputs first, with the block and channel filled in.
void AddChannels(std::vector<Request>& v, int inputs, int outputs, std::initializer_list<Request> each) {
  for (uint8_t block : {1, 2}) {
    for (uint8_t ch = 0; ch < (block == 1 ? inputs : outputs); ++ch) {
      for (Request r : each) {
        r.Block = block;
        r.Channel = ch;
        v.push_back(r);
      }
    }
  }
}

// Marks the live settings so that a copy shows.
void Mark(ParameterStore& s, uint16_t gain) {
  for (auto& in : s.Inputs) in.Gain = gain;
  for (auto& out : s.Outputs) out.Gain = static_cast<uint16_t>(gain + 1);
}

TEST(Programs, SavePresetToDevice) {
  auto rig = Online("merial,fast");
  Mark(*rig->store, 444);
  const SyncResult r = SavePresetToDevice(*rig->store, rig->link, 5, std::string_view("Stage Left"));
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.Message, "Save Successfully.");
  EXPECT_EQ(r.RestartPollMs, 100);
  std::vector<Request> expected = {{A1, 5, 9, 0, 0}};
  for (uint8_t i = 0; i < 3; ++i) expected.push_back({A1, 5, 1, i, 0});
  for (uint8_t j = 0; j < 6; ++j) expected.push_back({A1, 5, 2, j, 0});
  EXPECT_EQ(rig->Recorder().Requests(), expected);
  const auto device = rig->Device();
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(SameInput(device->Preset(5).Inputs[i], rig->store->Inputs[i]));
  for (int j = 0; j < 6; ++j) EXPECT_TRUE(SameOutput(device->Preset(5).Outputs[j], rig->store->Outputs[j]));
  EXPECT_EQ(device->Preset(5).Outputs[5].Gain, 445);
  EXPECT_EQ(std::memcmp(device->Preset(5).Name, "Stage Left\0", 11), 0);

  // A name longer than the field is cut at 16 bytes; nothing runs past it.
  SavePresetToDevice(*rig->store, rig->link, 6, std::string_view("A very long program name"));
  EXPECT_EQ(std::memcmp(rig->Device()->Preset(6).Name, "A very long prog", 16), 0);
}

TEST(Programs, SaveAndRecallFromFileStopAtTheFirstUnansweredFrame) {
  // A Merial connection takes 1 + 3 + 30 + 270 + 4 + 9 = 317 exchanges; the third one after it is lost.
  using Operation = SyncResult (*)(ParameterStore&, DeviceLink&);
  const Operation operations[] = {
      [](auto& s, auto& l) { return SavePresetToDevice(s, l, 4); },
      [](auto& s, auto& l) { return RecallPresetFromFile(s, l, 4); },
  };
  for (const Operation op : operations) {
    auto rig = Online("merial,fast,drop-every=320");
    const SyncResult r = op(*rig->store, rig->link);
    EXPECT_EQ(r.Status, SyncStatus::NoReply);
    EXPECT_EQ(r.Message, "");  // silent, as on the device's own panel
    EXPECT_EQ(r.RestartPollMs, 100);
    EXPECT_EQ(rig->Recorder().Requests().size(), 3u);  // nothing is sent after the lost one
  }
}

TEST(Programs, OfflineWorksOnTheStoreAloneAndLockedDoesNothing) {
  SimRig rig("orvane,fast");
  Mark(*rig.store, 500);
  EXPECT_EQ(SavePresetToDevice(*rig.store, rig.link, 3).Status, SyncStatus::Offline);
  EXPECT_EQ(rig.store->Preset(3).Inputs[1].Gain, 500);
  // Only the model's channels are copied (the application starts as a Sistel: 2 in, 4 out).
  EXPECT_NE(rig.store->Preset(3).Inputs[2].Gain, 500);
  rig.store->Preset(3).Outputs[0].Gain = 333;
  const SyncResult r = RecallPresetFromDevice(*rig.store, rig.link, 3);
  EXPECT_EQ(r.Status, SyncStatus::Offline);
  EXPECT_EQ(r.RestartPollMs, 0);
  EXPECT_EQ(rig.store->Outputs[0].Gain, 333);
  EXPECT_EQ(rig.store->System.CurrentProgram, 3);

  using Operation = SyncResult (*)(ParameterStore&, DeviceLink&);
  const struct {
    Operation run;
    const char* message;
  } operations[] = {
      {[](auto& s, auto& l) { return SavePresetToDevice(s, l, 1); }, "Save Successfully."},
      {[](auto& s, auto& l) { return RecallPresetFromDevice(s, l, 1); }, "Recall Successfully."},
      {[](auto& s, auto& l) { return RecallPresetFromFile(s, l, 1); }, "Recall Successfully."},
      {[](auto& s, auto& l) { return DownloadAllPresets(s, l); }, "Save successfully."},
      {[](auto& s, auto& l) { return UploadAllPresets(s, l); }, "Upload successfully."},
  };
  for (const auto& op : operations) {
    rig.store->System.LockState = 0;
    EXPECT_EQ(op.run(*rig.store, rig.link).Message, op.message);
    rig.store->System.LockState = 1;
    EXPECT_EQ(op.run(*rig.store, rig.link).Status, SyncStatus::Locked) << op.message;
  }
  EXPECT_TRUE(rig.Recorder().Requests().empty());
  rig.store->System.LockState = 0;
  EXPECT_EQ(SavePresetToDevice(*rig.store, rig.link, 31).Status, SyncStatus::BadProgram);
  EXPECT_EQ(RecallPresetFromDevice(*rig.store, rig.link, 0).Status, SyncStatus::BadProgram);
}

TEST(Programs, RecallPresetFromDevice) {
  auto rig = Online("sistel,fast");
  // The program changed on the device since the connection.
  rig->ChangeDevice([](ParameterStore& d) { d.Preset(7).Outputs[3].Gain = 222; });
  const SyncResult r = RecallPresetFromDevice(*rig->store, rig->link, 7);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.Message, "Recall Successfully.");
  std::vector<Request> expected = {{A1, 0, 9, 0x17, 0}};
  AddChannels(expected, 2, 4, {{A2, 7, 0, 0, 0x77}, {A1, 0, 0, 0, 0}});
  EXPECT_EQ(rig->Recorder().Requests(), expected);
  const auto device = rig->Device();
  EXPECT_EQ(device->System.CurrentProgram, 7);
  EXPECT_EQ(device->Outputs[3].Gain, 222);
  EXPECT_TRUE(StoreMatchesDevice(*rig->store, *device));

  // The connection takes 1 + 3 + 30 + 180 + 4 + 6 = 224 exchanges; the fourth of this recall is lost.
  auto lossy = Online("sistel,fast,drop-every=228");
  const auto before = std::make_unique<ParameterStore>(*lossy->store);
  const SyncResult failed = RecallPresetFromDevice(*lossy->store, lossy->link, 2);
  EXPECT_EQ(failed.Status, SyncStatus::NoReply);
  EXPECT_EQ(failed.RestartPollMs, 100);
  EXPECT_EQ(lossy->Recorder().Requests().size(), 4u);
  EXPECT_TRUE(SameStore(*lossy->store, *before));
}

TEST(Programs, RecallPresetFromFileWritesTheProgramAndTheLiveSettings) {
  auto rig = Online("orvane,fast");
  // As if a preset file had been read into program 12.
  PresetSlot& slot = rig->store->Preset(12);
  for (auto& in : slot.Inputs) in.Delay = 42;
  std::memcpy(slot.Name, "From File", 10);
  const SyncResult r = RecallPresetFromFile(*rig->store, rig->link, 12);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  std::vector<Request> expected = {{A1, 0, 9, 0x17, 0}, {A1, 12, 9, 0, 0}};
  AddChannels(expected, 4, 8, {{A1, 12, 0, 0, 0}, {A1, 0, 0, 0, 0}});
  EXPECT_EQ(rig->Recorder().Requests(), expected);
  EXPECT_EQ(rig->store->Inputs[3].Delay, 42);
  EXPECT_TRUE(StoreMatchesDevice(*rig->store, *rig->Device()));
}

TEST(Programs, DownloadAllReadsEveryProgram) {
  auto rig = Online("merial,fast");
  rig->ChangeDevice([](ParameterStore& d) { d.Preset(30).Inputs[1].Gain = 330; });
  int lastDone = 0, lastTotal = 0;
  SyncControl control;
  control.Progress = [&](int done, int total) { lastDone = done, lastTotal = total; };
  const SyncResult r = DownloadAllPresets(*rig->store, rig->link, control);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.Message, "Save successfully.");
  EXPECT_EQ(lastTotal * 1000 + lastDone, 270270);
  std::vector<Request> expected;
  for (uint8_t p = 1; p <= 30; ++p) AddChannels(expected, 3, 6, {{A2, p, 0, 0, 0x77}});
  EXPECT_EQ(rig->Recorder().Requests(), expected);
  EXPECT_EQ(rig->store->Preset(30).Inputs[1].Gain, 330);
  EXPECT_TRUE(StoreMatchesDevice(*rig->store, *rig->Device()));
}

TEST(Programs, DownloadAllRetriesAndThreeMissesEndIt) {
  // Merial connection: 1 + 3 + 30 + 270 + 4 + 9 = 317 exchanges.
  auto rig = Online("merial,fast,drop-every=327");
  SyncResult r = DownloadAllPresets(*rig->store, rig->link);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.Unanswered, 1);
  auto requests = rig->Recorder().Requests();
  ASSERT_EQ(requests.size(), 271u);
  EXPECT_EQ(requests[9], requests[10]) << "the missed channel is asked again";

  auto quiet = Online("merial,fast,silent-after=327");
  const auto before = std::make_unique<ParameterStore>(*quiet->store);
  quiet->ChangeDevice([](ParameterStore& d) { d.Preset(1).Inputs[0].Gain = 1; });
  r = DownloadAllPresets(*quiet->store, quiet->link);
  EXPECT_EQ(r.Status, SyncStatus::NoReply);
  EXPECT_TRUE(r.Message.empty());
  requests = quiet->Recorder().Requests();
  ASSERT_EQ(requests.size(), 13u);  // ten channels, then three attempts at the eleventh
  EXPECT_EQ(requests[10], requests[12]);
  EXPECT_TRUE(SameStore(*quiet->store, *before)) << "no program may be half read";
}

TEST(Programs, UploadAllWritesEveryProgramRetryingChannelsButNotNames) {
  auto rig = Online("sistel,fast");
  for (int p = 1; p <= 30; ++p) {
    rig->store->Preset(p).Outputs[2].Delay = static_cast<uint32_t>(p);
    std::snprintf(rig->store->Preset(p).Name, 16, "Bank %d", p);
  }
  SyncResult r = UploadAllPresets(*rig->store, rig->link);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.Message, "Upload successfully.");
  std::vector<Request> expected;
  for (uint8_t p = 1; p <= 30; ++p) {
    expected.push_back({A1, p, 9, 0, 0});
    AddChannels(expected, 2, 4, {{A1, p, 0, 0, 0}});
  }
  EXPECT_EQ(rig->Recorder().Requests(), expected);
  EXPECT_TRUE(StoreMatchesDevice(*rig->store, *rig->Device()));

  // Sistel connection: 224 exchanges. Request 228 is the third channel of program 1.
  auto lossy = Online("sistel,fast,drop-every=228");
  EXPECT_EQ(UploadAllPresets(*lossy->store, lossy->link).Status, SyncStatus::Success);
  auto requests = lossy->Recorder().Requests();
  ASSERT_EQ(requests.size(), 30u * 7 + 1);
  EXPECT_EQ(requests[3], requests[4]);

  // Request 232 is the name of program 2: the upload ends there.
  auto names = Online("sistel,fast,drop-every=232");
  r = UploadAllPresets(*names->store, names->link);
  EXPECT_EQ(r.Status, SyncStatus::NoReply);
  EXPECT_EQ(r.RestartPollMs, 100);
  requests = names->Recorder().Requests();
  ASSERT_EQ(requests.size(), 8u);
  EXPECT_EQ(requests.back(), (Request{A1, 2, 9, 0, 0}));
}

}  // namespace
}  // namespace veyra::testing
