// The about box: the program version, the heading of the firmware versions
// and, while online, the device's first version text.
#pragma once

#include <QDialog>

namespace veyra {

struct ParameterStore;
class SkinLabel;

class AboutBox : public QDialog {
  Q_OBJECT

 public:
  static constexpr const char* kVersionText = "Version 1.0.002";
  static constexpr const char* kFirmwareHeading = "QL Series Firmware Versions:";

  explicit AboutBox(const ParameterStore& store, QWidget* owner = nullptr);

  // The firmware line: VersionText1 up to its first zero while online, else empty.
  QString FirmwareText() const;
  static QString FirmwareLine(const ParameterStore& store);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  SkinLabel* firmware_;
};

}  // namespace veyra
