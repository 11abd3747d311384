#include "controls/skin_slider.hpp"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "controls/skin_style.hpp"

namespace veyra {

SkinSlider::SkinSlider(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void SkinSlider::SetRange(int min, int max, bool redraw) {
  if (max < min) std::swap(min, max);
  min_ = min;
  max_ = max;
  pos_ = std::clamp(pos_, min_, max_);
  if (redraw) update();
}

void SkinSlider::SetPos(int pos) {
  pos = std::clamp(pos, min_, max_);
  if (pos == pos_) return;
  pos_ = pos;
  update();
}

void SkinSlider::SetVertical(bool vertical) {
  vertical_ = vertical;
  update();
}

void SkinSlider::SetMargins(int horizontalStart, int verticalStart, int horizontalEnd, int verticalEnd) {
  marginHStart_ = horizontalStart;
  marginVStart_ = verticalStart;
  marginHEnd_ = horizontalEnd;
  marginVEnd_ = verticalEnd;
  update();
}

void SkinSlider::SetThumbSize(int along, int across) {
  thumbAlong_ = std::max(2, along);
  thumbAcross_ = std::max(2, across);
  update();
}

int SkinSlider::PixelFromPos(int pos) const {
  const int base = thumbAlong_ / 2 + StartMargin();
  const long long range = max_ - min_;
  if (range <= 0 || Travel() <= 0) return base;
  return base +
         static_cast<int>((std::clamp(pos, min_, max_) - min_) * static_cast<long long>(Travel()) / range);
}

int SkinSlider::PosFromPixel(int pixel) const {
  const long long range = max_ - min_;
  const long long travel = Travel();
  const long long offset = pixel - thumbAlong_ / 2 - StartMargin();
  if (range <= 0 || travel <= 0 || offset < 0) return min_;
  // Largest k with trunc(k * travel / range) <= offset, i.e. k < (offset + 1) * range / travel.
  const long long k = ((offset + 1) * range + travel - 1) / travel - 1;
  return min_ + static_cast<int>(std::clamp<long long>(k, 0, range));
}

QSize SkinSlider::sizeHint() const {
  return vertical_ ? QSize(40, 160) : QSize(160, 28);
}

int SkinSlider::Along(const QPointF& point) const {
  return static_cast<int>(vertical_ ? point.y() : point.x());
}

void SkinSlider::DragTo(int pointer) {
  const int low = StartMargin() + thumbAlong_ / 2;
  const int high = std::max(low, Length() - EndMargin() - thumbAlong_ / 2);
  const int before = pos_;
  SetPos(PosFromPixel(std::clamp(pointer - grabOffset_, low, high)));
  if (pos_ != before) emit sliderChanging(id_);
}

void SkinSlider::mousePressEvent(QMouseEvent* event) {
  if (!isEnabled() || event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  dragging_ = true;
  const int pointer = Along(event->position());
  const int centre = PixelFromPos(pos_);
  // A press on the thumb keeps it where it is; a press beside it jumps there.
  grabOffset_ = std::abs(pointer - centre) <= thumbAlong_ / 2 ? pointer - centre : 0;
  DragTo(pointer);
}

void SkinSlider::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) DragTo(Along(event->position()));
}

void SkinSlider::mouseReleaseEvent(QMouseEvent* event) {
  if (!dragging_ || event->button() != Qt::LeftButton) return;
  dragging_ = false;
  update();
  emit sliderChanged(id_);
}

void SkinSlider::keyPressEvent(QKeyEvent* event) {
  if (!isEnabled()) return;
  int step = 0;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      step = vertical_ ? 1 : -1;  // a vertical thumb moves down
      break;
    case Qt::Key_Up:
    case Qt::Key_Right:
      step = vertical_ ? -1 : 1;
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  SetPos(pos_ + step);
  emit sliderChanged(id_);  // also at either end: the owner re-reads the position
}

void SkinSlider::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (!isEnabled()) return;
  const int notch = skin::WheelNotch(wheelCounter_, event->angleDelta());
  if (notch == 0) return;
  SetPos(pos_ + (vertical_ ? -notch : notch));  // wheel up moves the thumb up or right
  emit sliderChanged(id_);
}

