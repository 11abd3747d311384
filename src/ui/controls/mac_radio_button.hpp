// A push-style button of a group (the message box's answers) in which the
// arrow keys move the selection to the neighbouring button of the same parent
// without answering; Enter or Space answers with the selected one.
#pragma once

#include <QAbstractButton>

namespace veyra {

class CMacRadioButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit CMacRadioButton(const QString& caption = QString(), QWidget* parent = nullptr);

  // The other visible, enabled buttons of this kind under the same parent, in
  // reading order (top to bottom, left to right), this one included.
  QList<CMacRadioButton*> Group() const;
  // Selects the button `steps` places further in the group (wrapping) and gives it the focus.
  CMacRadioButton* MoveSelection(int steps);
  bool IsHot() const { return underMouse(); }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
};

}  // namespace veyra
