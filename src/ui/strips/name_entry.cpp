#include "strips/name_entry.hpp"

#include "strips/channel_actions.hpp"

namespace veyra {

NameEntry::NameEntry(ChannelActions& actions, ChannelKind kind, int channel, Refusal refusal, int fieldNumber,
                     QWidget* parent)
    : ChannelNameField(actions.Context(), kind, channel, refusal, fieldNumber, parent) {}

}  // namespace veyra
