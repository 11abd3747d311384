// The group rule on its own: who is copied to, which bytes move, and what
// stays where it was.
#include "groups/copy_to_group.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace veyra {
namespace {

struct Rig {
  Rig() : store(std::make_unique<ParameterStore>()) {
    InitialiseStore(*store);
    SwitchModel(*store, 2);  // three inputs, six outputs
  }
  ParameterStore& s() { return *store; }
  std::unique_ptr<ParameterStore> store;
};

struct Case {
  const char* Name;
  ChannelKind Kind;
  std::vector<uint32_t> Groups;  // GroupNumber of channels 0..7
  GroupLink Sets;                // the flag set in every group record
  GroupLink Copies;              // the flag the change obeys
  int Source;
  std::vector<int> Expected;
};

class CopyToGroupCases : public ::testing::TestWithParam<Case> {};

TEST_P(CopyToGroupCases, CopiesTheGainToLinkedMembersOnly) {
  const Case& c = GetParam();
  Rig rig;
  ParameterStore& s = rig.s();
  for (ChannelGroup& group : GroupsOf(s, c.Kind)) {
    group.LinkGain = c.Sets == GroupLink::Gain;
    group.LinkMute = c.Sets == GroupLink::Mute;
  }
  for (int ch = 0; ch < kChannelSlots; ++ch)
    WithChannel(s, c.Kind, ch, [&](auto& r) {
      r.GroupNumber = c.Groups[static_cast<size_t>(ch)];
      r.Gain = static_cast<uint16_t>(500 + ch);
    });
  WithChannel(s, c.Kind, c.Source, [](auto& r) { r.Gain = 777; });

  EXPECT_EQ(CopyToGroup(s, c.Kind, c.Source, c.Copies, GainField(c.Kind)), c.Expected);
  for (int ch = 0; ch < kChannelSlots; ++ch) {
    const bool copied = std::find(c.Expected.begin(), c.Expected.end(), ch) != c.Expected.end();
    const int expected = ch == c.Source || copied ? 777 : 500 + ch;
    EXPECT_EQ(WithChannel(s, c.Kind, ch, [](const auto& r) { return int(r.Gain); }), expected) << ch;
  }
}

using K = ChannelKind;
using G = GroupLink;
INSTANTIATE_TEST_SUITE_P(
    Groups, CopyToGroupCases,
    ::testing::Values(
        Case{"InputsAandC", K::Input, {1, 2, 1, 0, 1, 1, 1, 1}, G::Gain, G::Gain, 0, {2}},
        Case{"FromTheLaterMember", K::Output, {1, 2, 1, 1, 0, 0, 0, 0}, G::Gain, G::Gain, 2, {0, 3}},
        Case{"FlagOfAnotherBlock", K::Input, {1, 1, 1, 1, 0, 0, 0, 0}, G::Mute, G::Gain, 0, {}},
        Case{"NoGroupIsNeverCopiedTo", K::Output, {0, 0, 0, 0, 0, 0, 0, 0}, G::Gain, G::Gain, 1, {}},
        Case{"BeyondTheModelsOutputs", K::Output, {3, 3, 0, 0, 0, 0, 3, 3}, G::Gain, G::Gain, 0, {1}},
        Case{"BeyondTheModelsInputs", K::Input, {4, 0, 0, 4, 4, 4, 4, 4}, G::Gain, G::Gain, 0, {}},
        Case{"NumberBeyondTheGroupRecords", K::Output, {9, 9, 9, 0, 0, 0, 0, 0}, G::Gain, G::Gain, 0, {}},
        Case{"AllOutputs", K::Output, {8, 8, 8, 8, 8, 8, 8, 8}, G::Gain, G::Gain, 5, {0, 1, 2, 3, 4}}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(CopyToGroup, TheSharedFlagBytesServeTheirKind) {
  ChannelGroup group{};
  group.LinkMix = 1;
  EXPECT_EQ(LinkFlag(group, GroupLink::Mic), 1);  // one byte, two meanings
  EXPECT_EQ(LinkFlag(group, GroupLink::Limiter), 0);
  group.LinkCompressor = 1;
  EXPECT_EQ(LinkFlag(group, GroupLink::Limiter), 1);
  EXPECT_EQ(LinkFlag(group, GroupLink::Crossover), 0);
}

TEST(CopyToGroup, ARoutingFlagMovesAloneAndSpansOutsideTheRecordAreSkipped) {
  Rig rig;
  ParameterStore& s = rig.s();
  s.OutputGroups[1].LinkMix = 1;
  s.Outputs[0].GroupNumber = s.Outputs[5].GroupNumber = 2;
  for (int k = 0; k < kChannelSlots; ++k) {
    s.Outputs[0].Routing[k] = 0;
    s.Outputs[5].Routing[k] = static_cast<uint8_t>(k % 2);
  }
  s.Outputs[0].Routing[3] = 1;
  const OutputChannel before = s.Outputs[5];
  const FieldSpan fields[] = {
      RoutingField(3), {sizeof(OutputChannel) - 1, 2}, {sizeof(OutputChannel) + 4, 1}};
  EXPECT_EQ(CopyToGroup(s, ChannelKind::Output, 0, GroupLink::Mix, fields), std::vector<int>{5});
  OutputChannel expected = before;
  expected.Routing[3] = 1;
  EXPECT_EQ(std::memcmp(&s.Outputs[5], &expected, sizeof expected), 0);
  // A source that is not a channel copies nothing.
  EXPECT_TRUE(CopyToGroup(s, ChannelKind::Output, 8, GroupLink::Mix, RoutingField(3)).empty());
}

}  // namespace
}  // namespace veyra
