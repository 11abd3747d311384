#include "admin/security_dialog.hpp"

#include <QPointer>
#include <cstring>
#include <memory>

#include "admin/security_lock.hpp"
#include "controls/message_box.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"

namespace veyra {

SecurityDialog::SecurityDialog(EditContext& context, QWidget* parent)
    : EditorDialog(context, "Security", parent) {
  setFixedSize(340, 190);

  auto makeRow = [this](const char* caption, int number, int y) {
    auto* label = new SkinLabel(caption, this);
    label->SetFont("Arial", 14, true);
    label->setGeometry(30, y, 90, 26);
    auto* field = new ValueEntryField(this);
    field->Attach(this, number);
    field->setEchoMode(QLineEdit::Password);
    field->setFont(skin::ControlFont(14));
    field->setGeometry(124, y, 186, 26);
    connect(field, &ValueEntryField::valueEntered, this, &SecurityDialog::EnterPressed);
    return field;
  };
  field_ = makeRow("Password", 1002, 36);
  confirm_ = makeRow("Confirm", 1003, 72);

  lock_ = new SkinButton("Lock", this);
  lock_->setGeometry(60, 130, 96, 28);
  unlock_ = new SkinButton("UnLock", this);
  unlock_->setGeometry(184, 130, 96, 28);
  connect(lock_, &SkinButton::clicked, this, &SecurityDialog::Lock);
  connect(unlock_, &SkinButton::clicked, this, &SecurityDialog::Unlock);
  setTabOrder(field_, confirm_);
  setTabOrder(confirm_, lock_);
  setTabOrder(lock_, unlock_);
  field_->setFocus(Qt::OtherFocusReason);
}

void SecurityDialog::EnterPressed() {
  if (Context().Locked()) {
    Unlock();
  } else {
    Lock();
  }
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
  const std::string confirmation = confirm_->text().toStdString();
  const HeldLock held = HoldLock(store.System);
  const LockCheck check = locking ? PrepareLock(store, typed, confirmation) : PrepareUnlock(store, typed);
  if (check == LockCheck::Offline) {
    Say(kLockOfflineText);
    return;
  }
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
  const HeldLock sent = HoldLock(store.System);
  // The device did not take the lock message: the program's lock goes back to
  // what it was, unless something replaced it meanwhile (a new connection).
  const auto putBack = [context, held, sent] {
    SystemSettings& system = context->Store().System;
    const HeldLock now = HoldLock(system);
    if (now.State == sent.State && std::memcmp(now.Password, sent.Password, sizeof now.Password) == 0)
      PutBackLock(system, held);
  };
  const bool queued = context->RunDeviceJob([copy, context, self, locking, putBack](DeviceLink& link) {
    const bool answered = SendLockMessage(*copy, link);
    context->PostToWindow([context, self, locking, answered, putBack] {
      // The channel controls follow the lock even when the dialog has gone.
      if (answered) {
        context->EnableChannelControls(context->Store().System.LockState == 0);
      } else {
        putBack();
      }
      if (self) self->Finish(locking, answered);
    });
  });
  if (!queued) {
    putBack();
    Finish(locking, false);
  }
}

void SecurityDialog::Finish(bool locking, bool answered) {
  sending_ = false;
  lock_->setEnabled(true);
  unlock_->setEnabled(true);
  if (answered && locking) {
    field_->clear();
    confirm_->clear();
  }
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
