#include "controls/skin_label.hpp"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "controls/skin_style.hpp"
#include "state/text_format.hpp"

namespace veyra {

QString FormatLabelNumber(const LabelNumber& number, double value) {
  const std::string prefix = number.prefix.toStdString();
  const std::string suffix = number.suffix.toStdString();
  if ((number.offMode == 1 && value == number.min) || (number.offMode == 2 && value == number.max))
    return QString::fromStdString(Format("%sOFF", prefix.c_str()));
  if (value == std::trunc(value) && std::fabs(value) < 2147483647.0)
    return QString::fromStdString(Format("%s%d%s", prefix.c_str(), static_cast<int>(value), suffix.c_str()));
  return QString::fromStdString(Format("%s%0.1f%s", prefix.c_str(), value - number.offset, suffix.c_str()));
}

SkinLabel::SkinLabel(QWidget* parent) : SkinLabel(QString(), parent) {}

SkinLabel::SkinLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  setFont(skin::ControlFont(12));
}

void SkinLabel::SetText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

void SkinLabel::SetTextColor(const QColor& colour, bool redraw) {
  colour_ = colour;
  if (redraw) update();
}

void SkinLabel::SetFont(const QString& face, int pixelHeight, bool bold) {
  QFont font = skin::ControlFont(pixelHeight, bold);
  if (!face.isEmpty() && face != "Arial") font.setFamilies(QStringList{face} + font.families());
  setFont(font);
  update();
}

void SkinLabel::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void SkinLabel::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void SkinLabel::SetBackground(const QColor& colour) {
  background_ = colour;
  transparent_ = false;
  update();
}

void SkinLabel::SetFramed(bool framed) {
  framed_ = framed;
  update();
}

void SkinLabel::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  update();
}

void SkinLabel::SetNumberFormat(const LabelNumber& number) {
  number_ = number;
  isNumber_ = true;
  SetText(FormatLabelNumber(number_, value_));
}

void SkinLabel::SetValue(double value) {
  value_ = value;
  if (isNumber_) SetText(FormatLabelNumber(number_, value_));
}

QSize SkinLabel::sizeHint() const {
  const QFontMetrics metrics(font());
  return {metrics.horizontalAdvance(text_) + 6, metrics.height() + 4};
}

void SkinLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (!transparent_) painter.fillRect(rect(), background_);
  if (framed_) {
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  }
  painter.setFont(font());
  painter.setPen(isEnabled() ? colour_ : skin::kTextDisabled);
  const QRect inner = rect().adjusted(framed_ ? 3 : 1, 0, framed_ ? -3 : -1, 0);
  painter.drawText(inner, static_cast<int>(alignment_) | (wordWrap_ ? Qt::TextWordWrap : 0), text_);
}

void SkinLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
}

void SkinLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}

}  // namespace veyra
