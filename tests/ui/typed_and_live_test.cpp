// Values typed into the editors' entry fields and sliders that take effect
// while they move, on the real stack: the main window's editing context, its
// link thread and the simulated processor.
#include <gtest/gtest.h>

#include <QUndoStack>
#include <functional>

#include "admin/copy_dialog.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "editing/channel_name.hpp"
#include "editing/param_binding.hpp"
#include "editor_test_support.hpp"
#include "editors/dynamics_editor.hpp"
#include "editors/input_eq_editor.hpp"
#include "editors/mic_line_editor.hpp"
#include "editors/output_eq_editor.hpp"
#include "editors/parts/eq_band_column.hpp"
#include "editors/parts/mode_slider.hpp"
#include "editors/parts/slider_column.hpp"
#include "params/eq_bands.hpp"
#include "params/param_table.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;
using Mode = OutputEqEditor::SectionMode;

class TypedAndLiveTest : public EditorTest {
 protected:
  static Request Write(ChannelKind kind, int channel, int group) {
    return {WriteCommand, 0, BlockOf(kind), static_cast<uint8_t>(channel), static_cast<uint8_t>(group)};
  }
  int Steps() { return Context().History().count(); }
  FilterSection& Section(int channel, int section) { return Store().Outputs[channel].Crossover[section]; }
};

TEST_F(TypedAndLiveTest, CrossoverValuesAreTypedAndTheSliderReachesEightyHertz) {
  Start(true);
  OutputEqEditor editor(Context(), 2);
  struct Case {
    int section;
    Mode mode;
    const char* typed;
    uint16_t FilterSection::*freq;  // checked when a frequency
    int expected;
  };
  // The low-pass first, so that the high-pass may rise to 80 Hz.
  for (const Case c : {Case{kLowPass, Mode::Frequency, "2.5kHz", &FilterSection::Freq, 2500},
                       {kHighPass, Mode::Frequency, "80", &FilterSection::Freq, 80},
                       {kLowPass, Mode::Frequency, "1k", &FilterSection::Freq, 1000},
                       {kHighPass, Mode::Slope, "24dB", nullptr, 2},
                       {kLowPass, Mode::Slope, "48", nullptr, 6}}) {
    const int before = Steps();
    Enter(editor.SectionField(c.section, c.mode)->Field(), c.typed);
    const FilterSection& s = Section(2, c.section);
    EXPECT_EQ(c.freq ? s.*c.freq : s.CrossoverSlope, c.expected) << c.typed;
    EXPECT_EQ(Steps(), before + 1) << c.typed;
    EXPECT_EQ(Writes(), (std::vector<Request>{Write(kOut, 2, OutputGroup::Crossover)})) << c.typed;
    const auto memory = device_->Memory();
    const FilterSection& device = memory->Outputs[2].Crossover[c.section];
    EXPECT_EQ(c.freq ? device.*c.freq : device.CrossoverSlope, c.expected) << c.typed;
  }
  EXPECT_EQ(editor.SectionButton(kHighPass, Mode::Frequency)->text(), "80");
  EXPECT_EQ(editor.SectionField(kHighPass, Mode::Slope)->Field()->text(), "24dB");
  // Unreadable: nothing changes and the field shows the stored value again.
  const int before = Steps();
  Enter(editor.SectionField(kHighPass, Mode::Frequency)->Field(), "low");
  EXPECT_EQ(Steps(), before);
  EXPECT_EQ(editor.SectionField(kHighPass, Mode::Frequency)->Field()->text(), "80");

  // Positions 90 and 91 of the slider: 80 and 81 Hz, not 79 and 81.
  editor.SelectSection(kHighPass, Mode::Frequency);
  for (const auto& [position, hertz] : {std::pair{91, 81}, {90, 80}}) {
    editor.CrossoverSlider()->Slider()->SetPos(position);
    emit editor.CrossoverSlider()->Slider()->sliderChanged(0);
    EXPECT_EQ(Section(2, kHighPass).Freq, hertz) << position;
  }
}

