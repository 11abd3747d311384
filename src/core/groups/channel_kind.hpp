// The two channel kinds seen through one door: the panels, the group rule and
// the editors treat an input and an output alike wherever their records share
// a field name (Gain, Polarity, Mute, Name, GroupNumber).
#pragma once

#include <cstdint>
#include <span>

#include "state/parameter_store.hpp"

namespace veyra {

enum class ChannelKind : uint8_t { Input, Output };

// InputCount or OutputCount of the selected model.
int ChannelCount(const ParameterStore& store, ChannelKind kind);

// The frame block of the kind (InputBlock 1, OutputBlock 2).
uint8_t BlockOf(ChannelKind kind);

// The group records of the kind: groups 1..8 at [0..7].
std::span<const ChannelGroup, kChannelSlots> GroupsOf(const ParameterStore& store, ChannelKind kind);
std::span<ChannelGroup, kChannelSlots> GroupsOf(ParameterStore& store, ChannelKind kind);

// The group record a GroupNumber names; null for 0 (no group) and for numbers
// beyond the eight records (a damaged settings file).
const ChannelGroup* GroupRecord(const ParameterStore& store, ChannelKind kind, uint32_t groupNumber);

// Calls f with channel's InputChannel or OutputChannel record; f must give the
// same result type for both. channel is 0..7.
template <typename Store, typename F>
decltype(auto) WithChannel(Store& store, ChannelKind kind, int channel, F&& f) {
  if (kind == ChannelKind::Input) return f(store.Inputs[channel]);
  return f(store.Outputs[channel]);
}

// The record's bytes, for copies by field offset.
std::span<uint8_t> RecordBytes(ParameterStore& store, ChannelKind kind, int channel);

}  // namespace veyra
