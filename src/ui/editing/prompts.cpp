#include "editing/prompts.hpp"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "controls/message_box.hpp"
#include "controls/set_name_dialog.hpp"

namespace veyra {
namespace {

struct FileType {
  const char* Filter;
  const char* Suffix;
};
constexpr FileType kSettingsFile{"Dat Files (*.dat);;All Files (*)", "dat"};
constexpr FileType kPresetFile{"Preset Files (*.preset);;All Files (*)", "preset"};
constexpr FileType kBankFile{"DamA Files (*.dama);;All Files (*)", "dama"};

QString RunFileDialog(QWidget* owner, QFileDialog::AcceptMode mode, const FileType& type = kSettingsFile) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setNameFilter(type.Filter);
  dialog.setDefaultSuffix(type.Suffix);
  dialog.selectFile(QString("*.") + type.Suffix);
  dialog.setOption(QFileDialog::ReadOnly, false);
  // Qt asks before replacing an existing file unless told otherwise.
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace

void MainWindowPrompts::Notice(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, QString(" "), text, QMessageBox::Ok, owner);
  box.exec();
}

int MainWindowPrompts::Ask(QWidget* owner, const QString& text, const QString& caption, unsigned style) {
  return ShowMessageBox(text, caption, style, owner);
}

QString MainWindowPrompts::OpenSettingsPath(QWidget* owner) {
  return RunFileDialog(owner, QFileDialog::AcceptOpen);
}

QString MainWindowPrompts::SaveSettingsPath(QWidget* owner) {
  return RunFileDialog(owner, QFileDialog::AcceptSave);
}

QString MainWindowPrompts::ProgramFilePath(QWidget* owner, ProgramFileKind kind, bool save) {
  return RunFileDialog(owner, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen,
                       kind == ProgramFileKind::Preset ? kPresetFile : kBankFile);
}

QString MainWindowPrompts::BridgeAddress(QWidget* owner) {
  bool ok = false;
  const QString text = QInputDialog::getText(
      owner, "Network bridge", "Report bridge (HOST:PORT):", QLineEdit::Normal, "127.0.0.1:5750", &ok);
  return ok ? text.trimmed() : QString();
}

std::optional<std::string> MainWindowPrompts::ChannelName(QWidget* owner, const QString& current) {
  SetNameDialog dialog(owner);
  dialog.SetName(current);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.NameBytes();
}

void UnattendedPrompts::Notice(QWidget*, const QString& text) {
  std::fprintf(stderr, "veyra: %s\n", text.toLocal8Bit().constData());
}

int UnattendedPrompts::Ask(QWidget*, const QString& text, const QString&, unsigned style) {
  std::fprintf(stderr, "veyra: %s\n", text.toLocal8Bit().constData());
  // The answer that changes nothing: No where there is one, else Cancel or OK.
  switch (style & 0x0F) {
    case kStyleYesNoCancel:
    case kStyleYesNo:
      return kResultNo;
    case kStyleOk:
      return kResultOk;
    default:
      return kResultCancel;
  }
}

}  // namespace veyra

namespace veyra {

QString MainWindowPrompts::FilterTextPath(QWidget* owner, bool save) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setNameFilter("Filter Files (*.txt);;All Files (*)");
  dialog.setDefaultSuffix("txt");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

bool MainWindowPrompts::LoadAnyway(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Warning, "Warning", text, QMessageBox::NoButton, owner);
  QPushButton* load = box.addButton("Load anyway", QMessageBox::AcceptRole);
  QPushButton* cancel = box.addButton("Cancel", QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  return box.clickedButton() == load;
}

bool UnattendedPrompts::LoadAnyway(QWidget*, const QString& text) {
  std::fprintf(stderr, "veyra: %s\n", text.toLocal8Bit().constData());
  return false;
}

// ---- The installation report -------------------------------------------------

std::optional<ReportChoice> MainWindowPrompts::ReportSettings(QWidget*, const QStringList&) {
  return std::nullopt;
}

QString MainWindowPrompts::ReportPath(QWidget* owner) {
  return RunFileDialog(owner, QFileDialog::AcceptSave, {"PDF Files (*.pdf);;All Files (*)", "pdf"});
}

}  // namespace veyra

namespace veyra {

QString MainWindowPrompts::ExportPath(QWidget* owner, bool& csvChosen) {
  constexpr char kWorkbook[] = "Excel workbook (*.xlsx)";
  constexpr char kCsv[] = "CSV (*.csv)";
  QFileDialog dialog(owner, "Export");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters({kWorkbook, kCsv});
  dialog.selectFile("data.xlsx");
  // The caller adds the extension and asks before replacing what is there.
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  csvChosen = dialog.selectedNameFilter() == kCsv;
  return dialog.selectedFiles().front();
}

}  // namespace veyra
