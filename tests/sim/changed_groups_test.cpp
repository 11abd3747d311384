// Sending only what differs, end to end against the simulated processor: the
// device must end holding exactly the application's live channels, and only
// the messages of the groups that differ may travel.
#include "sync/changed_groups.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "sim_test_support.hpp"

namespace veyra::testing {
namespace {

constexpr uint8_t A1 = WriteCommand;

struct Difference {
  const char* What;
  std::function<void(LiveChannels&)> Change;
  MessageAddress Group;  // what ChangedGroups lists
  uint8_t Sent;          // the group byte of the one write (0 for a whole channel)
};

// One field of each kind of group on an Orvane: a group the editors send on
// its own goes as that group; one they never send alone takes its channel whole.
const Difference kDifferences[] = {
    {"input name", [](auto& l) { l.Inputs[1].Name[3] ^= 0x20; }, {0, 1, 1, 0}, 0},
    {"input gain", [](auto& l) { l.Inputs[0].Gain += 7; }, {0, 1, 0, 1}, 1},
    {"input gate threshold", [](auto& l) { l.Inputs[2].NoiseGate[6] += 1; }, {0, 1, 2, 2}, 2},
    {"input mix", [](auto& l) { l.Inputs[3].InputMix[5] ^= 1; }, {0, 1, 3, 3}, 0},
    {"input group 4 word", [](auto& l) { l.Inputs[0].InputGroup4Words[2] += 1; }, {0, 1, 0, 4}, 0},
    {"compressor attack", [](auto& l) { l.Inputs[1].Attack += 3; }, {0, 1, 1, 5}, 5},
    {"input filter slope", [](auto& l) { l.Inputs[2].InputFilter[1].CrossoverSlope ^= 1; }, {0, 1, 2, 6}, 0},
    {"input band 3 width", [](auto& l) { l.Inputs[3].Bands[2].Width += 5; }, {0, 1, 3, 9}, 9},
    {"input band 8 type", [](auto& l) { l.Inputs[0].Bands[7].Type ^= 1; }, {0, 1, 0, 14}, 14},
    {"output name", [](auto& l) { l.Outputs[7].Name[0] ^= 0x01; }, {0, 2, 7, 0}, 0},
    {"output routing mask", [](auto& l) { l.Outputs[2].Routing[3] ^= 1; }, {0, 2, 2, 1}, 1},
    {"output polarity", [](auto& l) { l.Outputs[4].Polarity ^= 1; }, {0, 2, 4, 1}, 1},
    {"limiter threshold", [](auto& l) { l.Outputs[5].Threshold += 10; }, {0, 2, 5, 2}, 2},
    {"output group 3 byte", [](auto& l) { l.Outputs[6].OutputGroup3Byte ^= 1; }, {0, 2, 6, 3}, 0},
    {"low-pass frequency", [](auto& l) { l.Outputs[1].Crossover[kLowPass].Freq += 100; }, {0, 2, 1, 4}, 4},
    {"output band 3 gain", [](auto& l) { l.Outputs[0].Bands[2].Gain += 15; }, {0, 2, 0, 7}, 7},
};

class ChangedGroupsTest : public ::testing::TestWithParam<Difference> {};

TEST_P(ChangedGroupsTest, SendsTheOneWriteAndTheDeviceEndsEqual) {
  const Difference& d = GetParam();
  auto rig = Online("orvane,fast");
  const LiveChannels from = LiveChannelsOf(*rig->store);
  LiveChannels to = from;
  d.Change(to);
  ASSERT_EQ(ChangedGroups(from, to, 3), std::vector<MessageAddress>{d.Group}) << d.What;

  PutLiveChannels(*rig->store, to);
  const SyncResult r = SendChangedGroups(*rig->store, rig->link, from);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.Exchanges, 1);
  EXPECT_EQ(rig->Recorder().Requests(),
            (std::vector<Request>{{A1, 0, d.Group.Block, d.Group.Channel, d.Sent}}))
      << d.What;
  const auto device = rig->Device();
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(SameInput(device->Inputs[i], rig->store->Inputs[i])) << i;
  for (int j = 0; j < 8; ++j) EXPECT_TRUE(SameOutput(device->Outputs[j], rig->store->Outputs[j])) << j;
}

INSTANTIATE_TEST_SUITE_P(EachKindOfGroup, ChangedGroupsTest, ::testing::ValuesIn(kDifferences));

LiveChannels Filled() {
  ParameterStore store;
  InitialiseStore(store);
  return LiveChannelsOf(store);
}

TEST(ChangedGroups, FieldsNoMessageCarriesAndChannelsBeyondTheModelMakeNoDifference) {
  const LiveChannels from = Filled();
  LiveChannels to = from;
  to.Inputs[0].MicEditorWord += 1;  // the mic settings live in the program only
  to.Inputs[1].Bands[8].Gain += 1;  // the editor's ninth band
  to.Outputs[0].Ratio += 1;         // the limiter's ratio travels in no message
  to.Outputs[1].Delay += 0x10000;   // above the 16 bits that travel
  to.Inputs[0].Ratio += 0x100;      // above the compressor ratio's byte
  to.Outputs[2].Routing[4] ^= 1;    // inputs E..H are not in the mask
  to.Inputs[2].Gain += 1;           // input C: not a Sistel's
  to.Outputs[4].Gain += 1;          // output 5: not a Sistel's
  EXPECT_TRUE(ChangedGroups(from, to, 1).empty());
  EXPECT_EQ(ChangedGroups(from, to, 3), (std::vector<MessageAddress>{{0, 1, 2, 1}, {0, 2, 4, 1}}));
  EXPECT_TRUE(ChangedGroups(from, to, 0).empty());  // no such model
}

TEST(ChangedGroups, ListsInputsThenOutputsEachChannelsGroupsAscending) {
  const LiveChannels from = Filled();
  LiveChannels to = from;
  to.Outputs[0].Bands[0].Freq += 1;  // output 1 band 1: group 5
  to.Outputs[0].Gain += 1;           // output 1 level: group 1
  to.Inputs[1].Bands[5].Gain += 1;   // input B band 6: group 12
  to.Inputs[1].Name[0] ^= 1;         // input B name: group 0
  to.Inputs[0].Threshold += 1;       // input A compressor: group 5
  to.Inputs[0].InputMix[0] ^= 1;     // input A mix: group 3
  const std::vector<MessageAddress> changed = ChangedGroups(from, to, 2);
  EXPECT_EQ(changed,
            (std::vector<MessageAddress>{
                {0, 1, 0, 3}, {0, 1, 0, 5}, {0, 1, 1, 0}, {0, 1, 1, 12}, {0, 2, 0, 1}, {0, 2, 0, 5}}));
  // Input A goes whole (its mix), once, where its first group stood.
  EXPECT_EQ(WritesFor(changed),
            (std::vector<MessageAddress>{
                {0, 1, 0, AllGroups}, {0, 1, 1, 0}, {0, 1, 1, 12}, {0, 2, 0, 1}, {0, 2, 0, 5}}));
}

TEST(SendChangedGroups, EqualSettingsSendNothingAndOfflineOnlyTheStoreHoldsTheChange) {
  auto rig = Online("merial,fast");
  const LiveChannels same = LiveChannelsOf(*rig->store);
  SyncResult r = SendChangedGroups(*rig->store, rig->link, same);
  EXPECT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.Exchanges, 0);
  EXPECT_TRUE(rig->Recorder().Requests().empty());

