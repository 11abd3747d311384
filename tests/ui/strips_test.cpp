// The channel strips, row panels and routing views on the real stack: the
// main window, its link thread and the simulated processor.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_list.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/value_entry_field.hpp"
#include "editor_test_support.hpp"
#include "groups/channel_kind.hpp"
#include "link/messages.hpp"
#include "state/device_text.hpp"
#include "state/models.hpp"
#include "state/scales.hpp"
#include "strips/block_buttons.hpp"
#include "strips/channel_strip.hpp"
#include "strips/channel_switches.hpp"
#include "strips/gain_control.hpp"
#include "strips/group_selector.hpp"
#include "strips/level_meter.hpp"
#include "strips/name_entry.hpp"
#include "strips/routing_buttons.hpp"
#include "strips/routing_views.hpp"
#include "strips/row_panel.hpp"
#include "ui_test_util.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

class StripsTest : public EditorTest {
 protected:
  // Offline the mixer view is laid out again for the model.
  WindowRig& Start(bool connect, const std::string& model = "orvane") {
    EditorTest::Start(connect, model);
    if (!connect) {
      rig_->window->ShowRoutingView(1);
      rig_->window->RefreshMainWindow();
    }
    return *rig_;
  }
  RoutingViews& Views() { return *rig_->window->Routing(); }
  // A committed fader move of one step up (+0.1 dB).
  static void StepUp(SkinSlider* fader) { QTest::keyClick(fader, Qt::Key_Up); }
};

TEST_F(StripsTest, TheFaderAndTheGainFieldShareTheRangeAndTheOffText) {
  Start(false);
  GainControl* gain = Views().Strip(kOut, 2)->Gain();
  gain->Fader()->SetPos(559);
  QTest::keyClick(gain->Fader(), Qt::Key_Down);  // to the bottom
  EXPECT_EQ(Store().Outputs[2].Gain, 240);
  EXPECT_EQ(gain->Entry()->text(), "OFF");
  EXPECT_EQ(Views().Row(kOut, 2)->Blocks()->Readout(0)->Text(), "OFF");
  EXPECT_EQ(Views().Strip(kOut, 2)->Blocks()->Readout(5)->Text(), "-36.0");

  struct Typed {
    const char* text;
    int code;
    QString shown;
  };
  // The typed rules are the parameter table's; the strip's own short text and OFF.
  for (const Typed& t : {Typed{"3.25", 632, "+3.2dB"}, {"abc", 632, "+3.2dB"}, {"off", 240, "OFF"}}) {
    Enter(gain->Entry(), t.text);
    EXPECT_EQ(Store().Outputs[2].Gain, t.code) << t.text;
    EXPECT_EQ(gain->Entry()->text(), t.shown) << t.text;
    EXPECT_EQ(gain->Fader()->GetPos(), 800 - t.code) << t.text;
  }
}

TEST_F(StripsTest, NamesLongerThanTheDeviceFieldAreRefusedAndShortOnesSent) {
  WindowRig& rig = Start(true);
  const std::string old = DecodeField(Store().Inputs[0].Name);
  NameEntry* strip = Views().Strip(kIn, 0)->Name();
  Enter(strip, "ABCDEFGHI");
  ASSERT_EQ(rig.prompts->notices.size(), 1u);
  EXPECT_EQ(rig.prompts->notices[0], "Name too long.");
  EXPECT_EQ(DecodeField(Store().Inputs[0].Name), old);
  EXPECT_EQ(strip->text().toStdString(), old);
  // Five Chinese characters take ten bytes: refused on a row panel, silently.
  Enter(Views().Row(kOut, 3)->Name(), QString::fromUtf8("主扩声左侧"));
  EXPECT_EQ(rig.prompts->notices.size(), 1u);
  EXPECT_TRUE(Writes().empty());

  Enter(Views().Row(kOut, 3)->Name(), QString::fromUtf8("主扩左"));
  EXPECT_EQ(FieldText(Store().Outputs[3].Name), "\xD6\xF7\xC0\xA9\xD7\xF3");  // GBK
  EXPECT_EQ(Views().Strip(kOut, 3)->Name()->text(), QString::fromUtf8("主扩左"));
  EXPECT_EQ(Writes(), (std::vector<Request>{{WriteCommand, 0, OutputBlock, 3, OutputGroup::Name}}));
  EXPECT_EQ(FieldText(device_->Memory()->Outputs[3].Name), FieldText(Store().Outputs[3].Name));
}

