#include "controls/skin_style.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace veyra::skin {
namespace {

QFont FontWithFamilies(const QStringList& families, int pixelHeight, bool bold) {
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixelHeight > 0 ? pixelHeight : 12);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

QColor Greyed(const QColor& colour) {
  const int grey = qGray(colour.rgb());
  return QColor((colour.red() + grey * 2) / 3, (colour.green() + grey * 2) / 3,
                (colour.blue() + grey * 2) / 3)
      .darker(125);
}

}  // namespace

QFont ControlFont(int pixelHeight, bool bold) {
  // DejaVu Sans before the Chinese font: the latter's "℃" draws as a blank.
  return FontWithFamilies({"Arial", "Liberation Sans", "DejaVu Sans", "WenQuanYi Micro Hei"}, pixelHeight,
                          bold);
}

QFont ImageCaptionFont(int pixelHeight) {
  return FontWithFamilies({"Microsoft MHei", "WenQuanYi Micro Hei", "Arial"}, pixelHeight, false);
}

int WheelNotch(int& counter, const QPoint& angleDelta) {
  counter = std::clamp(counter + (angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x()), -120, 120);
  const int notch = counter >= 120 ? 1 : counter <= -120 ? -1 : 0;
  counter = 0;
  return notch;
}

void PaintButtonFace(QPainter& painter, const QRectF& rect, const QColor& base, const FaceState& state) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF outer = rect.adjusted(0.5, 0.5, -0.5, -0.5);
  const qreal radius = qMin<qreal>(4, qMin(outer.width(), outer.height()) / 4);

  QColor face = state.enabled ? base : Greyed(base);
  if (state.enabled && state.hot && !state.pressed) face = face.lighter(118);
  QLinearGradient gradient(outer.topLeft(), outer.bottomLeft());
  if (state.pressed) {
    // Pushed in: darker, lit from below.
    gradient.setColorAt(0, face.darker(175));
    gradient.setColorAt(0.3, face.darker(140));
    gradient.setColorAt(1, face.darker(110));
  } else {
    gradient.setColorAt(0, face.lighter(state.lit ? 115 : 122));
    gradient.setColorAt(0.5, face);
    gradient.setColorAt(1, face.darker(state.lit ? 118 : 130));
  }
  painter.setPen(QPen(kOutline, 1));
  painter.setBrush(gradient);
  painter.drawRoundedRect(outer, radius, radius);

  // A thin light edge along the top gives the face its raised look.
  if (!state.pressed) {
    QColor edge(255, 255, 255, state.enabled ? (state.lit ? 90 : 46) : 20);
    painter.setPen(QPen(edge, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(QPointF(outer.left() + radius, outer.top() + 1),
                     QPointF(outer.right() - radius, outer.top() + 1));
  }
  if (state.lit && state.enabled) {
    // Lit faces glow a little around their edge.
    QColor glow = base.lighter(150);
    glow.setAlpha(120);
    painter.setPen(QPen(glow, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
  }
  if (state.focused || (state.hot && state.enabled && !state.lit)) {
    QColor ring = kAccent;
    ring.setAlpha(state.focused ? 230 : 110);
    painter.setPen(QPen(ring, state.focused ? 1.5 : 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(outer.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
  }
  painter.restore();
}

void PaintWell(QPainter& painter, const QRectF& rect, qreal radius) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF outer = rect.adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient gradient(outer.topLeft(), outer.bottomLeft());
  gradient.setColorAt(0, kWell.darker(130));
  gradient.setColorAt(0.35, kWell);
  gradient.setColorAt(1, kWell.lighter(125));
  painter.setPen(QPen(kOutline, 1));
  painter.setBrush(gradient);
  painter.drawRoundedRect(outer, radius, radius);
  // The lower lip catches the light, so the window reads as recessed.
  painter.setPen(QPen(QColor(255, 255, 255, 28), 1));
  painter.drawLine(QPointF(outer.left() + radius, outer.bottom() + 0.5),
                   QPointF(outer.right() - radius, outer.bottom() + 0.5));
  painter.restore();
}

void PaintDialogBackground(QPainter& painter, const QRect& rect, int buttonStripTop) {
  painter.fillRect(rect, kDialogBackground);
  const QRect strip(rect.left(), buttonStripTop, rect.width(), rect.bottom() - buttonStripTop + 1);
  painter.fillRect(strip, kDialogBackground.darker(110));
  painter.setPen(kDialogBackground.darker(135));
  painter.drawLine(strip.topLeft(), strip.topRight());
}

void PaintCaption(QPainter& painter, const QRectF& rect, const QString& text, const QColor& colour,
                  int alignment) {
  if (text.isEmpty()) return;
  painter.save();
  painter.setPen(colour);
  QString shown = text;
  const QFontMetricsF metrics(painter.font());
  if (metrics.horizontalAdvance(QString(text).remove('&')) > rect.width() && !text.contains('&'))
    shown = metrics.elidedText(text, Qt::ElideRight, rect.width());
  painter.drawText(rect, alignment | Qt::TextShowMnemonic, shown);
  painter.restore();
}

}  // namespace veyra::skin
