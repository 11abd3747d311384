// Copying channel settings: exactly the listed fields travel, byte for byte;
// every other byte of the target (and every other record) stays.
#include "admin/channel_copy.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>
#include <set>

#include "params/param_change.hpp"

namespace veyra::testing {
namespace {

struct Span {
  size_t Offset;
  size_t Size;
};

// The copied bytes of a record, written out from the record layout: each of
// the first six bands without its off flag and reserved byte, then the fields.
template <typename Record>
std::set<size_t> CopiedOffsets(std::initializer_list<Span> fields) {
  std::set<size_t> offsets;
  for (int b = 0; b < kCopiedBands; ++b) {
    const size_t band = offsetof(Record, Bands) + static_cast<size_t>(b) * sizeof(EqBand);
    for (size_t i = 0; i < sizeof(EqBand); ++i)
      if (i != offsetof(EqBand, BandOff) && i != offsetof(EqBand, Reserved9)) offsets.insert(band + i);
  }
  for (const Span& f : fields)
    for (size_t i = 0; i < f.Size; ++i) offsets.insert(f.Offset + i);
  return offsets;
}

#define FIELD(Record, name)                      \
  Span {                                         \
    offsetof(Record, name), sizeof(Record::name) \
  }

const std::set<size_t>& InputCopied() {
  static const std::set<size_t> offsets = CopiedOffsets<InputChannel>({
      FIELD(InputChannel, InputFilter),
      FIELD(InputChannel, Mute),
      FIELD(InputChannel, Polarity),
      FIELD(InputChannel, Delay),
      FIELD(InputChannel, Gain),
      FIELD(InputChannel, LevelExtra),
      FIELD(InputChannel, InputMix),
      FIELD(InputChannel, MicEditorLevels),
      {offsetof(InputChannel, NoiseGate) + 1, 2},
      {offsetof(InputChannel, NoiseGate) + kNoiseGateThresholdByte, 1},
      FIELD(InputChannel, InputGroup4Words),
      FIELD(InputChannel, InputGroup4Bytes),
      FIELD(InputChannel, Threshold),
      FIELD(InputChannel, Attack),
      FIELD(InputChannel, Release),
      FIELD(InputChannel, Ratio),
  });
  return offsets;
}

const std::set<size_t>& OutputCopied() {
  static const std::set<size_t> offsets = CopiedOffsets<OutputChannel>({
      FIELD(OutputChannel, Crossover),
      FIELD(OutputChannel, Mute),
      FIELD(OutputChannel, Polarity),
      FIELD(OutputChannel, Delay),
      FIELD(OutputChannel, RoutingScratch),
      FIELD(OutputChannel, Gain),
      {offsetof(OutputChannel, Routing), 4},
      FIELD(OutputChannel, OutputGroup3Words),
      FIELD(OutputChannel, OutputGroup3Byte),
      FIELD(OutputChannel, Threshold),
      FIELD(OutputChannel, Attack),
      FIELD(OutputChannel, Release),
      FIELD(OutputChannel, Ratio),
  });
  return offsets;
}

// Every byte of the live records different, so a byte that moves shows.
std::unique_ptr<ParameterStore> Scrambled() {
  auto store = std::make_unique<ParameterStore>();
  auto* bytes = reinterpret_cast<uint8_t*>(store.get());
  uint32_t x = 12345;
  for (size_t i = 0; i < sizeof(ParameterStore); ++i) {
    x = x * 1103515245u + 12345u;
    bytes[i] = static_cast<uint8_t>(x >> 16);
  }
  store->CurrentModel = 3;
  store->InputCount = 4;
  store->OutputCount = 8;
  // Within the filter rule, which a copy keeps (a copy of a channel that
  // breaks it is limited: filter_rule_test).
  for (int ch = 0; ch < kChannelSlots; ++ch)
    for (const ChannelKind kind : {ChannelKind::Input, ChannelKind::Output})
      LimitChannelFilters(*store, kind, ch);
  return store;
}

template <typename Record>
::testing::AssertionResult CopiedExactly(const Record& before, const Record& source, const Record& after,
                                         const std::set<size_t>& copied) {
  const auto* b = reinterpret_cast<const uint8_t*>(&before);
  const auto* s = reinterpret_cast<const uint8_t*>(&source);
  const auto* a = reinterpret_cast<const uint8_t*>(&after);
  for (size_t i = 0; i < sizeof(Record); ++i) {
    const uint8_t expected = copied.count(i) ? s[i] : b[i];
    if (a[i] != expected)
      return ::testing::AssertionFailure() << "byte " << i << " is " << int(a[i]) << ", expected "
                                           << int(expected) << (copied.count(i) ? " (copied)" : " (kept)");
  }
  return ::testing::AssertionSuccess();
}

bool SameBytes(const void* a, const void* b, size_t size) {
  return std::memcmp(a, b, size) == 0;
}

TEST(CopyInputSettings, CopiesTheListedFieldsAndTheRoutingFlagsAndNothingElse) {
  struct Case {
    int Source, Target;
  };
  for (const Case c : {Case{0, 1}, Case{3, 0}, Case{2, 7}}) {
    const auto before = Scrambled();
    auto store = std::make_unique<ParameterStore>(*before);
    CopyInputSettings(*store, c.Source, c.Target);
    EXPECT_TRUE(CopiedExactly(before->Inputs[c.Target], before->Inputs[c.Source], store->Inputs[c.Target],
                              InputCopied()))
        << c.Source << " -> " << c.Target;
    EXPECT_STREQ(std::string(store->Inputs[c.Target].Name, kNameBytes).c_str(),
                 std::string(before->Inputs[c.Target].Name, kNameBytes).c_str());
    for (int k = 0; k < kChannelSlots; ++k) {
      // All eight outputs, whatever the model: the target's flag takes the source's.
      OutputChannel expected = before->Outputs[k];
      expected.Routing[c.Target] = before->Outputs[k].Routing[c.Source];
      EXPECT_TRUE(SameBytes(&store->Outputs[k], &expected, sizeof expected)) << "output " << k;
    }
    for (int i = 0; i < kChannelSlots; ++i) {
      if (i == c.Target) continue;
      EXPECT_TRUE(SameBytes(&store->Inputs[i], &before->Inputs[i], sizeof(InputChannel))) << i;
    }
    EXPECT_TRUE(SameBytes(store->Presets, before->Presets, sizeof store->Presets));
  }
}

TEST(CopyOutputSettings, CopiesTheListedFieldsAndKeepsNameGroupAndRoutingEtoH) {
  struct Case {
    int Source, Target;
  };
  for (const Case c : {Case{0, 2}, Case{7, 1}}) {
    const auto before = Scrambled();
    auto store = std::make_unique<ParameterStore>(*before);
    CopyOutputSettings(*store, c.Source, c.Target);
    const OutputChannel& t = store->Outputs[c.Target];
    EXPECT_TRUE(CopiedExactly(before->Outputs[c.Target], before->Outputs[c.Source], t, OutputCopied()));
    EXPECT_EQ(t.GroupNumber, before->Outputs[c.Target].GroupNumber);
    EXPECT_TRUE(SameBytes(t.Name, before->Outputs[c.Target].Name, sizeof t.Name));
    EXPECT_TRUE(SameBytes(t.Routing + 4, before->Outputs[c.Target].Routing + 4, 4));
    EXPECT_TRUE(SameBytes(store->Inputs, before->Inputs, sizeof store->Inputs));
  }
}

TEST(ChannelCopy, OntoItselfChangesNothingAndOutsideTheChannelsIsIgnored) {
  const auto before = Scrambled();
  auto store = std::make_unique<ParameterStore>(*before);
  CopyInputSettings(*store, 2, 2);
  CopyOutputSettings(*store, 5, 5);
  CopyInputSettings(*store, -1, 0);
  CopyInputSettings(*store, 0, 8);
  CopyOutputSettings(*store, 8, 0);
  EXPECT_TRUE(SameBytes(store.get(), before.get(), sizeof(ParameterStore)));
}

TEST(ChannelCopy, MessagesAreTheTargetWholeThenEveryOutputsLevelGroup) {
  auto store = std::make_unique<ParameterStore>();
  for (const int outputs : {4, 8}) {
    store->OutputCount = outputs;
    std::vector<CopyMessage> expected{{InputBlock, 3, AllGroups}};
    for (int k = 0; k < outputs; ++k)
      expected.push_back({OutputBlock, static_cast<uint8_t>(k), OutputGroup::Level});
    EXPECT_EQ(CopyInputMessages(*store, 3), expected);
  }
  EXPECT_EQ(CopyOutputMessages(5), (std::vector<CopyMessage>{{OutputBlock, 5, AllGroups}}));
}

}  // namespace
}  // namespace veyra::testing
