#include "controls/value_entry_field.hpp"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "controls/skin_style.hpp"

namespace veyra {

ValueEntryField::ValueEntryField(QWidget* parent) : QLineEdit(parent) {
  setFont(skin::ControlFont(12));
  setFrame(true);
  setContextMenuPolicy(Qt::NoContextMenu);  // pasting goes through the checked key path only
  QPalette colours = palette();
  colours.setColor(QPalette::Text, Qt::black);
  colours.setColor(QPalette::Highlight, skin::kShellBody);
  colours.setColor(QPalette::HighlightedText, Qt::white);
  setPalette(colours);
  SetBackground(IdleColor());
}

void ValueEntryField::Attach(QObject* owner, int number) {
  owner_ = owner;
  number_ = number;
}

QColor ValueEntryField::FocusColor() { return skin::kAccent; }
QColor ValueEntryField::IdleColor() { return Qt::white; }

void ValueEntryField::SetBackground(const QColor& colour) {
  QPalette colours = palette();
  colours.setColor(QPalette::Base, colour);
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
