// A panel's name field: the channel name field of the editing layer, with
// "Name too long." on the strips and silent refusal on the row panels.
#pragma once

#include "editing/channel_name.hpp"

namespace veyra {

class ChannelActions;

class NameEntry : public ChannelNameField {
  Q_OBJECT

 public:
  NameEntry(ChannelActions& actions, ChannelKind kind, int channel, Refusal refusal, int fieldNumber,
            QWidget* parent);
};

}  // namespace veyra
