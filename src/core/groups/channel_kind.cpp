#include "groups/channel_kind.hpp"

#include "link/frame.hpp"

namespace veyra {

int ChannelCount(const ParameterStore& store, ChannelKind kind) {
  return kind == ChannelKind::Input ? store.InputCount : store.OutputCount;
}

uint8_t BlockOf(ChannelKind kind) {
  return kind == ChannelKind::Input ? InputBlock : OutputBlock;
}

std::span<const ChannelGroup, kChannelSlots> GroupsOf(const ParameterStore& store, ChannelKind kind) {
  return kind == ChannelKind::Input ? std::span<const ChannelGroup, kChannelSlots>(store.InputGroups)
                                    : std::span<const ChannelGroup, kChannelSlots>(store.OutputGroups);
}

std::span<ChannelGroup, kChannelSlots> GroupsOf(ParameterStore& store, ChannelKind kind) {
  return kind == ChannelKind::Input ? std::span<ChannelGroup, kChannelSlots>(store.InputGroups)
                                    : std::span<ChannelGroup, kChannelSlots>(store.OutputGroups);
}

const ChannelGroup* GroupRecord(const ParameterStore& store, ChannelKind kind, uint32_t groupNumber) {
  if (groupNumber == 0 || groupNumber > kChannelSlots) return nullptr;
  return &GroupsOf(store, kind)[groupNumber - 1];
}

std::span<uint8_t> RecordBytes(ParameterStore& store, ChannelKind kind, int channel) {
  return WithChannel(store, kind, channel, [](auto& record) {
    return std::span<uint8_t>(reinterpret_cast<uint8_t*>(&record), sizeof record);
  });
}

}  // namespace veyra
