// The program's own message box: the standard button sets, icons and result
// codes, in the program's look.
#pragma once

#include <QDialog>
#include <array>

class QWidget;

namespace veyra {

class CMacRadioButton;
class SkinLabel;

// Result codes of the answers.
enum MessageResult : int {
  kResultOk = 1,
  kResultCancel = 2,  // also closing the window
  kResultAbort = 3,
  kResultRetry = 4,
  kResultIgnore = 5,
  kResultYes = 6,
  kResultNo = 7,
};

// Style bits: the low four bits choose the button set, the next four the icon.
enum MessageStyle : unsigned {
  kStyleOk = 0x0,
  kStyleOkCancel = 0x1,
  kStyleAbortRetryIgnore = 0x2,
  kStyleYesNoCancel = 0x3,
  kStyleYesNo = 0x4,
  kStyleRetryCancel = 0x5,
  kIconError = 0x10,
  kIconQuestion = 0x20,
  kIconExclamation = 0x30,
  kIconInformation = 0x40,
};

class MessageBoxDialog : public QDialog {
  Q_OBJECT

 public:
  // An empty caption takes the owner window's caption.
  MessageBoxDialog(const QString& text, const QString& caption, unsigned style, QWidget* owner = nullptr);

  // The answer buttons in their fixed order; the ones the style does not use are hidden.
  static constexpr std::array<int, 7> kButtonResults{kResultAbort, kResultRetry, kResultIgnore, kResultYes,
                                                     kResultNo,    kResultOk,    kResultCancel};
  CMacRadioButton* Button(int result) const;
  QList<int> ShownResults() const { return shown_; }  // in the order shown
  unsigned IconBits() const { return icon_; }
  bool CloseEnabled() const { return closeEnabled_; }
  QString Text() const;

 public slots:
  void reject() override;  // Escape and the close box: Cancel, unless closing is disabled

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void LayOut(const QList<int>& shown);

  unsigned icon_;
  QList<int> shown_;
  bool closeEnabled_ = true;
  SkinLabel* text_;
  QWidget* iconView_;
  std::array<CMacRadioButton*, 7> buttons_{};
  int buttonStripTop_ = 0;
};

// Shows the message box modally over its owner (the caller's window; the
// active window when there is none) and returns the code of the answer that
// ended it.
int ShowMessageBox(const QString& text, const QString& caption, unsigned style, QWidget* owner);

}  // namespace veyra
