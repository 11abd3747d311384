#include "controls/set_name_dialog.hpp"

#include <QPainter>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "state/device_text.hpp"

namespace veyra {

SetNameDialog::SetNameDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("Set Name");
  setFixedSize(300, 132);

  auto* label = new SkinLabel("Name", this);
  label->SetTextColor(Qt::black);
  label->SetFont("Arial", 13, true);
  label->setGeometry(18, 20, 50, 24);

  field_ = new ValueEntryField(this);
  field_->Attach(this, 1280);
  field_->setFont(skin::ControlFont(14));
  field_->setGeometry(72, 19, 210, 26);
  connect(field_, &ValueEntryField::valueEntered, this, &SetNameDialog::accept);
  connect(field_, &ValueEntryField::valueTyped, this, [this] { notice_->SetText(QString()); });

  notice_ = new SkinLabel(this);
  notice_->SetTextColor(QColor(176, 24, 24));
  notice_->SetFont("Arial", 11);
  notice_->setGeometry(72, 48, 210, 18);

  auto* ok = new SkinButton("OK", this);
  ok->setGeometry(112, 88, 80, 26);
  connect(ok, &SkinButton::clicked, this, &SetNameDialog::accept);
  auto* cancel = new SkinButton("Cancel", this);
  cancel->setGeometry(202, 88, 80, 26);
  connect(cancel, &SkinButton::clicked, this, &SetNameDialog::reject);
  setTabOrder(field_, ok);
  setTabOrder(ok, cancel);
  field_->setFocus(Qt::OtherFocusReason);
}

void SetNameDialog::SetName(const QString& name) {
  field_->setText(name);
  notice_->SetText(QString());
}

QString SetNameDialog::Name() const {
  return field_->text();
}

QString SetNameDialog::Notice() const {
  return notice_->Text();
}

void SetNameDialog::accept() {
  const EncodedDeviceText encoded = EncodeDeviceText(Name().toStdString(), kMaxNameBytes);
  if (!encoded.ok()) {
    // The dialog stays open so that the name can be shortened or corrected.
    notice_->SetText(encoded.Error == DeviceTextError::TooLong
                         ? QString("Name too long.")
                         : QString::fromStdString(DeviceTextErrorMessage(encoded.Error, kMaxNameBytes)));
    return;
  }
  bytes_ = encoded.Bytes;
  QDialog::accept();
}

void SetNameDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  skin::PaintDialogBackground(painter, rect(), 76);
}

}  // namespace veyra
