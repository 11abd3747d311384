#include "controls/skin_drop_list.hpp"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <algorithm>

#include "controls/skin_style.hpp"

namespace veyra {

SkinDropList::SkinDropList(QWidget* owner) : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setFont(owner ? owner->font() : skin::ControlFont(12, true));
}

int SkinDropList::EntryHeight() const {
  return QFontMetrics(font()).height() + 8;
}

int SkinDropList::VisibleCount() const {
  return std::max(1, (height() - 2) / EntryHeight());
}

QRect SkinDropList::EntryRect(int index) const {
  return {1, 1 + (index - first_) * EntryHeight(), width() - 2, EntryHeight()};
}

int SkinDropList::EntryAt(const QPoint& point) const {
  if (point.x() < 0 || point.x() >= width() || point.y() < 1) return -1;
  const int index = first_ + (point.y() - 1) / EntryHeight();
  return index < entries_.size() && index < first_ + VisibleCount() ? index : -1;
}

void SkinDropList::Open(const QStringList& entries, int current, const QRect& button) {
  entries_ = entries;
  current_ = current;
  hot_ = current;
  first_ = 0;
  setFont(parentWidget() ? parentWidget()->font() : font());
  // As tall as its entries, limited by the room below the button on the screen.
  int wanted = static_cast<int>(entries_.size()) * EntryHeight() + 2;
  const QScreen* screen = QGuiApplication::screenAt(button.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const int room = screen->availableGeometry().bottom() - button.bottom();
    wanted = std::min(wanted, std::max(room, EntryHeight() + 2));
  }
  setGeometry(button.left(), button.bottom() + 1, button.width(), wanted);
  if (current_ >= VisibleCount()) ScrollTo(current_ - VisibleCount() + 1);
  show();
  raise();
  setFocus(Qt::PopupFocusReason);
}

void SkinDropList::ScrollTo(int first) {
  first_ = std::clamp(first, 0, std::max(0, static_cast<int>(entries_.size()) - VisibleCount()));
  update();
}

void SkinDropList::Choose(int index) {
  hide();
  if (index >= 0 && index < entries_.size()) emit entryChosen(index);
}

void SkinDropList::mouseMoveEvent(QMouseEvent* event) {
  const int hot = EntryAt(event->position().toPoint());
  if (hot != hot_ && hot >= 0) {
    hot_ = hot;
    update();
  }
}

void SkinDropList::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int index = EntryAt(event->position().toPoint());
  if (index >= 0) Choose(index);
}

void SkinDropList::wheelEvent(QWheelEvent* event) {
  event->accept();
  const int delta = event->angleDelta().y();
  if (delta != 0) ScrollTo(first_ + (delta > 0 ? -1 : 1));
}

void SkinDropList::keyPressEvent(QKeyEvent* event) {
  const int count = static_cast<int>(entries_.size());
  switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
      hot_ = std::clamp(hot_ + (event->key() == Qt::Key_Up ? -1 : 1), 0, std::max(0, count - 1));
      if (hot_ < first_) ScrollTo(hot_);
      if (hot_ >= first_ + VisibleCount()) ScrollTo(hot_ - VisibleCount() + 1);
      update();
      break;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      Choose(hot_);
      break;
    case Qt::Key_Escape:
      hide();
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

void SkinDropList::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  emit closed();
}

void SkinDropList::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(34, 41, 46));
  painter.setPen(QPen(skin::kOutline, 1));
  painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  painter.setFont(font());
  const int last = std::min(static_cast<int>(entries_.size()), first_ + VisibleCount());
  for (int i = first_; i < last; ++i) {
    const QRect row = EntryRect(i);
    if (i == hot_) {
      painter.fillRect(row, skin::kAccent);
    } else if (i == current_) {
      painter.fillRect(row, skin::kShellSide.darker(130));
    }
    if (i > first_ && i != hot_ && i - 1 != hot_) {
      painter.setPen(QColor(255, 255, 255, 16));
      painter.drawLine(row.left() + 4, row.top(), row.right() - 4, row.top());
    }
    skin::PaintCaption(painter, QRectF(row).adjusted(8, 0, -4, 0), entries_[i],
                       i == hot_ ? Qt::white : skin::kTextLight, Qt::AlignLeft | Qt::AlignVCenter);
  }
  if (first_ > 0 || last < entries_.size()) {
    // A thin bar on the right shows where the visible part lies in a cut list.
    const qreal total = entries_.size();
    const qreal top = (height() - 4) * first_ / total + 2;
    const qreal bar = std::max<qreal>(6, (height() - 4) * VisibleCount() / total);
    painter.fillRect(QRectF(width() - 4, top, 2, bar), skin::kTextDim);
  }
}

}  // namespace veyra