TEST_F(StripsTest, ARowPanelDoubleClickRenamesUnlessLocked) {
  WindowRig& rig = Start(false);
  RowPanel* row = Views().Row(kIn, 2);
  rig.window->Button(kButtonMatrix)->click();
  Store().System.LockState = 1;
  QTest::mouseDClick(row, Qt::LeftButton, {}, QPoint(4, 60));
  EXPECT_TRUE(rig.prompts->namesAsked.empty());
  Store().System.LockState = 0;
  rig.prompts->names = {std::string("Choir"), std::nullopt};
  QTest::mouseDClick(row, Qt::LeftButton, {}, QPoint(4, 60));
  ASSERT_EQ(rig.prompts->namesAsked.size(), 1u);
  EXPECT_EQ(rig.prompts->namesAsked[0].toStdString(), "IN C");
  EXPECT_EQ(FieldText(Store().Inputs[2].Name), "Choir");
  EXPECT_EQ(row->Name()->text(), "Choir");
  QTest::mouseDClick(row, Qt::LeftButton, {}, QPoint(4, 60));  // cancelled: the name stays
  EXPECT_EQ(FieldText(Store().Inputs[2].Name), "Choir");
}

TEST_F(StripsTest, ARoutingClickOfflineShowsInBothMirrorsAndTheSourceLetters) {
  Start(false);
  for (OutputChannel& out : Store().Outputs) std::fill(std::begin(out.Routing), std::end(out.Routing), 0);
  rig_->window->RefreshMainWindow();
  SkinButton* button = Views().Strip(kIn, 1)->Routing()->Button(5);  // input B to output 6
  button->click();
  EXPECT_EQ(Store().Outputs[5].Routing[1], 1);
  EXPECT_TRUE(button->GetDown());
  EXPECT_TRUE(Views().Strip(kOut, 5)->Routing()->Button(1)->GetDown());
  EXPECT_TRUE(Views().Row(kIn, 1)->Routing()->Button(5)->GetDown());
  EXPECT_TRUE(Views().Row(kOut, 5)->Routing()->Button(1)->GetDown());
  EXPECT_EQ(Views().Strip(kOut, 5)->Blocks()->Readout(4)->Text(), "B");
  Views().Row(kOut, 5)->Routing()->Button(3)->click();  // and input D, from the output's side
  EXPECT_EQ(Views().Row(kOut, 5)->Blocks()->Readout(5)->Text(), "BD");
  Views().Strip(kOut, 5)->Routing()->Button(1)->click();
  EXPECT_FALSE(Views().Strip(kIn, 1)->Routing()->Button(5)->GetDown());
  EXPECT_EQ(Views().Strip(kOut, 5)->Blocks()->Readout(4)->Text(), "D");
  EXPECT_TRUE(device_->Requests().empty());
}

TEST_F(StripsTest, ARoutingClickOnlineSendsTheOutputsLevelAndFollowsLinkMix) {
  Start(true);
  Store().OutputGroups[2].LinkMix = 1;
  Store().Outputs[1].GroupNumber = Store().Outputs[4].GroupNumber = 3;
  const uint8_t was = Store().Outputs[1].Routing[3];
  Views().Strip(kIn, 3)->Routing()->Button(1)->click();  // the input side is not copied
  EXPECT_EQ(Writes(), std::vector<Request>{Level(kOut, 1)});
  EXPECT_EQ(device_->Memory()->Outputs[1].Routing[3], was ? 0 : 1);
  device_->Forget();
  Views().Strip(kOut, 1)->Routing()->Button(3)->click();
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kOut, 1), Level(kOut, 4)}));
  EXPECT_EQ(device_->Memory()->Outputs[1].Routing[3], was);
  EXPECT_EQ(device_->Memory()->Outputs[4].Routing[3], was);
}