// One table through the typed fields and the sliders of both EQ editors.
TEST_F(TypedAndLiveTest, TheFilterRuleHoldsForTypedValuesAndSliders) {
  Start(false);
  OutputEqEditor editor(Context(), 1);
  Section(1, kHighPass).Freq = 100;
  Section(1, kLowPass).Freq = 3000;
  BandRecord(Store(), kOut, 1, 3).Type = static_cast<uint8_t>(EqType::LowShelf);
  BandRecord(Store(), kOut, 1, 3).Freq = 500;
  BandRecord(Store(), kOut, 1, 4).Type = static_cast<uint8_t>(EqType::HighShelf);
  BandRecord(Store(), kOut, 1, 4).Freq = 9000;
  Context().Refresh();
  struct Case {
    const char* what;
    std::function<void()> change;
    std::function<int()> value;
    int expected;
  };
  const auto hp = [&] { return int{Section(1, kHighPass).Freq}; };
  const auto lp = [&] { return int{Section(1, kLowPass).Freq}; };
  const auto band = [&](int b) { return [&, b] { return int{BandRecord(Store(), kOut, 1, b).Freq}; }; };
  const auto slide = [&](ModeSlider* slider, int position) {
    slider->Slider()->SetPos(position);
    emit slider->Slider()->sliderChanging(0);
    emit slider->Slider()->sliderChanged(0);
  };
  const std::vector<Case> cases = {
      {"typed high-pass past the low-pass",
       [&] { Enter(editor.SectionField(kHighPass, Mode::Frequency)->Field(), "5k"); }, hp, 3000},
      {"typed low-pass below the high-pass",
       [&] { Enter(editor.SectionField(kLowPass, Mode::Frequency)->Field(), "50"); }, lp, 3000},
      {"high-pass slid to the top",
       [&] {
         editor.SelectSection(kHighPass, Mode::Frequency);
         slide(editor.CrossoverSlider(), 348);
       },
       hp, 3000},
      {"low-pass slid to the bottom",
       [&] {
         editor.SelectSection(kLowPass, Mode::Frequency);
         slide(editor.CrossoverSlider(), 0);
       },
       lp, 3000},
      {"typed low shelf at 30 kHz",
       [&] { Enter(editor.Column(3)->Field(BandMode::Frequency)->Field(), "30k"); }, band(3), 2000},
      {"high shelf slid to 10 Hz",
       [&] {
         editor.SelectBand(4, BandMode::Frequency);
         slide(editor.ValueSlider(), 0);
       },
       band(4), 2000},
  };
  for (const Case& c : cases) {
    c.change();
    EXPECT_EQ(c.value(), c.expected) << c.what;
  }
}

TEST_F(TypedAndLiveTest, CompressorValuesAreTypedUnderTheFaders) {
  for (const std::string model : {"sistel", "orvane"}) {
    Start(true, model);
    CompressorEditor editor(Context(), 1);
    struct Case {
      DynamicsEditor::Column column;
      const char* typed;
      uint16_t InputChannel::*field;
      int expected;
    };
    // Hand-worked: 300 - 125; 20 ms is code 6 + 20; 300 ms - 50; 1:4 = 2^2, 8 = 2^3.
    for (const Case c : {Case{DynamicsEditor::kThreshold, "-12.5", &InputChannel::Threshold, 175},
                         {DynamicsEditor::kAttack, "20ms", &InputChannel::Attack, 26},
                         {DynamicsEditor::kRelease, "300", &InputChannel::Release, 250},
                         {DynamicsEditor::kRatio, "1:4", &InputChannel::Ratio, 2},
                         {DynamicsEditor::kRatio, "8", &InputChannel::Ratio, 3}}) {
      const int before = Steps();
      BoundField* entry = editor.ColumnAt(c.column)->Entry();
      ASSERT_NE(entry, nullptr) << c.typed;
      Enter(entry->Field(), c.typed);
      EXPECT_EQ(Store().Inputs[1].*c.field, c.expected) << model << " " << c.typed;
      EXPECT_EQ(Steps(), before + 1) << c.typed;
      EXPECT_EQ(Writes(), (std::vector<Request>{Write(kIn, 1, InputGroup::Compressor)})) << c.typed;
      EXPECT_EQ(device_->Memory()->Inputs[1].*c.field, c.expected) << model << " " << c.typed;
    }
    EXPECT_EQ(editor.ColumnAt(DynamicsEditor::kRatio)->Entry()->Field()->text(), "1:8");
    EXPECT_EQ(editor.ColumnAt(DynamicsEditor::kThreshold)->Readout()->Text(), "-12.5 dB");
    TearDown();
  }
}

TEST_F(TypedAndLiveTest, NoiseGateThresholdIsTyped) {
  Start(true, "sistel");
  InputEqEditor editor(Context(), 1);
  Enter(editor.GateField()->Field(), "-60dB");
  EXPECT_EQ(Store().Inputs[1].NoiseGate[kNoiseGateThresholdByte], 60);
  EXPECT_EQ(Writes(), (std::vector<Request>{Write(kIn, 1, InputGroup::NoiseGate)}));
  EXPECT_EQ(editor.GateSlider()->Readout()->Text(), "-60dB");
}

