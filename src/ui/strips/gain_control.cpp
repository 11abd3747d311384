#include "strips/gain_control.hpp"

#include <optional>

#include "controls/skin_slider.hpp"
#include "controls/value_entry_field.hpp"
#include "params/param_table.hpp"
#include "state/scales.hpp"
#include "strips/channel_actions.hpp"

namespace veyra {
namespace {

int CodeAt(int position) {
  return kChannelGainMax - position;
}

}  // namespace

GainControl::GainControl(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent)
    : QWidget(parent),
      actions_(actions),
      kind_(kind),
      channel_(channel),
      fader_(new SkinSlider(this)),
      entry_(new ValueEntryField(this)) {
  ConfigureFader(*fader_);
  fader_->SetId(kFaderId);
  entry_->Attach(this, 0);
  entry_->setAlignment(Qt::AlignCenter);
  connect(fader_, &SkinSlider::sliderChanging, this,
          [this] { entry_->setText(QString::fromStdString(ChannelGainText(CodeAt(fader_->GetPos())))); });
  connect(fader_, &SkinSlider::sliderChanged, this,
          [this] { actions_.CommitGain(kind_, channel_, CodeAt(fader_->GetPos())); });
  connect(entry_, &ValueEntryField::valueEntered, this, &GainControl::Entered);
}

void GainControl::ConfigureFader(SkinSlider& fader) {
  fader.SetRange(0, kChannelGainMax - kChannelGainMin);
  fader.SetVertical(true);
  fader.SetThumbSize(14, 26);
  fader.SetMargins(0, 4, 0, 4);
}

std::optional<int> GainControl::TypedGain(const QString& text) {
  // The gain editors' entry fields read a typed gain by the same rule.
  const ParamDescriptor* gain = FindParam(ChannelKind::Input, "gain");
  return gain ? ParseParam(*gain, text.trimmed().toStdString()) : std::nullopt;
}

void GainControl::Entered() {
  const std::optional<int> code = TypedGain(entry_->text());
  if (!code) {
    Show(actions_.Store());  // not a gain: the field shows the stored one again
    return;
  }
  fader_->SetPos(kChannelGainMax - *code);
  actions_.CommitGain(kind_, channel_, *code);
}

void GainControl::Show(const ParameterStore& store) {
  const int code =
      WithChannel(store, kind_, channel_, [](const auto& c) { return static_cast<int>(c.Gain); });
  fader_->SetPos(kChannelGainMax - code);
  entry_->setText(QString::fromStdString(ChannelGainText(code)));
}

void GainControl::resizeEvent(QResizeEvent*) {
  const int faderHeight = height() - kEntryHeight - kGap;
  fader_->setGeometry(0, 0, width(), faderHeight);
  entry_->setGeometry(4, faderHeight + kGap, width() - 8, kEntryHeight);
}

}  // namespace veyra
