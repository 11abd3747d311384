#include "files/report_dialog.hpp"

#include <QLocale>
#include <QPainter>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"

namespace veyra {
namespace {

constexpr int kButtonStrip = 104;

SkinLabel* Caption(const QString& text, QWidget* parent, int y) {
  auto* label = new SkinLabel(text, parent);
  label->SetTextColor(Qt::black);
  label->SetFont("Arial", 13, true);
  label->setGeometry(18, y, 70, 26);
  return label;
}

}  // namespace

ReportDialog::ReportDialog(const QStringList& programNames, QWidget* parent) : QDialog(parent) {
  setWindowTitle("Export Report");
  setFixedSize(340, 148);

  Caption("Settings", this, 18);
  source_ = new SkinDropDown(this);
  source_->setGeometry(92, 18, 230, 26);
  source_->AddEntry("Live settings");
  for (int p = 0; p < programNames.size(); ++p)
    source_->AddEntry(QString("Program %1: %2").arg(p + 1).arg(programNames[p]));
  source_->SetCurrentIndex(kLiveSource);

  Caption("Paper", this, 56);
  paper_ = new SkinDropDown(this);
  paper_->setGeometry(92, 56, 120, 26);
  paper_->AddEntry("A4");
  paper_->AddEntry("Letter");
  // Letter where the operator's locale measures in inches, A4 elsewhere.
  paper_->SetCurrentIndex(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? 1 : 0);

  auto* ok = new SkinButton("OK", this);
  ok->setGeometry(152, kButtonStrip + 10, 80, 26);
  connect(ok, &SkinButton::clicked, this, &QDialog::accept);
  auto* cancel = new SkinButton("Cancel", this);
  cancel->setGeometry(242, kButtonStrip + 10, 80, 26);
  connect(cancel, &SkinButton::clicked, this, &QDialog::reject);
}

ReportChoice ReportDialog::Choice() const {
  ReportChoice choice;
  choice.Source = std::max(kLiveSource, source_->GetCurrentIndex());
  choice.Paper = paper_->GetCurrentIndex() == 1 ? PaperSize::Letter : PaperSize::A4;
  return choice;
}

void ReportDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  skin::PaintDialogBackground(painter, rect(), kButtonStrip);
}

}  // namespace veyra
