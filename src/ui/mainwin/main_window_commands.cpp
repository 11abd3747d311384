// MainWindow: the commands of the menu bar, the toolbar and the keys, the
// settings-file commands and the close sequence.
#include <QCloseEvent>
#include <QInputDialog>
#include <algorithm>
#include <cstring>

#include "controls/message_box.hpp"
#include "files/store_files.hpp"
#include "mainwin/about_box.hpp"
#include "mainwin/processor_choice.hpp"
#include "mainwin/device_session.hpp"
#include "editing/load_question.hpp"
#include "editing/prompts.hpp"
#include "mainwin/main_window.hpp"
#include <QDialog>
#include <memory>

#include "editing/ab_comparison.hpp"
#include "editing/edit_context.hpp"
#include "mainwin/editor_registry.hpp"
#include "state/device_text.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

constexpr const char* kResetQuestion =
    "This will reset your Device to factory default setting.Are you sure you want to do this?";
constexpr const char* kSaveQuestion = "Do you want to save your setting?";
constexpr const char* kAlreadyConnect = "Already connect!";
constexpr const char* kCannotConnect = "Cannot connect!";

// What a settings file must not change while a device is connected: the lock
// and password the device reported (a file would otherwise unlock the
// program's controls on a locked processor) and the device's own identity.
struct DeviceFacts {
  uint8_t LockState;
  char LockPassword[sizeof SystemSettings::LockPassword];
  char VersionText1[sizeof SystemSettings::VersionText1];
  char VersionText2[sizeof SystemSettings::VersionText2];
  char ModelCode[sizeof SystemSettings::ModelCode];

  explicit DeviceFacts(const SystemSettings& s) : LockState(s.LockState) {
    std::memcpy(LockPassword, s.LockPassword, sizeof LockPassword);
    std::memcpy(VersionText1, s.VersionText1, sizeof VersionText1);
    std::memcpy(VersionText2, s.VersionText2, sizeof VersionText2);
    std::memcpy(ModelCode, s.ModelCode, sizeof ModelCode);
  }
  void PutBack(SystemSettings& s) const {
    s.LockState = LockState;
    std::memcpy(s.LockPassword, LockPassword, sizeof LockPassword);
    std::memcpy(s.VersionText1, VersionText1, sizeof VersionText1);
    std::memcpy(s.VersionText2, VersionText2, sizeof VersionText2);
    std::memcpy(s.ModelCode, ModelCode, sizeof ModelCode);
  }
};

}  // namespace

void MainWindow::SetWindowOpener(WindowKind kind, WindowOpener opener) {
  if (opener) {
    openers_[kind] = std::move(opener);
  } else {
    openers_.erase(kind);
  }
}

void MainWindow::InstallEditors() {
  for (const EditorInfo& info : Editors()) {
    if (!info.Make) continue;
    SetWindowOpener(info.Kind, [this, make = info.Make](QWidget* owner) {
      const std::unique_ptr<QDialog> dialog(make(*context_, editorChannel_, owner));
      dialog->exec();
    });
  }
}

void MainWindow::OpenEditor(WindowKind kind, int channel) {
  editorChannel_ = channel;
  OpenWindow(kind, true);
  editorChannel_ = 0;
}

void MainWindow::OpenWindow(WindowKind kind, bool refresh) {
  const auto it = openers_.find(kind);
  if (it == openers_.end()) return;        // not part of the program yet
  const WindowOpener opener = it->second;  // the opener may replace itself while open
  opener(this);
  if (refresh) RefreshMainWindow();
}

void MainWindow::RunCommand(int id) {
  const bool locked = store_.System.LockState != 0;
  const auto window = std::find_if(kWindowCommands.begin(), kWindowCommands.end(),
                                   [id](const WindowCommand& c) { return c.Id == id; });
  if (window != kWindowCommands.end()) {
    if (window->LockTest && locked) return;
    OpenWindow(window->Kind, window->Refresh);
    if (window->Kind == WindowKind::InputGroupEditor || window->Kind == WindowKind::OutputGroupEditor)
      ForEachView([this](MainWindowView& v) { v.RebuildGroupLists(store_); });
    return;
  }
  switch (id) {
    case kCmdOpenFile:
    case kToolOpen: {
      const QString path = prompts_->OpenSettingsPath(this);
      if (!path.isEmpty()) OpenSettingsFile(path);
      break;
    }
    case kCmdSaveFile:
    case kToolSave: {
      const QString path = prompts_->SaveSettingsPath(this);
      if (!path.isEmpty()) SaveSettingsFile(path);
      break;
    }
    case kToolProgram:
      RunCommand(kCmdProgram);
      break;
    case kCmdExportReport: {
      QStringList names;
      for (int p = 1; p <= kPresetCount; ++p)
        names.push_back(QString::fromStdString(DecodeField(store_.Presets[p].Name)));
      const std::optional<ReportChoice> choice = prompts_->ReportSettings(this, names);
      if (!choice) break;
      const QString path = prompts_->ReportPath(this);
      if (!path.isEmpty()) ExportReport(*choice, path);
      break;
    }
    case kCmdExit:
      close();
      break;
    case kCmdResetAll:
      if (locked) return;
      if (prompts_->Ask(this, kResetQuestion, "Warning", kStyleOkCancel | kIconInformation) != kResultOk)
        return;
      if (RefuseWhileOperationRuns()) return;
      if (!context_->Comparison().ConfirmEnd(this)) return;
      ApplyFactoryDefaults(store_);
      context_->ClearHistory();
      DownloadLiveSettings();
      RefreshMainWindow();
      break;
    case kCmdConnect:
    case kToolConnect: {
      if (session_->Online() || session_->Connecting()) {
        ConnectTo(DeviceSession::kUsbAddress);  // says so; nothing to choose
        break;
      }
      const std::optional<QString> address = ChooseUsbAddress([this](const QStringList& labels) {
        bool ok = false;
        const QString picked =
            QInputDialog::getItem(this, "Connect", "Several processors are connected. Connect to:", labels, 0,
                                  false, &ok);
        return ok ? std::optional<int>(static_cast<int>(labels.indexOf(picked))) : std::nullopt;
      });
      if (address) ConnectTo(*address);
      break;
    }
    case kCmdDisconnect:
    case kToolDisconnect:
      if (!session_->Disconnect()) prompts_->Notice(this, kCannotConnect);
      break;
    case kCmdAbout:
    case kSystemAbout: {
      AboutBox about(store_, this);
      about.exec();
      break;
    }
    default:
      break;
  }
}

