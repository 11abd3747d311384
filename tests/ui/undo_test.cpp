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
#include "mainwin_test_support.hpp"
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

class UndoTest : public ::testing::Test {
 protected:
  WindowRig& Start(bool connect) {
    device_ = std::make_unique<TestDevice>("orvane,fast");
    UseTestDevice(device_.get());
    rig_ = std::make_unique<WindowRig>();
    EXPECT_TRUE(test::ShowActive(rig_->window.get()));
    if (connect) {
      EXPECT_TRUE(rig_->Connect());
    } else {
      SwitchModel(*rig_->store, 3, [this] { rig_->window->RefreshMainWindow(); });
    }
    device_->Forget();
    return *rig_;
  }
  void TearDown() override {
    rig_.reset();
    UseTestDevice(nullptr);
  }
  EditContext& Context() { return rig_->window->Context(); }
  ParameterStore& Store() { return *rig_->store; }
  ChannelStrip& Strip(int channel) { return *rig_->window->Routing()->Strip(kIn, channel); }
  std::vector<Request> Writes() {
    rig_->Settle();
    std::vector<Request> writes;
    for (const Request& r : device_->Requests())
      if (r.Command == WriteCommand) writes.push_back(r);
    device_->Forget();
    return writes;
  }
  static Request Level(int channel) { return {WriteCommand, 0, 1, static_cast<uint8_t>(channel), 1}; }
  void LinkGainOfInputs0And2() {
    Store().InputGroups[2] = ChannelGroup{};
    Store().InputGroups[2].LinkGain = 1;
    Store().Inputs[0].GroupNumber = Store().Inputs[2].GroupNumber = 3;
  }

  std::unique_ptr<TestDevice> device_;
  std::unique_ptr<WindowRig> rig_;
};

TEST_F(UndoTest, ALinkedGainChangeIsUndoneAndRedoneOnTheDeviceByteForByte) {
  Start(true);
  LinkGainOfInputs0And2();
  const auto before = device_->Memory();
  const ParameterStore storeBefore = Store();
  QTest::keyClick(Strip(0).Gain()->Fader(), Qt::Key_Up);
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(0), Level(2)}));
  const auto after = device_->Memory();
  ASSERT_FALSE(SameRecord(after->Inputs[2], before->Inputs[2]));
  EXPECT_EQ(Context().History().undoText(), "Input A gain");

  Context().History().undo();
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(0), Level(2)}));
  for (int ch : {0, 2}) {
    EXPECT_TRUE(SameRecord(device_->Memory()->Inputs[ch], before->Inputs[ch])) << ch;
    EXPECT_TRUE(SameRecord(Store().Inputs[ch], storeBefore.Inputs[ch])) << ch;
  }
  // The strip shows the old gain again.
  EXPECT_EQ(Strip(0).Gain()->Fader()->GetPos(), kChannelGainMax - before->Inputs[0].Gain);

  Context().History().redo();
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(0), Level(2)}));
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
