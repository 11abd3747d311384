#include "controls/mac_radio_button.hpp"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "controls/skin_style.hpp"

namespace veyra {

CMacRadioButton::CMacRadioButton(const QString& caption, QWidget* parent) : QAbstractButton(parent) {
  setText(caption);
  setCheckable(true);
  setAutoExclusive(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_Hover);  // repaint on entering and leaving: the hot look
  setFont(skin::ControlFont(12, true));
}

QList<CMacRadioButton*> CMacRadioButton::Group() const {
  QList<CMacRadioButton*> group;
  if (parentWidget() == nullptr) return group;
  for (CMacRadioButton* button : parentWidget()->findChildren<CMacRadioButton*>(Qt::FindDirectChildrenOnly)) {
    if (button == this || (button->isVisibleTo(parentWidget()) && button->isEnabled())) group.append(button);
  }
  std::stable_sort(group.begin(), group.end(), [](const CMacRadioButton* a, const CMacRadioButton* b) {
    return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
  });
  return group;
}

CMacRadioButton* CMacRadioButton::MoveSelection(int steps) {
  const QList<CMacRadioButton*> group = Group();
  if (group.size() < 2) return this;
  const qsizetype here = group.indexOf(const_cast<CMacRadioButton*>(this));
  const qsizetype count = group.size();
  CMacRadioButton* next = group[((here + steps) % count + count) % count];
  next->setChecked(true);
  next->setFocus(Qt::TabFocusReason);
  return next;
}

QSize CMacRadioButton::sizeHint() const {
  const QFontMetrics metrics(font());
  return {std::max(72, metrics.horizontalAdvance(QString(text()).remove('&')) + 20),
          std::max(24, metrics.height() + 10)};
}

void CMacRadioButton::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      MoveSelection(-1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      MoveSelection(1);
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      click();
      break;
    default:
      QAbstractButton::keyPressEvent(event);
  }
}

void CMacRadioButton::focusInEvent(QFocusEvent* event) {
  setChecked(true);  // the focused answer is the selected one
  QAbstractButton::focusInEvent(event);
}

void CMacRadioButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  skin::FaceState state;
  state.hot = underMouse();
  state.pressed = isDown();
  state.enabled = isEnabled();
  state.focused = isChecked();
  skin::PaintButtonFace(painter, rect(), skin::kFaceUp, state);
  painter.setFont(font());
  skin::PaintCaption(painter, QRectF(rect()).adjusted(4, state.pressed ? 1 : 0, -4, state.pressed ? 1 : 0),
                     text(), isEnabled() ? skin::kTextLight : skin::kTextDisabled);
}

}  // namespace veyra