bool MainWindow::HandleKey(int key) {
  if (std::find(kSwallowedKeys.begin(), kSwallowedKeys.end(), key) != kSwallowedKeys.end()) return true;
  const auto fkey = std::find_if(kFunctionKeys.begin(), kFunctionKeys.end(),
                                 [key](const FunctionKey& k) { return k.Key == key; });
  if (fkey == kFunctionKeys.end()) return false;
  if (store_.System.LockState != 0) return true;
  if (fkey->OnlyModel != 0 && store_.CurrentModel != fkey->OnlyModel) return true;
  OpenWindow(fkey->Kind, true);
  return true;
}

void MainWindow::ConnectTo(const QString& address) {
  if (!session_->Online() && !session_->Connecting() && !context_->Comparison().ConfirmEnd(this)) return;
  switch (session_->Connect(address)) {
    case DeviceSession::Start::AlreadyOnline:
      prompts_->Notice(this, kAlreadyConnect);
      break;
    case DeviceSession::Start::AlreadyConnecting:  // the status strip shows the running one
    case DeviceSession::Start::Started:
      break;
  }
}

void MainWindow::DownloadLiveSettings() {
  if (session_->DownloadLive())
    downloadOperations_.push_back(context_->BeginOperation("Sending the live settings ..."));
}

bool MainWindow::RefuseWhileOperationRuns() {
  if (!context_->OperationRunning()) return false;
  prompts_->Ask(this, context_->RunningOperation() + "\nTry again when it has ended.", "Warning",
                kStyleOk | kIconInformation);
  return true;
}

bool MainWindow::OpenSettingsFile(const QString& path) {
  // What runs would replace the file's settings again, or send them half-way.
  if (RefuseWhileOperationRuns()) return false;
  const bool online = session_->Online();
  const DeviceFacts device(store_.System);
  // The file goes into a copy first: one that fails the check and is not
  // wanted after all leaves the settings as they were.
  const auto read = std::make_unique<ParameterStore>(store_);
  const LoadResult loaded = ReadSettingsFile(*read, path.toStdString());
  if (!loaded.ok()) {
    prompts_->Ask(this, QString::fromStdString(loaded.Error), "Warning", kStyleOk | kIconExclamation);
    return false;
  }
  if (!AcceptFileCheck(*prompts_, this, path, CheckLiveSettings(*read), "settings file")) return false;
  if (!context_->Comparison().ConfirmEnd(this)) return false;
  store_ = *read;
  if (online) device.PutBack(store_.System);
  context_->ClearHistory();
  DownloadLiveSettings();
  ForEachView([this](MainWindowView& v) { v.RebuildGroupLists(store_); });
  RefreshMainWindow();
  if (online) EnableChannelControls(store_.System.LockState == 0);
  const std::string notice = LoadNotice(loaded);
  if (!notice.empty()) prompts_->Notice(this, QString::fromStdString(notice));
  return true;
}

bool MainWindow::SaveSettingsFile(const QString& path) {
  const SaveResult saved = WriteSettingsFile(store_, path.toStdString());
  if (!saved.ok()) {
    prompts_->Ask(this, QString::fromStdString(saved.Error), "Warning", kStyleOk | kIconExclamation);
    return false;
  }
  context_->MarkSaved();
  return true;
}

// ---- File > Export report --------------------------------------------------------

bool MainWindow::ExportReport(const ReportChoice& choice, const QString& path) {
  const ReportSubject subject = StoreSubject(store_, choice.Source, session_->Online());
  ReportOptions options;
  options.Paper = choice.Paper;
  // A report of a few pages takes a fraction of a second to write, so the
  // window writes it itself.
  const ReportOutcome outcome = WriteInstallationReport(store_, subject, options, path.toStdString());
  if (!outcome.ok()) {
    prompts_->Ask(this, QString::fromStdString(outcome.Error), "Warning", kStyleOk | kIconExclamation);
    return false;
  }
  return true;
}

bool MainWindow::RunCloseSequence() {
  switch (prompts_->Ask(this, kSaveQuestion, "Warning", kStyleYesNoCancel | kIconQuestion)) {
    case kResultYes: {
      const QString path = prompts_->SaveSettingsPath(this);
      // A cancelled dialog, or a save that failed, keeps the window (and the
      // settings) open.
      return !path.isEmpty() && SaveSettingsFile(path);
    }
    case kResultNo:
      return true;
    default:
      return false;
  }
}

}  // namespace veyra
