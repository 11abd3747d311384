#include "controls/skin_drop_down.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>

#include "controls/skin_drop_list.hpp"
#include "controls/skin_style.hpp"

namespace veyra {

SkinDropDown::SkinDropDown(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_Hover);  // repaint on entering and leaving: the hot look
  setFont(skin::ControlFont(12, true));
  list_ = new SkinDropList(this);  // made once, shown on every click
  connect(list_, &SkinDropList::entryChosen, this, &SkinDropDown::Choose);
  connect(list_, &SkinDropList::closed, this, qOverload<>(&SkinDropDown::update));
}

void SkinDropDown::AddEntry(const QString& text) {
  entries_.append(text);
  updateGeometry();
}

void SkinDropDown::ClearEntries() {
  entries_.clear();
  current_ = -1;
  update();
}

void SkinDropDown::SetCurrentIndex(int index) {
  if (index < -1 || index >= Count() || index == current_) return;
  current_ = index;
  update();
}

void SkinDropDown::ShowList() {
  if (entries_.isEmpty()) return;
  list_->Open(entries_, current_, QRect(mapToGlobal(QPoint(0, 0)), size()));
  update();
}

bool SkinDropDown::IsListShown() const {
  return list_->isVisible();
}

void SkinDropDown::Choose(int index) {
  current_ = index;
  update();
  emit selectionChanged(id_);
}

QSize SkinDropDown::sizeHint() const {
  const QFontMetrics metrics(font());
  int widest = 40;
  for (const QString& entry : entries_) widest = std::max(widest, metrics.horizontalAdvance(entry));
  return {widest + 32, metrics.height() + 8};
}

void SkinDropDown::mousePressEvent(QMouseEvent* event) {
  if (!isEnabled() || event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  ShowList();
}

void SkinDropDown::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_F4:
      ShowList();
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void SkinDropDown::wheelEvent(QWheelEvent* event) {
  event->accept();
  if (!isEnabled() || entries_.isEmpty()) return;
  // Wheel away from the operator moves up the list, towards the first entry.
  const int notch = skin::WheelNotch(wheelCounter_, event->angleDelta());
  if (notch == 0) return;
  const int next = std::clamp(current_ - notch, 0, Count() - 1);
  if (next != current_) Choose(next);
}

void SkinDropDown::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const bool open = IsListShown();
  skin::FaceState state;
  state.hot = underMouse() || open;
  state.enabled = isEnabled();
  state.focused = hasFocus() && !open;
  skin::PaintButtonFace(painter, rect(), skin::kFaceUp, state);

  // Chevron on the right, pointing to where the list is (down) or back (up).
  const qreal side = std::min<qreal>(height() * 0.32, 7);
  const QPointF centre(width() - 6 - side, height() / 2.0);
  QPainterPath chevron;
  const qreal dir = open ? -1 : 1;
  chevron.moveTo(centre.x() - side, centre.y() - dir * side / 2);
  chevron.lineTo(centre.x(), centre.y() + dir * side / 2);
  chevron.lineTo(centre.x() + side, centre.y() - dir * side / 2);
  painter.setPen(
      QPen(isEnabled() ? (open || underMouse() ? skin::kAccent : skin::kTextDim) : skin::kTextDisabled, 1.6,
           Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(chevron);
  // A divider between caption and chevron.
  painter.setPen(QPen(QColor(0, 0, 0, 90), 1));
  const qreal divider = centre.x() - side - 5.5;
  painter.drawLine(QPointF(divider, 4), QPointF(divider, height() - 4));

  painter.setFont(font());
  skin::PaintCaption(painter, QRectF(8, 0, divider - 10, height()), CurrentText(),
                     isEnabled() ? skin::kTextLight : skin::kTextDisabled, Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace veyra
