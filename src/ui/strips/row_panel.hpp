// The row panels of the matrix view: InputRowPanel (left column) and
// OutputRowPanel (right column), 75 pixels high. With the routing buttons
// shown (mix-button mode) an input row keeps them at its right end, an
// output row at its left end, next to the other column. A double-click on
// the panel opens the Set Name dialog on the channel's name.
#pragma once

#include "strips/channel_panel.hpp"

namespace veyra {

class RowPanel : public ChannelPanel {
  Q_OBJECT

 public:
  static constexpr int kHeight = 75;
  static constexpr int kRoutingWidth = 100;  // the part the routing buttons take

  RowPanel(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent);

  // Mix-button mode shows the routing buttons; routing-lines mode hides them.
  void SetRoutingShown(bool shown);
  bool RoutingShown() const { return routingShown_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool routingShown_ = true;
};

}  // namespace veyra
