// The Program dialog: the 30 programs of the processor with their names, and
// the six operations that move a program between the live settings, the
// device and the program files. The operations run in the background (see
// PresetOperations); the dialog only starts them and shows their progress, so
// it, the main window and the meters stay live, and closing it does not stop
// an operation that is running.
#pragma once

#include <QLineEdit>
#include <array>
#include <optional>
#include <string>

#include "editing/editor_dialog.hpp"
#include "state/records.hpp"

class QProgressBar;

namespace veyra {

class PresetOperations;
class SkinButton;
class SkinLabel;
struct PresetOutcome;

// A program's name field: text that takes more than the name's 16 bytes of
// device text is refused whole (never cut inside a character).
class ProgramNameField : public QLineEdit {
  Q_OBJECT

 public:
  explicit ProgramNameField(QWidget* parent = nullptr);

 signals:
  // Typing or pasting was refused; why, for the operator.
  void refused(const QString& reason);
};

class ProgramDialog : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kNameBytes = kPresetNameBytes;

  ProgramDialog(EditContext& context, QWidget* parent = nullptr);

  // The chosen program, 0..29 (program SelectedPreset() + 1).
  int SelectedPreset() const { return selected_; }
  void SelectPreset(int index);

  SkinButton* PresetButton(int index) const { return presets_[index]; }
  ProgramNameField* NameField(int index) const { return names_[index]; }
  SkinButton* SaveToDeviceButton() const { return saveToDevice_; }
  SkinButton* RecallFromDeviceButton() const { return recallFromDevice_; }
  SkinButton* SaveToFileButton() const { return saveToFile_; }
  SkinButton* RecallFromFileButton() const { return recallFromFile_; }
  SkinButton* DownloadAllButton() const { return downloadAll_; }
  SkinButton* UploadAllButton() const { return uploadAll_; }
  SkinButton* CancelButton() const { return cancel_; }
  QProgressBar* Progress() const { return progress_; }
  QString NameNotice() const;
  QString StatusText() const;

 protected:
  void Reload() override;

 private:
  void BuildPrograms();
  void BuildOperations();
  void ShowBusy(bool busy);
  void ShowProgress(int done, int total);
  void Finished(const PresetOutcome& outcome);
  // Shows the program's name from the store in its field (what was typed there is replaced).
  void ShowName(int index);
  // The chosen program's name in device text; nothing (and the reason shown) when it does not fit.
  std::optional<std::string> TakeName();
  // The "Warning" question before work is replaced: true when answered Yes.
  bool Confirm(const QString& replaced);
  QString ProgramText(int program);  // Program 6 "Church"
  // Before a recall: true when the live settings hold nothing unsaved, or the
  // operator lets what replaces them (named by by) go ahead.
  bool ConfirmReplacingLive(const QString& by);

  void SaveToDevice();
  void RecallFromDevice();
  void SaveToFile();
  void RecallFromFile();
  void DownloadAll();
  void UploadAll();

  PresetOperations& operations_;
  int selected_ = 0;
  std::array<SkinButton*, kPresetCount> presets_{};
  std::array<ProgramNameField*, kPresetCount> names_{};
  std::array<std::string, kPresetCount> shown_{};  // the name bytes each field was last filled from
  SkinLabel* nameNotice_ = nullptr;
  SkinButton* saveToDevice_ = nullptr;
  SkinButton* recallFromDevice_ = nullptr;
  SkinButton* saveToFile_ = nullptr;
  SkinButton* recallFromFile_ = nullptr;
  SkinButton* downloadAll_ = nullptr;
  SkinButton* uploadAll_ = nullptr;
  QProgressBar* progress_ = nullptr;
  SkinButton* cancel_ = nullptr;
  SkinLabel* status_ = nullptr;
};

// The registry's factory.
QDialog* MakeProgramDialog(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
