#include "groups/copy_to_group.hpp"

#include <algorithm>
#include <cstring>

namespace veyra {

uint8_t LinkFlag(const ChannelGroup& group, GroupLink link) {
  switch (link) {
    case GroupLink::Eq:
      return group.LinkEq;
    case GroupLink::Mute:
      return group.LinkMute;
    case GroupLink::Gain:
      return group.LinkGain;
    case GroupLink::Polarity:
      return group.LinkPolarity;
    case GroupLink::Delay:
      return group.LinkDelay;
    case GroupLink::Mic:
      return group.LinkMic;
    case GroupLink::Mix:
      return group.LinkMix;
    case GroupLink::Compressor:
      return group.LinkCompressor;
    case GroupLink::Limiter:
      return group.LinkLimiter;
    case GroupLink::Crossover:
      return group.LinkCrossover;
  }
  return 0;
}

FieldSpan GainField(ChannelKind kind) {
  return kind == ChannelKind::Input ? FieldSpan{offsetof(InputChannel, Gain), sizeof(InputChannel::Gain)}
                                    : FieldSpan{offsetof(OutputChannel, Gain), sizeof(OutputChannel::Gain)};
}

FieldSpan PolarityField(ChannelKind kind) {
  return kind == ChannelKind::Input ? FieldSpan{offsetof(InputChannel, Polarity), 1}
                                    : FieldSpan{offsetof(OutputChannel, Polarity), 1};
}

FieldSpan MuteField(ChannelKind kind) {
  return kind == ChannelKind::Input ? FieldSpan{offsetof(InputChannel, Mute), 1}
                                    : FieldSpan{offsetof(OutputChannel, Mute), 1};
}

FieldSpan RoutingField(int input) {
  return {offsetof(OutputChannel, Routing) + static_cast<size_t>(input), 1};
}

std::vector<int> LinkedChannels(const ParameterStore& store, ChannelKind kind, int source, GroupLink link) {
  std::vector<int> members;
  if (source < 0 || source >= kChannelSlots) return members;
  const uint32_t number = WithChannel(store, kind, source, [](const auto& c) { return c.GroupNumber; });
  const ChannelGroup* group = GroupRecord(store, kind, number);
  if (!group || LinkFlag(*group, link) == 0) return members;
  const int count = std::min(ChannelCount(store, kind), kChannelSlots);
  for (int j = 0; j < count; ++j)
    if (j != source && WithChannel(store, kind, j, [](const auto& c) { return c.GroupNumber; }) == number)
      members.push_back(j);
  return members;
}

std::vector<int> CopyToGroup(ParameterStore& store, ChannelKind kind, int source, GroupLink link,
                             std::span<const FieldSpan> fields) {
  const std::vector<int> members = LinkedChannels(store, kind, source, link);
  if (members.empty()) return members;
  const std::span<const uint8_t> from = RecordBytes(store, kind, source);
  for (const int j : members) {
    const std::span<uint8_t> to = RecordBytes(store, kind, j);
    for (const FieldSpan& field : fields) {
      if (field.Offset > to.size() || field.Size > to.size() - field.Offset) continue;
      std::memcpy(to.data() + field.Offset, from.data() + field.Offset, field.Size);
    }
  }
  return members;
}

}  // namespace veyra
