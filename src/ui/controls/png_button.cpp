#include "controls/png_button.hpp"

#include <QPainter>
#include <algorithm>

#include "controls/skin_style.hpp"

namespace veyra {

PngButton::PngButton(QWidget* parent) : QAbstractButton(parent) {
  setFont(skin::ImageCaptionFont(12));
  setFocusPolicy(Qt::TabFocus);
  setAttribute(Qt::WA_Hover);  // repaint on entering and leaving: the hot look
}

bool PngButton::LoadImage(const QString& path) {
  QImage image(path);
  SetImage(image);
  return !image.isNull();
}

void PngButton::SetImage(const QImage& image) {
  image_ = image;
  updateGeometry();
  update();
}

QSize PngButton::sizeHint() const {
  QSize size = image_.isNull() ? QSize(32, 32) : image_.deviceIndependentSize().toSize() + QSize(8, 8);
  if (!text().isEmpty()) size.rheight() += QFontMetrics(font()).height() + 2;
  return size;
}

void PngButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const bool pressed = isDown();
  if (isEnabled() && (underMouse() || pressed || hasFocus())) {
    // The hover look: a soft lit plate behind the image.
    QColor plate = skin::kAccent;
    plate.setAlpha(pressed ? 90 : 48);
    painter.setPen(QPen(QColor(2, 166, 227, underMouse() || pressed ? 150 : 90), 1));
    painter.setBrush(plate);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
  }
  const int captionHeight = text().isEmpty() ? 0 : QFontMetrics(font()).height() + 2;
  QRectF area = QRectF(rect()).adjusted(3, 3, -3, -3 - captionHeight);
  if (pressed) area.translate(0, 1);
  if (!image_.isNull() && area.width() > 0 && area.height() > 0) {
    // Shrunk to fit with its proportions kept, never enlarged past its own size.
    const QSizeF own = image_.deviceIndependentSize();
    const qreal factor = std::min({area.width() / own.width(), area.height() / own.height(), 1.0});
    const QSizeF shown = own * factor;
    const QRectF target(area.center() - QPointF(shown.width() / 2, shown.height() / 2), shown);
    if (!isEnabled()) painter.setOpacity(0.4);
    painter.drawImage(target, image_);
    if (isEnabled() && underMouse() && !pressed) {
      // Brighten the image itself a little.
      painter.setCompositionMode(QPainter::CompositionMode_Plus);
      painter.setOpacity(0.18);
      painter.drawImage(target, image_);
    }
    painter.setOpacity(1);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  if (captionHeight > 0) {
    painter.setFont(font());
    const QRectF caption(0, height() - captionHeight - 2, width(), captionHeight);
    skin::PaintCaption(painter, caption, text(),
                       !isEnabled()   ? skin::kTextDisabled
                       : underMouse() ? Qt::white
                                      : skin::kTextLight);
  }
}

}  // namespace veyra
