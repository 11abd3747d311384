// The group rule: an edit made on one member of a channel group is repeated
// on the other members when the group links that block. Every editor calls
// CopyToGroup after it has stored its change and sends the returned channels'
// messages itself (the rule knows nothing of the link).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "groups/channel_kind.hpp"

namespace veyra {

// The link flag a change obeys. Mic (inputs) and Mix (outputs) share a byte,
// as do Compressor (inputs) and Limiter (outputs).
enum class GroupLink : uint8_t { Eq, Mute, Gain, Polarity, Delay, Mic, Mix, Compressor, Limiter, Crossover };

// The flag's value in a group record.
uint8_t LinkFlag(const ChannelGroup& group, GroupLink link);

// A run of bytes of a channel record; a change names the fields it copies.
struct FieldSpan {
  size_t Offset;
  size_t Size;
};

// The fields of the channel panels' changes.
FieldSpan GainField(ChannelKind kind);
FieldSpan PolarityField(ChannelKind kind);
FieldSpan MuteField(ChannelKind kind);
// An output's routing flag for one input (0..7).
FieldSpan RoutingField(int input);

// The channels an edit of source is repeated on: every other channel j of the
// kind below the model's channel count whose GroupNumber equals source's,
// when that number names a group (1..8) whose flag for link is set; in
// channel order.
std::vector<int> LinkedChannels(const ParameterStore& store, ChannelKind kind, int source, GroupLink link);

// Copies the fields from channel source to every other channel j of the kind
// below the model's channel count whose GroupNumber equals source's, when that
// number names a group (1..8) whose flag for link is set. Returns the channels
// copied to, in channel order. Spans that do not lie inside the record are
// not copied.
std::vector<int> CopyToGroup(ParameterStore& store, ChannelKind kind, int source, GroupLink link,
                             std::span<const FieldSpan> fields);
inline std::vector<int> CopyToGroup(ParameterStore& store, ChannelKind kind, int source, GroupLink link,
                                    FieldSpan field) {
  return CopyToGroup(store, kind, source, link, std::span<const FieldSpan>(&field, 1));
}

}  // namespace veyra
