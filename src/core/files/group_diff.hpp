// The groups that differ between two sets of live channels as the operator
// reads them: each group named by its channel, as the settings diff names
// channels ("Output 3  EQ 2"), with the diff's lines for the fields it carries.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "files/settings_diff.hpp"
#include "sync/changed_groups.hpp"

namespace veyra {

struct GroupChange {
  std::string Where;                  // "Input A", "Output 3"
  std::string Group;                  // "Level", "EQ 2", "Input Mix"
  bool WholeChannel = false;          // travels inside its whole channel
  std::vector<SettingChange> Fields;  // the diff's changes of the fields it carries
};

// "Level", "Noise Gate", "EQ 3"; "Group N" for a number no layout has.
std::string GroupCaption(uint8_t block, uint8_t group);

// The groups of changed (from ChangedGroups of from and to) in its order.
// store gives the display texts (the temperature of delay distances).
std::vector<GroupChange> DescribeChangedGroups(const ParameterStore& store, const LiveChannels& from,
                                               const LiveChannels& to,
                                               std::span<const MessageAddress> changed);

// "Output 3  EQ 2", with " (whole channel)" when it travels inside it.
std::string GroupChangeText(const GroupChange& change);

}  // namespace veyra
