// A one-line entry field for typed values and names. Typing stops at eight
// characters (editing keys still work), Enter reports instead of inserting,
// and the field turns blue while it has the focus.
#pragma once

#include <QLineEdit>
#include <QPointer>

namespace veyra {

class ValueEntryField : public QLineEdit {
  Q_OBJECT

 public:
  static constexpr int kMaxLength = 8;

  explicit ValueEntryField(QWidget* parent = nullptr);

  // The field's number and the window it reports to, set together.
  void Attach(QObject* owner, int number);
  int FieldNumber() const { return number_; }
  QObject* Owner() const { return owner_; }

  static QColor FocusColor();
  static QColor IdleColor();

 signals:
  void valueTyped(int number);    // a character was accepted into the field
  void valueEntered(int number);  // Enter was pressed
  void fieldFocused(int number);  // the field received the focus

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void SetBackground(const QColor& colour);
  bool Fits(const QString& inserted) const;

  int number_ = 0;
  QPointer<QObject> owner_;
};

}  // namespace veyra
