// The response a filter list stands for, against values worked out by hand
// from the cookbook formulas at 48 kHz and against the shapes' physical facts.
#include "curves/target_curve.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace veyra {
namespace {

constexpr TargetShape kPk = TargetShape::Peaking, kLs = TargetShape::LowShelf, kHs = TargetShape::HighShelf;

TEST(TargetCurve, CookbookValuesWorkedOutByHand) {
  struct Case {
    const char* what;
    TargetFilter filter;
    double hz;
    double db;
    double tolerance;
  };
  const Case cases[] = {
      {"a peak at its centre has its gain", {kPk, 1000, 6, 1.0}, 1000, 6.0, 1e-9},
      {"a cut at its centre", {kPk, 63, -9.5, 8.4}, 63, -9.5, 1e-9},
      // w0 = pi/2 (cos 0, alpha 1/2), at w = pi/3: |1.70627 + 0.29373 z^-2| / |1.35397 + 0.64603 z^-2|.
      {"a peak away from its centre", {kPk, 12000, 6, 1.0}, 8000, 2.587385, 1e-5},
      {"a peak far from its centre is flat", {kPk, 1000, 6, 4.0}, 20, 0.0, 0.01},
      {"a low shelf far below its corner has its gain", {kLs, 100, 6, kShelfQ}, 2, 6.0, 0.01},
      {"a shelf is half its gain at its corner", {kLs, 100, 6, kShelfQ}, 100, 3.0, 1e-9},
      {"a shelf with its own Q too", {kHs, 3000, -4, 0.5}, 3000, -2.0, 1e-9},
      {"a low shelf far above its corner is flat", {kLs, 100, 6, kShelfQ}, 20000, 0.0, 0.01},
      {"a high shelf has its whole gain at 24 kHz", {kHs, 2000, -5, kShelfQ}, 23999.9, -5.0, 1e-4},
      // First order: |H|^2 = (W^2 + A^2) / (W^2 + 1/A^2) with W = tan(w/2) / tan(w0/2);
      // f0 = 12 kHz gives tan(w0/2) = 1, and W = 2 at 2 atan(2) * 48000 / 2pi Hz.
      {"a first-order shelf at twice its corner",
       {kLs, 12000, 6, kShelfQ, true},
       16915.98635,
       1.244811,
       1e-5},
      {"a first-order shelf at its corner", {kHs, 500, 8, kShelfQ, true}, 500, 4.0, 1e-9},
      {"a first-order low shelf far below", {kLs, 500, 8, kShelfQ, true}, 1, 8.0, 0.01},
  };
  for (const Case& c : cases) EXPECT_NEAR(TargetDb(c.filter, c.hz), c.db, c.tolerance) << c.what;
}

TEST(TargetCurve, FirstOrderShelvesFallHalfAsSteeply) {
  // Far above a low shelf's corner the remaining boost falls 6 dB per octave
  // for the first-order shelf and 12 dB for the second-order one.
  const TargetFilter first{kLs, 100, 12, kShelfQ, true}, second{kLs, 100, 12, kShelfQ, false};
  const auto excess = [](const TargetFilter& f, double hz) { return std::pow(10, TargetDb(f, hz) / 10) - 1; };
  EXPECT_NEAR(10 * std::log10(excess(first, 1600) / excess(first, 3200)), 6.0, 0.2);
  EXPECT_NEAR(10 * std::log10(excess(second, 1600) / excess(second, 3200)), 12.0, 0.2);
}

TEST(TargetCurve, TheGridResponseIsTheSumOfTheFilters) {
  const std::vector<TargetFilter> filters = {
      {kPk, 57, -6.5, 10}, {kLs, 105, 6, 0.7}, {kHs, 9500, -4, 0.6, true}};
  ResponseArray sum;
  TargetResponse(filters, sum);
  for (int i = 0; i < kFrequencyPoints && FrequencyTable[i] < 24000; ++i) {
    double expected = 0;
    for (const TargetFilter& f : filters) expected += TargetDb(f, FrequencyTable[i]);
    ASSERT_NEAR(sum[i], expected, 1e-9) << FrequencyTable[i];
  }
  // A 48 kHz design ends at 24 kHz: the points above it hold the last value.
  EXPECT_EQ(sum[kFrequencyPoints - 1], sum[kFrequencyPoints - 12]);
  // Values no program writes still give numbers.
  TargetResponse(std::vector<TargetFilter>{{kPk, 1e9, 1e6, 0}, {kLs, -5, -1e6, 1e-9, true}}, sum);
  for (double db : sum) ASSERT_TRUE(std::isfinite(db));
}

}  // namespace
}  // namespace veyra
