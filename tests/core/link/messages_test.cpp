#include "link/messages.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>

namespace veyra {
namespace {

using Bytes = std::vector<uint8_t>;

std::unique_ptr<ParameterStore> NewStore() {
  auto store = std::make_unique<ParameterStore>();
  ResetStore(*store);
  return store;
}

// Fills every byte of a record with a position-dependent value, so that a
// layout mistake shows up as a wrong byte.
template <typename T>
void Scribble(T& record, uint8_t seed) {
  auto* b = reinterpret_cast<uint8_t*>(&record);
  for (size_t i = 0; i < sizeof record; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
}

TEST(Messages, WritePayloadsOfSingleGroupsAndSystemItems) {
  auto store = NewStore();
  InputChannel& in = store->Inputs[1];
  std::memcpy(in.Name, "Kick Drm", 8);
  in.Mute = in.Polarity = 1;
  in.Delay = 0x0102;
  in.Gain = 600;
  in.LevelExtra = 0xBEEF;
  in.Threshold = 0x0304;
  in.Attack = 0x0506;
  in.Release = 0x0708;
  in.Ratio = 0x1209;
  in.InputFilter[0] = {20, 1, 3};
  in.InputFilter[1] = {20000, 2, 6};
  in.Bands[2] = {1000, 650, 40, 1, 1, 2, 0};
  OutputChannel& out = store->Outputs[2];
  out.Mute = 1;
  out.Delay = 0x00012345;
  out.Gain = 0x0258;
  out.Routing[0] = out.Routing[2] = 1;
  out.Routing[5] = 1;  // inputs above D do not travel
  out.Crossover[kHighPass] = {80, 0, 2};
  out.Crossover[kLowPass] = {12000, 2, 4};
  out.Threshold = 0x1111;
  out.Attack = 0x2222;
  out.Release = 0x3333;
  out.Bands[7] = {250, 550, 100, 0, 0, 1, 9};
  SystemSettings& sys = store->System;
  std::memcpy(store->Preset(4).Name, "Evening service!", 16);
  std::memcpy(sys.LockPassword, "123456", 6);
  sys.LockState = 1;
  sys.BackLight = 3;

  struct Case {
    uint8_t slot, block, channel, group;
    std::optional<Bytes> expected;  // nullopt: no record at that address
  } cases[] = {
      {0, InputBlock, 1, InputGroup::Name, Bytes{'K', 'i', 'c', 'k', ' ', 'D', 'r', 'm'}},
      {0, InputBlock, 1, InputGroup::Level, Bytes{1, 1, 0x02, 0x01, 0x58, 0x02, 0xEF, 0xBE}},
      {0, InputBlock, 1, InputGroup::Compressor, Bytes{4, 3, 6, 5, 8, 7, 0x09, 0}},
      {0, InputBlock, 1, InputGroup::InputFilter, Bytes{20, 0, 1, 3, 0x20, 0x4E, 2, 6}},
      {0, InputBlock, 1, InputGroup::Band3, Bytes{0xE8, 0x03, 0x8A, 0x02, 40, 0, 1, 2}},
      {0, OutputBlock, 2, OutputGroup::Level, Bytes{1, 0, 0x45, 0x23, 0x58, 0x02, 0, 0x05}},
      {0, OutputBlock, 2, OutputGroup::Limiter, Bytes{0x11, 0x11, 0x22, 0x22, 0x33, 0x33, 0, 0}},
      {0, OutputBlock, 2, OutputGroup::Crossover, Bytes{80, 0, 0, 2, 0xE0, 0x2E, 2, 4}},
      {0, OutputBlock, 2, OutputGroup::Band8, Bytes{250, 0, 0x26, 0x02, 100, 0, 0, 1}},
      {4, SystemBlock, SystemItem::PresetName, 0, Bytes(store->Preset(4).Name, store->Preset(4).Name + 16)},
      {0, SystemBlock, SystemItem::Lock, 0, Bytes{'1', '2', '3', '4', '5', '6', 1, 0}},
      {0, SystemBlock, SystemItem::BackLight, 0, Bytes{3}},
      {0, InputBlock, 8, InputGroup::Level, std::nullopt},
      {31, InputBlock, 0, AllGroups, std::nullopt},
      {0, InputBlock, 0, 15, std::nullopt},
      {0, OutputBlock, 0, 13, std::nullopt},
      {0, 3, 0, 0, std::nullopt},
      {0, SystemBlock, SystemItem::Meters, 0, std::nullopt},
      {0, SystemBlock, SystemItem::PresetName, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BuildWritePayload(*store, c.slot, c.block, c.channel, c.group), c.expected)
        << int(c.slot) << " " << int(c.block) << " " << int(c.channel) << " " << int(c.group);
  }
}

TEST(Messages, WholeChannelPayloadsAndPresetRule) {
  auto store = NewStore();
  Scribble(store->Preset(5).Outputs[1], 3);
  Scribble(store->Inputs[0], 9);
  const auto live = BuildWritePayload(*store, 0, InputBlock, 0, AllGroups);
  ASSERT_TRUE(live);
  ASSERT_EQ(live->size(), 120u);
  const InputChannel& in = store->Inputs[0];
  EXPECT_EQ((*live)[16 + 6], in.NoiseGate[6]);  // group 2, threshold byte
  EXPECT_EQ((*live)[40 + 6], in.Ratio & 0xFF);  // group 5
  EXPECT_EQ((*live)[40 + 7], 0);
  EXPECT_EQ((*live)[56], in.Bands[0].Freq & 0xFF);  // band 1 after seven groups
  EXPECT_EQ((*live)[112 + 7], in.Bands[7].Type);    // band 8 ends the payload
  EXPECT_EQ(BuildFrame(WriteCommand, 1, 0, InputBlock, 0, AllGroups, *live).size(), 136u);

  // Any group of a stored program goes out as the whole preset channel.
  const OutputChannel& out = store->Preset(5).Outputs[1];
  for (uint8_t group : {uint8_t{AllGroups}, uint8_t{OutputGroup::Limiter}}) {
    const auto preset = BuildWritePayload(*store, 5, OutputBlock, 1, group);
    ASSERT_TRUE(preset);
    ASSERT_EQ(preset->size(), 112u);
    EXPECT_EQ((*preset)[40], out.Bands[0].Freq & 0xFF);  // bands after five groups
    EXPECT_EQ((*preset)[111], out.Bands[8].Type);        // the ninth record travels
    const Bytes frame = BuildFrame(WriteCommand, 1, 5, OutputBlock, 1, group, *preset);
    EXPECT_EQ(Bytes(frame.begin() + 6, frame.begin() + 14),
              (Bytes{5, 2, 1, uint8_t(group == AllGroups ? 0 : group), 0, 0, 112, 0}));
  }
}

TEST(ApplyDataReply, ChannelRules) {
  auto store = NewStore();
  OutputChannel source{};
  source.Crossover[kHighPass].Freq = 0;
  source.Crossover[kLowPass].Freq = 40000;
  source.Bands[8].Freq = 777;
  std::memcpy(source.Name, "Sub Left", 8);
  const Bytes outPayload = BuildOutputChannelPayload(source);

  for (uint8_t slot : {uint8_t{0}, uint8_t{7}}) {
    OutputChannel& target = slot == 0 ? store->Outputs[3] : store->Preset(slot).Outputs[3];
    target.Name[8] = 'X';
    target.Bands[8].Freq = 123;
    const ApplyResult r = ApplyDataReply(*store, slot, OutputBlock, 3, outPayload);
    EXPECT_TRUE(r.Stored);
    EXPECT_FALSE(r.Malformed);
    EXPECT_EQ(target.Crossover[kHighPass].Freq, 10);
    EXPECT_EQ(target.Crossover[kLowPass].Freq, 30000);
    EXPECT_EQ(target.Bands[8].Freq, 123);  // ninth record skipped
    EXPECT_STREQ(target.Name, "Sub Left");
  }

  InputChannel inSource{};
  inSource.Ratio = 0xFE;
  Bytes inPayload = BuildInputChannelPayload(inSource);
  store->Inputs[2].Ratio = 0x1234;
  ApplyDataReply(*store, 0, InputBlock, 2, inPayload);
  EXPECT_EQ(store->Inputs[2].Ratio, 0xFE);

  const auto before = std::make_unique<ParameterStore>(*store);
  EXPECT_FALSE(ApplyDataReply(*store, 31, InputBlock, 0, inPayload).Stored);
  EXPECT_FALSE(ApplyDataReply(*store, 0, InputBlock, 8, inPayload).Stored);
  EXPECT_FALSE(ApplyDataReply(*store, 0, 5, 0, inPayload).Stored);
  EXPECT_FALSE(ApplyDataReply(*store, 0, SystemBlock, 0x30, Bytes{1}).Stored);
  EXPECT_EQ(std::memcmp(before.get(), store.get(), sizeof *store), 0);
}

TEST(ApplyDataReply, PayloadsOfTheWrongLengthStayInsideTheRecord) {
  auto store = NewStore();
  OutputChannel source{};
  Scribble(source, 5);
  Bytes full = BuildOutputChannelPayload(source);

  // 44 bytes: groups 0..4 complete, half of band 1.
  store->Outputs[0].Bands[0].Freq = 4242;
  ApplyResult r = ApplyDataReply(*store, 0, OutputBlock, 0, std::span(full).first(44));
  EXPECT_TRUE(r.Stored);
  EXPECT_TRUE(r.Malformed);
  EXPECT_EQ(store->Outputs[0].Threshold, source.Threshold);
  EXPECT_EQ(store->Outputs[0].Bands[0].Freq, 4242);

  // Longer than the layout: the extra bytes are not stored anywhere.
  Bytes longer = full;
  longer.resize(400, 0xEE);
  const auto before = std::make_unique<ParameterStore>(*store);
  r = ApplyDataReply(*store, 0, OutputBlock, 1, longer);
  EXPECT_TRUE(r.Malformed);
  EXPECT_EQ(std::memcmp(&before->Outputs[2], &store->Outputs[2], sizeof(OutputChannel)), 0);

  const Bytes longText(200, 'v');
  r = ApplyDataReply(*store, 0, SystemBlock, SystemItem::VersionText2, longText);
  EXPECT_TRUE(r.Malformed);
  EXPECT_EQ(std::strlen(store->System.VersionText2), 79u);
  EXPECT_EQ(store->System.ModelCode[0], before->System.ModelCode[0]);

  r = ApplyDataReply(*store, 0, SystemBlock, SystemItem::BackLight, Bytes{});
  EXPECT_FALSE(r.Stored);
  EXPECT_TRUE(r.Malformed);
}

// The items a connection copies are compared with the device end to end;
// here what a fresh store cannot show.
TEST(ApplyDataReply, SystemItems) {
  auto store = NewStore();
  std::memcpy(store->System.VersionText1, "an old and much longer version text", 35);
  std::memcpy(store->Preset(3).Name, "0123456789ABCDEF", 16);
  ApplyDataReply(*store, 0, SystemBlock, SystemItem::VersionText1, Bytes{'V', '2', '.', '1'});
  ApplyDataReply(*store, 3, SystemBlock, SystemItem::PresetName, Bytes{'H', 'a', 'l', 'l', 0, 'x'});
  const Bytes meters = {1, 2, 3, 4, 11, 12, 13, 14, 15, 16, 17, 18};
  ApplyDataReply(*store, 0, SystemBlock, SystemItem::Meters, meters);
  ApplyDataReply(*store, 0, SystemBlock, SystemItem::DeviceId, Bytes{6});
  const SystemSettings& sys = store->System;
  EXPECT_EQ(std::string(sys.VersionText1, 11), std::string("V2.1") + std::string(7, '\0'));  // cleared first
  EXPECT_EQ(std::string(store->Preset(3).Name, 16), std::string("Hall\0x", 6) + std::string(10, '\0'));
  EXPECT_EQ(Bytes(sys.InputMeters, sys.InputMeters + 5), (Bytes{1, 2, 3, 4, 0}));
  EXPECT_EQ(Bytes(sys.OutputMeters, sys.OutputMeters + 8), (Bytes{11, 12, 13, 14, 15, 16, 17, 18}));
  EXPECT_EQ(sys.DeviceIdSetting * 10 + store->DeviceId, 66);
}

TEST(ParseReply, ActsByCommandAndKeepsWhatFollows) {
  auto store = NewStore();
  std::vector<uint8_t> leftover;
  const Bytes ack = BuildFrame(AckReply, 1, 0, OutputBlock, 2, 2);
  const Bytes backlight = BuildFrame(DataReply, 1, 0, SystemBlock, SystemItem::BackLight, 0, Bytes{4});
  Bytes stream = {0x01, 0x02};
  stream.insert(stream.end(), ack.begin(), ack.end());
  stream.insert(stream.end(), backlight.begin(), backlight.end());
  ParsedReply r = ParseReply(*store, stream, leftover);
  EXPECT_TRUE(r.accepted() && r.Fields.Command == AckReply);
  EXPECT_EQ(leftover, backlight);
  r = ParseReply(*store, leftover, leftover);  // the buffer may be the leftover itself
  EXPECT_TRUE(r.accepted() && r.Stored && leftover.empty());
  EXPECT_EQ(store->System.BackLight, 4);
  EXPECT_EQ(ParseReply(*store, BuildFrame(IgnoredReply, 1, 0, OutputBlock, 2, 2), leftover).Status,
            ReplyStatus::Ignored);

  // A length field that disagrees with the payload: taken, stored as far as it goes, counted.
  Bytes frame =
      BuildFrame(DataReply, 1, 0, SystemBlock, SystemItem::VersionText1, 0, Bytes{'A', 'B', 'C', 'D'});
  frame[12] = 2;
  frame[18] = CheckByte(std::span(frame).subspan(4, 14));
  r = ParseReply(*store, frame, leftover);
  EXPECT_TRUE(r.accepted() && r.Malformed);
  EXPECT_STREQ(store->System.VersionText1, "AB");
}

}  // namespace
}  // namespace veyra
