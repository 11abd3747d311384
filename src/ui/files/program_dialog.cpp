#include "files/program_dialog.hpp"

#include <QFileInfo>
#include <QProgressBar>
#include <QValidator>
#include <algorithm>

#include "controls/message_box.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"
#include "files/preset_operations.hpp"
#include "state/device_text.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

// The grid of programs: five columns of six, each a button over its name,
// wide enough for sixteen capitals.
constexpr int kColumns = 5;
constexpr int kMargin = 16;
constexpr int kCellWidth = 150;
constexpr int kCellGap = 8;
constexpr int kButtonHeight = 26;
constexpr int kFieldHeight = 22;
constexpr int kRowPitch = 64;
constexpr int kInnerWidth = kColumns * kCellWidth + (kColumns - 1) * kCellGap;
constexpr int kGridBottom = kMargin + (kPresetCount / kColumns) * kRowPitch - 12;
constexpr int kNoticeTop = kGridBottom + 6;
constexpr int kOperationsTop = kNoticeTop + 26;
constexpr int kOperationHeight = 30;
constexpr int kOperationPitch = 38;
constexpr int kProgressTop = kOperationsTop + 2 * kOperationPitch + 8;
constexpr int kProgressHeight = 24;
constexpr int kCancelWidth = 90;
constexpr int kDialogWidth = 2 * kMargin + kInnerWidth;
constexpr int kDialogHeight = kProgressTop + kProgressHeight + kMargin;

// Refuses text whose device bytes would not fit the name; text with
// characters the processor cannot show may stand while typed, but is not taken.
class NameValidator : public QValidator {
 public:
  explicit NameValidator(ProgramNameField* field) : QValidator(field), field_(field) {}

  State validate(QString& input, int&) const override {
    const EncodedDeviceText encoded = EncodeDeviceText(input.toStdString(), ProgramDialog::kNameBytes);
    if (encoded.ok()) return Acceptable;
    if (encoded.Error != DeviceTextError::TooLong) return Intermediate;
    emit field_->refused(
        QString::fromStdString(DeviceTextErrorMessage(encoded.Error, ProgramDialog::kNameBytes)));
    return Invalid;
  }

 private:
  ProgramNameField* field_;
};

SkinLabel* MakeLabel(QWidget* parent, const QColor& colour) {
  auto* label = new SkinLabel(parent);
  label->SetFont("Arial", 12);
  label->SetTextColor(colour);
  label->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

}  // namespace

ProgramNameField::ProgramNameField(QWidget* parent) : QLineEdit(parent) {
  setFont(skin::ControlFont(11));
  setTextMargins(0, 0, 0, 0);
  setAlignment(Qt::AlignCenter);
  setValidator(new NameValidator(this));
  QPalette colours = palette();
  colours.setColor(QPalette::Base, skin::kWell);
  colours.setColor(QPalette::Text, skin::kTextLight);
  colours.setColor(QPalette::Highlight, skin::kAccent);
  colours.setColor(QPalette::HighlightedText, Qt::white);
  colours.setColor(QPalette::Disabled, QPalette::Text, skin::kTextDisabled);
  setPalette(colours);
}

ProgramDialog::ProgramDialog(EditContext& context, QWidget* parent)
    : EditorDialog(context, "Program", parent), operations_(PresetOperations::Of(context)) {
  setFixedSize(kDialogWidth, kDialogHeight);
  BuildPrograms();
  BuildOperations();
  operations_.SetOwner(this);
  connect(&operations_, &PresetOperations::busyChanged, this, &ProgramDialog::ShowBusy);
  connect(&operations_, &PresetOperations::progress, this, &ProgramDialog::ShowProgress);
  connect(&operations_, &PresetOperations::finished, this, &ProgramDialog::Finished);
  for (int i = 0; i < kPresetCount; ++i) ShowName(i);
  SelectPreset(0);
  ShowBusy(operations_.Busy());
  Reload();
}

void ProgramDialog::BuildPrograms() {
  for (int i = 0; i < kPresetCount; ++i) {
    const int x = kMargin + (i % kColumns) * (kCellWidth + kCellGap);
    const int y = kMargin + (i / kColumns) * kRowPitch;
    auto* button = new SkinButton(QString("Preset %1").arg(i + 1), this);
    button->setGeometry(x, y, kCellWidth, kButtonHeight);
    connect(button, &SkinButton::clicked, this, [this, i] { SelectPreset(i); });
    presets_[i] = button;

    auto* field = new ProgramNameField(this);
    field->setGeometry(x, y + kButtonHeight + 4, kCellWidth, kFieldHeight);
    connect(field, &ProgramNameField::refused, this,
            [this](const QString& reason) { nameNotice_->SetText(reason); });
    connect(field, &QLineEdit::textEdited, this, [this] { nameNotice_->SetText(QString()); });
    names_[i] = field;
  }
  nameNotice_ = MakeLabel(this, QColor(255, 150, 120));
  nameNotice_->setGeometry(kMargin, kNoticeTop, kInnerWidth, 18);
}

