// The texts the channel panels show, read from the store.
#pragma once

#include <string>

#include "groups/channel_kind.hpp"
#include "strips/panel_traits.hpp"

namespace veyra {

// A block button's readout for the channel; empty where the kind has no such block.
std::string ReadoutText(const ParameterStore& store, ChannelKind kind, int channel, Readout readout);

// The letters "A".."H" of the inputs below the model's input count that the output takes.
std::string SourceLetters(const ParameterStore& store, int output);

// The output's routing flag for the input (non-zero = set).
inline bool Routed(const ParameterStore& store, int output, int input) {
  return store.Outputs[output].Routing[input] != 0;
}

}  // namespace veyra
