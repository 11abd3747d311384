// The link flags of a group record as the group editors caption them, and the
// members of a group: what the "Input Group" and "Output Group" editors show
// and the installation report prints, from one table.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "groups/channel_kind.hpp"

namespace veyra {

// One flag column: its caption and the flag of the group record.
struct GroupLinkColumn {
  const char* Caption;
  uint8_t ChannelGroup::*Flag;
  const char* What;  // names an edit of the flag: "mute link"
};

// The model whose editor shows the MIC (inputs) or MIX (outputs) column, the
// last column of its kind. None of the three models is it.
inline constexpr int kLinkColumnModel = 4;

// Every column of the kind, in the editor's order.
std::span<const GroupLinkColumn> GroupLinkColumns(ChannelKind kind);
// How many of the columns the model shows (the last one only on kLinkColumnModel).
int ShownGroupLinkColumns(ChannelKind kind, int model);

// The channels (0-based, in order) below the model's count of the kind whose
// GroupNumber is groupNumber (1..8).
std::vector<int> GroupMembers(const ParameterStore& store, ChannelKind kind, uint32_t groupNumber);

}  // namespace veyra