void ProgramDialog::BuildOperations() {
  const int width = (kInnerWidth - 2 * 14) / 3;
  auto add = [this, width](const char* caption, int row, int column, void (ProgramDialog::*run)()) {
    auto* button = new SkinButton(caption, this);
    button->setGeometry(kMargin + column * (width + 14), kOperationsTop + row * kOperationPitch, width,
                        kOperationHeight);
    connect(button, &SkinButton::clicked, this, run);
    return button;
  };
  saveToDevice_ = add("Save Preset to Device", 0, 0, &ProgramDialog::SaveToDevice);
  recallFromDevice_ = add("Recall Preset from Device", 0, 1, &ProgramDialog::RecallFromDevice);
  downloadAll_ = add("Download All from Device", 0, 2, &ProgramDialog::DownloadAll);
  saveToFile_ = add("Save Preset to File", 1, 0, &ProgramDialog::SaveToFile);
  recallFromFile_ = add("Recall Preset from File", 1, 1, &ProgramDialog::RecallFromFile);
  uploadAll_ = add("Upload All from PC", 1, 2, &ProgramDialog::UploadAll);

  progress_ = new QProgressBar(this);
  progress_->setGeometry(kMargin, kProgressTop, kInnerWidth - kCancelWidth - 12, kProgressHeight);
  progress_->setFont(skin::ControlFont(12));
  progress_->setAlignment(Qt::AlignCenter);
  progress_->setStyleSheet(
      "QProgressBar { background: rgb(16, 21, 24); border: 1px solid rgb(17, 21, 24); border-radius: 4px;"
      " color: rgb(240, 244, 246); }"
      "QProgressBar::chunk { background: rgb(2, 166, 227); border-radius: 3px; }");
  progress_->hide();
  cancel_ = new SkinButton("Cancel", this);
  cancel_->setGeometry(kMargin + kInnerWidth - kCancelWidth, kProgressTop, kCancelWidth, kProgressHeight);
  cancel_->hide();
  connect(cancel_, &SkinButton::clicked, this, [this] {
    operations_.Cancel();
    cancel_->setEnabled(false);  // once is enough; it stops before the next exchange
  });
  status_ = MakeLabel(this, skin::kTextDim);
  status_->setGeometry(kMargin, kProgressTop, kInnerWidth - kCancelWidth - 12, kProgressHeight);
}

void ProgramDialog::SelectPreset(int index) {
  if (index < 0 || index >= kPresetCount) return;
  selected_ = index;
  for (int i = 0; i < kPresetCount; ++i) presets_[i]->SetDown(i == index ? 1 : 0);
}

QString ProgramDialog::NameNotice() const {
  return nameNotice_->Text();
}

QString ProgramDialog::StatusText() const {
  return status_->isHidden() ? QString() : status_->Text();
}

void ProgramDialog::ShowName(int index) {
  const char(&name)[kPresetNameBytes] = Context().Store().Presets[index + 1].Name;
  shown_[index] = std::string(FieldText(name));
  names_[index]->setText(QString::fromStdString(DecodeDeviceText(shown_[index])));
  names_[index]->setCursorPosition(0);
}

void ProgramDialog::Reload() {
  // A name the store did not change keeps what the operator typed into its
  // field and has not saved yet.
  for (int i = 0; i < kPresetCount; ++i) {
    if (FieldText(Context().Store().Presets[i + 1].Name) != shown_[i]) ShowName(i);
  }
}

void ProgramDialog::ShowBusy(bool busy) {
  for (SkinButton* button :
       {saveToDevice_, recallFromDevice_, saveToFile_, recallFromFile_, downloadAll_, uploadAll_})
    button->setEnabled(!busy);
  if (!busy) return;
  const int program = operations_.RunningProgram();
  switch (operations_.Running()) {
    case PresetOperation::DownloadAll:
    case PresetOperation::UploadAll:
      status_->hide();
      ShowProgress(0, kPresetCount * (Context().Store().InputCount + Context().Store().OutputCount));
      progress_->show();
      cancel_->setEnabled(true);
      cancel_->show();
      return;
    case PresetOperation::SaveToDevice:
    case PresetOperation::SaveToFile:
      status_->SetText(QString("Saving program %1 ...").arg(program));
      break;
    case PresetOperation::RecallFromDevice:
    case PresetOperation::RecallFromFile:
      status_->SetText(QString("Recalling program %1 ...").arg(program));
      break;
  }
  status_->show();
}