void SkinSlider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // The band across the travel that holds groove and thumb.
  const qreal crossStart = vertical_ ? marginHStart_ : marginVStart_;
  const qreal crossEnd = (vertical_ ? width() - marginHEnd_ : height() - marginVEnd_);
  const QRectF cross(crossStart, 0, std::max<qreal>(2, crossEnd - crossStart), 0);
  PaintGroove(painter, cross);
  PaintThumb(painter, cross);
}

// Rectangle from positions along and across the travel, in widget coordinates.
static QRectF Oriented(bool vertical, qreal along0, qreal along1, qreal across0, qreal across1) {
  return vertical ? QRectF(QPointF(across0, along0), QPointF(across1, along1))
                  : QRectF(QPointF(along0, across0), QPointF(along1, across1));
}

void SkinSlider::PaintGroove(QPainter& painter, const QRectF& cross) const {
  const qreal centre = cross.left() + cross.width() / 2;
  const qreal first = PixelFromPos(min_);
  const qreal last = PixelFromPos(max_);
  const qreal half = 2.5;

  // Scale marks on both sides of the groove, longer at the ends and the middle.
  const qreal reach = std::min<qreal>(cross.width() / 2 - 1, thumbAcross_ / 2.0 + 1);
  painter.setPen(QPen(isEnabled() ? skin::kGrid : skin::kGrid.darker(140), 1));
  const int marks = 10;
  for (int i = 0; i <= marks; ++i) {
    const qreal at = std::round(first + (last - first) * i / marks) + 0.5;
    const qreal inner = half + 3;
    const qreal outer = (i % 5 == 0) ? reach : reach - 4;
    for (int side : {-1, 1}) {
      const qreal a = centre + side * inner;
      const qreal b = centre + side * outer;
      painter.drawLine(vertical_ ? QLineF(a, at, b, at) : QLineF(at, a, at, b));
    }
  }

  skin::PaintWell(painter, Oriented(vertical_, first - half, last + half, centre - half, centre + half),
                  half);
  // The lit part of the groove: from the thumb to the end the largest code sits at
  // for a fader (bottom), from the start for a horizontal slider.
  const qreal thumb = PixelFromPos(pos_);
  QColor lit = isEnabled() ? skin::kAccent : skin::kGrid;
  lit.setAlpha(200);
  painter.setPen(Qt::NoPen);
  painter.setBrush(lit);
  const QRectF fill = vertical_ ? Oriented(true, thumb, last + 1, centre - 1.5, centre + 1.5)
                                : Oriented(false, first - 1, thumb, centre - 1.5, centre + 1.5);
  painter.drawRoundedRect(fill, 1.5, 1.5);
}

void SkinSlider::PaintThumb(QPainter& painter, const QRectF& cross) const {
  const qreal centre = cross.left() + cross.width() / 2;
  const qreal across = std::min<qreal>(thumbAcross_, cross.width());
  const qreal at = PixelFromPos(pos_);
  const qreal start = at - thumbAlong_ / 2.0;
  const QRectF cap = Oriented(vertical_, start, start + thumbAlong_, centre - across / 2, centre + across / 2)
                         .adjusted(0.5, 0.5, -0.5, -0.5);

  // A brushed cap: light at the leading edge, darker towards the trailing one.
  const bool enabled = isEnabled();
  QLinearGradient gradient(cap.topLeft(), cap.bottomLeft());
  const int top = enabled ? 214 : 130;
  gradient.setColorAt(0, QColor(top, top + 3, top + 5));
  gradient.setColorAt(0.45, QColor(top - 52, top - 46, top - 42));
  gradient.setColorAt(0.55, QColor(top - 72, top - 66, top - 62));
  gradient.setColorAt(1, QColor(top - 112, top - 106, top - 100));
  painter.setPen(QPen(skin::kOutline, 1));
  painter.setBrush(gradient);
  painter.drawRoundedRect(cap, 2, 2);

  // The index line across the cap marks the exact position.
  const QColor index = enabled && (hasFocus() || dragging_) ? skin::kAccent : QColor(24, 28, 31);
  painter.setPen(QPen(index, 2, Qt::SolidLine, Qt::FlatCap));
  const qreal inset = across > 10 ? 3 : 1;
  painter.drawLine(vertical_ ? QLineF(cap.left() + inset, at, cap.right() - inset, at)
                             : QLineF(at, cap.top() + inset, at, cap.bottom() - inset));
}

}  // namespace veyra
