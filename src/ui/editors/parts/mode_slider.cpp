#include "editors/parts/mode_slider.hpp"

#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/skin_style.hpp"

namespace veyra {
namespace {

constexpr int kCaptionHeight = 18;
constexpr int kEndLabelWidth = 62;
constexpr int kSliderHeight = 26;

SkinLabel* Label(QWidget* parent, Qt::Alignment alignment, int size, bool bold = false) {
  auto* label = new SkinLabel(parent);
  label->SetFont("Arial", size, bold);
  label->SetTextColor(skin::kTextLight);
  label->SetAlignment(alignment);
  return label;
}

}  // namespace

ModeSlider::ModeSlider(EditContext& context, const ParamDescriptor& param, int channel, const QString& caption,
                       QWidget* parent)
    : QWidget(parent) {
  caption_ = Label(this, Qt::AlignLeft | Qt::AlignVCenter, 12, true);
  caption_->SetText(caption);
  low_ = Label(this, Qt::AlignRight | Qt::AlignVCenter, 11);
  high_ = Label(this, Qt::AlignLeft | Qt::AlignVCenter, 11);
  readout_ = Label(this, Qt::AlignCenter, 12);
  readout_->SetBackground(skin::kWell);
  readout_->SetTransparent(false);
  auto* slider = new SkinSlider(this);
  slider->SetVertical(false);
  slider->SetThumbSize(14, 22);
  binding_ = new BoundSlider(context, param, channel, slider, false);
  // The curve, the numeric row and the linked members follow the thumb.
  binding_->SetLive(true);
  connect(binding_, &BoundSlider::codeShown, this, [this](int code, const QString& text) {
    readout_->SetText(text);
    emit codeShown(code, text);
  });
  setMinimumHeight(kCaptionHeight + kSliderHeight + 4);
}

void ModeSlider::SetMode(const ParamDescriptor& param, int channel, const QString& low, const QString& high) {
  binding_->SetParam(param);
  binding_->SetChannel(channel);
  low_->SetText(low);
  high_->SetText(high);
  Reload();
}

void ModeSlider::SetChannel(int channel) {
  binding_->SetChannel(channel);
  Reload();
}

void ModeSlider::Reload() {
  binding_->Reload();
}

void ModeSlider::resizeEvent(QResizeEvent*) {
  const int w = width();
  caption_->setGeometry(0, 0, w / 2, kCaptionHeight);
  readout_->setGeometry(w - 90, 0, 90, kCaptionHeight);
  const int y = kCaptionHeight + 4;
  low_->setGeometry(0, y, kEndLabelWidth, kSliderHeight);
  Slider()->setGeometry(kEndLabelWidth + 4, y, w - 2 * (kEndLabelWidth + 4), kSliderHeight);
  high_->setGeometry(w - kEndLabelWidth, y, kEndLabelWidth, kSliderHeight);
}

}  // namespace veyra
