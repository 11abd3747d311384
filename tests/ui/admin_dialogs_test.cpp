// The Security, System Setting, Copy and Data View dialogs on the real stack:
// the main window's editing context, its link thread and the simulated
// processor. The dialogs are built directly (not run modally); their device
// results arrive as posted results, which the tests wait for.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTableWidget>
#include <QUndoStack>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>

#include "admin/copy_dialog.hpp"
#include "admin/security_dialog.hpp"
#include "admin/security_lock.hpp"
#include "admin/system_setting_dialog.hpp"
#include "admin/system_settings.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/value_entry_field.hpp"
#include "editing/edit_context.hpp"
#include "editor_test_support.hpp"
#include "files/data_view.hpp"
#include "files/export.hpp"
#include "sync/connection.hpp"

namespace veyra::testing {
namespace {

constexpr uint8_t A1 = WriteCommand;
constexpr int kOrvaneConnection = 410;

class AdminDialogs : public EditorTest {
 protected:
  void Start(const std::string& device, bool connect = true) { StartOn(device, connect); }
  QString LastAsked() const { return rig_->prompts->asked.empty() ? QString() : rig_->prompts->asked.back(); }
};

const Request kLockWrite{A1, 0, SystemBlock, SystemItem::Lock, 0};

// Presses a button of the Security dialog with the given text and waits for
// the lock message's result when one went out.
// A Lock takes the same text as its confirmation unless told otherwise.
bool Press(SecurityDialog& dialog, bool locking, const QString& typed,
           std::optional<QString> confirmation = std::nullopt) {
  QSignalSpy sent(&dialog, &SecurityDialog::lockSent);
  dialog.PasswordField()->setText(typed);
  dialog.ConfirmField()->setText(confirmation.value_or(typed));
  locking ? dialog.Lock() : dialog.Unlock();
  if (!dialog.Sending()) return false;
  return sent.wait(10000);
}

// The password rules and their texts are the lock's own; here the dialog's
// answers, its field and what reaches the device.
TEST_F(AdminDialogs, SecurityLocksRefusesAWrongPasswordAndUnlocks) {
  Start("orvane,fast");
  SecurityDialog dialog(Context());
  EXPECT_EQ(dialog.PasswordField()->echoMode(), QLineEdit::Password);
  ASSERT_TRUE(Press(dialog, true, "ab"));
  EXPECT_EQ(LastAsked(), "Lock Successfully.");
  EXPECT_EQ(Prompts().captions.back(), "Warning");
  EXPECT_EQ(Prompts().styles.back(), 0x40u);
  EXPECT_TRUE(dialog.PasswordField()->text().isEmpty());  // empty after a lock
  EXPECT_FALSE(Context().ControlsEnabled());
  EXPECT_EQ(Writes(), std::vector<Request>{kLockWrite});
  EXPECT_EQ(device_->Memory()->System.LockState, 1);

  EXPECT_FALSE(Press(dialog, false, "abc"));  // a refusal sends nothing
  EXPECT_EQ(LastAsked(), "Psw error.");
  EXPECT_TRUE(Writes().empty());
  ASSERT_TRUE(Press(dialog, false, "ab"));
  EXPECT_EQ(LastAsked(), "UnLock Successfully.");
  EXPECT_EQ(dialog.PasswordField()->text(), "ab");  // kept after an unlock
  EXPECT_TRUE(Context().ControlsEnabled());
  EXPECT_EQ(Writes(), std::vector<Request>{kLockWrite});
  EXPECT_EQ(device_->Memory()->System.LockState, 0);
}

TEST_F(AdminDialogs, SecurityOfflineChangesNothingAndSaysNothingWasSent) {
  Start("orvane,fast", false);
  SecurityDialog dialog(Context());
  EXPECT_FALSE(Press(dialog, true, "ab"));
  EXPECT_EQ(LastAsked(), kLockOfflineText);
  EXPECT_FALSE(Press(dialog, false, "ab"));
  EXPECT_EQ(LastAsked(), kLockOfflineText);
  EXPECT_EQ(Prompts().asked.size(), 2u);
  EXPECT_EQ(Store().System.LockState, 0);
}

TEST_F(AdminDialogs, SecurityLocksOnlyWithTheSamePasswordTwiceAndEnterPressesTheButtonThatApplies) {
  Start("orvane,fast");
  SecurityDialog dialog(Context());
  struct Case {
    const char* Typed;
    const char* Confirmed;
    const char* Said;
  };
  const Case refused[] = {
      {"ab", "abc", kPswMismatchText},
      {"ab", "", kPswMismatchText},
      {"abcdefg", "abcdef", kPswTooLongText},  // the length rule comes first
  };
  const std::string password = StoredPassword(Store().System);  // as the device reported it
  for (const Case& c : refused) {
    SCOPED_TRACE(c.Confirmed);
    EXPECT_FALSE(Press(dialog, true, c.Typed, QString(c.Confirmed)));
    EXPECT_EQ(LastAsked(), c.Said);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Store().System.LockState, 0);
    EXPECT_EQ(StoredPassword(Store().System), password);
  }

