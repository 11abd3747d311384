// The gain, delay and mic/line editors on the real stack: the main window's
// editing context, its link thread and the simulated processor.
#include <gtest/gtest.h>

#include <QTest>
#include <QUndoStack>
#include <cstring>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/skin_spin_value.hpp"
#include "editing/channel_name.hpp"
#include "editor_test_support.hpp"
#include "editors/delay_editor.hpp"
#include "editors/delay_panel.hpp"
#include "editors/gain_editor.hpp"
#include "editors/mic_line_editor.hpp"
#include "editors/parts/slider_column.hpp"
#include "state/device_text.hpp"
#include "state/scales.hpp"
#include "strips/block_buttons.hpp"
#include "strips/channel_strip.hpp"
#include "strips/routing_views.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

using LevelEditorsTest = EditorTest;

// ---- Gain editors ---------------------------------------------------------------

// The typed rules are the parameter table's; here the column's wiring, and
// the bottom of the range, which the strips call OFF, shown in decibels.
TEST_F(LevelEditorsTest, GainTextsAndTypedGains) {
  Start(false);
  GainEditor editor(Context(), kOut);
  SliderColumn* column = editor.Column(2);
  ValueEntryField* entry = column->Entry()->Field();
  for (const auto& [code, text] : {std::pair{601, "+0.1dB"}, {240, "-36.0dB"}}) {
    Store().Outputs[2].Gain = static_cast<uint16_t>(code);
    Context().Refresh();
    EXPECT_EQ(column->Readout()->Text(), text) << code;
    EXPECT_EQ(entry->text(), text) << code;
    EXPECT_EQ(column->Fader().Slider()->GetPos(), 800 - code) << code;
  }
  for (const auto& [typed, code] : {std::pair{"3.25", 632}, {"loud", 632}}) {
    Enter(entry, typed);
    EXPECT_EQ(Store().Outputs[2].Gain, code) << typed;
    EXPECT_EQ(column->Fader().Slider()->GetPos(), 800 - code) << typed;
    EXPECT_EQ(entry->text().toStdString(), GainText(code)) << typed;
  }
  EXPECT_EQ(editor.windowTitle(), "Output Gain Control");
}

// ---- Delay editor -------------------------------------------------------------------

TEST_F(LevelEditorsTest, DelayTextsAndTypedTimesAndDistances) {
  Start(false);
  Store().System.Temperature = 20;
  DelayEditor editor(Context());
  DelayPanel* panel = editor.Panel(kOut, 3);
  Store().Outputs[3].Delay = 1470;
  Context().Refresh();
  EXPECT_EQ(panel->Time()->Field()->text(), "1000ms");
  EXPECT_EQ(panel->DelayControl()->GetValue(), 1470);
  EXPECT_EQ(panel->Metres()->Field()->text(), "343.000M");
  EXPECT_EQ(panel->Feet()->Field()->text(), "1125.040Ft");
  struct Typed {
    BoundField* field;
    const char* text;
    int code;
  };
  for (const Typed& t : {Typed{panel->Time(), "10", 480},
                         {panel->Metres(), "1", 139},
                         {panel->Feet(), "3.28", 139},
                         {panel->Metres(), "near", 139}}) {
    Enter(t.field->Field(), t.text);
    EXPECT_EQ(Store().Outputs[3].Delay, static_cast<uint32_t>(t.code)) << t.text;
    EXPECT_EQ(panel->DelayControl()->GetValue(), t.code) << t.text;
  }
  EXPECT_EQ(panel->Time()->Field()->text(), "2.896ms");
  EXPECT_EQ(panel->Metres()->Field()->text(), "0.993M");
}

TEST_F(LevelEditorsTest, DelayPanelsShowTheModelsChannels) {
  Start(false, "sistel");
  DelayEditor editor(Context());
  editor.show();
  for (int ch = 0; ch < kChannelSlots; ++ch) {
    EXPECT_EQ(editor.Panel(kIn, ch)->isVisible(), ch < 2) << ch;
    EXPECT_EQ(editor.Panel(kOut, ch)->isVisible(), ch < 4) << ch;
  }
}

