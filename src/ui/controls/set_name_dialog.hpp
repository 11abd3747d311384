// The Set Name dialog: one field for a channel name. OK closes it only when
// the name fits the device's 8-byte name field (a Chinese character takes two).
#pragma once

#include <QDialog>
#include <string>

namespace veyra {

class SkinLabel;
class ValueEntryField;

class SetNameDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr size_t kMaxNameBytes = 8;

  explicit SetNameDialog(QWidget* parent = nullptr);

  void SetName(const QString& name);
  QString Name() const;
  // The name in device text, valid after the dialog was accepted.
  const std::string& NameBytes() const { return bytes_; }
  ValueEntryField* Field() const { return field_; }
  QString Notice() const;  // why OK was refused; empty while nothing was refused

 public slots:
  void accept() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ValueEntryField* field_;
  SkinLabel* notice_;
  std::string bytes_;
};

}  // namespace veyra
