// The digital sections behind every response curve: bilinear-transform
// designs of the EQ bands and crossover sections, and their magnitude in dB
// at the frequency grid. Pure functions over plain values; the record-facing
// side is CFilter.
#pragma once

#include <array>

#include "state/scales.hpp"

namespace veyra {

// Radians per hertz at the grid frequencies (pi / 48000, a 96 kHz rate) and
// for the design frequency. The design constant carries fewer digits; both are
// kept as they are so the curves match what the processor's editors have
// always drawn.
inline constexpr double kEvaluationAngle = 6.544984583333334e-05;
inline constexpr double kDesignAngle = 6.544985e-05;

inline constexpr int kMaxSectionParts = 4;

using ResponseArray = std::array<double, kFrequencyPoints>;

// One part with a0 divided out: H(z) = (B0 + B1 z^-1 + B2 z^-2) / (1 + A1 z^-1 + A2 z^-2).
// A first-order part has B2 = A2 = 0.
struct Biquad {
  double B0 = 1, B1 = 0, B2 = 0, A1 = 0, A2 = 0;
};

// A cascade of up to four parts. Count 0 is the identity: 0 dB everywhere.
struct SectionDesign {
  std::array<Biquad, kMaxSectionParts> Parts{};
  int Count = 0;
};

// A peaking band. The centre is moved to the grid entry nearest to
// bandFrequency so that the peak always lands on a drawn point. 0 dB is flat.
SectionDesign DesignPeaking(double bandFrequency, double gainDb, double octaves);
// The same band centred exactly on centreFrequency, for searches that need a
// response that moves smoothly with the frequency.
SectionDesign DesignPeakingAt(double centreFrequency, double gainDb, double octaves);

// A low or high shelf (EqType 1 or 2) with ShelfSlope 0 (6 dB/oct) or 1
// (12 dB/oct). 0 dB, another type or another slope is flat.
SectionDesign DesignShelf(int eqType, int shelfSlope, double frequency, double gainDb);
// The factor a shelf applies to its frequency before the design: the shelf's
// corner lies near its frequency times this.
double ShelfDesignScale(int eqType, int shelfSlope);

// A crossover high-pass or low-pass section from its CrossoverType (0 L-R,
// 1 Bessel, 2 Butterworth) and CrossoverSlope (0..6 = 12..48 dB/oct). Flat for
// type 6, any type or slope without design values, a high-pass at or below
// 10 Hz and a low-pass at or above 30000 Hz.
SectionDesign DesignCrossover(bool highPass, int crossoverType, int crossoverSlope, double frequency);

// The magnitude of the cascade in dB at every FrequencyTable entry.
void EvaluateResponse(const SectionDesign& design, ResponseArray& db);

// Cosine and sine of every grid frequency: the only trigonometry the
// evaluation needs, worked out once for the run.
struct GridTrig {
  ResponseArray Cos;
  ResponseArray Sin;
};
const GridTrig& GridAngles();

}  // namespace veyra
