#include "controls/skin_spin_value.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "controls/skin_style.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

// Ratio of one downward frequency step: 240 steps span 2000:1, fixed for the run.
const double kFrequencyRatio = std::pow(2000.0, 1.0 / 240);

int FrequencyStepDown(int value) {
  const int tens = value / 10;
  if (tens <= 0) return value - 1;
  const int exponent = static_cast<int>(std::log(tens) / std::log(kFrequencyRatio));
  return static_cast<int>(10 * std::pow(kFrequencyRatio, exponent - 1));
}

}  // namespace

int SpinRepeatValue(int kind, int value, int direction, int tick, int min, int max) {
  int next = value;
  switch (kind) {
    case kKindQ:
    case kKindGain:
    case kKindDbu:
      next = value + direction;
      break;
    case kKindDelay:
    case kKindPercent:
    case kKindLevelDb:
    case kKindAttackMs:
    case kKindReleaseMs:
    case kKindRatio:
      next = value + direction * tick;
      break;
    case kKindFrequency4:
    case kKindFrequency8:
      next = direction > 0 ? value + tick : FrequencyStepDown(value);
      break;
    case kKindFrequency9:
      if (direction > 0) next = value + tick;
      break;
    default:
      break;
  }
  return std::clamp(next, min, max);
}

SkinSpinValue::SkinSpinValue(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setFont(skin::ControlFont(12, true));
  connect(&repeatTimer_, &QTimer::timeout, this, &SkinSpinValue::RepeatTick);
}

void SkinSpinValue::SetRange(int min, int max) {
  if (max < min) std::swap(min, max);
  min_ = min;
  max_ = max;
  SetValue(value_);
}

void SkinSpinValue::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  update();
}

void SkinSpinValue::SetKind(int kind) {
  kind_ = kind;
  update();
}

QString SkinSpinValue::Text() const {
  return QString::fromStdString(FormatValueText(kind_, value_));
}

QRect SkinSpinValue::DecrementArrow() const {
  const int w = std::min(height(), width() / 4);
  return {0, 0, w, height()};
}

QRect SkinSpinValue::IncrementArrow() const {
  const int w = std::min(height(), width() / 4);
  return {width() - w, 0, w, height()};
}

void SkinSpinValue::StepTo(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;  // nothing happens at either end
  value_ = value;
  update();
  emit valueChanged(id_, value_);
}

void SkinSpinValue::RepeatTick() {
  if (heldDirection_ == 0) {
    repeatTimer_.stop();
    return;
  }
  if (resting_) {  // the rest before repeating is over; steps follow from the next tick
    resting_ = false;
    repeatTimer_.setInterval(kRepeatIntervalMs);
    return;
  }
  ++tick_;
  StepTo(SpinRepeatValue(kind_, value_, heldDirection_, tick_, min_, max_));
}

void SkinSpinValue::mousePressEvent(QMouseEvent* event) {
  if (!isEnabled() || event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  heldDirection_ = DecrementArrow().contains(at) ? -1 : IncrementArrow().contains(at) ? 1 : 0;
  if (heldDirection_ == 0) return;
  tick_ = 0;
  StepTo(value_ + heldDirection_);
  resting_ = true;
  repeatTimer_.start(kRepeatDelayMs);
  update();
}

void SkinSpinValue::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  heldDirection_ = 0;
  tick_ = 0;
  repeatTimer_.stop();
  update();
}

void SkinSpinValue::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const int hot = DecrementArrow().contains(at) ? -1 : IncrementArrow().contains(at) ? 1 : 0;
  if (hot != hotDirection_) {
    hotDirection_ = hot;
    update();
  }
}

void SkinSpinValue::leaveEvent(QEvent*) {
  hotDirection_ = 0;
  update();
}

void SkinSpinValue::keyPressEvent(QKeyEvent* event) {
  if (!isEnabled()) return;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
      StepTo(value_ - 1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Up:
      StepTo(value_ + 1);
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void SkinSpinValue::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (!isEnabled()) return;
  const int notch = skin::WheelNotch(wheelCounter_, event->angleDelta());
  if (notch != 0) StepTo(value_ + notch);
}

void SkinSpinValue::PaintArrow(QPainter& painter, const QRect& area, int direction) const {
  const bool held = heldDirection_ == direction;
  const bool lit = isEnabled() && (held || hotDirection_ == direction);
  QColor colour = !isEnabled() ? skin::kTextDisabled
                  : held       ? Qt::white
                  : lit        ? skin::kAccent
                               : skin::kTextDim;
  const QRectF a = QRectF(area).adjusted(area.width() * 0.3, area.height() * 0.28, -area.width() * 0.3,
                                         -area.height() * 0.28);
  QPainterPath triangle;
  if (direction < 0) {
    triangle.moveTo(a.left(), a.center().y());
    triangle.lineTo(a.right(), a.top());
    triangle.lineTo(a.right(), a.bottom());
  } else {
    triangle.moveTo(a.right(), a.center().y());
    triangle.lineTo(a.left(), a.top());
    triangle.lineTo(a.left(), a.bottom());
  }
  triangle.closeSubpath();
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPath(triangle);
}

void SkinSpinValue::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRect left = DecrementArrow();
  const QRect right = IncrementArrow();
  skin::FaceState face;
  face.enabled = isEnabled();
  skin::PaintButtonFace(painter, rect(), skin::kFaceUp, face);
  const QRectF window = QRectF(left.right() + 1, 2, right.left() - left.right() - 1, height() - 4);
  skin::PaintWell(painter, window, 2);
  if (hasFocus()) {
    QColor ring = skin::kAccent;
    ring.setAlpha(170);
    painter.setPen(QPen(ring, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(window.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
  }
  PaintArrow(painter, left, -1);
  PaintArrow(painter, right, 1);
  painter.setFont(font());
  skin::PaintCaption(painter, window.adjusted(2, 0, -2, 0), Text(),
                     isEnabled() ? QColor(120, 222, 255) : skin::kTextDisabled);
}

}  // namespace veyra
