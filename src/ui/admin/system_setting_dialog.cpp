#include "admin/system_setting_dialog.hpp"

#include <QPointer>
#include <memory>

#include "controls/message_box.hpp"
#include "admin/system_settings.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"

namespace veyra {

namespace {

constexpr int kCaptionX = 28;
constexpr int kListX = 150;
constexpr int kRowHeight = 26;
constexpr int kRowGap = 40;

SkinLabel* Caption(const char* text, int row, QWidget* parent) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", 14, true);
  label->setGeometry(kCaptionX, 24 + row * kRowGap, 116, kRowHeight);
  return label;
}

SkinDropDown* List(int id, int row, QWidget* parent) {
  auto* list = new SkinDropDown(parent);
  list->SetId(id);
  list->setGeometry(kListX, 24 + row * kRowGap, 150, kRowHeight);
  return list;
}

}  // namespace

SystemSettingDialog::SystemSettingDialog(EditContext& context, QWidget* parent)
    : EditorDialog(context, "System Setting", parent) {
  setFixedSize(330, 172);
  Caption("BackLight", 0, this);
  backLight_ = List(1, 0, this);
  for (int i = 0; i < kBackLightChoices; ++i) backLight_->AddEntry(BackLightText(i));
  Caption("Temperature", 1, this);
  temperature_ = List(2, 1, this);
  for (int t = 0; t <= kMaxTemperature; ++t)
    temperature_->AddEntry(QString::fromStdString(TemperatureText(t)));
  // The device id follows the program's own: the row is there but not shown.
  deviceIdCaption_ = Caption("DeviceID", 2, this);
  deviceId_ = List(3, 2, this);
  for (int id = 1; id <= kMaxDeviceIdSetting; ++id) deviceId_->AddEntry(QString::number(id));
  deviceIdCaption_->hide();
  deviceId_->hide();

  const SystemChoice choice = CurrentSystemChoice(context.Store());
  backLight_->SetCurrentIndex(choice.BackLight);
  temperature_->SetCurrentIndex(choice.Temperature);
  deviceId_->SetCurrentIndex(choice.DeviceId);

  ok_ = new SkinButton("OK", this);
  ok_->setGeometry(110, 124, 96, 28);
  cancel_ = new SkinButton("Cancel", this);
  cancel_->setGeometry(214, 124, 96, 28);
  connect(ok_, &SkinButton::clicked, this, &SystemSettingDialog::accept);
  connect(cancel_, &SkinButton::clicked, this, &SystemSettingDialog::reject);
}

void SystemSettingDialog::accept() {
  if (sending_) return;
  ParameterStore& store = Context().Store();
  SystemChoice choice;
  choice.BackLight = backLight_->GetCurrentIndex();
  choice.Temperature = temperature_->GetCurrentIndex();
  choice.DeviceId = deviceId_->GetCurrentIndex();
  if (!StoreSystemChoice(store, choice)) return;  // locked: the dialog stays, nothing said
  if (!Context().Online()) {
    Context().Prompts().Ask(this, kSettingsOfflineText, "Warning", kStyleOk | kIconInformation);
    EditorDialog::accept();
    return;
  }
  auto copy = std::make_shared<ParameterStore>(store);
  EditContext* context = &Context();
  QPointer<SystemSettingDialog> self(this);
  sending_ = true;
  ok_->setEnabled(false);
  cancel_->setEnabled(false);
  const bool queued = context->RunDeviceJob([copy, context, self](DeviceLink& link) {
    const int answered = SendSystemSettings(*copy, link);
    context->PostToWindow([self, answered] {
      if (self) self->Finish(answered);
    });
  });
  if (!queued) Finish(0);
}

void SystemSettingDialog::reject() {
  if (!sending_) EditorDialog::reject();
}

void SystemSettingDialog::Finish(int answered) {
  sending_ = false;
  ok_->setEnabled(true);
  cancel_->setEnabled(true);
  emit settingsSent(answered);
  if (answered < static_cast<int>(kSystemSettingItems.size())) {
    Context().Prompts().Ask(this, kWriteDataErrorText, "Warning", kStyleOk | kIconInformation);
    return;  // stays open: OK can be pressed again
  }
  EditorDialog::accept();
}

QDialog* MakeSystemSettingDialog(EditContext& context, int, QWidget* parent) {
  return new SystemSettingDialog(context, parent);
}

}  // namespace veyra
