#include "files/group_diff.hpp"

#include <memory>

#include "params/param_table.hpp"
#include "state/models.hpp"
#include "state/text_format.hpp"

namespace veyra {

std::string GroupCaption(uint8_t block, uint8_t group) {
  static const char* const inputs[] = {"Name",    "Level",      "Noise Gate",  "Input Mix",
                                       "Group 4", "Compressor", "Input Filter"};
  static const char* const outputs[] = {"Name", "Level", "Limiter", "Group 3", "Crossover"};
  const bool input = block == InputBlock;
  const int firstBand = input ? int{InputGroup::Band1} : int{OutputGroup::Band1};
  const int count = input ? InputGroup::kCount : OutputGroup::kCount;
  if (group < firstBand) return input ? inputs[group] : outputs[group];
  if (group < count) return Format("EQ %d", group - firstBand + 1);
  return Format("Group %d", group);
}

std::vector<GroupChange> DescribeChangedGroups(const ParameterStore& store, const LiveChannels& from,
                                               const LiveChannels& to,
                                               std::span<const MessageAddress> changed) {
  // Each group's fields show as the diff of from with only that group taken
  // from to, so a line names exactly what the message carries.
  auto before = std::make_unique<ParameterStore>(store);
  PutLiveChannels(*before, from);
  auto after = std::make_unique<ParameterStore>(*before);
  const int model = store.CurrentModel;
  std::vector<GroupChange> changes;
  for (const MessageAddress& a : changed) {
    const bool input = a.Block == InputBlock;
    GroupChange change;
    change.Where = ChannelLabel(input ? ChannelKind::Input : ChannelKind::Output, a.Channel);
    change.Group = GroupCaption(a.Block, a.Group);
    change.WholeChannel = !SentAlone(a.Block, a.Group);
    if (a.Channel < kChannelSlots) {
      if (input) {
        StoreInputGroup(after->Inputs[a.Channel], a.Group, BuildInputGroup(to.Inputs[a.Channel], a.Group));
      } else {
        StoreOutputGroup(after->Outputs[a.Channel], a.Group,
                         BuildOutputGroup(to.Outputs[a.Channel], a.Group));
      }
      RecordSet was = ModelRecords(*before, 0, model), is = ModelRecords(*after, 0, model);
      was.Groups = is.Groups = false;
      change.Fields = DiffRecords(was, is);
      PutLiveChannels(*after, from);
    }
    changes.push_back(std::move(change));
  }
  return changes;
}

std::string GroupChangeText(const GroupChange& change) {
  return change.Where + "  " + change.Group + (change.WholeChannel ? " (whole channel)" : "");
}

}  // namespace veyra
