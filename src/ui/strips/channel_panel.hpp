// What the four channel panel kinds have in common: the channel they show,
// their caption, name field, block buttons with readouts, polarity and mute,
// routing buttons and level meter, and on the strips the gain fader with its
// field and the group selector. The strips and the row panels differ only in
// where they put these.
#pragma once

#include <QWidget>

#include "strips/panel_traits.hpp"

namespace veyra {

class BlockButtons;
class ChannelActions;
class ChannelSwitches;
class GainControl;
class GroupSelector;
class LevelMeter;
class NameEntry;
class RoutingButtons;
class SkinLabel;

class ChannelPanel : public QWidget {
  Q_OBJECT

 public:
  ChannelPanel(ChannelActions& actions, const PanelTraits& traits, int channel, QWidget* parent);

  const PanelTraits& Traits() const { return traits_; }
  ChannelKind Kind() const { return traits_.Kind; }
  int Channel() const { return channel_; }

  // RefreshMainWindow: every text and state from the store.
  void Refresh(const ParameterStore& store);
  // EnableChannelControls.
  void EnableControls(bool enabled);
  // The meter poll: the channel's level byte.
  void ShowMeterLevel(int level);
  // The routing buttons of the other kind's channels that the model has.
  void SetRoutingCount(int count);

  SkinLabel* Caption() const { return caption_; }
  NameEntry* Name() const { return name_; }
  BlockButtons* Blocks() const { return blocks_; }
  ChannelSwitches* Switches() const { return switches_; }
  RoutingButtons* Routing() const { return routing_; }
  LevelMeter* Meter() const { return meter_; }
  GainControl* Gain() const { return gain_; }      // strips only
  GroupSelector* Group() const { return group_; }  // strips only

 protected:
  void paintEvent(QPaintEvent* event) override;
  ChannelActions& Actions() { return actions_; }

 private:
  ChannelActions& actions_;
  const PanelTraits& traits_;
  int channel_;
  SkinLabel* caption_;
  NameEntry* name_;
  BlockButtons* blocks_;
  ChannelSwitches* switches_;
  RoutingButtons* routing_;
  LevelMeter* meter_;
  GainControl* gain_ = nullptr;
  GroupSelector* group_ = nullptr;
};

}  // namespace veyra