  // Enter in either field: Lock while unlocked, UnLock while locked.
  QSignalSpy sent(&dialog, &SecurityDialog::lockSent);
  dialog.PasswordField()->setText("ab");
  dialog.ConfirmField()->setText("ab");
  QTest::keyClick(dialog.ConfirmField(), Qt::Key_Return);
  ASSERT_TRUE(sent.wait(10000));
  EXPECT_TRUE(sent.back()[0].toBool());
  EXPECT_EQ(LastAsked(), "Lock Successfully.");
  EXPECT_TRUE(dialog.ConfirmField()->text().isEmpty());
  dialog.PasswordField()->setText("ab");
  QTest::keyClick(dialog.PasswordField(), Qt::Key_Enter);
  ASSERT_TRUE(sent.wait(10000));
  EXPECT_FALSE(sent.back()[0].toBool());
  EXPECT_EQ(LastAsked(), "UnLock Successfully.");
  EXPECT_EQ(device_->Memory()->System.LockState, 0);
}

TEST_F(AdminDialogs, SecurityKeepsTheLockItHadWhenTheDeviceDoesNotAnswerAndTheMetersGoOn) {
  Start("orvane,fast,silent-after=" + std::to_string(kOrvaneConnection));
  SecurityDialog dialog(Context());
  const std::string password = StoredPassword(Store().System);
  ASSERT_TRUE(Press(dialog, true, "ab"));
  EXPECT_EQ(LastAsked(), kLockNoAnswerText);
  // The device did not take it: neither does the program, and a second Lock
  // is not refused with "Already Lock.".
  EXPECT_EQ(Store().System.LockState, 0);
  EXPECT_EQ(StoredPassword(Store().System), password);
  EXPECT_TRUE(Context().ControlsEnabled());
  ASSERT_TRUE(Press(dialog, true, "ab"));
  EXPECT_EQ(LastAsked(), kLockNoAnswerText);
  EXPECT_EQ(dialog.PasswordField()->text(), "ab");
  EXPECT_TRUE(dialog.LockButton()->isEnabled());
  // The meter poll is not left stopped: it asks the device again.
  device_->Forget();
  QSignalSpy refreshed(&Context(), &EditContext::refreshed);
  const auto polled = [this] {
    for (const Request& r : device_->Requests())
      if (r.Block == SystemBlock && r.Channel == SystemItem::Meters) return true;
    return false;
  };
  for (int i = 0; i < 100 && !polled(); ++i) refreshed.wait(100);
  EXPECT_TRUE(polled());
}

TEST_F(AdminDialogs, SystemSettingOpensNonZeroBacklightAsThirtySecondsAndSendsTheThreeInOrder) {
  Start("orvane,fast");
  Store().System.BackLight = 2;
  Store().System.Temperature = 27;
  SystemSettingDialog dialog(Context());
  EXPECT_EQ(dialog.BackLightList()->CurrentText(), "30s");
  EXPECT_EQ(dialog.TemperatureList()->CurrentText(), "27℃");
  dialog.TemperatureList()->SetCurrentIndex(35);

  QSignalSpy sent(&dialog, &SystemSettingDialog::settingsSent);
  dialog.accept();
  ASSERT_TRUE(sent.wait(10000));
  EXPECT_EQ(sent.front().front().toInt(), 3);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Writes(), (std::vector<Request>{{A1, 0, 9, 0x14, 0}, {A1, 0, 9, 0x15, 0}, {A1, 0, 9, 0x16, 0}}));
  EXPECT_EQ(Store().System.BackLight, 30);
  EXPECT_EQ(device_->Memory()->System.BackLight, 30);
  EXPECT_EQ(device_->Memory()->System.Temperature, 35);
  EXPECT_TRUE(Prompts().asked.empty());
}

TEST_F(AdminDialogs, SystemSettingOfflineStoresAndClosesWithoutSending) {
  Start("orvane,fast", false);
  Store().System.BackLight = 0;
  SystemSettingDialog dialog(Context());
  EXPECT_EQ(dialog.BackLightList()->CurrentText(), "keep on");
  dialog.BackLightList()->SetCurrentIndex(1);
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Store().System.BackLight, 30);
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(LastAsked(), kSettingsOfflineText);
}

TEST_F(AdminDialogs, SystemSettingStopsAtTheFirstUnansweredMessageAndStaysOpen) {
  Start("orvane,fast,silent-after=" + std::to_string(kOrvaneConnection));
  SystemSettingDialog dialog(Context());
  for (int attempt = 0; attempt < 2; ++attempt) {
    QSignalSpy sent(&dialog, &SystemSettingDialog::settingsSent);
    dialog.accept();
    ASSERT_TRUE(sent.wait(10000));
    EXPECT_EQ(sent.front().front().toInt(), 0);
    EXPECT_EQ(LastAsked(), "Write Data eror.");
    EXPECT_EQ(Prompts().styles.back(), 0x40u);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.OkButton()->isEnabled());  // OK can be pressed again
    EXPECT_EQ(Writes(), (std::vector<Request>{{A1, 0, 9, 0x14, 0}}));
  }
}

