#include "mainwin/status_area.hpp"

#include <QPainter>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"

namespace veyra {
namespace {

constexpr int kIndicatorWidth = 44;
constexpr int kStatusWidth = 210;
constexpr int kBarWidth = 160;
constexpr int kCancelWidth = 70;

}  // namespace

StatusArea::StatusArea(QWidget* parent) : QWidget(parent) {
  indicator_ = new SkinButton("LINK", this);
  indicator_->setFocusPolicy(Qt::NoFocus);
  indicator_->SetFaceColors(skin::kFaceUp, QColor(46, 160, 67));
  indicator_->setToolTip("Connection to the processor");

  status_ = new SkinLabel(kOffLineAtStart, this);
  status_->SetFont("Arial", 13, true);
  status_->SetTextColor(Qt::white);

  progress_ = new SkinLabel(this);
  progress_->SetFont("Arial", 12);
  progress_->SetTextColor(skin::kTextDim);
  progress_->hide();

  comparison_ = new SkinLabel(this);
  comparison_->setObjectName("ComparisonSide");
  comparison_->SetFont("Arial", 13, true);
  comparison_->SetTextColor(skin::kAccent);
  comparison_->hide();

  cancel_ = new SkinButton("Cancel", this);
  cancel_->setFocusPolicy(Qt::NoFocus);
  cancel_->hide();
  connect(cancel_, &SkinButton::clicked, this, &StatusArea::cancelRequested);
}

void StatusArea::SetOnline(bool online) {
  status_->SetText(online ? kOnLine : kOffLine);
  status_->SetTextColor(online ? QColor(255, 0, 0) : QColor(255, 255, 255));
  indicator_->SetDown(online ? 1 : 0);
}

void StatusArea::ShowProgress(const QString& address, int done, int total) {
  percent_ = total > 0 ? done * 100 / total : 0;
  progress_->SetText(total > 0 ? QString("Connecting to %1 ... %2 of %3").arg(address).arg(done).arg(total)
                               : QString("Connecting to %1 ...").arg(address));
  progress_->show();
  cancel_->show();
  update();
}

void StatusArea::HideProgress() {
  percent_ = -1;
  progress_->setVisible(!operation_.isEmpty());
  progress_->SetText(operation_);
  cancel_->hide();
  update();
}

void StatusArea::SetComparison(const QString& text) {
  comparison_->SetText(text);
  comparison_->setVisible(!text.isEmpty());
}

QString StatusArea::ComparisonText() const {
  return comparison_->isVisible() ? comparison_->Text() : QString();
}

void StatusArea::ShowOperation(const QString& what) {
  operation_ = what;
  if (ProgressShown()) return;
  progress_->SetText(what);
  progress_->setVisible(!what.isEmpty());
}

bool StatusArea::ProgressShown() const {
  return percent_ >= 0;
}

QString StatusArea::ProgressText() const {
  return progress_->isVisible() ? progress_->Text() : QString();
}

QRect StatusArea::BarRect() const {
  const int right = width() - 10 - kCancelWidth - 10;
  return QRect(right - kBarWidth, height() / 2 - 4, kBarWidth, 8);
}

void StatusArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int h = height();
  indicator_->setGeometry(10, (h - 22) / 2, kIndicatorWidth, 22);
  status_->setGeometry(10 + kIndicatorWidth + 10, 0, kStatusWidth, h);
  cancel_->setGeometry(width() - 10 - kCancelWidth, (h - 22) / 2, kCancelWidth, 22);
  comparison_->setGeometry(status_->geometry().right() + 12, 0, 110, h);
  const QRect bar = BarRect();
  const int left = comparison_->geometry().right() + 12;
  progress_->setGeometry(left, 0, std::max(0, bar.left() - 10 - left), h);
  progress_->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void StatusArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(40, 48, 53));
  painter.setPen(QColor(28, 34, 38));
  painter.drawLine(0, 0, width(), 0);
  if (percent_ < 0) return;
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bar = BarRect();
  skin::PaintWell(painter, bar, 4);
  QRectF filled = bar.adjusted(1, 1, -1, -1);
  filled.setWidth(filled.width() * percent_ / 100.0);
  painter.setPen(Qt::NoPen);
  painter.setBrush(skin::kAccent);
  painter.drawRoundedRect(filled, 3, 3);
}

}  // namespace veyra