  const auto before = rig->Device();
  rig->store->Outputs[3].Gain += 5;
  rig->store->Online = 0;
  r = SendChangedGroups(*rig->store, rig->link, same);
  EXPECT_EQ(r.Status, SyncStatus::Offline);
  EXPECT_TRUE(rig->Recorder().Requests().empty());
  EXPECT_TRUE(SameStore(*before, *rig->Device()));
}

TEST(SendChangedGroups, AnUnansweredWriteDoesNotStopTheOthers) {
  // A Sistel connection is 1 + 3 + 30 + 180 + 4 + 6 = 224 exchanges; the 226th reply is lost.
  auto rig = Online("sistel,fast,drop-every=226");
  const LiveChannels from = LiveChannelsOf(*rig->store);
  for (int j = 0; j < 4; ++j) rig->store->Outputs[j].Gain += 1;
  const SyncResult r = SendChangedGroups(*rig->store, rig->link, from);
  EXPECT_EQ(r.Status, SyncStatus::NoReply);
  EXPECT_EQ(r.Exchanges, 3);
  EXPECT_EQ(r.Unanswered, 1);
  EXPECT_EQ(rig->Recorder().Requests().size(), 4u);
  const auto device = rig->Device();  // a dropped reply still applies the write
  for (int j = 0; j < 4; ++j) EXPECT_TRUE(SameOutput(device->Outputs[j], rig->store->Outputs[j])) << j;
}

}  // namespace
}  // namespace veyra::testing
