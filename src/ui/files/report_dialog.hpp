// "Export Report": which settings the installation report documents (the live
// settings or one of the 30 programs, by name) and its paper size.
#pragma once

#include <QDialog>
#include <QStringList>

#include "editing/prompts.hpp"

namespace veyra {

class SkinDropDown;

class ReportDialog : public QDialog {
  Q_OBJECT

 public:
  // programNames: the 30 names in program order.
  explicit ReportDialog(const QStringList& programNames, QWidget* parent = nullptr);

  ReportChoice Choice() const;
  SkinDropDown* SourceChooser() const { return source_; }
  SkinDropDown* PaperChooser() const { return paper_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  SkinDropDown* source_;
  SkinDropDown* paper_;
};

}  // namespace veyra
