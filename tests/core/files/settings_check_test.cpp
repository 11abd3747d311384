// The file check and the settings diff on stores with known damage and known
// changes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "files/file_check.hpp"
#include "files/settings_diff.hpp"
#include "state/device_text.hpp"

namespace veyra {
namespace {

std::unique_ptr<ParameterStore> Initialised() {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  return store;
}

std::vector<std::string> Texts(const std::vector<RangeFinding>& findings) {
  std::vector<std::string> texts;
  for (const RangeFinding& f : findings) texts.push_back(FindingText(f));
  return texts;
}

std::vector<std::string> Texts(const std::vector<SettingChange>& changes) {
  std::vector<std::string> texts;
  for (const SettingChange& c : changes) texts.push_back(ChangeText(c));
  return texts;
}

TEST(FileCheck, NamesEachFieldOutsideTheEditorsRange) {
  struct Case {
    std::function<void(ParameterStore&)> damage;
    std::string finding;
  };
  const Case cases[] = {
      {[](ParameterStore& s) { s.Inputs[0].Gain = 61000; }, "Input A  Gain  +6040.0dB: outside OFF..+20.0dB"},
      {[](ParameterStore& s) { s.Outputs[2].Polarity = 7; },
       "Output 3  Pol  7: not one of normal, inverted"},
      {[](ParameterStore& s) { s.Outputs[0].Bands[1].Freq = 40000; },
       "Output 1  EQFQ 2  40000Hz: outside 10Hz..30000Hz"},
      {[](ParameterStore& s) { s.Inputs[3].Threshold = 900; },
       "Input D  Compressor Threshold  60.0 dB: outside -30.0 dB..20.0 dB"},
      {[](ParameterStore& s) { s.Outputs[7].Routing[2] = 2; },
       "Output 8  Src In 3  2: not one of off, on"},
      {[](ParameterStore& s) { s.Inputs[1].GroupNumber = 12; }, "Input B  Group  12: outside 0..8"},
      {[](ParameterStore& s) { s.OutputGroups[1].LinkEq = 5; },
       "Output group 2  EQ Link  5: not one of off, on"},
  };
  for (const Case& c : cases) {
    auto store = Initialised();
    c.damage(*store);
    EXPECT_EQ(Texts(CheckLiveSettings(*store)), std::vector<std::string>{c.finding});
  }
}

TEST(FileCheck, LeavesAloneWhatNoEditorSetsAndWhatTheProgramWrites) {
  const std::function<void(ParameterStore&)> untouched[] = {
      [](ParameterStore&) {},                                // the factory defaults, ratio 999 and all
      [](ParameterStore& s) { s.Outputs[0].Ratio = 5000; },  // the limiter ratio no editor shows
      [](ParameterStore& s) { std::memset(&s.Outputs[5], 0, sizeof s.Outputs[5]); },   // a channel never used
      [](ParameterStore& s) { std::memset(&s.Inputs[6], 0xEE, sizeof s.Inputs[6]); },  // beyond every model
      [](ParameterStore& s) { s.Inputs[0].Bands[8].Gain = 9999; },                     // band 9: no editor
      [](ParameterStore& s) { std::memset(s.InputGroups[0].Name, 0xB0, 8); },          // any name loads
  };
  for (size_t i = 0; i < std::size(untouched); ++i) {
    auto store = Initialised();
    untouched[i](*store);
    EXPECT_EQ(Texts(CheckLiveSettings(*store)), std::vector<std::string>{}) << i;
  }
}

TEST(FileCheck, ProgramsAreCheckedWithoutGroupRecordsAndNamedInABank) {
  auto store = Initialised();  // its programs hold zeros: never judged
  store->OutputGroups[0].LinkEq = 9;
  EXPECT_TRUE(CheckAllPrograms(*store).empty());
  ApplyFactoryDefaults(store->Presets[5].Outputs[0]);
  store->Presets[5].Outputs[0].Gain = 61000;
  store->Presets[5].Outputs[0].Mute = 3;
  const std::vector<std::string> program = {"Output 1  Gain  +6040.0dB: outside OFF..+20.0dB",
                                            "Output 1  Mute  3: not one of on, off"};
  EXPECT_EQ(Texts(CheckProgram(*store, 5)), program);
  const std::vector<RangeFinding> bank = CheckAllPrograms(*store);
  ASSERT_EQ(bank.size(), 2u);
  EXPECT_EQ(FindingText(bank[0]), "Program 5  " + program[0]);
  EXPECT_EQ(FindingName(bank[1]), "Program 5 Output 1 Mute 3");
  EXPECT_EQ(FirstFindings(bank, 1), "Program 5 Output 1 Gain +6040.0dB and 1 more");
  EXPECT_EQ(OutOfRangeCount(bank.size()), "2 fields out of range");
}

TEST(SettingsDiff, ListsEachChangedFieldOnce) {
  auto a = Initialised();
  auto b = Initialised();
  const RecordSet before = ModelRecords(*a, 0, 3), after = ModelRecords(*b, 0, 3);
  EXPECT_TRUE(DiffRecords(before, after).empty());

  b->Outputs[2].Bands[1].Freq = 1200;
  a->Outputs[2].Bands[1].Freq = 1000;
  SetFieldBytes(b->Inputs[0].Name, "Vocal");
  b->Inputs[1].GroupNumber = 2;
  b->InputGroups[1].LinkMute = 1;
  SetFieldBytes(b->OutputGroups[0].Name, "Fills");
  b->Outputs[7].Gain = 620;
  EXPECT_EQ(Texts(DiffRecords(before, after)),
            (std::vector<std::string>{
                "Input A  Name  \"IN A\" \u2192 \"Vocal\"", "Input B  Group  none \u2192 2",
                "Output 3  EQFQ 2  1000Hz \u2192 1200Hz", "Output 8  Gain  0.0dB \u2192 +2.0dB",
                "Input group 2  Mute Link  off \u2192 on", "Output group 1  Name  \"\" \u2192 \"Fills\""}));

  // Over a smaller model's columns output 8 is not there; a device or a
  // program has no group records to compare.
  RecordSet device = ModelRecords(*b, 0, 1);
  device.Groups = false;
  EXPECT_EQ(
      Texts(DiffRecords(ModelRecords(*a, 0, 1), device)),
      (std::vector<std::string>{"Input A  Name  \"IN A\" \u2192 \"Vocal\"", "Input B  Group  none \u2192 2",
                                "Output 3  EQFQ 2  1000Hz \u2192 1200Hz"}));
}

}  // namespace
}  // namespace veyra
