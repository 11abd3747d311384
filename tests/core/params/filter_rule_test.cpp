// The filter rule (a high-pass never above its low-pass, low shelves at most
// and high shelves at least 2000 Hz) through every way a value reaches the
// store: a parameter change (sliders, typed fields, wheel and keys), a script,
// a graph write, an import, a copy and a whole channel brought into the rule.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "admin/channel_copy.hpp"
#include "files/filter_text.hpp"
#include "params/eq_bands.hpp"
#include "params/param_change.hpp"
#include "params/param_script.hpp"
#include "params/param_table.hpp"
#include "params_test_support.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

using test::kIn;
using test::kOut;
using test::Orvane;
using test::ScriptNotes;

uint16_t& SectionFreq(ParameterStore& s, int ch, int section) {
  return s.Outputs[ch].Crossover[section].Freq;
}

// One value set on output 2 (index 1) or input B (index 1), from a start.
struct Case {
  const char* what;
  ChannelKind kind;
  std::function<void(ParameterStore&, int channel)> start;
  const char* name;   // the parameter set
  const char* typed;  // as typed
  const char* field;  // the parameter whose code is checked
  int expected;
  ChangeLimit limit;
};

void Crossover(ParameterStore& s, int ch, int hp, int lp) {
  SectionFreq(s, ch, kHighPass) = static_cast<uint16_t>(hp);
  SectionFreq(s, ch, kLowPass) = static_cast<uint16_t>(lp);
}

void Band2(ParameterStore& s, ChannelKind kind, int ch, EqType type, int hz) {
  EqBand& b = BandRecord(s, kind, ch, 2);
  b.Type = static_cast<uint8_t>(type);
  b.Freq = static_cast<uint16_t>(hz);
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"high-pass past the low-pass", kOut, [](ParameterStore& s, int ch) { Crossover(s, ch, 100, 2000); },
       "xover.hp.freq", "5k", "xover.hp.freq", 2000, ChangeLimit::LowPass},
      {"low-pass below the high-pass", kOut, [](ParameterStore& s, int ch) { Crossover(s, ch, 500, 8000); },
       "xover.lp.freq", "100", "xover.lp.freq", 500, ChangeLimit::HighPass},
      {"high-pass onto the low-pass", kOut, [](ParameterStore& s, int ch) { Crossover(s, ch, 100, 2000); },
       "xover.hp.freq", "2000", "xover.hp.freq", 2000, ChangeLimit::None},
      {"high-pass below the low-pass", kOut, [](ParameterStore& s, int ch) { Crossover(s, ch, 100, 8000); },
       "xover.hp.freq", "80", "xover.hp.freq", 80, ChangeLimit::None},
      {"low shelf up to 30 kHz", kOut,
       [](ParameterStore& s, int ch) { Band2(s, kOut, ch, EqType::LowShelf, 100); }, "eq2.freq", "30k",
       "eq2.freq", 2000, ChangeLimit::LowShelf},
      {"high shelf down to 100 Hz", kIn,
       [](ParameterStore& s, int ch) { Band2(s, kIn, ch, EqType::HighShelf, 8000); }, "eq2.freq", "100",
       "eq2.freq", 2000, ChangeLimit::HighShelf},
      {"low shelf within its side", kIn,
       [](ParameterStore& s, int ch) { Band2(s, kIn, ch, EqType::LowShelf, 100); }, "eq2.freq", "1999",
       "eq2.freq", 1999, ChangeLimit::None},
      {"peaking at 12 kHz made a low shelf", kOut,
       [](ParameterStore& s, int ch) { Band2(s, kOut, ch, EqType::Peaking, 12000); }, "eq2.type", "lshlf",
       "eq2.freq", 2000, ChangeLimit::LowShelf},
      {"peaking at 50 Hz made a high shelf", kIn,
       [](ParameterStore& s, int ch) { Band2(s, kIn, ch, EqType::Peaking, 50); }, "eq2.type", "hshlf",
       "eq2.freq", 2000, ChangeLimit::HighShelf},
  };
  return cases;
}

constexpr int kChannel = 1;

int Code(const ParameterStore& s, const Case& c) {
  return ReadCode(s, *FindParam(c.kind, c.field), kChannel);
}

TEST(FilterRule, ParameterChangesAsSlidersTypedFieldsAndKeysMakeThem) {
  for (const Case& c : Cases()) {
    auto store = Orvane();
    c.start(*store, kChannel);
    const ParamDescriptor& param = *FindParam(c.kind, c.name);
    ChangeLog log;
    const ParamChange change = ChangeParam(*store, param, kChannel, *ParseParam(param, c.typed), log);
    EXPECT_EQ(Code(*store, c), c.expected) << c.what;
    EXPECT_EQ(change.Limit, c.limit) << c.what;
    EXPECT_EQ(log.Addresses().size(), 1u) << c.what;
  }
}

TEST(FilterRule, ScriptsSayWhatWasLimited) {
  for (const Case& c : Cases()) {
    auto store = Orvane();
    c.start(*store, kChannel);
    const std::string channel = c.kind == kOut ? "output 2" : "input B";
    const std::string word = std::string(c.name) + "=" + c.typed;
    const std::vector<std::string> notes = ScriptNotes(*store, channel + " " + word);
    EXPECT_EQ(Code(*store, c), c.expected) << c.what;
    EXPECT_EQ(notes.size(), c.limit == ChangeLimit::None ? 0u : 1u) << c.what;
    if (notes.empty()) continue;
    EXPECT_TRUE(notes[0].starts_with(channel + " " + word + ": ")) << notes[0];
    EXPECT_NE(notes[0].find("limited to " + std::to_string(c.expected) + "Hz"), std::string::npos)
        << notes[0];
  }
}