TEST_F(AdminDialogs, SystemSettingWhileLockedDoesNothing) {
  Start("orvane,fast");
  Store().System.LockState = 1;
  Store().System.Temperature = 20;
  SystemSettingDialog dialog(Context());
  dialog.TemperatureList()->SetCurrentIndex(40);
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Store().System.Temperature, 20);
  EXPECT_TRUE(Writes().empty());
  EXPECT_TRUE(Prompts().asked.empty());
}

TEST_F(AdminDialogs, CopyInIsOneUndoStepThatSendsTheTargetAndEveryOutputsLevel) {
  Start("orvane,fast");
  Store().Inputs[0].Gain = 640;
  Store().Inputs[1].Gain = 500;
  const auto before = std::make_unique<ParameterStore>(Store());
  CopyDialog dialog(Context());
  dialog.InputTarget()->SetCurrentIndex(1);
  dialog.CopyIn();
  std::vector<Request> expected{{A1, 0, 1, 1, 0}};  // the whole channel travels as group 0
  for (uint8_t k = 0; k < 8; ++k) expected.push_back({A1, 0, 2, k, 1});
  EXPECT_EQ(Writes(), expected);
  EXPECT_EQ(Store().Inputs[1].Gain, 640);
  EXPECT_EQ(device_->Memory()->Inputs[1].Gain, 640);
  ASSERT_EQ(Context().History().count(), 1);

  Context().History().undo();
  EXPECT_EQ(std::memcmp(Store().Inputs, before->Inputs, sizeof before->Inputs), 0);
  EXPECT_EQ(std::memcmp(Store().Outputs, before->Outputs, sizeof before->Outputs), 0);
  EXPECT_EQ(Writes(), expected);  // undo sends the same messages
  EXPECT_EQ(device_->Memory()->Inputs[1].Gain, 500);
}

// What a copy keeps and sends is the copy rules'; here the Copy Out button's wiring.
TEST_F(AdminDialogs, CopyOutSendsTheTargetWhole) {
  Start("orvane,fast");
  CopyDialog dialog(Context());
  Store().Outputs[0].Gain = 700;
  dialog.OutputSource()->SetCurrentIndex(0);
  dialog.OutputTarget()->SetCurrentIndex(3);
  dialog.CopyOut();
  EXPECT_EQ(Writes(), (std::vector<Request>{{A1, 0, 2, 3, 0}}));
  EXPECT_EQ(Store().Outputs[3].Gain, 700);
}

TEST_F(AdminDialogs, DataViewShowsTheChosenProgramAndExportsWhatItShows) {
  Start("orvane,fast");
  DataView view(Context());
  QTableWidget* table = view.Table();
  EXPECT_EQ(table->columnCount(), 1 + 4 + 8);
  ASSERT_EQ(view.SourceChooser()->Count(), 31);
  EXPECT_EQ(view.SourceChooser()->EntryText(0), "Default");

  std::memset(Store().Preset(4).Name, 0, sizeof Store().Preset(4).Name);  // an empty name is still an entry
  Store().Preset(4).Inputs[1].Gain = 612;
  Store().Preset(4).Outputs[7].Polarity = 1;
  view.SourceChooser()->SetCurrentIndex(4);
  emit view.SourceChooser()->selectionChanged(view.SourceChooser()->Id());
  DataTableOptions options;
  options.Source = 4;
  const DataTable expected = BuildDataTable(Store(), options);
  ASSERT_EQ(table->rowCount(), static_cast<int>(expected.Rows.size()));
  for (int r = 0; r < table->rowCount(); ++r) {
    for (int c = 0; c < table->columnCount(); ++c) {
      ASSERT_EQ(table->item(r, c)->text().toStdString(), expected.Rows[r][c]) << r << "," << c;
    }
  }

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "veyra_data_view_test";
  std::filesystem::create_directories(dir);
  const QString csv = QString::fromStdString((dir / "table.csv").string());
  const ExportResult result = view.ExportTo(csv, DataView::ExportFormat::Csv);
  EXPECT_TRUE(result.Ok) << result.Message;
  EXPECT_EQ(Prompts().notices.back(), QString::fromUtf8(kExportSucceeded));
  std::ifstream in(dir / "table.csv", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), CsvText(view.Shown()));
  EXPECT_TRUE(
      view.ExportTo(QString::fromStdString((dir / "table.xlsx").string()), DataView::ExportFormat::Workbook)
          .Ok);

  const QString nowhere = QString::fromStdString((dir / "missing" / "table.csv").string());
  const ExportResult failed = view.ExportTo(nowhere, DataView::ExportFormat::Csv);
  EXPECT_FALSE(failed.Ok);
  EXPECT_TRUE(Prompts().notices.back().contains(nowhere)) << Prompts().notices.back().toStdString();
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace veyra::testing
