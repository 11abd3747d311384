#include "controls/skin_button.hpp"

#include <QPainter>

#include "controls/skin_style.hpp"

namespace veyra {

SkinButton::SkinButton(QWidget* parent) : SkinButton(QString(), parent) {}

SkinButton::SkinButton(const QString& caption, QWidget* parent)
    : QAbstractButton(parent),
      upFace_(skin::kFaceUp),
      downFace_(skin::kFaceDown),
      text_{skin::kTextLight, Qt::white, skin::kTextDisabled, Qt::white, Qt::white, skin::kTextDisabled} {
  setText(caption);
  setFont(skin::ControlFont(12, true));
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_Hover);  // repaint on entering and leaving: the hot look
}

void SkinButton::SetDown(int down) {
  if (down == down_) return;
  down_ = down;
  update();
}

void SkinButton::SetFaceColors(const QColor& up, const QColor& down) {
  upFace_ = up;
  downFace_ = down;
  update();
}

void SkinButton::SetTextColors(const std::array<QColor, 6>& colours) {
  text_ = colours;
  update();
}

QSize SkinButton::sizeHint() const {
  const QFontMetrics metrics(font());
  return {qMax(48, metrics.horizontalAdvance(QString(text()).remove('&')) + 16),
          qMax(22, metrics.height() + 8)};
}

void SkinButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool lit = down_ != 0;
  skin::FaceState state;
  state.lit = lit;
  state.hot = underMouse();
  state.pressed = isDown();
  state.enabled = isEnabled();
  state.focused = hasFocus();
  skin::PaintButtonFace(painter, rect(), lit ? downFace_ : upFace_, state);
  const Look look = !isEnabled() ? kDisabled : underMouse() ? kHot : kNormal;
  painter.setFont(font());
  const QRectF textRect = QRectF(rect()).adjusted(3, state.pressed ? 1 : 0, -3, state.pressed ? 1 : 0);
  skin::PaintCaption(painter, textRect, text(), TextColor(lit, look));
}

}  // namespace veyra
