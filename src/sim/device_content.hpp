// What a simulated processor holds when it is switched on, and how its level
// meters move.
#pragma once

#include <cstdint>

#include "sim/sim_options.hpp"
#include "state/parameter_store.hpp"

namespace veyra::sim {

// A plausible, seed-dependent set-up: unmuted channels with their usual
// names, routing, crossovers and a few EQ bands; 30 programs that differ
// from the live settings and from each other; the system items of the model.
void FillDevice(ParameterStore& memory, const SimOptions& options);

// The meter levels (0..10 segments) at the given time: each input carries a
// programme-like signal of its own (a slow swell with beats), scaled by the
// input gain and silenced by its mute; an output shows the loudest input
// routed to it, scaled by the output gain. Depends only on the seed, the
// time and the live settings.
void UpdateMeters(ParameterStore& memory, uint64_t seed, Micros now);

}  // namespace veyra::sim