TEST_F(LevelEditorsTest, LinkedPolarityInTheDelayEditorFollowsInMixedCase) {
  Start(true);
  Link(kIn, 0, 1, &ChannelGroup::LinkPolarity);
  DelayEditor editor(Context());
  editor.Panel(kIn, 0)->Polarity()->Button()->click();
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kIn, 0), Level(kIn, 1)}));
  EXPECT_EQ(device_->Memory()->Inputs[1].Polarity, 1);
  EXPECT_EQ(editor.Panel(kIn, 0)->Polarity()->Button()->text(), "POL -");
  EXPECT_EQ(editor.Panel(kIn, 1)->Polarity()->Button()->text(), "Pol -");
  EXPECT_TRUE(editor.Panel(kIn, 1)->Polarity()->Button()->GetDown());
  // Its own click gives the member its own captions back.
  editor.Panel(kIn, 1)->Polarity()->Button()->click();
  EXPECT_EQ(editor.Panel(kIn, 1)->Polarity()->Button()->text(), "POL +");
  EXPECT_EQ(editor.Panel(kIn, 0)->Polarity()->Button()->text(), "Pol +");
}

// The name field's rules are the strips' (the same field); here its wiring.
TEST_F(LevelEditorsTest, ANameTypedInTheDelayEditorIsSent) {
  Start(true);
  DelayEditor editor(Context());
  ChannelNameField* name = editor.Panel(kOut, 2)->Name();
  Enter(name, "Fill L");
  EXPECT_EQ(FieldText(Store().Outputs[2].Name), "Fill L");
  EXPECT_EQ(Writes(), (std::vector<Request>{{WriteCommand, 0, OutputBlock, 2, OutputGroup::Name}}));
}

// ---- Mic/line editor --------------------------------------------------------------

// The column layout follows the model: the gain editor shares it.
TEST_F(LevelEditorsTest, MicColumnsFollowTheModelAndShowTheGain) {
  Start(false, "merial");
  MicLineEditor editor(Context());
  editor.show();
  EXPECT_FALSE(editor.Column(3)->isVisible());
  EXPECT_EQ(editor.Column(1)->Caption()->Text(), "IN B");
  Store().Inputs[1].MicEditorWord = 700;
  Context().Refresh();
  EXPECT_EQ(editor.Column(1)->Readout()->Text(), "10.0dB");
  EXPECT_EQ(editor.Column(1)->Fader().Slider()->GetPos(), 20);
}

TEST_F(LevelEditorsTest, LineDisablesTheFaderFollowsTheLinkAndSendsNothing) {
  Start(true);
  Link(kIn, 0, 1, &ChannelGroup::LinkMic);
  Store().Inputs[0].MicEditorByte = Store().Inputs[1].MicEditorByte = 1;
  Store().Inputs[2].MicEditorWord = 600;
  Store().Inputs[2].MicEditorByte = 1;
  {
    MicLineEditor editor(Context());
    SliderColumn* a = editor.Column(0);
    SliderColumn* b = editor.Column(1);
    EXPECT_TRUE(a->Fader().Slider()->isEnabled());
    a->Toggle(1)->Button()->click();  // LINE
    EXPECT_EQ(Store().Inputs[0].MicEditorByte, 0);
    EXPECT_EQ(Store().Inputs[1].MicEditorByte, 0);
    for (SliderColumn* column : {a, b}) {
      EXPECT_FALSE(column->Fader().Slider()->isEnabled());
      EXPECT_TRUE(column->Toggle(1)->Button()->GetDown());
      EXPECT_FALSE(column->Toggle(0)->Button()->GetDown());
    }
    QTest::keyClick(editor.Column(2)->Fader().Slider(), Qt::Key_Up);
    EXPECT_EQ(Store().Inputs[2].MicEditorWord, 601);
    EXPECT_EQ(editor.Column(2)->Readout()->Text(), "0.1dB");
  }
  EXPECT_TRUE(Writes().empty());
  rig_->window->RefreshMainWindow();  // what the opener does after closing
  RoutingViews& views = *rig_->window->Routing();
  EXPECT_EQ(views.Strip(kIn, 0)->Blocks()->Readout(0)->Text(), "OFF");
  EXPECT_EQ(views.Strip(kIn, 1)->Blocks()->Readout(0)->Text(), "OFF");
  EXPECT_NE(views.Strip(kIn, 2)->Blocks()->Readout(0)->Text(), "OFF");
}

}  // namespace
}  // namespace veyra::testing
