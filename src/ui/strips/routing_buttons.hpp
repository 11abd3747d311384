// A panel's eight routing buttons (ids 1010..1017): on an input's panel button
// k stands for output k taking this input, on an output's panel for this
// output taking input k. Only the first `count` (the other kind's channel
// count) are shown, in rows of four.
#pragma once

#include <QWidget>
#include <array>

#include "groups/channel_kind.hpp"
#include "strips/panel_traits.hpp"

namespace veyra {

class ChannelActions;
class SkinButton;

class RoutingButtons : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kPerRow = 4;
  static constexpr int kGap = 2;

  RoutingButtons(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent);

  void Show(const ParameterStore& store);
  void SetShownCount(int count);
  int ShownCount() const { return shown_; }
  SkinButton* Button(int k) const { return buttons_[static_cast<size_t>(k)]; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  ChannelActions& actions_;
  ChannelKind kind_;
  int channel_;
  int shown_ = kRoutingButtons;
  std::array<SkinButton*, kRoutingButtons> buttons_{};
};

}  // namespace veyra
