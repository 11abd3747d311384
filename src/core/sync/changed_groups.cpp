#include "sync/changed_groups.hpp"

#include <algorithm>
#include <cstring>

#include "state/models.hpp"
#include "sync/sync_session.hpp"

namespace veyra {

LiveChannels LiveChannelsOf(const ParameterStore& store) {
  LiveChannels live;
  std::memcpy(live.Inputs, store.Inputs, sizeof live.Inputs);
  std::memcpy(live.Outputs, store.Outputs, sizeof live.Outputs);
  return live;
}

void PutLiveChannels(ParameterStore& store, const LiveChannels& live) {
  std::memcpy(store.Inputs, live.Inputs, sizeof live.Inputs);
  std::memcpy(store.Outputs, live.Outputs, sizeof live.Outputs);
}

std::vector<MessageAddress> ChangedGroups(const LiveChannels& from, const LiveChannels& to, int model) {
  std::vector<MessageAddress> changed;
  const ModelInfo* info = FindModel(model);
  if (!info) return changed;
  const auto add = [&changed](uint8_t block, int channel, uint8_t group) {
    changed.push_back({0, block, static_cast<uint8_t>(channel), group});
  };
  for (int i = 0; i < std::min(info->InputCount, kChannelSlots); ++i) {
    for (int g = 0; g < InputGroup::kCount; ++g) {
      const auto group = static_cast<uint8_t>(g);
      if (BuildInputGroup(from.Inputs[i], group) != BuildInputGroup(to.Inputs[i], group))
        add(InputBlock, i, group);
    }
  }
  for (int j = 0; j < std::min(info->OutputCount, kChannelSlots); ++j) {
    for (int g = 0; g < OutputGroup::kCount; ++g) {
      const auto group = static_cast<uint8_t>(g);
      if (BuildOutputGroup(from.Outputs[j], group) != BuildOutputGroup(to.Outputs[j], group))
        add(OutputBlock, j, group);
    }
  }
  return changed;
}

bool SentAlone(uint8_t block, uint8_t group) {
  if (block == InputBlock) {
    return group != InputGroup::InputMix && group != InputGroup::InputGroup4 &&
           group != InputGroup::InputFilter && group < InputGroup::kCount;
  }
  if (block == OutputBlock) return group != OutputGroup::OutputGroup3 && group < OutputGroup::kCount;
  return false;
}

std::vector<MessageAddress> WritesFor(std::span<const MessageAddress> changed) {
  const auto sameChannel = [](const MessageAddress& a, const MessageAddress& b) {
    return a.Slot == b.Slot && a.Block == b.Block && a.Channel == b.Channel;
  };
  std::vector<MessageAddress> writes;
  for (const MessageAddress& group : changed) {
    const bool whole = std::any_of(changed.begin(), changed.end(), [&](const MessageAddress& other) {
      return sameChannel(group, other) && !SentAlone(other.Block, other.Group);
    });
    MessageAddress write = group;
    if (whole) write.Group = AllGroups;
    if (std::find(writes.begin(), writes.end(), write) == writes.end()) writes.push_back(write);
  }
  return writes;
}

SyncResult SendChangedGroups(ParameterStore& store, DeviceLink& link, const LiveChannels& from,
                             const SyncControl& control) {
  const std::vector<MessageAddress> writes =
      WritesFor(ChangedGroups(from, LiveChannelsOf(store), store.CurrentModel));
  SyncSession s(store, link, control, static_cast<int>(writes.size()));
  if (store.Online == 0) return s.Finish(SyncStatus::Offline);
  // As with every write burst, an unanswered write does not stop the rest;
  // a device that went away does.
  for (const MessageAddress& w : writes) {
    if (!link.IsOpen()) return s.Finish(SyncStatus::NoReply, {}, kPollAfterWritesMs);
    if (!s.Step(WriteCommand, w.Slot, w.Channel, w.Block, w.Group) && s.CancelRequested())
      return s.Failed(SyncStatus::Cancelled, {}, kPollAfterWritesMs);
  }
  SyncResult result = s.Finish(SyncStatus::Success, {}, kPollAfterWritesMs);
  if (result.Unanswered > 0) result.Status = SyncStatus::NoReply;
  return result;
}

}  // namespace veyra
