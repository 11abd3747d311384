// Scripting channels by name: sections and words, values read with the
// editors' rules and shown with their texts, what a script changes and sends,
// and what it refuses before anything changes.
#include "params/param_script.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "params/eq_bands.hpp"
#include "params/param_table.hpp"
#include "params_test_support.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

using test::kIn;
using test::kOrvaneFile;
using test::kOut;
using test::Orvane;
using test::RunScript;

std::vector<std::string> Words(const std::string& text) {
  return ScriptWords(text).value();
}

std::string Value(const ParameterStore& store, ChannelKind kind, int channel, const char* name) {
  return ScriptValue(store, kind, channel, name);
}

TEST(ParamScript, WhatGetShowsSetTakesBackForEveryName) {
  // Codes at both ends and next to them, stored directly (a device or a file
  // holds codes the typed rules never give: a width between slider steps, a
  // delay between typed milliseconds), shown, and set from the text again.
  for (const ChannelKind kind : {kIn, kOut}) {
    const int channel = kind == kIn ? 1 : 2;
    const std::string prefix = ScriptChannelText(kind, channel) + " ";
    for (const std::string& name : ScriptNames(kind, kOrvaneFile)) {
      std::vector<std::string> scripts{"name=\"Lead Vox\"", "name=\"\""};
      if (name == "route") scripts = {"route=A,C", "route=none", "route=b,D"};
      if (name.ends_with(".bypass")) scripts = {name.substr(0, 4) + "gain=-6 " + name + "=on", name + "=off"};
      const ParamDescriptor* param = FindParam(kind, name);
      if (param) scripts.clear();
      for (const int code : {param ? param->Min : 0, param ? param->Min + 1 : 0, param ? param->Max - 1 : 0,
                             param ? param->Max : 0}) {
        auto store = Orvane();
        if (param) {
          WriteCode(*store, *param, channel, code);
        } else if (scripts.empty()) {
          continue;
        } else {
          ASSERT_EQ(RunScript(*store, prefix + scripts.back()), "") << scripts.back();
          scripts.pop_back();
        }
        const std::string shown = Value(*store, kind, channel, name.c_str());
        auto again = Orvane();
        if (name.ends_with(".bypass")) {  // a bypass comes back with its gain
          const std::string gain = name.substr(0, 4) + "gain";
          ASSERT_EQ(RunScript(*again, prefix + gain + "=" + Value(*store, kind, channel, gain.c_str())), "");
        }
        ASSERT_EQ(RunScript(*again, prefix + name + "=" + ScriptWord(shown)), "") << name << "=" << shown;
        // A table parameter comes back as its code (a type change also limits
        // a shelf's frequency, as it does in the editor); the others byte for byte.
        if (param) {
          EXPECT_EQ(ReadCode(*again, *param, channel), code) << name << "=" << shown;
        } else {
          const std::span<uint8_t> was = RecordBytes(*store, kind, channel);
          EXPECT_EQ(std::memcmp(was.data(), RecordBytes(*again, kind, channel).data(), was.size()), 0)
              << name << "=" << shown;
        }
      }
    }
  }
}

TEST(ParamScript, ValuesAreReadWithTheEditorsRules) {
  const auto store = Orvane();
  // The typed rules themselves are the parameter table's; here that a script uses them.
  ASSERT_EQ(RunScript(*store, "input A mute=on delay=2.5ms output 3 limiter.release=x4 route=c,A"), "");
  EXPECT_EQ(store->Inputs[0].Mute, 0) << "on mutes";
  EXPECT_EQ(Value(*store, kIn, 0, "delay"), "2.500ms");
  EXPECT_EQ(Value(*store, kOut, 2, "limiter.release"), "X4");
  EXPECT_EQ(Value(*store, kOut, 2, "route"), "A,C");
  // A shelf keeps to its frequency range when its type changes and when a
  // frequency is typed later, as in the editor.
  ASSERT_EQ(
      RunScript(*store, "input A eq2.type=lshlf eq2.freq=5000 eq3.freq=100 eq3.type=hshlf eq2.type=lshlf"),
      "");
  EXPECT_EQ(Value(*store, kIn, 0, "eq2.freq"), "2000Hz");
  EXPECT_EQ(Value(*store, kIn, 0, "eq3.freq"), "2000Hz");
}

