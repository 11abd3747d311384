// The response a measurement program's filter list stands for. Such programs
// design their filters as bilinear-transform biquads at 48 kHz from the
// widely published cookbook formulas, with the textbook meaning of Q; that is
// what a file's author heard and saw, so it is what an import aims at. The
// processor's own bands are a different family (curves/filter_design.hpp).
#pragma once

#include <span>

#include "curves/filter_design.hpp"

namespace veyra {

inline constexpr double kTargetSampleRate = 48000;
// A shelf that states neither a Q nor a first-order slope is the 12 dB/oct
// shelf of Q 1/sqrt(2).
inline constexpr double kShelfQ = 0.7071;

enum class TargetShape { Peaking, LowShelf, HighShelf };

struct TargetFilter {
  TargetShape Shape = TargetShape::Peaking;
  double Hz = 1000;
  double GainDb = 0;
  double Q = kShelfQ;       // peaking filters and second-order shelves
  bool FirstOrder = false;  // a "6dB" shelf
};

// The filter's biquad at 48 kHz (a first-order shelf has B2 = A2 = 0). Values
// no program writes are held to what the formulas survive: the frequency
// inside 1 Hz .. just below 24 kHz, the gain inside +-60 dB, Q inside
// 0.01 .. 100.
Biquad DesignTarget(const TargetFilter& filter);

// One filter's magnitude in dB at any frequency.
double TargetDb(const TargetFilter& filter, double hz);

// The summed magnitude of the filters in dB at every FrequencyTable entry.
// Above 24 kHz a 48 kHz design has no response of its own; those points
// repeat the value at the last point below it.
void TargetResponse(std::span<const TargetFilter> filters, ResponseArray& db);

}  // namespace veyra