TEST_F(StripsTest, TheTwoInputModelShowsTwoRoutingButtonsAndKeepsTheOtherFlags) {
  WindowRig& rig = Start(false, "sistel");
  for (OutputChannel& out : Store().Outputs) std::fill(std::begin(out.Routing), std::end(out.Routing), 1);
  rig.window->Button(kButtonOutputSide)->click();
  rig.window->RefreshMainWindow();
  ChannelStrip* strip = Views().Strip(kOut, 0);
  EXPECT_TRUE(strip->isVisible());
  EXPECT_FALSE(Views().Strip(kOut, 4)->isVisible());
  EXPECT_EQ(strip->Routing()->ShownCount(), 2);
  EXPECT_TRUE(strip->Routing()->Button(1)->isVisibleTo(strip));
  EXPECT_FALSE(strip->Routing()->Button(2)->isVisibleTo(strip));
  EXPECT_EQ(strip->Blocks()->Readout(4)->Text(), "AB");
  strip->Routing()->Button(0)->click();
  EXPECT_EQ(strip->Blocks()->Readout(4)->Text(), "B");
  const uint8_t expected[8] = {0, 1, 1, 1, 1, 1, 1, 1};
  EXPECT_EQ(std::memcmp(Store().Outputs[0].Routing, expected, 8), 0);
  EXPECT_EQ(Views().Strip(kIn, 0)->Routing()->ShownCount(), 4);
}

// One change on input A with A and C in one group: A is sent first, then C.
// (Linked mute and polarity take the same path from the level editors.)
TEST_F(StripsTest, LinkedChangesReachTheOtherMembersInChannelOrder) {
  Start(true);
  Link(kIn, 0, 2, &ChannelGroup::LinkGain);
  Store().Inputs[1].GroupNumber = 0;
  const int bystander = Store().Inputs[1].Gain;
  StepUp(Views().Strip(kIn, 0)->Gain()->Fader());
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kIn, 0), Level(kIn, 2)}));
  EXPECT_EQ(Store().Inputs[2].Gain, Store().Inputs[0].Gain);
  EXPECT_EQ(device_->Memory()->Inputs[2].Gain, Store().Inputs[0].Gain);
  EXPECT_EQ(Store().Inputs[1].Gain, bystander);
  // Leaving the group through the selector: later edits stay on the channel.
  GroupSelector* selector = Views().Strip(kIn, 0)->Group();
  EXPECT_EQ(selector->GetCurrentIndex(), 3);
  emit selector->List()->entryChosen(0);
  EXPECT_EQ(Store().Inputs[0].GroupNumber, 0u);
  device_->Forget();
  Views().Strip(kIn, 0)->Switches()->Mute()->click();
  EXPECT_EQ(Writes(), std::vector<Request>{Level(kIn, 0)});
}

// The entries' names and order are the group editor tests'.
TEST_F(StripsTest, TheGroupSelectorSetsTheGroupAndShowsNoEntryForADamagedNumber) {
  WindowRig& rig = Start(false);
  GroupSelector* selector = Views().Strip(kOut, 6)->Group();
  EXPECT_EQ(selector->EntryText(0), "NONE");
  emit selector->List()->entryChosen(3);
  EXPECT_EQ(Store().Outputs[6].GroupNumber, 3u);
  Store().Outputs[6].GroupNumber = 12;  // from a damaged file: no entry stands for it
  rig.window->RefreshMainWindow();
  EXPECT_EQ(selector->GetCurrentIndex(), -1);
}