TEST(FilterRule, ScriptNotesNameTheReason) {
  auto store = Orvane();
  Crossover(*store, 2, 100, 2000);
  Band2(*store, kIn, 0, EqType::Peaking, 12000);
  EXPECT_EQ(ScriptNotes(*store,
                        "output 3 xover.hp.freq=5k eq1.freq=40000 eq1.freq=30000 input A "
                        "eq2.type=lshlf eq2.gain=-40dB"),
            (std::vector<std::string>{
                "output 3 xover.hp.freq=5k: limited to 2000Hz, the low-pass frequency",
                "output 3 eq1.freq=40000: limited to 30000Hz, the highest",
                "input A eq2.type=lshlf: eq2.freq limited to 2000Hz, a low shelf's highest",
                "input A eq2.gain=-40dB: limited to -30.0dB, the lowest",
            }));
}

// The graph writes a record and hands it to the change path.
TEST(FilterRule, GraphWritesKeepIt) {
  for (const Case& c : Cases()) {
    if (std::string(c.name).ends_with(".type")) continue;  // the graph moves frequencies only
    auto store = Orvane();
    c.start(*store, kChannel);
    const ParamDescriptor& param = *FindParam(c.kind, c.name);
    WriteCode(*store, param, kChannel, *ParseParam(param, c.typed));
    ChangeLog log;
    if (param.Band != 0)
      BandWritten(*store, c.kind, kChannel, param.Band, log);
    else
      SectionWritten(*store, kChannel, std::string(c.name) == "xover.hp.freq" ? kHighPass : kLowPass, log);
    EXPECT_EQ(Code(*store, c), c.expected) << c.what;
  }
}

// Whole-channel sources (an import, a copy, LimitChannelFilters) cannot know
// which section moved last: where the sections cross the high-pass gives way.
TEST(FilterRule, WholeChannelsComeIntoIt) {
  for (const Case& c : Cases()) {
    const ParamDescriptor& param = *FindParam(c.kind, c.name);
    const auto broken = [&](ParameterStore& s, int ch) {
      c.start(s, ch);
      WriteCode(s, param, ch, *ParseParam(param, c.typed));  // a type written without its rule
    };
    const auto kept = [&](ParameterStore& s, int ch, const char* how) {
      if (c.kind == kOut) {
        EXPECT_LE(SectionFreq(s, ch, kHighPass), SectionFreq(s, ch, kLowPass)) << c.what << how;
      }
      const EqBand& b = BandRecord(s, c.kind, ch, 2);
      EXPECT_EQ(b.Freq, ShelfLimitedFrequency(b.Type, b.Freq)) << c.what << how;
      if (c.limit == ChangeLimit::LowShelf || c.limit == ChangeLimit::HighShelf) {
        EXPECT_EQ(b.Freq, 2000) << c.what << how;
      }
    };
    {
      auto store = Orvane();
      broken(*store, kChannel);
      const std::vector<uint8_t> groups = LimitChannelFilters(*store, c.kind, kChannel);
      kept(*store, kChannel, " (limited)");
      EXPECT_EQ(groups.empty(), c.limit == ChangeLimit::None) << c.what;
    }
    {
      auto store = Orvane();
      broken(*store, 0);
      if (c.kind == kOut)
        CopyOutputSettings(*store, 0, kChannel);
      else
        CopyInputSettings(*store, 0, kChannel);
      kept(*store, kChannel, " (copied)");
    }
    if (param.Band != 0) {
      auto store = Orvane();
      const EqBand& b = BandRecord(*store, c.kind, 0, 2);
      broken(*store, 0);
      std::vector<ImportedBand> bands(2);
      bands[1] = {.Freq = b.Freq, .Gain = 650, .Width = 25, .ShelfSlope = 0, .Type = b.Type};
      ApplyEqImport(*store, c.kind, kChannel, bands);
      kept(*store, kChannel, " (imported)");
    }
  }
}

TEST(FilterRule, LinkedMembersKeepItWithTheirOwnSections) {
  auto store = Orvane();
  store->OutputGroups[2] = ChannelGroup{};
  store->OutputGroups[2].LinkCrossover = 1;
  for (const int ch : {1, 4}) store->Outputs[ch].GroupNumber = 3;
  Crossover(*store, 1, 100, 10000);
  Crossover(*store, 4, 100, 3000);  // the member's low-pass lies below what it receives
  ChangeLog log;
  ChangeParam(*store, *FindParam(kOut, "xover.hp.freq"), 1, 5000, log);
  EXPECT_EQ(SectionFreq(*store, 1, kHighPass), 5000);
  EXPECT_EQ(SectionFreq(*store, 4, kHighPass), 3000);
  EXPECT_EQ(SectionFreq(*store, 4, kLowPass), 3000);
  EXPECT_EQ(log.Addresses().size(), 2u);
}

}  // namespace
}  // namespace veyra
