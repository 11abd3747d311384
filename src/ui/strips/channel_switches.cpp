#include "strips/channel_switches.hpp"

#include <QFontMetrics>

#include "controls/skin_button.hpp"
#include "controls/skin_style.hpp"
#include "strips/channel_actions.hpp"
#include "strips/panel_traits.hpp"

namespace veyra {

ChannelSwitches::ChannelSwitches(ChannelActions& actions, const PanelTraits& traits, int channel,
                                 QWidget* parent)
    : QWidget(parent),
      actions_(actions),
      traits_(traits),
      channel_(channel),
      polarity_(new SkinButton(traits.PolarityUp, this)),
      mute_(new SkinButton(traits.MuteUp, this)) {
  polarity_->SetFaceColors(skin::kFaceUp, skin::kFaceAmber);
  mute_->SetFaceColors(skin::kFaceUp, skin::kFaceAlert);
  for (SkinButton* button : {polarity_, mute_}) {
    button->setFont(skin::ControlFont(11, true));
    button->setFocusPolicy(Qt::NoFocus);
  }
  connect(polarity_, &SkinButton::clicked, this,
          [this] { actions_.FlipPolarity(traits_.Kind, channel_, polarity_->GetDown() != 0); });
  connect(mute_, &SkinButton::clicked, this,
          [this] { actions_.FlipMute(traits_.Kind, channel_, mute_->GetDown() != 0); });
}

void ChannelSwitches::Show(const ParameterStore& store) {
  const auto [inverted, muted] = WithChannel(store, traits_.Kind, channel_, [](const auto& c) {
    return std::pair<bool, bool>(c.Polarity != 0, c.Mute == 0);
  });
  polarity_->SetDown(inverted);
  polarity_->setText(inverted ? traits_.PolarityDown : traits_.PolarityUp);
  mute_->SetDown(muted);
  mute_->setText(muted ? traits_.MuteDown : traits_.MuteUp);
}

void ChannelSwitches::SetStacked(bool stacked) {
  stacked_ = stacked;
  resizeEvent(nullptr);
}

void ChannelSwitches::resizeEvent(QResizeEvent*) {
  const int gap = stacked_ ? 8 : 2;
  if (stacked_) {
    const int h = (height() - gap) / 2;
    polarity_->setGeometry(0, 0, width(), h);
    mute_->setGeometry(0, h + gap, width(), h);
  } else {
    // Side by side the width is shared by what the captions need, so "MUTED"
    // is not cut short beside the narrower "POL+" on a narrow strip.
    const QFontMetrics metrics(mute_->font());
    const auto need = [&metrics](const QString& a, const QString& b) {
      return qMax(metrics.horizontalAdvance(a), metrics.horizontalAdvance(b)) + 10;
    };
    const int polarityNeed = need(traits_.PolarityUp, traits_.PolarityDown);
    const int muteNeed = need(traits_.MuteUp, traits_.MuteDown);
    const int w = (width() - gap) * polarityNeed / (polarityNeed + muteNeed);
    polarity_->setGeometry(0, 0, w, height());
    mute_->setGeometry(w + gap, 0, width() - w - gap, height());
  }
}

}  // namespace veyra