TEST_F(StripsTest, ButtonCaptionsFollowTheStoreOnEveryPanelKind) {
  Start(false);
  Store().Inputs[0].Polarity = 1;
  Store().Inputs[0].Mute = 0;
  Store().Outputs[0].Polarity = 1;
  Store().Outputs[0].Mute = 0;
  rig_->window->RefreshMainWindow();
  struct Shown {
    ChannelPanel* panel;
    const char* pol;
    const char* mute;
  };
  for (const Shown& s : {Shown{Views().Strip(kOut, 0), "POL-", "MUTED"},
                         {Views().Row(kIn, 0), "POL-", "MUTE"},
                         {Views().Row(kOut, 0), "POL -", "MUTE"}}) {
    EXPECT_EQ(s.panel->Switches()->Polarity()->text(), s.pol) << s.panel->objectName().toStdString();
    EXPECT_EQ(s.panel->Switches()->Mute()->text(), s.mute) << s.panel->objectName().toStdString();
    EXPECT_TRUE(s.panel->Switches()->Mute()->GetDown());
  }
  Views().Row(kOut, 0)->Switches()->Polarity()->click();
  Views().Row(kOut, 0)->Switches()->Mute()->click();
  EXPECT_EQ(Store().Outputs[0].Polarity, 0);
  EXPECT_EQ(Store().Outputs[0].Mute, 1);
  EXPECT_EQ(Views().Strip(kOut, 0)->Switches()->Polarity()->text(), "POL+");
  EXPECT_EQ(Views().Row(kOut, 0)->Switches()->Polarity()->text(), "POL +");
  EXPECT_EQ(Views().Strip(kOut, 0)->Switches()->Mute()->text(), "MUTE");
}

TEST_F(StripsTest, BlockButtonsOpenTheirEditorOnThePanelsChannelAndFollowTheLock) {
  WindowRig& rig = Start(false);
  BlockButtons* blocks = Views().Row(kOut, 5)->Blocks();
  EXPECT_TRUE(blocks->Button(3)->isEnabled());  // LIMIT: the limiter editor
  int openedOn = -1;
  rig.window->SetWindowOpener(WindowKind::LimiterEditor,
                              [&](QWidget*) { openedOn = rig.window->EditorChannel(); });
  rig.window->RefreshMainWindow();
  ASSERT_TRUE(blocks->Button(3)->isEnabled());
  EXPECT_FALSE(blocks->Button(5)->isEnabled());  // MIX has no action
  blocks->Button(3)->click();
  EXPECT_EQ(openedOn, 5);
  EXPECT_EQ(rig.window->EditorChannel(), 0);

  rig.window->EnableChannelControls(false);
  ChannelPanel* strip = Views().Strip(kIn, 0);
  for (QWidget* control : std::initializer_list<QWidget*>{
           blocks->Button(3), strip->Gain()->Fader(), strip->Gain()->Entry(), strip->Name(),
           strip->Switches()->Mute(), strip->Routing()->Button(0), strip->Group()})
    EXPECT_FALSE(control->isEnabled()) << control->metaObject()->className();
  rig.window->RefreshMainWindow();
  EXPECT_FALSE(blocks->Button(3)->isEnabled());
  rig.window->EnableChannelControls(true);
  EXPECT_TRUE(blocks->Button(3)->isEnabled());
  EXPECT_TRUE(strip->Gain()->Fader()->isEnabled());
}

