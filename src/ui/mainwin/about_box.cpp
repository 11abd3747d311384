#include "mainwin/about_box.hpp"

#include <QPainter>
#include <QPainterPath>

#include "controls/mac_radio_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "state/device_text.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 190;
constexpr int kButtonStrip = 146;
const QRect kPicture{18, 20, 84, 84};

SkinLabel* DarkLabel(const QString& text, QWidget* parent, int pixels, bool bold) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", pixels, bold);
  label->SetTextColor(Qt::black);
  return label;
}

}  // namespace

QString AboutBox::FirmwareLine(const ParameterStore& store) {
  if (store.Online == 0) return {};
  return QString::fromStdString(DecodeField(store.System.VersionText1));
}

AboutBox::AboutBox(const ParameterStore& store, QWidget* owner) : QDialog(owner) {
  setWindowTitle("About Veyra QL Series Loudspeaker Control System");
  setFixedSize(kWidth, kHeight);
  const int left = kPicture.right() + 20;
  DarkLabel("Veyra QL Series Loudspeaker Control System", this, 13, true)
      ->setGeometry(left, 22, kWidth - left - 12, 18);
  DarkLabel(kVersionText, this, 12, false)->setGeometry(left, 44, 200, 16);
  DarkLabel(kFirmwareHeading, this, 12, true)->setGeometry(left, 74, kWidth - left - 12, 16);
  firmware_ = DarkLabel(FirmwareLine(store), this, 12, false);
  firmware_->setGeometry(left, 94, kWidth - left - 12, 16);

  auto* ok = new CMacRadioButton("OK", this);
  ok->setGeometry(kWidth - 18 - 84, kButtonStrip + (kHeight - kButtonStrip - 26) / 2, 84, 26);
  connect(ok, &CMacRadioButton::clicked, this, &QDialog::accept);
}

QString AboutBox::FirmwareText() const {
  return firmware_->Text();
}

void AboutBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  skin::PaintDialogBackground(p, rect(), kButtonStrip);
  // The picture: the program's mark, a speaker cone in the accent colour.
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(skin::kShellBody);
  p.drawRoundedRect(kPicture, 14, 14);
  const QPointF c = QRectF(kPicture).center();
  for (int ring = 0; ring < 3; ++ring) {
    p.setPen(QPen(ring == 0 ? skin::kAccent : QColor(2, 166, 227, 150 - 50 * ring), 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 12.0 + 10 * ring, 12.0 + 10 * ring);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(skin::kTextLight);
  p.drawEllipse(c, 6, 6);
}

}  // namespace veyra
