#include "editors/parts/channel_rows.hpp"

#include <QPainter>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"

namespace veyra {
namespace {

constexpr int kSwatchHeight = 6;

SkinLabel* RowCaption(const QString& text, QWidget* parent) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", 12, true);
  label->SetTextColor(skin::kTextLight);
  label->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

}  // namespace

ChannelRows::ChannelRows(const ChannelRowsLook& look, QWidget* parent) : QWidget(parent), look_(look) {
  viewCaption_ = RowCaption("View", this);
  controlCaption_ = RowCaption("Control", this);
  for (int ch = 0; ch < 8; ++ch) {
    const QString caption = look_.ButtonCaption ? look_.ButtonCaption(ch) : QString::number(ch + 1);
    view_[ch] = new SkinButton(caption, this);
    control_[ch] = new SkinButton(caption, this);
    for (SkinButton* b : {view_[ch], control_[ch]}) b->setFont(skin::ControlFont(11, true));
    view_[ch]->setObjectName(QString("View%1").arg(ch));
    control_[ch]->setObjectName(QString("Control%1").arg(ch));
    connect(view_[ch], &SkinButton::clicked, this, [this, ch] {
      // The edited channel's curve is always there; its View button stays down.
      if (ch == current_) return;
      SetShown(static_cast<uint8_t>(shown_ ^ (1u << ch)));
      emit shownChanged(shown_);
    });
    connect(control_[ch], &SkinButton::clicked, this, [this, ch] {
      if (ch == current_) return;
      SetCurrent(ch);
      emit currentChosen(ch);
    });
  }
  SetCurrent(0);
}

void ChannelRows::SetChannelCount(int count) {
  count_ = std::clamp(count, 1, 8);
  for (int ch = 0; ch < 8; ++ch) {
    view_[ch]->setVisible(ch < count_);
    control_[ch]->setVisible(ch < count_);
  }
  update();
}

void ChannelRows::SetCurrent(int channel) {
  current_ = std::clamp(channel, 0, 7);
  shown_ |= static_cast<uint8_t>(1u << current_);
  for (int ch = 0; ch < 8; ++ch) control_[ch]->SetDown(ch == current_);
  SetShown(shown_);
}

void ChannelRows::SetShown(uint8_t mask) {
  shown_ = static_cast<uint8_t>(mask | (1u << current_));
  for (int ch = 0; ch < 8; ++ch) view_[ch]->SetDown((shown_ >> ch) & 1);
}

QSize ChannelRows::sizeHint() const {
  const int swatch = look_.Swatches ? kSwatchHeight + look_.Gap : 0;
  return {look_.CaptionWidth + count_ * (look_.ButtonWidth + look_.Gap),
          2 * look_.ButtonHeight + look_.Gap + swatch};
}

void ChannelRows::resizeEvent(QResizeEvent*) {
  const int swatch = look_.Swatches ? kSwatchHeight + look_.Gap : 0;
  const int controlTop = look_.ButtonHeight + look_.Gap + swatch;
  viewCaption_->setGeometry(0, 0, look_.CaptionWidth, look_.ButtonHeight);
  controlCaption_->setGeometry(0, controlTop, look_.CaptionWidth, look_.ButtonHeight);
  for (int ch = 0; ch < 8; ++ch) {
    const int x = look_.CaptionWidth + ch * (look_.ButtonWidth + look_.Gap);
    view_[ch]->setGeometry(x, 0, look_.ButtonWidth, look_.ButtonHeight);
    control_[ch]->setGeometry(x, controlTop, look_.ButtonWidth, look_.ButtonHeight);
  }
}

void ChannelRows::paintEvent(QPaintEvent*) {
  if (!look_.Swatches) return;
  QPainter painter(this);
  for (int ch = 0; ch < count_; ++ch) {
    const int x = look_.CaptionWidth + ch * (look_.ButtonWidth + look_.Gap);
    painter.fillRect(QRect(x + 4, look_.ButtonHeight + look_.Gap / 2, look_.ButtonWidth - 8, kSwatchHeight),
                     (*look_.Swatches)[static_cast<size_t>(ch)]);
  }
}

}  // namespace veyra
