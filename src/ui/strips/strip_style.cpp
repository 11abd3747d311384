#include "strips/strip_style.hpp"

#include <QLinearGradient>
#include <QPainter>

#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"

namespace veyra::strip_style {

void PaintPanel(QPainter& painter, const QRectF& rect, const QColor& mark, bool markOnLeft) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF outer = rect.adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient fill(outer.topLeft(), markOnLeft ? outer.bottomLeft() : outer.bottomLeft());
  fill.setColorAt(0, kPanelTop);
  fill.setColorAt(1, kPanelBottom);
  painter.setPen(QPen(skin::kOutline, 1));
  painter.setBrush(fill);
  painter.drawRoundedRect(outer, 5, 5);
  // The fine light rim inside the outline gives the panel its raised edge.
  painter.setPen(QPen(QColor(255, 255, 255, 22), 1));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), 4, 4);
  painter.setPen(Qt::NoPen);
  painter.setBrush(mark);
  if (markOnLeft) {
    painter.drawRoundedRect(QRectF(outer.left() + 3, outer.top() + 6, 3, outer.height() - 12), 1.5, 1.5);
  } else {
    painter.drawRoundedRect(QRectF(outer.left() + 8, outer.top() + 3, outer.width() - 16, 3), 1.5, 1.5);
  }
  painter.restore();
}

SkinLabel* MakeCaption(const QString& text, QWidget* parent, int pixels, Qt::Alignment alignment) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", pixels, true);
  label->SetTextColor(skin::kTextDim);
  label->SetAlignment(alignment);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

SkinLabel* MakeReadout(QWidget* parent, int pixels) {
  auto* label = new SkinLabel(parent);
  label->SetFont("Arial", pixels, false);
  label->SetTextColor(skin::kTextLight);
  label->SetAlignment(Qt::AlignCenter);
  label->SetTransparent(false);
  label->SetBackground(skin::kWell);
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  return label;
}

}  // namespace veyra::strip_style