TEST(ParamScript, ABadWordIsNamedAndNothingChanges) {
  const struct {
    const char* Script;
    const char* Error;  // the start of the message
  } cases[] = {
      {"input E gain=0", "input E: the inputs are A..D"},
      {"gain=0", "\"gain=0\": name a channel first"},
      {"input A", "input A: nothing to set"},
      {"input A gain", "input A gain: write NAME=VALUE"},
      {"input A gain=0 loudness=3", "input A: no parameter \"loudness\"; the names are: name gain polarity"},
      {"input A gain=0 eq2.gain=loud", "input A eq2.gain=loud: not a value of eq2.gain (-30.0dB..+15.0dB)"},
      {"input A xover.hp.freq=80", "input A: no parameter \"xover.hp.freq\""},
      {"output 1 route=A,E", "output 1 route=A,E: name inputs A..D"},
      {"output 1 mute=yes", "output 1 mute=yes: not one of on, off"},
      {"input A name=ABCDEFGHI", "input A name=ABCDEFGHI: The text is longer than 8 bytes"},
  };
  for (const auto& c : cases) {
    const auto store = Orvane();
    const auto before = std::make_unique<ParameterStore>(*store);
    EXPECT_TRUE(RunScript(*store, c.Script).starts_with(c.Error))
        << c.Script << "\n  " << RunScript(*store, c.Script);
    EXPECT_EQ(std::memcmp(store.get(), before.get(), sizeof(ParameterStore)), 0) << c.Script;
  }
  // A processor keeps neither the mic settings nor a band's bypass.
  const ScriptModel processor{4, 8, ScriptTarget::Processor};
  const auto store = Orvane();
  for (const char* script : {"input A mic.line=mic", "input A eq1.bypass=on", "input A mic.level=0"})
    EXPECT_NE(RunScript(*store, script, nullptr, true, processor).find("the processor does not keep it"),
              std::string::npos);
}

TEST(ParamScript, ChangesFollowTheGroupLinksUnlessTheyAreLeftOut) {
  for (const bool links : {true, false}) {
    const auto store = Orvane();
    store->InputGroups[1].LinkGain = 1;
    store->InputGroups[1].LinkEq = 1;
    store->Inputs[0].GroupNumber = store->Inputs[2].GroupNumber = 2;
    ChangeLog log;
    ASSERT_EQ(RunScript(*store, "input A mute=off input C mute=off"), "");
    ASSERT_EQ(
        RunScript(*store, "input A gain=-6 name=Lead eq1.bypass=off eq1.gain=3 input C mute=on", &log, links),
        "");
    EXPECT_EQ(Value(*store, kIn, 2, "gain"), links ? "-6.0dB" : "0.0dB");
    EXPECT_EQ(Value(*store, kIn, 2, "eq1.gain"), links ? "+3.0dB" : "0.0dB");
    EXPECT_EQ(Value(*store, kIn, 2, "name"), "IN C") << "names are never linked";
    EXPECT_EQ(Value(*store, kIn, 0, "mute"), "off") << "mute is not linked in this group";
    // Each message once, in the order first needed; a bypass already off sends nothing.
    const uint8_t level = InputGroup::Level, band1 = InputGroup::Band(1);
    std::vector<MessageAddress> expected = {
        {0, 1, 0, level}, {0, 1, 2, level}, {0, 1, 0, 0}, {0, 1, 0, band1}, {0, 1, 2, band1}};
    if (!links) expected = {{0, 1, 0, level}, {0, 1, 0, 0}, {0, 1, 0, band1}, {0, 1, 2, level}};
    EXPECT_EQ(log.Addresses(), expected) << "links " << links;
  }
}

TEST(ParamScript, WordsSplitLikeAShellLineAndValuesQuoteBack) {
  EXPECT_EQ(Words("input A name=\"Lead Vox\" # the singer\n  gain=-3\toutput 1"),
            (std::vector<std::string>{"input", "A", "name=Lead Vox", "gain=-3", "output", "1"}));
  EXPECT_EQ(Words("name=\"a\\\"b\\\\c\""), (std::vector<std::string>{"name=a\"b\\c"}));
  EXPECT_EQ(ScriptWords("name=\"open"), std::nullopt);
  for (const std::string value : {"Lead Vox", "", "a\"b\\c", "#1", "plain"})
    EXPECT_EQ(Words("name=" + ScriptWord(value)), std::vector<std::string>{"name=" + value}) << value;
}

}  // namespace
}  // namespace veyra
