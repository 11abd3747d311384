#include "admin/security_dialog.hpp"

#include <QPointer>
#include <memory>

#include "controls/message_box.hpp"
#include "admin/security_lock.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"

namespace veyra {

SecurityDialog::SecurityDialog(EditContext& context, QWidget* parent)
    : EditorDialog(context, "Security", parent) {
  setFixedSize(340, 170);

  auto* label = new SkinLabel("Password", this);
  label->SetFont("Arial", 14, true);
  label->setGeometry(30, 40, 90, 26);

  field_ = new ValueEntryField(this);
  field_->Attach(this, 1002);
  field_->setEchoMode(QLineEdit::Password);
  field_->setFont(skin::ControlFont(14));
  field_->setGeometry(124, 40, 186, 26);

  lock_ = new SkinButton("Lock", this);
  lock_->setGeometry(60, 110, 96, 28);
  unlock_ = new SkinButton("UnLock", this);
  unlock_->setGeometry(184, 110, 96, 28);
  connect(lock_, &SkinButton::clicked, this, &SecurityDialog::Lock);
  connect(unlock_, &SkinButton::clicked, this, &SecurityDialog::Unlock);
  setTabOrder(field_, lock_);
  setTabOrder(lock_, unlock_);
  field_->setFocus(Qt::OtherFocusReason);
}

void SecurityDialog::Lock() {
  Run(true);
}

void SecurityDialog::Unlock() {
  Run(false);
}

void SecurityDialog::Run(bool locking) {
  if (sending_) return;  // one lock message at a time
  ParameterStore& store = Context().Store();
  const std::string typed = field_->text().toStdString();
  const LockCheck check = locking ? PrepareLock(store, typed) : PrepareUnlock(store, typed);
  if (check == LockCheck::Offline) return;
  if (check != LockCheck::Ok) {
    Say(LockCheckText(check));
    return;
  }
  // The store holds the new lock already; the message is built on the link
  // thread from a copy taken now. The meter poll is held off only while the
  // job runs, so it never stays stopped, whatever the device answers.
  auto copy = std::make_shared<ParameterStore>(store);
  EditContext* context = &Context();
  QPointer<SecurityDialog> self(this);
  sending_ = true;
  lock_->setEnabled(false);
  unlock_->setEnabled(false);
  const bool queued = context->RunDeviceJob([copy, context, self, locking](DeviceLink& link) {
    const bool answered = SendLockMessage(*copy, link);
    context->PostToWindow([context, self, locking, answered] {
      // The channel controls follow the lock even when the dialog has gone.
      if (answered) context->EnableChannelControls(context->Store().System.LockState == 0);
      if (self) self->Finish(locking, answered);
    });
  });
  if (!queued) Finish(locking, false);
}

void SecurityDialog::Finish(bool locking, bool answered) {
  sending_ = false;
  lock_->setEnabled(true);
  unlock_->setEnabled(true);
  if (answered && locking) field_->clear();
  Say(LockSentText(locking, answered));
  emit lockSent(locking, answered);
}

void SecurityDialog::Say(const char* text) {
  Context().Prompts().Ask(this, QString::fromUtf8(text), "Warning", kStyleOk | kIconInformation);
}

QDialog* MakeSecurityDialog(EditContext& context, int, QWidget* parent) {
  return new SecurityDialog(context, parent);
}

}  // namespace veyra
