// The Security dialog: a masked password field, "Lock" and "UnLock". The
// rules are the core's (admin/security_lock.hpp); the lock message goes out
// on the link thread, and the answer comes back as a posted result, so the
// window never waits for the device.
#pragma once

#include "editing/editor_dialog.hpp"

class QWidget;

namespace veyra {

class SkinButton;
class ValueEntryField;

class SecurityDialog : public EditorDialog {
  Q_OBJECT

 public:
  SecurityDialog(EditContext& context, QWidget* parent = nullptr);

  ValueEntryField* PasswordField() const { return field_; }
  // Lock takes the password only when it was typed here a second time.
  ValueEntryField* ConfirmField() const { return confirm_; }
  SkinButton* LockButton() const { return lock_; }
  SkinButton* UnlockButton() const { return unlock_; }
  bool Sending() const { return sending_; }

 public slots:
  void Lock();
  void Unlock();

 signals:
  // The lock message of a Lock or UnLock went out; answered: the device took it.
  void lockSent(bool locking, bool answered);

 private:
  void Run(bool locking);
  void Finish(bool locking, bool answered);
  void Say(const char* text);
  void EnterPressed();  // Lock when unlocked, UnLock when locked

  ValueEntryField* field_;
  ValueEntryField* confirm_;
  SkinButton* lock_;
  SkinButton* unlock_;
  bool sending_ = false;
};

QDialog* MakeSecurityDialog(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
