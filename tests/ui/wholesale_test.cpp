// What replaces the live settings or the programs wholesale on the real
// stack, against a simulated processor that is slow to answer: edits wait
// until it has ended, nothing is replaced without a question, and a bank that
// could not be written is not lost.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QUndoStack>
#include <cstring>
#include <functional>

#include "controls/message_box.hpp"
#include "controls/skin_button.hpp"
#include "editing/ab_comparison.hpp"
#include "editing/edit_context.hpp"
#include "editor_test_support.hpp"
#include "files/data_view.hpp"
#include "files/preset_operations.hpp"
#include "files/program_dialog.hpp"
#include "files/store_files.hpp"
#include "mainwin/status_area.hpp"
#include "params/param_table.hpp"
#include "state/device_text.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;
constexpr int kProgram = 5;

class Wholesale : public EditorTest {
 protected:
  void StartOnline(const std::string& device = "orvane,fast") {
    StartOn(device, true);
    rig_->Session().PollTimer().stop();  // no meter poll among the requests
    device_->Forget();
    dialog_ = std::make_unique<ProgramDialog>(Context(), rig_->window.get());
    dialog_->SelectPreset(kProgram - 1);
  }
  void TearDown() override {
    dialog_.reset();
    EditorTest::TearDown();
  }
  PresetOperations& Ops() { return PresetOperations::Of(Context()); }
  bool SetGain(ChannelKind kind, int channel, const char* typed) {
    const ParamDescriptor& gain = *FindParam(kind, "gain");
    return Context().SetParam(gain, channel, ParseParam(gain, typed).value());
  }
  // Every parameter a message carries, device against window, for the live channels.
  void ExpectDeviceAndScreenAgree() {
    rig_->Settle();
    const auto device = device_->Memory();
    for (const ChannelKind kind : {kIn, kOut}) {
      for (const ParamDescriptor& param : ChannelParams(kind)) {
        if (param.Group == kNotSent || !param.Edited) continue;
        for (int ch = 0; ch < Context().ChannelCount(kind); ++ch)
          EXPECT_EQ(ReadCode(*device, param, ch), ReadCode(Store(), param, ch)) << param.Name << " " << ch;
      }
    }
  }
  void WaitForTheEnd(QSignalSpy& done) {
    if (done.isEmpty()) {
      ASSERT_TRUE(done.wait(60000));
    }
    rig_->Settle();
  }
  QString Path(const char* name) const { return dir_.filePath(name); }

  QTemporaryDir dir_;
  std::unique_ptr<ProgramDialog> dialog_;
};

TEST_F(Wholesale, EditsWaitWhileARecallRunsAndDeviceAndScreenAgreeAfterIt) {
  StartOnline();
  device_->Change([](ParameterStore& d) {
    d.Presets[kProgram].Outputs[2].Gain = 600;
    d.Presets[kProgram].Inputs[1].Gain = 500;
  });
  ASSERT_TRUE(SetGain(kOut, 3, "-7"));  // queued before the recall: it goes out first
  Context().MarkSaved();
  device_->slow->DelayMs = 25;

  QSignalSpy done(&Ops(), &PresetOperations::finished);
  dialog_->RecallFromDeviceButton()->click();
  EXPECT_TRUE(Prompts().asked.empty()) << "nothing unsaved: nothing to ask";
  ASSERT_TRUE(Ops().Busy());
  ASSERT_TRUE(Context().OperationRunning());
  EXPECT_EQ(rig_->window->Status()->ProgressText(), "Recalling program 5 ...");

  // The change path refuses, so nothing built from the settings the recall
  // replaces can reach the device after it; undo waits too.
  const auto before = std::make_unique<ParameterStore>(Store());
  EXPECT_FALSE(SetGain(kOut, 2, "-20"));
  EXPECT_FALSE(SetGain(kIn, 1, "-30"));
  EXPECT_FALSE(dialog_->UndoAction()->isEnabled());
  dialog_->UndoAction()->trigger();
  EXPECT_EQ(std::memcmp(Store().Outputs, before->Outputs, sizeof Store().Outputs), 0);
  EXPECT_EQ(std::memcmp(Store().Inputs, before->Inputs, sizeof Store().Inputs), 0);

  WaitForTheEnd(done);
  EXPECT_FALSE(Context().OperationRunning());
  EXPECT_TRUE(rig_->window->Status()->ProgressText().isEmpty());
  EXPECT_EQ(Store().Outputs[2].Gain, 600);
  EXPECT_EQ(Store().Inputs[1].Gain, 500);
  ExpectDeviceAndScreenAgree();
  // Editing works again and reaches the device.
  EXPECT_TRUE(SetGain(kOut, 2, "-20"));
  ExpectDeviceAndScreenAgree();
}

