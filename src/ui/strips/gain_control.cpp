#include "strips/gain_control.hpp"

#include "controls/skin_slider.hpp"
#include "controls/value_entry_field.hpp"
#include "editing/param_binding.hpp"
#include "state/scales.hpp"
#include "strips/channel_actions.hpp"

namespace veyra {

GainControl::GainControl(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent)
    : QWidget(parent), fader_(new SkinSlider(this)), entry_(new ValueEntryField(this)) {
  const ParamDescriptor& gain = *FindParam(kind, "gain");
  ConfigureFader(*fader_);
  fader_->SetId(kFaderId);
  entry_->Attach(this, 0);
  entry_->setAlignment(Qt::AlignCenter);
  boundFader_ = new BoundSlider(actions.Context(), gain, channel, fader_, true);
  boundEntry_ = new BoundField(actions.Context(), gain, channel, entry_);
  // While the thumb moves the field shows the gain under it.
  connect(boundFader_, &BoundSlider::codeShown, this, [this](int, const QString& text) {
    if (!(entry_->hasFocus() && entry_->isModified())) entry_->setText(text);
  });
}

void GainControl::ConfigureFader(SkinSlider& fader) {
  fader.SetRange(0, kChannelGainMax - kChannelGainMin);
  fader.SetVertical(true);
  fader.SetThumbSize(14, 26);
  fader.SetMargins(0, 4, 0, 4);
}

void GainControl::Show(const ParameterStore&) {
  boundFader_->Reload();
  boundEntry_->Reload();
}

void GainControl::resizeEvent(QResizeEvent*) {
  const int faderHeight = height() - kEntryHeight - kGap;
  fader_->setGeometry(0, 0, width(), faderHeight);
  entry_->setGeometry(4, faderHeight + kGap, width() - 8, kEntryHeight);
}

}  // namespace veyra
