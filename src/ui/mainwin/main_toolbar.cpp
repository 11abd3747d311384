#include "mainwin/main_toolbar.hpp"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "controls/png_button.hpp"
#include "controls/skin_style.hpp"

namespace veyra {
namespace {

constexpr int kButtonWidth = 32;
constexpr int kButtonHeight = 40;
constexpr qreal kScale = 2;  // images are drawn at twice their size

const char* const kTips[MainToolbar::kButtons] = {"Open file", "Save file", "Program", "Connect",
                                                  "Disconnect"};

const QColor kInk{236, 241, 244};
const QColor kGreen{70, 200, 96};
const QColor kRed{232, 72, 64};

void DrawFolder(QPainter& p) {
  QPainterPath back;
  back.moveTo(2.5, 6.5);
  back.lineTo(9, 6.5);
  back.lineTo(11, 8.5);
  back.lineTo(20.5, 8.5);
  back.lineTo(20.5, 19.5);
  back.lineTo(2.5, 19.5);
  back.closeSubpath();
  p.setBrush(QColor(232, 160, 32));
  p.drawPath(back);
  QPainterPath front;
  front.moveTo(5, 11.5);
  front.lineTo(22.5, 11.5);
  front.lineTo(20.5, 19.5);
  front.lineTo(2.5, 19.5);
  front.closeSubpath();
  p.setBrush(QColor(250, 196, 72));
  p.drawPath(front);
}

void DrawDisk(QPainter& p) {
  QPainterPath body;
  body.moveTo(3.5, 3.5);
  body.lineTo(17.5, 3.5);
  body.lineTo(20.5, 6.5);
  body.lineTo(20.5, 20.5);
  body.lineTo(3.5, 20.5);
  body.closeSubpath();
  p.setBrush(skin::kAccent);
  p.drawPath(body);
  p.setBrush(kInk);
  p.drawRect(QRectF(7.5, 3.5, 8, 5));
  p.drawRoundedRect(QRectF(6.5, 12.5, 11, 8), 1, 1);
  p.setBrush(QColor(30, 38, 44));
  p.drawRect(QRectF(12.5, 4.5, 2, 3));
}

void DrawProgram(QPainter& p) {
  // Three stacked program cards with a number on the top one.
  for (int k = 2; k >= 0; --k) {
    const qreal off = 3.0 * k;
    p.setBrush(k == 0 ? kInk : QColor(150, 162, 170));
    p.drawRoundedRect(QRectF(3.5 + off, 9.5 - off, 13, 11), 1.5, 1.5);
  }
  p.setPen(QPen(skin::kAccent, 1.6, Qt::SolidLine, Qt::RoundCap));
  for (int line = 0; line < 3; ++line) p.drawLine(QPointF(6, 13 + 2.5 * line), QPointF(14, 13 + 2.5 * line));
}

void DrawPlug(QPainter& p, bool connected) {
  const QColor lead = connected ? kGreen : kRed;
  p.setPen(QPen(QColor(20, 26, 30), 1));
  // Left half: the cable end with its two pins.
  const qreal gap = connected ? 0 : 3;
  p.setBrush(kInk);
  p.drawRoundedRect(QRectF(4.5, 8.5, 7 - gap / 2, 8), 2, 2);
  p.drawRect(QRectF(11.5 - gap / 2, 9.5, 2.5, 1.8));
  p.drawRect(QRectF(11.5 - gap / 2, 13.2, 2.5, 1.8));
  // Right half: the socket.
  p.drawRoundedRect(QRectF(14 + gap / 2, 7.5, 6, 10), 2, 2);
  p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(1.5, 12.5), QPointF(4.5, 12.5));
  p.drawLine(QPointF(20, 12.5), QPointF(23, 12.5));
  // The state mark below.
  p.setPen(Qt::NoPen);
  p.setBrush(lead);
  p.drawEllipse(QPointF(12, 21), 2.2, 2.2);
  if (!connected) {
    p.setPen(QPen(kRed, 1.8, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 2.5), QPointF(14, 6.5));
    p.drawLine(QPointF(14, 2.5), QPointF(10, 6.5));
  }
}

}  // namespace

QImage MainToolbar::Icon(int command) {
  const int index = command - kFirstCommand;
  if (index < 0 || index >= kButtons) return {};
  QImage image(QSize(24, 24) * kScale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDevicePixelRatio(kScale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(20, 26, 30), 1));
  switch (index) {
    case 0:
      DrawFolder(p);
      break;
    case 1:
      DrawDisk(p);
      break;
    case 2:
      DrawProgram(p);
      break;
    default:
      DrawPlug(p, index == 3);
      break;
  }
  return image;
}

MainToolbar::MainToolbar(QWidget* parent) : QWidget(parent) {
  setFixedHeight(kHeight);
  for (int k = 0; k < kButtons; ++k) {
    const int command = kFirstCommand + k;
    auto* button = new PngButton(this);
    button->SetImage(Icon(command));
    button->setToolTip(kTips[k]);
    button->setAccessibleName(kTips[k]);
    button->setFocusPolicy(Qt::NoFocus);
    // A gap between the file buttons, the program button and the link buttons.
    const int x = 8 + k * (kButtonWidth + 4) + (k >= 2 ? 10 : 0) + (k >= 3 ? 10 : 0);
    button->setGeometry(x, (kHeight - kButtonHeight) / 2, kButtonWidth, kButtonHeight);
    connect(button, &PngButton::clicked, this, [this, command] { emit commandTriggered(command); });
    buttons_[k] = button;
  }
}

PngButton* MainToolbar::Button(int command) const {
  const int index = command - kFirstCommand;
  return index >= 0 && index < kButtons ? buttons_[index] : nullptr;
}

void MainToolbar::paintEvent(QPaintEvent*) {
  // In place of the pattern bitmap: a brushed-metal band with a fine rule.
  QPainter p(this);
  QLinearGradient band(0, 0, 0, height());
  band.setColorAt(0, QColor(84, 96, 103));
  band.setColorAt(1, QColor(62, 72, 78));
  p.fillRect(rect(), band);
  p.setPen(QColor(255, 255, 255, 24));
  for (int x = 0; x < width(); x += 3) p.drawLine(x, 1, x + 6, height() - 2);
  p.setPen(QColor(24, 29, 32));
  p.drawLine(0, height() - 1, width(), height() - 1);
  p.setPen(QColor(255, 255, 255, 40));
  for (const int k : {2, 3}) {
    const int x = buttons_[k]->x() - 7;
    p.drawLine(x, 8, x, height() - 9);
  }
}

}  // namespace veyra