void ProgramDialog::ShowProgress(int done, int total) {
  const int perProgram = std::max(1, total / kPresetCount);
  progress_->setRange(0, std::max(1, total));
  progress_->setValue(std::clamp(done, 0, std::max(1, total)));
  const int program = std::min(kPresetCount, done / perProgram + 1);
  progress_->setFormat(QString("program %1 of %2").arg(program).arg(kPresetCount));
}

void ProgramDialog::Finished(const PresetOutcome&) {
  progress_->hide();
  cancel_->hide();
  status_->SetText(QString());
  status_->hide();
}

std::optional<std::string> ProgramDialog::TakeName() {
  const EncodedDeviceText encoded = EncodeDeviceText(names_[selected_]->text().toStdString(), kNameBytes);
  if (!encoded.ok()) {
    nameNotice_->SetText(QString::fromStdString(DeviceTextErrorMessage(encoded.Error, kNameBytes)));
    return std::nullopt;
  }
  return encoded.Bytes;
}

bool ProgramDialog::Confirm(const QString& replaced) {
  return Context().Prompts().Ask(this, replaced + "\nContinue?", "Warning", kStyleYesNo | kIconQuestion) ==
         kResultYes;
}

QString ProgramDialog::ProgramText(int program) {
  const std::string name = DecodeField(Context().Store().Presets[program].Name);
  return name.empty() ? QString("Program %1").arg(program)
                      : QString("Program %1 \"%2\"").arg(program).arg(QString::fromStdString(name));
}

bool ProgramDialog::ConfirmReplacingLive(const QString& by) {
  if (!Context().UnsavedChanges()) return true;
  return Confirm(QString("The live settings have changes not saved since the last save or connection; %1 "
                         "will replace them.")
                     .arg(by));
}

void ProgramDialog::SaveToDevice() {
  if (operations_.Busy()) return;
  const auto name = TakeName();
  if (!name) return;
  const int program = selected_ + 1;
  if (!Confirm(ProgramText(program) + (Context().Online() ? " on the device" : "") +
               " will be replaced by the live settings."))
    return;
  operations_.SaveToDevice(program, *name);
}

void ProgramDialog::RecallFromDevice() {
  if (operations_.Busy()) return;
  const int program = selected_ + 1;
  QString by = ProgramText(program);
  by[0] = by[0].toLower();
  if (!ConfirmReplacingLive(by)) return;
  operations_.RecallFromDevice(program);
}

void ProgramDialog::SaveToFile() {
  if (operations_.Busy()) return;
  const auto name = TakeName();
  if (!name) return;
  // Online the program on the device is written too.
  if (Context().Online() &&
      !Confirm(ProgramText(selected_ + 1) + " on the device will be replaced by the live settings."))
    return;
  const QString path = Context().Prompts().ProgramFilePath(this, ProgramFileKind::Preset, true);
  if (path.isEmpty()) return;
  operations_.SaveToFile(selected_ + 1, *name, path);
}

void ProgramDialog::RecallFromFile() {
  if (operations_.Busy()) return;
  const QString path = Context().Prompts().ProgramFilePath(this, ProgramFileKind::Preset, false);
  if (path.isEmpty()) return;
  if (!ConfirmReplacingLive(QString("the file \"%1\"").arg(QFileInfo(path).fileName()))) return;
  const int index = selected_;
  // The file's name goes into the field at once, whatever was typed there.
  if (operations_.RecallFromFile(index + 1, path)) ShowName(index);
}

void ProgramDialog::DownloadAll() {
  if (operations_.Busy()) return;
  const QString path = Context().Prompts().ProgramFilePath(this, ProgramFileKind::Bank, true);
  if (path.isEmpty()) return;
  operations_.DownloadAll(path);
}

void ProgramDialog::UploadAll() {
  if (operations_.Busy()) return;
  const QString path = Context().Prompts().ProgramFilePath(this, ProgramFileKind::Bank, false);
  if (path.isEmpty()) return;
  if (!Confirm(QString("All 30 programs%1 will be replaced by the programs of the file \"%2\".")
                   .arg(Context().Online() ? " on the device" : "")
                   .arg(QFileInfo(path).fileName())))
    return;
  if (operations_.UploadAll(path)) {
    for (int i = 0; i < kPresetCount; ++i) ShowName(i);
  }
}

QDialog* MakeProgramDialog(EditContext& context, int, QWidget* parent) {
  return new ProgramDialog(context, parent);
}

}  // namespace veyra
