// The A/B comparison on the real stack: the main window, its link thread and
// the simulated processor of each model.
#include "editing/ab_comparison.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QTest>
#include <QUndoStack>
#include <cstring>
#include <filesystem>
#include <string>

#include "controls/message_box.hpp"
#include "editor_test_support.hpp"
#include "files/preset_operations.hpp"
#include "mainwin/ab_controls.hpp"
#include "mainwin/status_area.hpp"
#include "params/param_table.hpp"
#include "sync/changed_groups.hpp"

namespace veyra::testing {
namespace {

using Side = AbComparison::Side;
constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

class AbTest : public EditorTest {
 protected:
  AbComparison& Ab() { return Context().Comparison(); }
  AbControls& Controls() { return *rig_->window->Comparison(); }
  void Set(ChannelKind kind, const char* name, int channel, int code) {
    const ParamDescriptor* param = FindParam(kind, name);
    ASSERT_NE(param, nullptr) << name;
    Context().SetParam(*param, channel, code);
  }
  int Code(ChannelKind kind, const char* name, int channel) {
    return ReadCode(Store(), *FindParam(kind, name), channel);
  }
  void PressF9(Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(rig_->window.get(), Qt::Key_F9, modifiers);
  }
  ::testing::AssertionResult DeviceHoldsTheStore() {
    rig_->Settle();
    const auto device = device_->Memory();
    for (int i = 0; i < Store().InputCount; ++i)
      if (!SameInput(device->Inputs[i], Store().Inputs[i]))
        return ::testing::AssertionFailure() << "input " << i;
    for (int j = 0; j < Store().OutputCount; ++j)
      if (!SameOutput(device->Outputs[j], Store().Outputs[j]))
        return ::testing::AssertionFailure() << "output " << j;
    return ::testing::AssertionSuccess();
  }
};

class AbModels : public AbTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(AbModels, F9SendsExactlyTheDifferingGroupsAndTheDeviceFollowsTheSideShown) {
  Start(true, GetParam());
  const int last = Store().OutputCount - 1;
  ASSERT_TRUE(Ab().Start());
  EXPECT_EQ(rig_->window->windowTitle(), QString(MainWindow::kCaption) + " - A/B: A live");
  PressF9();  // both sides equal: nothing travels
  EXPECT_EQ(Ab().Shown(), Side::B);
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(rig_->window->Status()->ComparisonText(), "A/B: B live");

  const LiveChannels a = LiveChannelsOf(Store());
  Set(kIn, "gain", 1, Code(kIn, "gain", 1) - 30);
  Set(kIn, "eq2.freq", 0, 1500);
  Set(kOut, "xover.hp.freq", last, 200);
  Set(kOut, "route.a", last, 1 - Code(kOut, "route.a", last));
  Set(kOut, "eq6.gain", 0, Code(kOut, "eq6.gain", 0) + 25);
  const LiveChannels b = LiveChannelsOf(Store());
  ASSERT_EQ(ChangedGroups(a, b, Store().CurrentModel).size(), 5u);
  Writes();

  PressF9();
  EXPECT_EQ(Ab().Shown(), Side::A);
  const auto l = static_cast<uint8_t>(last);
  EXPECT_EQ(Writes(), (std::vector<Request>{{WriteCommand, 0, 1, 0, 8},
                                            {WriteCommand, 0, 1, 1, 1},
                                            {WriteCommand, 0, 2, 0, 10},
                                            {WriteCommand, 0, 2, l, 1},
                                            {WriteCommand, 0, 2, l, 4}}));
  EXPECT_EQ(std::memcmp(Store().Inputs, a.Inputs, sizeof a.Inputs), 0);
  EXPECT_EQ(std::memcmp(Store().Outputs, a.Outputs, sizeof a.Outputs), 0);
  EXPECT_TRUE(DeviceHoldsTheStore());
  EXPECT_EQ(rig_->window->windowTitle(), QString(MainWindow::kCaption) + " - A/B: A live");

  PressF9();
  EXPECT_EQ(Writes().size(), 5u);
  EXPECT_EQ(std::memcmp(Store().Outputs, b.Outputs, sizeof b.Outputs), 0);
  EXPECT_TRUE(DeviceHoldsTheStore());
}

INSTANTIATE_TEST_SUITE_P(EachModel, AbModels, ::testing::Values("sistel", "merial", "orvane"));

TEST_F(AbTest, EachSideKeepsItsOwnUndoAndRedo) {
  Start(true, "merial");
  const int gainA = Code(kIn, "gain", 0);
  Set(kIn, "gain", 0, gainA - 10);  // before the comparison: A's history
  ASSERT_TRUE(Ab().Start());
  PressF9();
  EXPECT_FALSE(Context().History().canUndo());  // B starts with none
  Set(kOut, "limiter.threshold", 2, 100);
  EXPECT_EQ(Context().History().undoText(), "Output 3 limiter threshold");
  PressF9();
  EXPECT_EQ(Context().History().undoText(), "Input A gain");
  Writes();

  Context().History().undo();  // A's own step
  EXPECT_EQ(Code(kIn, "gain", 0), gainA);
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kIn, 0)}));
  EXPECT_TRUE(DeviceHoldsTheStore());
  EXPECT_FALSE(Context().History().canUndo());

  PressF9();
  EXPECT_EQ(Code(kIn, "gain", 0), gainA - 10);  // B was made before the undo on A
  EXPECT_EQ(Context().History().undoText(), "Output 3 limiter threshold");
  const int thresholdBefore = Code(kOut, "limiter.threshold", 2);
  Context().History().undo();
  EXPECT_NE(Code(kOut, "limiter.threshold", 2), thresholdBefore);
  Context().History().redo();
  EXPECT_EQ(Code(kOut, "limiter.threshold", 2), thresholdBefore);
  EXPECT_TRUE(DeviceHoldsTheStore());

  // Keep A: A goes live, its history stays; B's is gone.
  Writes();
  ASSERT_TRUE(Ab().Keep(Side::A));
  EXPECT_FALSE(Ab().Active());
  EXPECT_EQ(Code(kIn, "gain", 0), gainA);
  EXPECT_EQ(Writes().size(), 2u);  // input A level, output 3 limiter
  EXPECT_TRUE(Context().History().canRedo());
  EXPECT_EQ(rig_->window->windowTitle(), QString(MainWindow::kCaption));
  EXPECT_EQ(rig_->window->Status()->ComparisonText(), "");
}