// Every step of a drag is stored, sent and copied to the linked member before
// the button is released; the whole drag undoes as one step.
TEST_F(TypedAndLiveTest, SliderDragsTakeEffectBeforeReleaseAsOneStep) {
  struct Case {
    const char* what;
    ChannelKind kind;
    uint8_t ChannelGroup::*flag;
    std::function<QDialog*(EditContext&)> open;
    std::function<SkinSlider*(QDialog*)> slider;
    const char* param;
    std::vector<int> positions;
    std::vector<int> codes;
    int group;  // -1: not sent
  };
  const std::vector<Case> cases = {
      {"EQ value slider",
       kOut,
       &ChannelGroup::LinkEq,
       [](EditContext& c) {
         auto* e = new OutputEqEditor(c, 1);
         e->SelectBand(2, BandMode::Gain);
         return e;
       },
       [](QDialog* d) { return static_cast<OutputEqEditor*>(d)->ValueSlider()->Slider(); },
       "eq2.gain",
       {100, 150, 180},
       {400, 450, 480},
       OutputGroup::Band(2)},
      {"crossover slider",
       kOut,
       &ChannelGroup::LinkCrossover,
       [](EditContext& c) {
         auto* e = new OutputEqEditor(c, 1);
         e->SelectSection(kLowPass, Mode::Frequency);
         return e;
       },
       [](QDialog* d) { return static_cast<OutputEqEditor*>(d)->CrossoverSlider()->Slider(); },
       "xover.lp.freq",
       {300, 250, 200},
       {10000, 3160, 1000},
       OutputGroup::Crossover},
      {"noise-gate slider",
       kIn,
       &ChannelGroup::LinkEq,
       [](EditContext& c) { return new InputEqEditor(c, 1); },
       [](QDialog* d) { return static_cast<InputEqEditor*>(d)->GateSlider()->Slider(); },
       "gate",
       {10, 40, 70},
       {10, 40, 70},
       InputGroup::NoiseGate},
      {"mic fader",
       kIn,
       &ChannelGroup::LinkMic,
       [](EditContext& c) { return new MicLineEditor(c); },
       [](QDialog* d) { return static_cast<MicLineEditor*>(d)->Column(1)->Fader().Slider(); },
       "mic.level",
       {700, 500, 20},
       {20, 220, 700},
       -1},
  };
  for (const Case& c : cases) {
    Start(true, "orvane");
    Link(c.kind, 1, 3, c.flag);
    Store().Inputs[1].MicEditorByte = 1;
    Context().Refresh();
    const ParamDescriptor& param = *FindParam(c.kind, c.param);
    const int before = ReadCode(Store(), param, 1);
    const int memberBefore = ReadCode(Store(), param, 3);
    const int steps = Steps();
    std::unique_ptr<QDialog> dialog(c.open(Context()));
    SkinSlider* slider = c.slider(dialog.get());
    for (size_t i = 0; i < c.positions.size(); ++i) {
      slider->SetPos(c.positions[i]);
      emit slider->sliderChanging(slider->Id());
      EXPECT_EQ(ReadCode(Store(), param, 1), c.codes[i]) << c.what << " step " << i;
      EXPECT_EQ(ReadCode(Store(), param, 3), c.codes[i]) << c.what << " member, step " << i;
      if (c.group >= 0) {
        // Queued writes of one group may be replaced by later ones: the device ends on the latest.
        const std::vector<Request> writes = Writes();
        EXPECT_NE(std::find(writes.begin(), writes.end(), Write(c.kind, 3, c.group)), writes.end()) << c.what;
      }
    }
    emit slider->sliderChanged(slider->Id());
    EXPECT_EQ(Steps(), steps + 1) << c.what;
    if (c.group >= 0) {
      Writes();
      EXPECT_EQ(ReadCode(*device_->Memory(), param, 3), c.codes.back()) << c.what;
    }
    Context().History().undo();
    EXPECT_EQ(ReadCode(Store(), param, 1), before) << c.what;
    EXPECT_EQ(ReadCode(Store(), param, 3), memberBefore) << c.what;
    // The next drag is a step of its own.
    slider->SetPos(c.positions.front());
    emit slider->sliderChanging(slider->Id());
    emit slider->sliderChanged(slider->Id());
    EXPECT_EQ(Steps(), steps + 1) << c.what;  // the undone step was replaced
    EXPECT_EQ(Context().History().index(), steps + 1) << c.what;
    dialog.reset();
    TearDown();
  }
}

TEST_F(TypedAndLiveTest, CopyListsShowTheChannelWithItsName) {
  Start(false, "sistel");
  for (const int ch : {0, 1}) StoreChannelName(Context(), kIn, ch, "Vocal");
  StoreChannelName(Context(), kOut, 2, "Sub");
  CopyDialog dialog(Context());
  EXPECT_EQ(dialog.InputSource()->EntryText(0), "A Vocal");
  EXPECT_EQ(dialog.InputTarget()->EntryText(1), "B Vocal");
  EXPECT_EQ(dialog.OutputSource()->EntryText(2), "3 Sub");
  EXPECT_EQ(dialog.OutputTarget()->EntryText(3), "4 " + ChannelNameText(Store(), kOut, 3));
}

}  // namespace
}  // namespace veyra::testing
