// EqImportDialog: the preview of a filter text import, opened by both EQ
// editors' "Import…". It draws the response the file stands for, the
// proposed bands' response and their difference, offers the literal copy and
// the fit where both exist, and tells how far each is from the file. The fit
// is worked out off the window thread; until it is there the dialog says so
// and shows the busy cursor.
// Apply hands the chosen bands to the editor (which writes them as one undo
// step); Cancel changes nothing.
#pragma once

#include <QDialog>
#include <thread>
#include <vector>

#include "files/filter_import.hpp"

namespace veyra {

class SkinButton;
class SkinLabel;
class ImportPlot;

class EqImportDialog : public QDialog {
  Q_OBJECT

 public:
  // fileName is shown in the caption; import must have been read without error.
  EqImportDialog(const EqImport& import, const QString& fileName, QWidget* parent);
  ~EqImportDialog() override;

  // True once the fit is there (at once when only the copy is offered).
  bool Ready() const { return ready_; }
  bool FitChosen() const { return fitChosen_; }
  // Chooses the fit or the literal copy, where that one is offered.
  void Choose(bool fit);
  const EqImportChoice& Chosen() const { return fitChosen_ ? fit_ : literal_; }

  SkinButton* FitButton() const { return fitButton_; }
  SkinButton* CopyButton() const { return copyButton_; }
  SkinButton* ApplyButton() const { return apply_; }
  SkinButton* CancelButton() const { return cancel_; }
  QString ReportText() const;

 signals:
  // Apply: the bands for bands 1..6 and what the operator should be told.
  void applied(const std::vector<veyra::ImportedBand>& bands, const QStringList& notices);
  // The fit has arrived (or was never needed).
  void ready();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void FitArrived(const EqImportChoice& fit);
  void Show();

  EqImport import_;
  ResponseArray file_{};
  EqImportChoice literal_;
  EqImportChoice fit_;
  bool fitOffered_ = true;
  bool ready_ = false;
  bool fitChosen_ = true;
  ImportPlot* plot_;
  SkinLabel* report_;
  SkinLabel* bands_;
  SkinButton* fitButton_;
  SkinButton* copyButton_;
  SkinButton* apply_;
  SkinButton* cancel_;
  std::thread worker_;
};

}  // namespace veyra
