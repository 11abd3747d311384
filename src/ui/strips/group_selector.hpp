// A strip's group selector: "NONE" and then all eight groups of the channel's
// kind in group order, each by its name or, while it has none, as "Group N".
// Every group is listed so that the entry's position is the group's number:
// choosing an entry stores that number as the channel's GroupNumber.
#pragma once

#include "controls/skin_drop_down.hpp"
#include "groups/channel_kind.hpp"

namespace veyra {

class ChannelActions;

class GroupSelector : public SkinDropDown {
  Q_OBJECT

 public:
  static constexpr int kId = 1278;

  GroupSelector(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent);

  // Rebuilds the entries from the group records when their names changed and
  // selects the channel's group (no entry for a number beyond the groups).
  void Show(const ParameterStore& store);
  static QStringList Entries(const ParameterStore& store, ChannelKind kind);

 private:
  ChannelActions& actions_;
  ChannelKind kind_;
  int channel_;
};

}  // namespace veyra