TEST_F(StripsTest, TheViewsShowThePanelsOfTheModel) {
  WindowRig& rig = Start(false, "merial");
  EXPECT_TRUE(Views().Strip(kIn, 2)->isVisible());
  EXPECT_EQ(Views().Strip(kIn, 2)->Routing()->ShownCount(), 6);
  EXPECT_FALSE(Views().Strip(kIn, 3)->isVisible());
  // A name being typed survives a resize of the window.
  NameEntry* name = Views().Strip(kIn, 2)->Name();
  name->setFocus();
  QTest::keyClicks(name, "xy");
  rig.window->resize(rig.window->width() + 40, rig.window->height() + 30);
  QCoreApplication::processEvents();
  EXPECT_TRUE(name->hasFocus());
  EXPECT_TRUE(name->text().endsWith("xy"));
  rig.window->Button(kButtonMatrix)->click();
  EXPECT_FALSE(Views().Strip(kIn, 0)->isVisible());
  EXPECT_TRUE(Views().Row(kOut, 5)->isVisible());
  EXPECT_FALSE(Views().Row(kOut, 6)->isVisible());
  EXPECT_TRUE(Views().SelectCaption(kIn)->isVisible());
  EXPECT_TRUE(Views().Row(kOut, 5)->Routing()->isVisible());
  rig.window->Button(kButtonMixButton)->click();  // routing lines
  EXPECT_FALSE(Views().Row(kOut, 5)->Routing()->isVisible());
  EXPECT_FALSE(Views().SelectCaption(kIn)->isVisible());
}

TEST_F(StripsTest, TheMatrixDrawsOneLineInTheInputsColourPerRoute) {
  WindowRig& rig = Start(false);
  for (OutputChannel& out : Store().Outputs) std::fill(std::begin(out.Routing), std::end(out.Routing), 0);
  Store().Outputs[0].Routing[6] = 1;  // beyond the Orvane's inputs: never drawn
  rig.window->Button(kButtonMixButton)->click();
  rig.window->RefreshMainWindow();
  QWidget* canvas = Views().MatrixContent();
  canvas->grab();
  EXPECT_EQ(Views().LinesPainted(), 0);

  Store().Outputs[2].Routing[1] = 1;
  Store().Outputs[7].Routing[3] = 1;
  Store().Outputs[7].Routing[0] = 1;
  const std::vector<RoutingLine> lines = RoutingLines(Store());
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1].Input, 1);
  const QImage image = canvas->grab().toImage();
  EXPECT_EQ(Views().LinesPainted(), 3);
  // The line of input B crosses its middle in B's colour (smoothed over two pixels at most).
  const QPoint mid = (lines[1].From + lines[1].To) / 2 - RoutingViews::kMatrixOrigin;
  int nearest = 255 * 3;
  for (int y = mid.y() - 2; y <= mid.y() + 2; ++y) {
    const QColor seen(image.pixel(mid.x(), y));
    const QColor line = InputColour(1);
    nearest = std::min(nearest, std::abs(seen.red() - line.red()) + std::abs(seen.green() - line.green()) +
                                    std::abs(seen.blue() - line.blue()));
  }
  EXPECT_LT(nearest, 90);
  rig.window->Button(kButtonMixButton)->click();  // mix buttons: no lines
  canvas->grab();
  EXPECT_EQ(Views().LinesPainted(), 0);
}

TEST_F(StripsTest, MetersShowTheLevelsTheDeviceReported) {
  WindowRig& rig = Start(true);
  QSignalSpy meters(&rig.Session(), &DeviceSession::metersUpdated);
  rig.Session().PollTimer().start(1);
  ASSERT_TRUE(meters.wait(5000));
  int lit = 0;
  for (int k = 0; k < 4; ++k) {
    LevelMeter* meter = Views().Strip(kIn, k)->Meter();
    EXPECT_EQ(meter->Level(), Store().System.InputMeters[k]) << k;
    for (int s = 0; s < LevelMeter::kSegments; ++s)
      EXPECT_EQ(meter->Segment(s)->GetDown(), s < meter->Level());
    lit += meter->Level();
  }
  EXPECT_GT(lit, 0);  // the demo device has signal
  rig.window->Button(kButtonMatrix)->click();
  meters.clear();
  ASSERT_TRUE(meters.wait(5000));
  for (int k = 0; k < 8; ++k)
    EXPECT_EQ(Views().Row(kOut, k)->Meter()->Level(), Store().System.OutputMeters[k]);
  Views().Row(kOut, 0)->ShowMeterLevel(42);
  EXPECT_EQ(Views().Row(kOut, 0)->Meter()->Level(), 10);
}

}  // namespace
}  // namespace veyra::testing
