// The System Setting dialog: backlight, temperature and the hidden device id
// row. OK stores the three (the core's rules, admin/system_settings.hpp) and,
// online, sends them on the link thread; a message the device does not answer
// keeps the dialog open with "Write Data eror." so that OK can be pressed again.
#pragma once

#include "editing/editor_dialog.hpp"

class QWidget;

namespace veyra {

class SkinButton;
class SkinDropDown;
class SkinLabel;

class SystemSettingDialog : public EditorDialog {
  Q_OBJECT

 public:
  SystemSettingDialog(EditContext& context, QWidget* parent = nullptr);

  SkinDropDown* BackLightList() const { return backLight_; }
  SkinDropDown* TemperatureList() const { return temperature_; }
  SkinDropDown* DeviceIdList() const { return deviceId_; }
  SkinLabel* DeviceIdCaption() const { return deviceIdCaption_; }
  SkinButton* OkButton() const { return ok_; }
  bool Sending() const { return sending_; }

 public slots:
  void accept() override;  // OK
  void reject() override;  // Cancel, Escape: not while the messages go out

 signals:
  // The three messages went out; answered: how many the device answered (3: all).
  void settingsSent(int answered);

 private:
  void Finish(int answered);

  SkinDropDown* backLight_;
  SkinDropDown* temperature_;
  SkinDropDown* deviceId_;
  SkinLabel* deviceIdCaption_;
  SkinButton* ok_;
  SkinButton* cancel_;
  bool sending_ = false;
};

QDialog* MakeSystemSettingDialog(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
