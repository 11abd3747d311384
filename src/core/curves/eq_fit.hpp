// Fitting the six EQ bands to a target response: the bands whose summed
// response, computed exactly as the response graph draws it, comes closest
// (root mean square error in dB over a weighting range) to a target given in
// dB at the FrequencyTable points. The result is whole codes inside the
// editors' ranges that keep the shelf rule (low shelves at most 2000 Hz, high
// shelves at least 2000 Hz); the crossover is not part of it.
//
// The search is deterministic: the same input gives the same bands.
#pragma once

#include <span>
#include <vector>

#include "curves/filter_design.hpp"
#include "curves/target_curve.hpp"

namespace veyra {

// One band's codes: Freq (Hz), Gain (GainCode), Width (WidthCode), ShelfSlope
// and Type (EqType), as the band record holds them.
struct BandCodes {
  int Freq = 1000;
  int Gain = 600;
  int Width = 25;
  int ShelfSlope = 0;
  int Type = 0;
  friend bool operator==(const BandCodes&, const BandCodes&) = default;
};

inline constexpr int kFitBands = 6;

struct FitRange {
  double LowHz = 20;
  double HighHz = 20000;
};

// The bands' summed response in dB, as the graph draws a channel without its
// crossover. A band of 0 dB is flat.
void BandsResponse(std::span<const BandCodes> bands, ResponseArray& db);

// Root mean square of the difference in dB over the grid points inside the range.
double RmsErrorDb(const ResponseArray& a, const ResponseArray& b, const FitRange& range = {});

// The processor band nearest in shape to a file's filter: the same centre,
// gain and bandwidth for a peak, the same corner and order for a shelf, each
// translated through the processor's own width and slope constants. Codes
// inside the ranges and the shelf rule.
BandCodes NearestBand(const TargetFilter& filter);

struct EqFit {
  std::vector<BandCodes> Bands;  // at most six; a band left out is flat
  double RmsDb = 0;              // against the target over the range
};

// The fit of at most six bands to target. literal (at most six bands) is the
// mapping the caller would otherwise copy: the fit is never worse than it.
// filters, when given, are the filters target was computed from; they seed
// the search.
EqFit FitEq(const ResponseArray& target, std::span<const BandCodes> literal,
            std::span<const TargetFilter> filters = {}, const FitRange& range = {});

}  // namespace veyra