// Every operation that replaces what an edit starts from holds editing off
// until it has ended, and the status strip says what runs.
TEST_F(Wholesale, EveryWholesaleOperationHoldsEditingOffUntilItEnds) {
  struct Case {
    const char* Name;
    std::function<void()> Begin;
    const char* Shown;  // the start of the status strip's text
  };
  const Case cases[] = {
      {"upload all",
       [this] {
         ASSERT_TRUE(WriteBankFile(Store(), Path("bank.dama").toStdString()).ok());
         Prompts().paths.push_back(Path("bank.dama"));
         Prompts().answers = {kResultYes};
         dialog_->UploadAllButton()->click();
       },
       "Uploading all programs ..."},
      {"settings file",
       [this] {
         ASSERT_TRUE(WriteSettingsFile(Store(), Path("live.dat").toStdString()).ok());
         ASSERT_TRUE(rig_->window->OpenSettingsFile(Path("live.dat")));
       },
       "Sending the live settings ..."},
      {"connection",
       [this] {
         ASSERT_TRUE(rig_->Session().Disconnect());
         rig_->Settle();
         rig_->window->ConnectTo("testsim:");
       },
       "Connecting to testsim:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    StartOnline("sistel,fast");
    ASSERT_TRUE(SetGain(kOut, 1, "-3"));
    rig_->Settle();
    device_->slow->DelayMs = 3;
    QSignalSpy changed(&Context(), &EditContext::operationChanged);
    c.Begin();
    ASSERT_TRUE(Context().OperationRunning());
    EXPECT_TRUE(rig_->window->Status()->ProgressText().startsWith(c.Shown))
        << rig_->window->Status()->ProgressText().toStdString();
    const uint16_t gain = Store().Outputs[1].Gain;
    EXPECT_FALSE(SetGain(kOut, 1, "-12"));
    EXPECT_EQ(Store().Outputs[1].Gain, gain);
    EXPECT_FALSE(dialog_->UndoAction()->isEnabled());
    while (Context().OperationRunning()) ASSERT_TRUE(changed.wait(60000));
    rig_->Settle();
    ASSERT_TRUE(Context().Online());
    EXPECT_TRUE(SetGain(kOut, 1, "-12"));
    ExpectDeviceAndScreenAgree();
    TearDown();
  }
}

TEST_F(Wholesale, AFileOrAResetWaitsForARunningRecall) {
  StartOnline("sistel,fast");
  ASSERT_TRUE(WriteSettingsFile(Store(), Path("live.dat").toStdString()).ok());
  device_->slow->DelayMs = 25;
  QSignalSpy done(&Ops(), &PresetOperations::finished);
  dialog_->RecallFromDeviceButton()->click();
  ASSERT_TRUE(Context().OperationRunning());
  EXPECT_FALSE(rig_->window->OpenSettingsFile(Path("live.dat")));
  ASSERT_FALSE(Prompts().asked.empty());
  EXPECT_TRUE(Prompts().asked.back().startsWith("Recalling program 5 ..."))
      << Prompts().asked.back().toStdString();
  WaitForTheEnd(done);
  ExpectDeviceAndScreenAgree();
}

// Each question answered No leaves the store, the device and the files alone.
TEST_F(Wholesale, EachQuestionAnsweredNoChangesNothing) {
  struct Case {
    const char* Name;
    SkinButton* (ProgramDialog::*Button)() const;
    const char* File;   // the file dialog's answer, if it opens one
    bool Unsaved;       // an edit not saved yet
    const char* Asked;  // the question's text, in full up to "\nContinue?"
  };
  const Case cases[] = {
      {"save", &ProgramDialog::SaveToDeviceButton, nullptr, false,
       "Program 5 \"Church\" on the device will be replaced by the live settings."},
      {"save to file", &ProgramDialog::SaveToFileButton, "p.preset", false,
       "Program 5 \"Church\" on the device will be replaced by the live settings."},
      {"upload", &ProgramDialog::UploadAllButton, "bank.dama", false,
       "All 30 programs on the device will be replaced by the programs of the file \"bank.dama\"."},
      {"recall", &ProgramDialog::RecallFromDeviceButton, nullptr, true,
       "The live settings have changes not saved since the last save or connection; program 5 \"Church\" "
       "will replace them."},
      {"recall from file", &ProgramDialog::RecallFromFileButton, "one.preset", true,
       "The live settings have changes not saved since the last save or connection; the file \"one.preset\" "
       "will replace them."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    StartOnline("sistel,fast");
    std::memcpy(Store().Presets[kProgram].Name, "Church", 6);
    ASSERT_TRUE(WriteBankFile(Store(), Path("bank.dama").toStdString()).ok());
    ASSERT_TRUE(WritePresetFile(Store(), kProgram, Path("one.preset").toStdString()).ok());
    if (c.Unsaved) {
      ASSERT_TRUE(SetGain(kIn, 0, "-9"));
    }
    rig_->Settle();
    device_->Forget();
    const auto store = std::make_unique<ParameterStore>(Store());
    const auto device = device_->Memory();
    if (c.File) Prompts().paths.push_back(Path(c.File));
    Prompts().answers = {kResultNo};
    (dialog_.get()->*c.Button)()->click();
    ASSERT_EQ(Prompts().asked.size(), 1u);
    EXPECT_EQ(Prompts().asked.front(), QString(c.Asked) + "\nContinue?");
    EXPECT_EQ(Prompts().captions.front(), "Warning");
    EXPECT_EQ(Prompts().styles.front(), static_cast<unsigned>(kStyleYesNo | kIconQuestion));
    EXPECT_FALSE(Ops().Busy());
    rig_->Settle();
    EXPECT_TRUE(device_->Requests().empty());
    EXPECT_EQ(std::memcmp(store.get(), &Store(), sizeof Store()), 0);
    EXPECT_EQ(std::memcmp(device->Presets, device_->Memory()->Presets, sizeof device->Presets), 0);
    EXPECT_FALSE(QFile::exists(Path("p.preset")));
    TearDown();
  }
}

TEST_F(Wholesale, UnsavedChangesFollowEditsUndoAndSaves) {
  StartOnline("sistel,fast");
  EXPECT_FALSE(Context().UnsavedChanges()) << "just connected";
  ASSERT_TRUE(SetGain(kIn, 0, "-9"));
  EXPECT_TRUE(Context().UnsavedChanges());
  Context().History().undo();
  EXPECT_FALSE(Context().UnsavedChanges()) << "back where the connection left it";
  Context().History().redo();
  EXPECT_TRUE(Context().UnsavedChanges());
  // A drag of one control, saved half-way: what follows the save is unsaved.
  const ParamDescriptor& gain = *FindParam(kIn, "gain");
  ASSERT_TRUE(Context().SetParam(gain, 0, 300, "drag"));
  ASSERT_TRUE(rig_->window->SaveSettingsFile(Path("live.dat")));
  EXPECT_FALSE(Context().UnsavedChanges());
  ASSERT_TRUE(Context().SetParam(gain, 0, 310, "drag"));
  EXPECT_TRUE(Context().UnsavedChanges());
  Context().History().undo();
  EXPECT_FALSE(Context().UnsavedChanges());
  Context().History().redo();

  // A program save marks the settings it took; one made during it keeps them unsaved.
  QSignalSpy done(&Ops(), &PresetOperations::finished);
  Prompts().answers = {kResultYes};
  dialog_->SaveToDeviceButton()->click();
  WaitForTheEnd(done);
  EXPECT_FALSE(Context().UnsavedChanges());
  device_->slow->DelayMs = 20;
  Prompts().answers = {kResultYes};
  done.clear();
  dialog_->SaveToDeviceButton()->click();
  ASSERT_TRUE(SetGain(kIn, 1, "-4"));
  WaitForTheEnd(done);
  EXPECT_TRUE(Context().UnsavedChanges());
}

// An A/B comparison: each side's history knows whether it holds what was
// saved, and the sides do not change over while an operation runs.
TEST_F(Wholesale, TheSidesOfAComparisonKeepTheirSavedStateAndWaitForAnOperation) {
  StartOnline("sistel,fast");
  AbComparison& ab = Context().Comparison();
  ASSERT_TRUE(ab.Start());
  EXPECT_FALSE(Context().UnsavedChanges()) << "B starts from the saved settings";
  ASSERT_TRUE(ab.Switch());
  ASSERT_TRUE(SetGain(kIn, 0, "-9"));
  ASSERT_TRUE(rig_->window->SaveSettingsFile(Path("b.dat")));
  ASSERT_TRUE(ab.Switch());
  EXPECT_TRUE(Context().UnsavedChanges()) << "A is not what was saved";
  ASSERT_TRUE(ab.Switch());
  EXPECT_FALSE(Context().UnsavedChanges());

  ASSERT_TRUE(SetGain(kIn, 0, "-3"));  // B unsaved now; a side started from it is too
  ASSERT_TRUE(ab.Keep(AbComparison::Side::B));
  ASSERT_TRUE(ab.Start());
  ASSERT_TRUE(ab.Switch());
  EXPECT_TRUE(Context().UnsavedChanges());
  ASSERT_TRUE(SetGain(kIn, 1, "-5"));  // the sides differ

  device_->slow->DelayMs = 25;
  QSignalSpy done(&Ops(), &PresetOperations::finished);
  Prompts().answers = {kResultYes, kResultYes};  // end the comparison, replace the changes
  dialog_->RecallFromDeviceButton()->click();
  EXPECT_EQ(Prompts().asked.size(), 2u);
  ASSERT_TRUE(Context().OperationRunning());
  EXPECT_FALSE(ab.Switch()) << "the recall replaces what a switch would send";
  WaitForTheEnd(done);
  EXPECT_FALSE(ab.Active());
  ExpectDeviceAndScreenAgree();
}

TEST_F(Wholesale, ABankThatCannotBeWrittenKeepsTheProgramsAndIsOfferedAnotherFile) {
  StartOnline("sistel,fast");
  device_->Change([](ParameterStore& d) {
    for (int q = 1; q <= kPresetCount; ++q) d.Presets[q].Outputs[0].Gain = static_cast<uint16_t>(300 + q);
  });
  const QString blocked = Path("no-such-folder/all.dama");
  Prompts().paths = {blocked, Path("other.dama")};
  Prompts().answers = {kResultYes};  // save them elsewhere
  QSignalSpy done(&Ops(), &PresetOperations::finished);
  dialog_->DownloadAllButton()->click();
  WaitForTheEnd(done);
  for (int q = 1; q <= kPresetCount; ++q) EXPECT_EQ(Store().Presets[q].Outputs[0].Gain, 300 + q) << q;
  ASSERT_EQ(Prompts().asked.size(), 1u);
  EXPECT_TRUE(Prompts().asked.front().contains("no-such-folder/all.dama"))
      << Prompts().asked.front().toStdString();
  EXPECT_TRUE(Prompts().asked.front().endsWith("Save them to another file?"));
  EXPECT_EQ(QFile(Path("other.dama")).size(), static_cast<qint64>(kBankFileBytes));
  EXPECT_EQ(Prompts().notices.back(), "Save successfully.");
  const auto read = std::make_unique<ParameterStore>(Store());
  ASSERT_TRUE(ReadBankFile(*read, Path("other.dama").toStdString()).ok());
  EXPECT_EQ(read->Presets[30].Outputs[0].Gain, 330);
}

TEST_F(Wholesale, TheExportAsksOnTheNameWithItsExtension) {
  struct Case {
    const char* Typed;
    bool Csv;
    const char* Written;
    bool Exists;
    int Answer;
  };
  const Case cases[] = {
      {"table", false, "table.xlsx", true, kResultNo},
      {"table", true, "table.csv", true, kResultNo},
      {"table", true, "table.csv", true, kResultYes},
      {"fresh", false, "fresh.xlsx", false, 0},
  };
  StartOn("sistel,fast", false);
  DataView view(Context());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Written);
    const QString written = Path(c.Written);
    if (c.Exists) {
      QFile old(written);
      ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
      old.write("kept");
    }
    Prompts().asked.clear();
    Prompts().notices.clear();
    Prompts().paths = {Path(c.Typed)};
    Prompts().exportCsv = c.Csv;
    Prompts().answers = {c.Answer};
    view.Export();
    EXPECT_FALSE(QFile::exists(Path(c.Typed))) << "nothing without the extension";
    if (!c.Exists) {
      EXPECT_TRUE(Prompts().asked.empty());
    } else {
      ASSERT_EQ(Prompts().asked.size(), 1u);
      EXPECT_TRUE(Prompts().asked.front().contains(written)) << Prompts().asked.front().toStdString();
    }
    QFile result(written);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    const bool replaced = result.readAll() != "kept";
    EXPECT_EQ(replaced, c.Answer != kResultNo);
    EXPECT_EQ(Prompts().notices.size(), replaced ? 1u : 0u);
  }
}

}  // namespace
}  // namespace veyra::testing
