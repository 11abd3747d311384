// The change path's undo and redo on the real stack: the main window, its
// link thread and the simulated processor.
#include <gtest/gtest.h>

#include <QAction>
#include <QTest>
#include <QUndoStack>
#include <cstring>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_slider.hpp"
#include "editing/edit_context.hpp"
#include "editor_test_support.hpp"
#include "state/models.hpp"
#include "state/scales.hpp"
#include "strips/channel_strip.hpp"
#include "strips/channel_switches.hpp"
#include "strips/gain_control.hpp"
#include "strips/routing_views.hpp"
#include "ui_test_util.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;

bool SameRecord(const InputChannel& a, const InputChannel& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

class UndoTest : public EditorTest {
 protected:
  ChannelStrip& Strip(int channel) { return *rig_->window->Routing()->Strip(kIn, channel); }
};

TEST_F(UndoTest, ALinkedGainChangeIsUndoneAndRedoneOnTheDeviceByteForByte) {
  Start(true);
  Link(kIn, 0, 2, &ChannelGroup::LinkGain);
  const auto before = device_->Memory();
  const ParameterStore storeBefore = Store();
  QTest::keyClick(Strip(0).Gain()->Fader(), Qt::Key_Up);
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kIn, 0), Level(kIn, 2)}));
  const auto after = device_->Memory();
  ASSERT_FALSE(SameRecord(after->Inputs[2], before->Inputs[2]));
  EXPECT_EQ(Context().History().undoText(), "Input A gain");

  Context().History().undo();
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kIn, 0), Level(kIn, 2)}));
  for (int ch : {0, 2}) {
    EXPECT_TRUE(SameRecord(device_->Memory()->Inputs[ch], before->Inputs[ch])) << ch;
    EXPECT_TRUE(SameRecord(Store().Inputs[ch], storeBefore.Inputs[ch])) << ch;
  }
  // The strip shows the old gain again.
  EXPECT_EQ(Strip(0).Gain()->Fader()->GetPos(), kChannelGainMax - before->Inputs[0].Gain);

  Context().History().redo();
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kIn, 0), Level(kIn, 2)}));
  for (int ch : {0, 2}) EXPECT_TRUE(SameRecord(device_->Memory()->Inputs[ch], after->Inputs[ch])) << ch;
}

TEST_F(UndoTest, StepsOfOneControlMergeAndOtherControlsMakeTheirOwnSteps) {
  Start(false);
  const int start = Store().Inputs[1].Gain;
  for (int i = 0; i < 12; ++i) QTest::keyClick(Strip(1).Gain()->Fader(), Qt::Key_Up);
  EXPECT_EQ(Store().Inputs[1].Gain, start + 12);
  EXPECT_EQ(Context().History().count(), 1);
  // Two clicks of a two-state button are two steps: merged they would undo as nothing.
  Strip(1).Switches()->Mute()->click();
  Strip(1).Switches()->Mute()->click();
  EXPECT_EQ(Context().History().count(), 3);
  Context().EndMerge();  // a new gesture on the same fader starts a new step
  QTest::keyClick(Strip(1).Gain()->Fader(), Qt::Key_Up);
  EXPECT_EQ(Context().History().count(), 4);
  for (int i = 0; i < 4; ++i) Context().History().undo();
  EXPECT_EQ(Store().Inputs[1].Gain, start);
  // Offline, undo and redo change only the store.
  EXPECT_TRUE(Writes().empty());
}

TEST_F(UndoTest, WhatReplacesTheStoreClearsTheHistory) {
  Start(false);
  QTest::keyClick(Strip(0).Gain()->Fader(), Qt::Key_Up);
  ASSERT_EQ(Context().History().count(), 1);
  ASSERT_TRUE(rig_->Connect());
  EXPECT_EQ(Context().History().count(), 0);
  EXPECT_FALSE(Context().History().canUndo());

  QTest::keyClick(Strip(0).Gain()->Fader(), Qt::Key_Up);
  rig_->Session().Disconnect();
  rig_->window->ModelSelector()->SetCurrentIndex(0);
  emit rig_->window->ModelSelector()->selectionChanged(0);
  EXPECT_EQ(Store().CurrentModel, 1);
  EXPECT_EQ(Context().History().count(), 0);
}

TEST_F(UndoTest, TheUndoKeysOfTheWindowNameTheStep) {
  Start(false);
  Strip(2).Switches()->Polarity()->click();
  QAction* undo = nullptr;
  for (QAction* a : rig_->window->findChildren<QAction*>())
    if (a->shortcuts().contains(QKeySequence::Undo)) undo = a;
  ASSERT_NE(undo, nullptr);
  EXPECT_EQ(undo->text(), "Undo Input C polarity");
  const uint8_t inverted = Store().Inputs[2].Polarity;
  QTest::keyClick(rig_->window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_NE(Store().Inputs[2].Polarity, inverted);
  QTest::keyClick(rig_->window.get(), Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Store().Inputs[2].Polarity, inverted);
}

}  // namespace
}  // namespace veyra::testing
