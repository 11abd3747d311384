#include "strips/routing_buttons.hpp"

#include <algorithm>

#include "controls/skin_button.hpp"
#include "controls/skin_style.hpp"
#include "strips/channel_actions.hpp"
#include "strips/channel_texts.hpp"

namespace veyra {

RoutingButtons::RoutingButtons(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent)
    : QWidget(parent), actions_(actions), kind_(kind), channel_(channel) {
  for (int k = 0; k < kRoutingButtons; ++k) {
    auto* button = new SkinButton(RoutingCaption(kind, k), this);
    button->setObjectName(QString("Routing%1").arg(kFirstRoutingId + k));
    button->setFont(skin::ControlFont(11, true));
    button->setFocusPolicy(Qt::NoFocus);
    // The lit face takes the input's colour, so that a route reads the same
    // here as its line in the matrix view.
    const int input = kind == ChannelKind::Input ? channel : k;
    const QColor colour = InputColour(input);
    button->SetFaceColors(skin::kFaceUp, colour.lightness() > 200 ? colour.darker(135) : colour);
    const QColor onLit = qGray(colour.rgb()) > 150 ? Qt::black : Qt::white;  // readable on light faces
    button->SetTextColors(
        {skin::kTextLight, Qt::white, skin::kTextDisabled, onLit, onLit, skin::kTextDisabled});
    connect(button, &SkinButton::clicked, this, [this, k] {
      actions_.FlipRoute(kind_, channel_, k, buttons_[static_cast<size_t>(k)]->GetDown() != 0);
    });
    buttons_[static_cast<size_t>(k)] = button;
  }
}

void RoutingButtons::Show(const ParameterStore& store) {
  for (int k = 0; k < kRoutingButtons; ++k) {
    const bool set = kind_ == ChannelKind::Input ? Routed(store, k, channel_) : Routed(store, channel_, k);
    buttons_[static_cast<size_t>(k)]->SetDown(set);
  }
}

void RoutingButtons::SetShownCount(int count) {
  shown_ = std::clamp(count, 0, kRoutingButtons);
  for (int k = 0; k < kRoutingButtons; ++k) buttons_[static_cast<size_t>(k)]->setVisible(k < shown_);
  resizeEvent(nullptr);
}

void RoutingButtons::resizeEvent(QResizeEvent*) {
  const int rows = 2;
  const int w = (width() - (kPerRow - 1) * kGap) / kPerRow;
  const int h = (height() - (rows - 1) * kGap) / rows;
  for (int k = 0; k < kRoutingButtons; ++k)
    buttons_[static_cast<size_t>(k)]->setGeometry((k % kPerRow) * (w + kGap), (k / kPerRow) * (h + kGap), w,
                                                  h);
}

}  // namespace veyra
