// The Program dialog on the real stack: the main window, its link thread and
// the simulated processor, with the file dialogs answered by the test.
#include "files/program_dialog.hpp"

#include <gtest/gtest.h>

#include <QFile>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <cstring>

#include "controls/message_box.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "editing/edit_context.hpp"
#include "editor_test_support.hpp"
#include "files/preset_operations.hpp"
#include "files/store_files.hpp"
#include "state/device_text.hpp"
#include "sync/connection.hpp"
#include "sync/sync_session.hpp"

namespace veyra::testing {
namespace {

constexpr int kSlot = 5;  // the program most cases work on

template <typename T>
bool Same(const T& a, const T& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

Request R(int slot, int block, int channel) {
  return {ReadCommand, static_cast<uint8_t>(slot), static_cast<uint8_t>(block), static_cast<uint8_t>(channel),
          ReadAll};
}

class ProgramDialogTest : public EditorTest {
 protected:
  void SetUp() override { qRegisterMetaType<PresetOutcome>(); }
  void TearDown() override {
    dialog_.reset();
    EditorTest::TearDown();
  }

  // A window on the device ("sistel,fast"); connected, or offline on model 1
  // or the one given. The dialog is open over it.
  void Start(const std::string& device, bool connect, int model = 1) {
    StartOn(device, connect, model);
    if (connect) rig_->Session().PollTimer().stop();  // no meter poll among the requests
    Context().Refresh();
    device_->Forget();
    dialog_ = std::make_unique<ProgramDialog>(Context(), rig_->window.get());
    dialog_->show();
  }
  ProgramDialog& Dialog() { return *dialog_; }
  PresetOperations& Ops() { return PresetOperations::Of(Context()); }
  int Outs() { return Store().OutputCount; }

  // Clicks the button, answers Yes to a question before the operation, and
  // waits for the end of the operation it started.
  PresetOutcome Run(SkinButton* button) {
    QSignalSpy done(&Ops(), &PresetOperations::finished);
    rig_->prompts->answers = {kResultYes};
    button->click();
    rig_->prompts->answers.clear();
    if (!Ops().Busy() && done.isEmpty()) {
      ADD_FAILURE() << "nothing started";
      return {};
    }
    if (done.isEmpty() && !done.wait(60000)) {
      ADD_FAILURE() << "the operation did not end";
      return {};
    }
    return done.front().front().value<PresetOutcome>();
  }
  // What the device was asked since the last call, without meter polls.
  std::vector<Request> Requests() {
    rig_->Settle();
    std::vector<Request> requests;
    for (const Request& r : device_->Requests())
      if (!(r.Command == ReadCommand && r.Block == SystemBlock)) requests.push_back(r);
    device_->Forget();
    return requests;
  }
  QString LastNotice() const {
    return rig_->prompts->notices.empty() ? QString() : rig_->prompts->notices.back();
  }
  QString Path(const char* name) { return dir_.filePath(name); }

  QTemporaryDir dir_;
  std::unique_ptr<ProgramDialog> dialog_;
};

// The request sequences themselves are the program operations' (the sync
// layer's tests hold them); here each button runs its operation to the end.
TEST_F(ProgramDialogTest, EveryButtonRunsItsOperationAndSaysHowItEnded) {
  struct Step {
    PresetOperation Operation;
    SkinButton* (ProgramDialog::*Button)() const;
    const char* File;
    const char* Text;
  };
  const Step steps[] = {
      {PresetOperation::SaveToDevice, &ProgramDialog::SaveToDeviceButton, nullptr, "Save Successfully."},
      {PresetOperation::RecallFromDevice, &ProgramDialog::RecallFromDeviceButton, nullptr,
       "Recall Successfully."},
      {PresetOperation::SaveToFile, &ProgramDialog::SaveToFileButton, "p.preset", "Save Successfully."},
      {PresetOperation::RecallFromFile, &ProgramDialog::RecallFromFileButton, "p.preset",
       "Recall Successfully."},
      {PresetOperation::DownloadAll, &ProgramDialog::DownloadAllButton, "all.dama", "Save successfully."},
      {PresetOperation::UploadAll, &ProgramDialog::UploadAllButton, "all.dama", "Upload successfully."},
  };
  Start("sistel,fast", true);
  Dialog().SelectPreset(kSlot - 1);
  Dialog().NameField(kSlot - 1)->setText("Stage left");
  int gain = 432;  // live settings that differ from the program before every step
  for (const Step& step : steps) {
    SCOPED_TRACE(static_cast<int>(step.Operation));
    Store().Inputs[0].Gain = static_cast<uint16_t>(gain++);
    if (step.File) rig_->prompts->paths.push_back(Path(step.File));
    Context().History().push(new QUndoCommand("an edit"));
    const PresetOutcome outcome = Run((Dialog().*step.Button)());
    EXPECT_EQ(outcome.Result.Status, SyncStatus::Success);
    EXPECT_EQ(outcome.Operation, step.Operation);
    EXPECT_EQ(LastNotice(), step.Text);
    EXPECT_FALSE(Dialog().Progress()->isVisible());
    EXPECT_TRUE(Dialog().SaveToDeviceButton()->isEnabled());
    const auto device = device_->Memory();
    const int last = Outs() - 1;
    switch (step.Operation) {
      case PresetOperation::SaveToDevice:
      case PresetOperation::SaveToFile:
        EXPECT_EQ(device->Presets[kSlot].Inputs[0].Gain, gain - 1);
        EXPECT_EQ(Store().Presets[kSlot].Inputs[0].Gain, gain - 1);
        EXPECT_EQ(DecodeField(device->Presets[kSlot].Name), "Stage left");
        EXPECT_EQ(Context().History().count(), 1);  // the live settings stay as they were
        break;
      case PresetOperation::RecallFromDevice:
      case PresetOperation::RecallFromFile:
        // The program saved one step earlier is live again, here and in the device.
        EXPECT_EQ(Store().Inputs[0].Gain, gain - 2);
        EXPECT_EQ(device->Inputs[0].Gain, gain - 2);
        EXPECT_EQ(device->Presets[kSlot].Inputs[0].Gain, gain - 2);
        EXPECT_EQ(Store().Outputs[last].Gain, device->Presets[kSlot].Outputs[last].Gain);
        EXPECT_EQ(device->Outputs[last].Gain, device->Presets[kSlot].Outputs[last].Gain);
        EXPECT_EQ(Store().System.CurrentProgram, kSlot);
        EXPECT_EQ(Context().History().count(), 0);  // a recall cannot be undone step by step
        EXPECT_EQ(rig_->window->ProgramCaption()->Text(), "Preset 5:Stage left");
        break;
      case PresetOperation::DownloadAll:
        EXPECT_EQ(Store().Presets[30].Outputs[last].Gain, device->Presets[30].Outputs[last].Gain);
        [[fallthrough]];
      case PresetOperation::UploadAll:
        EXPECT_EQ(QFile(Path(step.File)).size(), static_cast<qint64>(kBankFileBytes));
        EXPECT_EQ(device->Presets[kSlot].Inputs[0].Gain, 434);  // from Save Preset to File
        break;
    }
  }
}

TEST_F(ProgramDialogTest, ThreeMissedRepliesEndDownloadAllWithNoFileAndTheProgramsUnchanged) {
  // Answers two whole programs and three channels of the third, then nothing.
  Start("sistel,fast,silent-after=" + std::to_string(ConnectionExchanges(2, 4) + 15), true);
  device_->Change([](ParameterStore& device) {
    for (int q = 1; q <= kPresetCount; ++q) device.Presets[q].Inputs[0].Gain = static_cast<uint16_t>(100 + q);
  });
  const ParameterStore before = Store();
  rig_->prompts->paths.push_back(Path("all.dama"));
  const PresetOutcome outcome = Run(Dialog().DownloadAllButton());
  EXPECT_EQ(outcome.Result.Status, SyncStatus::NoReply);
  EXPECT_FALSE(QFile::exists(Path("all.dama")));
  for (int q = 1; q <= kPresetCount; ++q) EXPECT_TRUE(Same(Store().Presets[q], before.Presets[q])) << q;
  EXPECT_EQ(LastNotice(), "The device stopped answering at program 3; no file was written.");
  const std::vector<Request> requests = Requests();
  ASSERT_EQ(requests.size(), 18u);
  EXPECT_EQ(requests[15], R(3, OutputBlock, 1));
  EXPECT_EQ(requests[16], requests[15]);
  EXPECT_EQ(requests[17], requests[15]);
  EXPECT_FALSE(Dialog().Progress()->isVisible());
}

TEST_F(ProgramDialogTest, NamesShowWholeAndTypingStopsAtSixteenBytesOfDeviceText) {
  const std::string eight = EncodeDeviceText("一二三四五六七八", 16).Bytes;
  ASSERT_EQ(eight.size(), 16u);
  Start("sistel,fast", false);
  std::memcpy(Store().Presets[3].Name, "WWWWWWWWWWWWWWWW", 16);  // no terminator
  std::memcpy(Store().Presets[6].Name, eight.data(), 16);
  dialog_ = std::make_unique<ProgramDialog>(Context(), rig_->window.get());
  EXPECT_EQ(Dialog().NameField(2)->text(), "WWWWWWWWWWWWWWWW");
  EXPECT_EQ(Dialog().NameField(5)->text(), "一二三四五六七八");
  EXPECT_EQ(Dialog().SelectedPreset(), 0);
  EXPECT_EQ(Dialog().PresetButton(0)->GetDown(), 1);

  struct Typing {
    QString Keys;
    QString Kept;
    bool Refused;
  };
  const Typing cases[] = {
      {"ABCDEFGHIJKLMNO中", "ABCDEFGHIJKLMNO", true},  // a character is never cut in two
      {"Main hall 中", "Main hall 中", false},
  };
  int index = 10;
  for (const Typing& c : cases) {
    SCOPED_TRACE(c.Keys.toStdString());
    ProgramNameField* field = Dialog().NameField(index);
    field->clear();
    field->setFocus();
    Type(field, c.Keys);
    EXPECT_EQ(field->text(), c.Kept);
    EXPECT_EQ(!Dialog().NameNotice().isEmpty(), c.Refused);
    // Saving takes the name as it stands.
    Dialog().PresetButton(index)->click();
    ASSERT_EQ(Dialog().SelectedPreset(), index);
    EXPECT_EQ(Dialog().PresetButton(index)->GetDown(), 1);
    EXPECT_EQ(Dialog().PresetButton(0)->GetDown(), 0);
    Run(Dialog().SaveToDeviceButton());
    EXPECT_EQ(DecodeField(Store().Presets[index + 1].Name), c.Kept.toStdString());
    ++index;
  }
}

TEST_F(ProgramDialogTest, NoSecondOperationStartsWhileOneRunsAndCancelledDownloadWritesNoFile) {
  Start("sistel,fast", true);
  device_->slow->DelayMs = 20;
  const ParameterStore before = Store();
  QSignalSpy progress(&Ops(), &PresetOperations::progress);
  QSignalSpy done(&Ops(), &PresetOperations::finished);
  rig_->prompts->paths.push_back(Path("all.dama"));
  Dialog().DownloadAllButton()->click();
  ASSERT_TRUE(Ops().Busy());
  EXPECT_TRUE(Dialog().Progress()->isVisible());
  EXPECT_TRUE(Dialog().CancelButton()->isVisible());
  EXPECT_FALSE(Dialog().SaveToDeviceButton()->isEnabled());
  while (progress.count() < 3) ASSERT_TRUE(progress.wait(10000));
  EXPECT_EQ(Dialog().Progress()->format(), "program 1 of 30");

  // Neither the buttons nor the operations start anything meanwhile.
  rig_->prompts->paths.push_back(Path("other.dama"));
  Dialog().UploadAllButton()->click();
  Dialog().SaveToDeviceButton()->click();
  EXPECT_FALSE(Ops().SaveToDevice(1, "x"));
  EXPECT_FALSE(Ops().RecallFromDevice(1));
  EXPECT_EQ(rig_->prompts->paths.size(), 1u);  // no file dialog either

  Dialog().CancelButton()->click();
  ASSERT_TRUE(done.wait(20000));
  const PresetOutcome outcome = done.front().front().value<PresetOutcome>();
  EXPECT_EQ(outcome.Result.Status, SyncStatus::Cancelled);
  EXPECT_LT(outcome.Result.Exchanges, kPresetCount * 6);
  EXPECT_FALSE(QFile::exists(Path("all.dama")));
  for (int q = 1; q <= kPresetCount; ++q) EXPECT_TRUE(Same(Store().Presets[q], before.Presets[q])) << q;
  EXPECT_EQ(LastNotice(), "Download cancelled; no file was written and no program changed.");
  EXPECT_FALSE(Dialog().Progress()->isVisible());
  for (const Request& r : Requests()) EXPECT_EQ(r.Command, ReadCommand) << r;
}

TEST_F(ProgramDialogTest, CancelledUploadSaysHowManyProgramsReachedTheDevice) {
  Start("sistel,fast", true);
  // Gains the editors can set, so that the file passes the check.
  for (int q = 1; q <= kPresetCount; ++q) Store().Presets[q].Outputs[3].Gain = static_cast<uint16_t>(400 + q);
  ASSERT_TRUE(WriteBankFile(Store(), Path("bank.dama").toStdString()).ok());
  for (int q = 1; q <= kPresetCount; ++q) Store().Presets[q].Outputs[3].Gain = 0;
  const auto deviceBefore = device_->Memory();
  device_->slow->DelayMs = 30;
  QSignalSpy progress(&Ops(), &PresetOperations::progress);
  QSignalSpy done(&Ops(), &PresetOperations::finished);
  rig_->prompts->paths.push_back(Path("bank.dama"));
  rig_->prompts->answers = {kResultYes};
  Dialog().UploadAllButton()->click();
  EXPECT_EQ(Store().Presets[30].Outputs[3].Gain, 430);  // the file is in the programs at once
  while (progress.isEmpty() || progress.back()[0].toInt() < 14) ASSERT_TRUE(progress.wait(10000));
  Dialog().CancelButton()->click();
  ASSERT_TRUE(done.wait(20000));

  const QRegularExpressionMatch said =
      QRegularExpression("^Upload cancelled: (\\d+) of 30 programs reached the device\\.$")
          .match(LastNotice());
  ASSERT_TRUE(said.hasMatch()) << LastNotice().toStdString();
  const int reached = said.captured(1).toInt();
  EXPECT_GE(reached, 2);
  EXPECT_LT(reached, kPresetCount);
  const auto device = device_->Memory();
  for (int q = 1; q <= reached; ++q) EXPECT_EQ(device->Presets[q].Outputs[3].Gain, 400 + q) << q;
  for (int q = reached + 2; q <= kPresetCount; ++q)
    EXPECT_TRUE(Same(device->Presets[q], deviceBefore->Presets[q])) << q;
}

TEST_F(ProgramDialogTest, ARecallStillReachesTheWindowAfterItsDialogClosed) {
  Start("orvane,fast", true);
  device_->slow->DelayMs = 60;
  device_->Change([](ParameterStore& device) { device.Presets[kSlot].Outputs[6].Gain = 777; });
  Context().History().push(new QUndoCommand("an edit"));
  QSignalSpy done(&Ops(), &PresetOperations::finished);
  Dialog().SelectPreset(kSlot - 1);
  rig_->prompts->answers = {kResultYes};  // the edit was not saved
  Dialog().RecallFromDeviceButton()->click();
  ASSERT_TRUE(Ops().Busy());
  dialog_.reset();
  // A dialog opened meanwhile shows that an operation runs.
  dialog_ = std::make_unique<ProgramDialog>(Context(), rig_->window.get());
  EXPECT_FALSE(Dialog().RecallFromDeviceButton()->isEnabled());
  EXPECT_EQ(Dialog().StatusText(), "Recalling program 5 ...");
  dialog_.reset();
  ASSERT_TRUE(done.wait(20000));
  EXPECT_EQ(Store().Outputs[6].Gain, 777);
  EXPECT_EQ(Store().System.CurrentProgram, kSlot);
  EXPECT_EQ(Context().History().count(), 0);
  EXPECT_EQ(LastNotice(), "Recall Successfully.");
  EXPECT_TRUE(rig_->window->ProgramCaption()->Text().startsWith("Preset 5:"));
}

TEST_F(ProgramDialogTest, FilesThatCannotBeReadOrWrittenAreNamedAndLeaveTheStoreAlone) {
  struct Case {
    SkinButton* (ProgramDialog::*Button)() const;
    QString File;
    const char* Said;  // in the warning (or the notice of a file that loads)
    bool Started;
  };
  Start("sistel,fast", false);
  QFile shortFile(Path("short.preset"));
  ASSERT_TRUE(shortFile.open(QIODevice::WriteOnly));
  shortFile.write(QByteArray(100, '\x01'));
  shortFile.close();
  const Case cases[] = {
      {&ProgramDialog::SaveToFileButton, Path("no-such-folder/a.preset"), "no-such-folder/a.preset", true},
      {&ProgramDialog::RecallFromFileButton, Path("missing.preset"), "missing.preset", false},
      {&ProgramDialog::RecallFromFileButton, Path("short.preset"), "is short", true},
  };
  rig_->prompts->loadAnswers = {true};  // the short file fails the check; the operator loads it
  for (const Case& c : cases) {
    SCOPED_TRACE(c.File.toStdString());
    Store().Inputs[0].Gain = 999;  // a save would copy it into the program
    const ParameterStore before = Store();
    rig_->prompts->asked.clear();
    rig_->prompts->notices.clear();
    rig_->prompts->paths.push_back(c.File);
    if (c.Started) {
      Run((Dialog().*c.Button)());
    } else {
      (Dialog().*c.Button)()->click();
      EXPECT_FALSE(Ops().Busy());
    }
    const QString said =
        rig_->prompts->asked.empty() ? rig_->prompts->notices.front() : rig_->prompts->asked.front();
    EXPECT_TRUE(said.contains(c.Said)) << said.toStdString();
    if (QString(c.Said) != "is short") {
      EXPECT_TRUE(Same(Store(), before));
    } else {
      EXPECT_EQ(LastNotice(), "Recall Successfully.");  // what the file held is recalled
      EXPECT_EQ(Store().Presets[1].Name[0], '\x01');
    }
  }
}

}  // namespace
}  // namespace veyra::testing