TEST_F(AbTest, CtrlF9CopiesTheShownSideOntoTheOtherAsAStepOfTheOther) {
  Start(true, "sistel");
  ASSERT_TRUE(Ab().Start());
  Set(kOut, "gain", 1, Code(kOut, "gain", 1) + 40);  // on A
  const LiveChannels a = LiveChannelsOf(Store());
  EXPECT_EQ(Controls().CopyAction()->text(), "Copy A to B");
  PressF9(Qt::ControlModifier);
  EXPECT_FALSE(Ab().SidesDiffer());
  Writes();
  PressF9();
  EXPECT_TRUE(Writes().empty());  // B is A now
  EXPECT_EQ(std::memcmp(Store().Outputs, a.Outputs, sizeof a.Outputs), 0);
  EXPECT_EQ(Context().History().undoText(), "Copy A to B");
  Context().History().undo();  // B as it was before the copy
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kOut, 1)}));
  EXPECT_EQ(Code(kOut, "gain", 1), a.Outputs[1].Gain - 40);
  EXPECT_TRUE(DeviceHoldsTheStore());
}

TEST_F(AbTest, OfflineASwitchChangesOnlyTheStore) {
  Start(false, "orvane");
  ASSERT_TRUE(Ab().Start());
  Set(kIn, "gain", 3, 300);
  PressF9();
  EXPECT_NE(Code(kIn, "gain", 3), 300);
  PressF9();
  EXPECT_EQ(Code(kIn, "gain", 3), 300);
  rig_->Settle();
  EXPECT_TRUE(device_->Requests().empty());
  EXPECT_EQ(Store().Online, 0);
}

TEST_F(AbTest, CannotStartWhileLocked) {
  Start(false, "sistel");
  Store().System.LockState = 1;
  rig_->window->RefreshMainWindow();
  EXPECT_FALSE(Controls().StartAction()->isEnabled());
  EXPECT_FALSE(Ab().Start());
  EXPECT_FALSE(Ab().Active());
}

TEST_F(AbTest, ConnectFileLoadAndRecallEndItAskingWhenTheSidesDiffer) {
  Start(false, "orvane");
  const QString file = QString::fromStdString(
      (std::filesystem::temp_directory_path() / ("ab_test_" + std::to_string(getpid()) + ".dat")).string());
  ASSERT_TRUE(rig_->window->SaveSettingsFile(file));
  const QString question = "End the A/B comparison and keep B?";

  // Equal sides: nothing is asked.
  ASSERT_TRUE(Ab().Start());
  ASSERT_TRUE(rig_->window->OpenSettingsFile(file));
  EXPECT_FALSE(Ab().Active());
  EXPECT_TRUE(Prompts().asked.empty());

  // A file: No keeps the comparison and the settings, Yes loads and ends it.
  ASSERT_TRUE(Ab().Start());
  PressF9();
  Set(kIn, "gain", 0, 400);
  Prompts().answers = {kResultNo};
  EXPECT_FALSE(rig_->window->OpenSettingsFile(file));
  ASSERT_EQ(Prompts().asked.size(), 1u);
  EXPECT_EQ(Prompts().asked.back(), question);
  EXPECT_EQ(Prompts().captions.back(), "Warning");
  EXPECT_TRUE(Ab().Active());
  EXPECT_EQ(Code(kIn, "gain", 0), 400);
  Prompts().answers = {kResultYes};
  EXPECT_TRUE(rig_->window->OpenSettingsFile(file));
  EXPECT_FALSE(Ab().Active());
  EXPECT_NE(Code(kIn, "gain", 0), 400);

  // Connecting.
  ASSERT_TRUE(Ab().Start());
  PressF9();
  Set(kIn, "gain", 0, 400);
  Prompts().answers = {kResultNo};
  rig_->window->ConnectTo("testsim:");
  EXPECT_FALSE(rig_->Session().Connecting());
  EXPECT_TRUE(Ab().Active());
  Prompts().answers = {kResultYes};
  ASSERT_TRUE(rig_->Connect());
  EXPECT_EQ(Prompts().asked.back(), question);
  EXPECT_FALSE(Ab().Active());

  // A recall of a program from the device.
  ASSERT_TRUE(Ab().Start());
  Set(kIn, "gain", 0, 400);
  Prompts().answers = {kResultNo};
  EXPECT_FALSE(PresetOperations::Of(Context()).RecallFromDevice(3));
  EXPECT_EQ(Prompts().asked.back(), "End the A/B comparison and keep A?");
  EXPECT_TRUE(Ab().Active());
  Prompts().answers = {kResultYes};
  ASSERT_TRUE(PresetOperations::Of(Context()).RecallFromDevice(3));
  rig_->Settle();
  EXPECT_FALSE(Ab().Active());
  std::filesystem::remove(file.toStdString());
}

}  // namespace
}  // namespace veyra::testing
