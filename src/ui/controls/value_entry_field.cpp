#include "controls/value_entry_field.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "controls/skin_style.hpp"

namespace veyra {

ValueEntryField::ValueEntryField(QWidget* parent) : QLineEdit(parent) {
  setFont(skin::ControlFont(12));
  setFrame(true);
  // Pasting and dropping go through the checked key path only.
  setContextMenuPolicy(Qt::NoContextMenu);
  setAcceptDrops(false);
  QPalette colours = palette();
  colours.setColor(QPalette::Text, Qt::black);
  colours.setColor(QPalette::Highlight, skin::kShellBody);
  colours.setColor(QPalette::HighlightedText, Qt::white);
  colours.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 126, 130));
  setPalette(colours);
  SetBackground(IdleColor());
}

void ValueEntryField::Attach(QObject* owner, int number) {
  owner_ = owner;
  number_ = number;
}

QColor ValueEntryField::FocusColor() {
  return skin::kAccent;
}
QColor ValueEntryField::IdleColor() {
  return Qt::white;
}

void ValueEntryField::SetBackground(const QColor& colour) {
  QPalette colours = palette();
  colours.setColor(QPalette::Active, QPalette::Base, colour);
  colours.setColor(QPalette::Inactive, QPalette::Base, colour);
  colours.setColor(QPalette::Disabled, QPalette::Base, QColor(196, 202, 206));
  setPalette(colours);
}

bool ValueEntryField::Fits(const QString& inserted) const {
  return text().size() - selectedText().size() + inserted.size() <= kMaxLength;
}

void ValueEntryField::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();  // not inserted, and not passed on to a dialog's default button
    emit valueEntered(number_);
    return;
  }
  QString inserted;
  if (event->matches(QKeySequence::Paste)) {
    inserted = QGuiApplication::clipboard()->text().section('\n', 0, 0);
  } else if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
    inserted = event->text();
  }
  if (!inserted.isEmpty() && !Fits(inserted)) {
    event->accept();  // refused: the field is full
    return;
  }
  const QString before = text();
  QLineEdit::keyPressEvent(event);
  if (text() != before) emit valueTyped(number_);
}

void ValueEntryField::inputMethodEvent(QInputMethodEvent* event) {
  // Text composed with an input method (Chinese names) obeys the same limit.
  if (!event->commitString().isEmpty() && !Fits(event->commitString())) {
    QInputMethodEvent cleared;  // drops the refused composition
    QLineEdit::inputMethodEvent(&cleared);
    event->accept();
    return;
  }
  const QString before = text();
  QLineEdit::inputMethodEvent(event);
  if (text() != before) emit valueTyped(number_);
}

void ValueEntryField::mouseReleaseEvent(QMouseEvent* event) {
  // The middle button would paste the selection without the length check.
  if (event->button() == Qt::MiddleButton) return;
  QLineEdit::mouseReleaseEvent(event);
}

void ValueEntryField::focusInEvent(QFocusEvent* event) {
  SetBackground(FocusColor());
  QLineEdit::focusInEvent(event);
  emit fieldFocused(number_);
}

void ValueEntryField::focusOutEvent(QFocusEvent* event) {
  SetBackground(IdleColor());
  QLineEdit::focusOutEvent(event);
}

}  // namespace veyra
