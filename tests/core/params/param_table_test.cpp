// The parameter table: typed entry and texts per descriptor, where each
// descriptor's field lies and who carries and links it, and the raw record
// bytes behind ReadCode and WriteCode.
#include "params/param_table.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

#include "link/messages.hpp"

namespace veyra {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

const ParamDescriptor& Get(ChannelKind kind, const char* name) {
  const ParamDescriptor* p = FindParam(kind, name);
  if (!p) throw std::runtime_error(std::string("no parameter ") + name);
  return *p;
}

std::unique_ptr<ParameterStore> NewStore() {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  return store;
}

struct Typed {
  ChannelKind Kind;
  const char* Name;
  const char* Text;
  std::optional<int> Code;
};

TEST(ParamTable, TypedEntryFollowsEachEditorsRule) {
  const std::nullopt_t none = std::nullopt;
  const Typed cases[] = {
      // Channel gain: -36..+20 dB, 600 - trunc(-10 v); the strips' "OFF" reads back.
      {kIn, "gain", "3.25", 632}, {kIn, "gain", "-100", 240}, {kIn, "gain", "30", 800},
      {kIn, "gain", "-6dB", 540}, {kOut, "gain", "OFF", 240}, {kOut, "gain", "-0.05", 600},
      {kIn, "gain", "6ms", none}, {kIn, "gain", "", none}, {kIn, "gain", "nan", none},
      // Choices by caption in any case; mute "on" is the muted code 0.
      {kIn, "mute", "on", 0}, {kOut, "mute", "OFF", 1}, {kIn, "mute", "1", none}, {kIn, "polarity", "Inverted", 1},
      // Delay: below 10 ms samples of 1/48 ms, then whole ms + 470.
      {kIn, "delay", "9.99", 479}, {kIn, "delay", "10", 480}, {kIn, "delay", "12.7", 482},
      {kIn, "delay", "-1", 0}, {kOut, "delay", "1000 ms", 1470}, {kIn, "delay", "5s", none},
      // Noise gate, whole dB from -120.
      {kIn, "gate", "-6.9", 114}, {kIn, "gate", "-200", 0}, {kIn, "gate", "5", 120},
      // Dynamics.
      {kIn, "comp.threshold", "-5.55", 245}, {kIn, "comp.threshold", "25", 500},
      {kIn, "comp.attack", "12ms", 18}, {kIn, "comp.attack", "500", 206}, {kIn, "comp.attack", "0.2", 0},
      {kIn, "comp.release", "100ms", 50}, {kIn, "comp.release", "10", 0}, {kIn, "comp.release", "9999", 4950},
      {kIn, "comp.ratio", "1:4", 2}, {kIn, "comp.ratio", "100", 6}, {kIn, "comp.ratio", "3", 1},
      {kIn, "comp.ratio", "2:1", none},
      {kOut, "limiter.attack", "100", 106}, {kOut, "limiter.attack", "150", 106},
      {kOut, "limiter.release", "X32", 5}, {kOut, "limiter.release", "16", 4},
      {kOut, "limiter.release", "\xC3\x97" "4", 1}, {kOut, "limiter.release", "3", 0},
      {kOut, "limiter.release", "x", none},
      // EQ bands.
      {kOut, "eq6.type", "lshlf", 1}, {kIn, "eq2.type", "high shelf", 2}, {kIn, "eq2.type", "notch", none},
      {kOut, "eq2.freq", "1k", 1000}, {kIn, "eq2.freq", "1.5kHz", 1500}, {kIn, "eq2.freq", "5", 10},
      {kIn, "eq2.freq", "40000", 30000}, {kIn, "eq2.freq", "1000.7", 1000}, {kIn, "eq2.freq", "1m", none},
      {kIn, "eq3.gain", "-3.25", 568}, {kIn, "eq3.gain", "-31", 300},
      {kOut, "eq4.width", "1.23oct", 115}, {kIn, "eq4.width", "4", 295}, {kIn, "eq4.width", "1.15", 110},
      {kIn, "eq4.width", "2.05", 200}, {kIn, "eq4.width", "2.55", 250},
      {kIn, "eq5.slope", "12 OCT", 1}, {kIn, "eq5.slope", "6oct", 0}, {kIn, "eq5.slope", "24", 1},
      // Mic gain: -60..+12 dB.
      {kIn, "mic.level", "-70", 0}, {kIn, "mic.level", "-6.55", 535},
      // Crossover.
      {kOut, "xover.hp.type", "L-R", 0}, {kOut, "xover.hp.type", "Butterworth", 2},
      {kOut, "xover.lp.slope", "48dB", 6}, {kOut, "xover.hp.slope", "12", 0}, {kOut, "xover.hp.slope", "60", 6},
      {kOut, "xover.hp.slope", "27", 2},
  };
  for (const Typed& c : cases) {
    EXPECT_EQ(ParseParam(Get(c.Kind, c.Name), c.Text), c.Code) << c.Name << " \"" << c.Text << '"';
  }
}

struct Shown {
  ChannelKind Kind;
  const char* Name;
  int Code;
  const char* Text;
};

TEST(ParamTable, DisplayTextsOfCodes) {
  const auto store = NewStore();
  // One code or two per descriptor where it picks a text of its own; the
  // scales' boundaries are tested with the scales.
  const Shown cases[] = {
      {kIn, "gain", 240, "OFF"}, {kIn, "mute", 0, "on"}, {kOut, "polarity", 1, "inverted"},
      {kOut, "delay", 481, "11ms"}, {kIn, "gate", 114, "-6dB"}, {kIn, "comp.threshold", 301, "0.1 dB"},
      {kIn, "comp.attack", 6, "0.9ms"}, {kIn, "comp.attack", 7, "1ms"}, {kIn, "comp.release", 4950, "5000ms"},
      {kIn, "comp.ratio", 6, "1:64"},
      {kIn, "comp.ratio", 999, "999"},  // the factory defaults' value, outside every editor's range
      {kIn, "eq1.type", 7, "7"}, {kOut, "eq1.gain", 601, "+0.1dB"}, {kIn, "eq1.width", 25, "0.30OCT"},
      {kIn, "eq1.slope", 1, "12 OCT"}, {kIn, "mic.level", 600, "0.0dB"}, {kIn, "mic.line", 1, "mic"},
      {kOut, "limiter.threshold", 301, "+0.1 dB"}, {kOut, "limiter.release", 3, "X8"},
      {kOut, "limiter.ratio", 2, "1:4"}, {kOut, "xover.lp.type", 0, "L-R"},
  };
  for (const Shown& c : cases) {
    EXPECT_EQ(ParamText(Get(c.Kind, c.Name), *store, c.Code), c.Text) << c.Name << ' ' << c.Code;
  }
}

TEST(ParamTable, EveryDescriptorIsWhole) {
  for (const ChannelKind kind : {kIn, kOut}) {
    const size_t record = kind == kIn ? sizeof(InputChannel) : sizeof(OutputChannel);
    const int groups = kind == kIn ? InputGroup::kCount : OutputGroup::kCount;
    std::set<std::string> names;
    for (const ParamDescriptor& p : ChannelParams(kind)) {
      SCOPED_TRACE(p.Name);
      EXPECT_TRUE(names.insert(p.Name).second);
      EXPECT_EQ(p.Kind, kind);
      EXPECT_TRUE(p.Field.Size == 1 || p.Field.Size == 2 || p.Field.Size == 4);
      EXPECT_LE(p.Field.Offset + p.Field.Size, record);
      EXPECT_LE(p.Max, p.Field.Size == 4 ? INT32_MAX : (1 << (8 * p.Field.Size)) - 1);
      EXPECT_LT(p.Min, p.Max);
      EXPECT_TRUE(p.Text && p.Parse);
      EXPECT_TRUE(p.Group < groups || p.Group == kNotSent);
      EXPECT_TRUE(p.Link.has_value());
      const bool covered = std::any_of(p.LinkFields.begin(), p.LinkFields.end(), [&](const FieldSpan& f) {
        return f.Offset <= p.Field.Offset && p.Field.Offset + p.Field.Size <= f.Offset + f.Size;
      });
      EXPECT_TRUE(covered);
      for (const FieldSpan& f : p.LinkFields) EXPECT_LE(f.Offset + f.Size, record);
      EXPECT_EQ(p.Band != 0, p.Name.rfind("eq", 0) == 0);
      if (p.Scale == ParamScale::Choice) {
        EXPECT_EQ(p.Choices.size(), static_cast<size_t>(p.Max - p.Min + 1));
      }
      // The lowest and highest codes have texts that read back as themselves.
      const auto store = NewStore();
      for (const int code : {p.Min, p.Max}) {
        EXPECT_EQ(ParseParam(p, ParamText(p, *store, code)), code) << ParamText(p, *store, code);
      }
    }
  }
  EXPECT_EQ(ChannelParams(kIn).size(), 4u + 3u + 6u * 5u + 4u);
  EXPECT_EQ(ChannelParams(kOut).size(), 4u + 8u + 6u + 6u * 5u + 4u);
}

struct Carried {
  ChannelKind Kind;
  const char* Name;
  uint8_t Group;
  GroupLink Link;
};

TEST(ParamTable, MessageGroupsAndLinks) {
  const Carried cases[] = {
      {kOut, "eq1.freq", OutputGroup::Band1, GroupLink::Eq},   // group 5
      {kIn, "eq3.width", InputGroup::Band3, GroupLink::Eq},    // group 9
      {kIn, "gate", InputGroup::NoiseGate, GroupLink::Eq},     // edited in the EQ editor
      {kIn, "gain", InputGroup::Level, GroupLink::Gain},
      {kOut, "mute", OutputGroup::Level, GroupLink::Mute},
      {kOut, "delay", OutputGroup::Level, GroupLink::Delay},
      {kOut, "route.c", OutputGroup::Level, GroupLink::Mix},
      {kIn, "comp.ratio", InputGroup::Compressor, GroupLink::Compressor},
      {kOut, "limiter.threshold", OutputGroup::Limiter, GroupLink::Limiter},
      {kOut, "limiter.ratio", kNotSent, GroupLink::Limiter},  // not in the limiter message
      {kOut, "xover.lp.freq", OutputGroup::Crossover, GroupLink::Crossover},
      {kIn, "mic.level", kNotSent, GroupLink::Mic},
  };
  for (const Carried& c : cases) {
    const ParamDescriptor& p = Get(c.Kind, c.Name);
    EXPECT_EQ(p.Group, c.Group) << c.Name;
    EXPECT_EQ(p.Link, c.Link) << c.Name;
  }
  EXPECT_EQ(Get(kIn, "eq3.width").Band, 3);
  const ParamDescriptor& route = Get(kOut, "route.c");
  ASSERT_EQ(route.LinkFields.size(), 1u);
  EXPECT_EQ(route.LinkFields[0].Offset, RoutingField(2).Offset);
  EXPECT_EQ(route.Field.Offset, RoutingField(2).Offset);
  EXPECT_EQ(Get(kOut, "delay").Field.Size, 4u);
}

// What a linked copy of each change moves, through the group rule itself.
TEST(ParamTable, LinkedCopiesMoveTheBlocksFields) {
  auto store = NewStore();
  SwitchModel(*store, 3);
  ParameterStore& s = *store;
  for (ChannelKind kind : {kIn, kOut}) {
    GroupsOf(s, kind)[0].LinkEq = 1;
    GroupsOf(s, kind)[0].LinkCompressor = 1;  // the limiter flag on outputs
    GroupsOf(s, kind)[0].LinkCrossover = 1;
    WithChannel(s, kind, 0, [](auto& r) { r.GroupNumber = 1; });
    WithChannel(s, kind, 1, [](auto& r) { r.GroupNumber = 1; });
  }
  const auto copy = [&](const ParamDescriptor& p) { CopyToGroup(s, p.Kind, 0, *p.Link, p.LinkFields); };

  // An input band change carries frequency, gain, width, type and the band
  // count, but leaves the shelf slope; an output band change takes it along.
  s.Inputs[0].Bands[1] = {1234, 650, 40, 0, 1, 1, 0};
  s.Inputs[0].EqEditorWord = 6;
  copy(Get(kIn, "eq2.gain"));
  EXPECT_EQ(s.Inputs[1].Bands[1].Freq, 1234);
  EXPECT_EQ(s.Inputs[1].Bands[1].Gain, 650);
  EXPECT_EQ(s.Inputs[1].Bands[1].Type, 1);
  EXPECT_EQ(s.Inputs[1].EqEditorWord, 6u);
  EXPECT_EQ(s.Inputs[1].Bands[1].ShelfSlope, 0);
  copy(Get(kIn, "eq2.slope"));  // a slope change itself is repeated
  EXPECT_EQ(s.Inputs[1].Bands[1].ShelfSlope, 1);
  s.Outputs[0].Bands[5].ShelfSlope = 1;
  s.Outputs[0].EqEditorWord = 6;
  copy(Get(kOut, "eq6.freq"));
  EXPECT_EQ(s.Outputs[1].Bands[5].ShelfSlope, 1);
  EXPECT_EQ(s.Outputs[1].EqEditorWord, 6u);

  // A crossover change repeats its own section only.
  s.Outputs[0].Crossover[kLowPass] = {5000, 1, 4};
  s.Outputs[0].Crossover[kHighPass].Freq = 200;
  copy(Get(kOut, "xover.lp.slope"));
  EXPECT_EQ(s.Outputs[1].Crossover[kLowPass].Freq, 5000);
  EXPECT_EQ(s.Outputs[1].Crossover[kLowPass].CrossoverType, 1);
  EXPECT_EQ(s.Outputs[1].Crossover[kHighPass].Freq, 10);

  // The limiter block moves whole.
  s.Outputs[0].Release = 4;
  s.Outputs[0].Ratio = 2;
  copy(Get(kOut, "limiter.threshold"));
  EXPECT_EQ(s.Outputs[1].Release, 4);
  EXPECT_EQ(s.Outputs[1].Ratio, 2);
  // The limiter's ratio alone, which no message sends, repeats only itself.
  s.Outputs[0].Ratio = 5;
  s.Outputs[0].Threshold = 111;
  copy(Get(kOut, "limiter.ratio"));
  EXPECT_EQ(s.Outputs[1].Ratio, 5);
  EXPECT_NE(s.Outputs[1].Threshold, 111);
}

TEST(ParamTable, CodesRoundTripThroughTheRecordBytes) {
  auto store = NewStore();
  for (const ChannelKind kind : {kIn, kOut}) {
    for (const ParamDescriptor& p : ChannelParams(kind)) {
      for (const int channel : {0, 7}) {
        SCOPED_TRACE(p.Name + " channel " + std::to_string(channel));
        const std::span<uint8_t> bytes = RecordBytes(*store, kind, channel);
        const std::vector<uint8_t> before(bytes.begin(), bytes.end());
        for (const int code : {p.Min, p.Max, p.Min + (p.Max - p.Min) / 2}) {
          WriteCode(*store, p, channel, code);
          EXPECT_EQ(ReadCode(*store, p, channel), code);
          uint32_t raw = 0;  // little-endian in the record
          for (size_t i = 0; i < p.Field.Size; ++i) raw |= uint32_t{bytes[p.Field.Offset + i]} << (8 * i);
          EXPECT_EQ(raw, static_cast<uint32_t>(code));
        }
        WriteCode(*store, p, channel, p.Max + 1000);
        EXPECT_EQ(ReadCode(*store, p, channel), p.Max);
        WriteCode(*store, p, channel, p.Min - 1000);
        EXPECT_EQ(ReadCode(*store, p, channel), p.Min);
        for (size_t i = 0; i < bytes.size(); ++i) {
          if (i < p.Field.Offset || i >= p.Field.Offset + p.Field.Size) {
            ASSERT_EQ(bytes[i], before[i]) << i;
          }
        }
      }
    }
  }
  // Channels outside the eight records are neither read nor written.
  const ParamDescriptor& gain = Get(kIn, "gain");
  WriteCode(*store, gain, 8, 700);
  WriteCode(*store, gain, -1, 700);
  EXPECT_EQ(ReadCode(*store, gain, 8), 0);
  EXPECT_EQ(ReadCode(*store, gain, -1), 0);
}

// Each descriptor reads the record field that holds its value.
struct Placed {
  ChannelKind Kind;
  const char* Name;
  int Channel;
  void (*Set)(ParameterStore& s, int value);
  int Value;
};

TEST(ParamTable, DescriptorsReadTheirOwnField) {
  using S = ParameterStore;
  const Placed cases[] = {
      {kIn, "gain", 1, [](S& s, int v) { s.Inputs[1].Gain = uint16_t(v); }, 611},
      {kIn, "delay", 3, [](S& s, int v) { s.Inputs[3].Delay = uint16_t(v); }, 1234},
      {kIn, "mic.line", 0, [](S& s, int v) { s.Inputs[0].MicEditorByte = uint8_t(v); }, 1},
      {kIn, "mic.level", 0, [](S& s, int v) { s.Inputs[0].MicEditorWord = uint16_t(v); }, 517},
      {kIn, "gate", 3, [](S& s, int v) { s.Inputs[3].NoiseGate[kNoiseGateThresholdByte] = uint8_t(v); }, 99},
      {kIn, "eq2.freq", 4, [](S& s, int v) { s.Inputs[4].Bands[1].Freq = uint16_t(v); }, 4321},
      {kIn, "eq6.width", 0, [](S& s, int v) { s.Inputs[0].Bands[5].Width = uint16_t(v); }, 115},
      {kIn, "eq5.slope", 0, [](S& s, int v) { s.Inputs[0].Bands[4].ShelfSlope = uint8_t(v); }, 1},
      {kIn, "comp.release", 5, [](S& s, int v) { s.Inputs[5].Release = uint16_t(v); }, 3000},
      {kIn, "comp.ratio", 1,
        [](S& s, int v) { s.Inputs[1].Ratio = uint16_t(v); }, 999},  // the factory defaults
      {kOut, "delay", 2, [](S& s, int v) { s.Outputs[2].Delay = uint32_t(v); }, 0x00010005},  // all 32 bits
      {kOut, "route.b", 7, [](S& s, int v) { s.Outputs[7].Routing[1] = uint8_t(v); }, 1},
      {kOut, "xover.hp.freq", 4,
        [](S& s, int v) { s.Outputs[4].Crossover[kHighPass].Freq = uint16_t(v); }, 90},
      {kOut, "xover.lp.type", 4,
        [](S& s, int v) { s.Outputs[4].Crossover[kLowPass].CrossoverType = uint8_t(v); }, 1},
      {kOut, "eq1.gain", 3, [](S& s, int v) { s.Outputs[3].Bands[0].Gain = uint16_t(v); }, 700},
      {kOut, "limiter.release", 1, [](S& s, int v) { s.Outputs[1].Release = uint16_t(v); }, 4},
  };
  for (const Placed& c : cases) {
    auto store = NewStore();
    c.Set(*store, c.Value);
    EXPECT_EQ(ReadCode(*store, Get(c.Kind, c.Name), c.Channel), c.Value) << c.Name;
  }
}

TEST(ParamTable, FindsParametersByNameInAnyCase) {
  EXPECT_EQ(FindParam(kIn, "gain")->Name, "gain");
  EXPECT_EQ(FindParam(kOut, "Eq2.Freq")->Band, 2);
  EXPECT_EQ(FindParam(kOut, "LIMITER.threshold")->Name, "limiter.threshold");
  for (const auto& [kind, name] :
       {std::pair{kIn, "eq7.freq"}, {kIn, "limiter.threshold"}, {kOut, "comp.ratio"},
        {kOut, "gate"}, {kIn, "route.a"}, {kIn, ""}, {kIn, "gain "}}) {
    EXPECT_EQ(FindParam(kind, name), nullptr) << name;
  }
}

TEST(ParamTable, Labels) {
  EXPECT_EQ(ChannelLabel(kIn, 0), "Input A");
  EXPECT_EQ(ChannelLabel(kIn, 7), "Input H");
  EXPECT_EQ(ChannelLabel(kOut, 7), "Output 8");
  EXPECT_EQ(ParamLabel(Get(kOut, "limiter.threshold"), 2), "Output 3 limiter threshold");
  EXPECT_EQ(ParamLabel(Get(kIn, "eq2.freq"), 0), "Input A EQ 2 frequency");
  EXPECT_EQ(ParamLabel(Get(kOut, "route.d"), 0), "Output 1 routing from input D");
}


// The delay editors' distance fields at the store's temperature: a typed
// distance goes to milliseconds at 331 + 0.6 T m/s and then by the time rule.
TEST(ParamTable, DelayDistancesAtTheStoresTemperature) {
  const auto store = NewStore();
  struct Case {
    int Temperature;
    DelayDistance Unit;
    const char* Typed;
    std::optional<int> Code;
  } cases[] = {
      {20, DelayDistance::Metres, "1", 139},       // 2.915 ms
      {20, DelayDistance::Metres, "3.5", 480},     // 10.204 ms: whole milliseconds from 10
      {20, DelayDistance::Metres, "400", 1470},    // beyond 1000 ms
      {0, DelayDistance::Metres, "1", 145},        // 331 m/s: 3.021 ms
      {20, DelayDistance::Feet, "3.28", 139},      // the same metre in the feet the text shows
      {20, DelayDistance::Feet, "11.25ft", 479},   // 9.9996 ms, still in samples
      {20, DelayDistance::Feet, "6 m", std::nullopt},
      {20, DelayDistance::Metres, "far", std::nullopt},
  };
  for (const Case& c : cases) {
    store->System.Temperature = static_cast<uint8_t>(c.Temperature);
    EXPECT_EQ(ParseDelayDistance(*store, c.Unit, c.Typed), c.Code) << c.Typed << " at " << c.Temperature;
  }
  store->System.Temperature = 20;
  EXPECT_EQ(DelayDistanceText(*store, DelayDistance::Metres, 480), "3.430M");
  EXPECT_EQ(DelayDistanceText(*store, DelayDistance::Feet, 480), "11.250Ft");
  EXPECT_EQ(DelayDistanceText(*store, DelayDistance::Metres, 0), "0.000M");
}

}  // namespace
}  // namespace veyra
