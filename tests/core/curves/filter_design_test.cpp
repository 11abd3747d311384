// Properties of the section designs over every crossover family and slope,
// and the fixed points of the EQ bands.
#include "curves/filter_design.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace veyra {
namespace {

ResponseArray Evaluate(const SectionDesign& design) {
  ResponseArray db;
  EvaluateResponse(design, db);
  return db;
}

ResponseArray Crossover(bool highPass, int type, int slope, double frequency) {
  return Evaluate(DesignCrossover(highPass, type, slope, frequency));
}

// dB per octave between two grid points.
double SlopeBetween(const ResponseArray& db, int lo, int hi) {
  return (db[hi] - db[lo]) / std::log2(FrequencyTable[hi] / FrequencyTable[lo]);
}

bool IsFlat(const ResponseArray& db) {
  return std::all_of(db.begin(), db.end(), [](double v) { return v == 0.0; });
}

TEST(CrossoverDesign, EveryFamilyAndSlopeBehavesLikeItsNominalFilter) {
  // Grid indices: 31.3 Hz (30), 62.5 Hz (54), 125 Hz (78), 250 Hz (102),
  // 1000 Hz (150), 1634 Hz (167), 3175 Hz (190), 4000 Hz (198), 8000 Hz (222).
  for (int type : {0, 1, 2}) {
    for (int slope = 0; slope <= kCrossoverSlopeMax; ++slope) {
      for (bool highPass : {true, false}) {
        SCOPED_TRACE(testing::Message() << (highPass ? "high-pass " : "low-pass ") << CrossoverTypeText(type)
                                        << " " << CrossoverSlopeText(slope));
        const ResponseArray db = Crossover(highPass, type, slope, 1000);
        for (double v : db) ASSERT_TRUE(std::isfinite(v));

        // The asymptote, 16 to 32 times away from the corner (the low-pass at
        // 100 Hz, away from the bilinear warping near the top of the grid).
        // The next term of the response falls with the square of the
        // frequency ratio and the warping is under 1 % there: together well
        // under 1 dB/oct, while a missing or extra first-order part is 6.
        const double asymptote =
            highPass ? SlopeBetween(db, 30, 54) : -SlopeBetween(Crossover(false, type, slope, 100), 167, 190);
        EXPECT_NEAR(asymptote, CrossoverSlopeDbPerOctave(slope), 1.0);

        // Eight times away from the corner every section is within 0.2 dB of
        // unity; the gentlest, the 12 dB L-R (two coincident first-order
        // poles), is 0.13 dB down there.
        const int stopFrom = highPass ? 0 : 198, stopTo = highPass ? 102 : 275;
        for (int i = stopFrom; i < stopTo; ++i) {
          EXPECT_EQ(db[i] < db[i + 1], highPass) << "attenuation not monotonic at index " << i;
        }
        const int passFrom = highPass ? 222 : 0, passTo = highPass ? 275 : 78;
        for (int i = passFrom; i <= passTo; ++i) EXPECT_NEAR(db[i], 0.0, 0.2) << "at index " << i;
      }
    }
  }
}

TEST(CrossoverDesign, LevelAtTheCorner) {
  // At its corner a second-order part stands at 1 / (2d) and a first-order
  // part at 1 / sqrt(2), whatever the bilinear warping.
  const double firstOrder = -10 * std::log10(2.0);
  const double lr24 = -40 * std::log10(2 * 0.70422535211);
  const double butterworth24 = -20 * std::log10(4 * 0.92592593 * 0.38167939);
  EXPECT_NEAR(lr24, -6, 0.1);
  EXPECT_NEAR(butterworth24, -3, 0.1);
  struct Case {
    bool HighPass;
    int Type, Slope;
    double Db;
  } const cases[] = {
      {true, 0, 2, lr24},
      {false, 0, 2, lr24},
      {true, 2, 2, butterworth24},
      {false, 2, 2, butterworth24},
      {false, 0, 0, 2 * firstOrder},
      {true, 2, 1, firstOrder},  // its second-order part has d = 0.5: 0 dB at the corner
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(Crossover(c.HighPass, c.Type, c.Slope, 1000)[150], c.Db, 1e-4)
        << c.HighPass << " type " << c.Type << " slope " << c.Slope;
  }
}

TEST(Designs, FlatCases) {
  struct Case {
    const char* What;
    SectionDesign Design;
  } const cases[] = {
      {"high-pass at 10 Hz", DesignCrossover(true, 0, 6, 10)},
      {"type 6", DesignCrossover(true, 6, 2, 1000)},
      {"unknown type", DesignCrossover(false, 3, 2, 1000)},
      {"high-pass below 10 Hz", DesignCrossover(true, 1, 2, 0)},
      {"0 dB peaking band", DesignPeaking(1000, 0, 0.3)},
      {"0 dB shelf", DesignShelf(1, 0, 200, 0)},
      {"shelf of an unknown type", DesignShelf(3, 0, 200, 6)},
  };
  for (const Case& c : cases) EXPECT_TRUE(IsFlat(Evaluate(c.Design))) << c.What;
  EXPECT_LT(Crossover(true, 0, 2, 11)[0], -0.1);  // just inside the range: a real filter
}

TEST(Designs, OutOfRangeInputsStayFinite) {
  // Values a damaged file may carry; the editors never produce them.
  for (const SectionDesign& d : {DesignPeaking(0, 6493.5, 655.4), DesignPeaking(65535, -60, 0),
                                 DesignShelf(1, 1, 0, 6493.5), DesignShelf(2, 0, 65535, -60)}) {
    for (double v : Evaluate(d)) ASSERT_TRUE(std::isfinite(v));
  }
}

TEST(PeakingDesign, PeakSitsOnTheNearestGridPoint) {
  struct Case {
    double Frequency, Gain;
    int PeakIndex;
  } const cases[] = {{1000, 12, 150}, {1010, 12, 150}, {1015, 12, 151}, {1000, -12, 150}, {30000, 3, 275}};
  for (const Case& c : cases) {
    const ResponseArray db = Evaluate(DesignPeaking(c.Frequency, c.Gain, 0.3));
    const auto peak =
        c.Gain > 0 ? std::max_element(db.begin(), db.end()) : std::min_element(db.begin(), db.end());
    EXPECT_EQ(peak - db.begin(), c.PeakIndex) << c.Frequency;
    EXPECT_NEAR(*peak, c.Gain, 1e-3) << c.Frequency;
  }
}

TEST(ShelfDesign, EndsReachTheGainAndTwelveIsSteeperThanSix) {
  for (int type : {1, 2}) {
    for (double gain : {15.0, -12.0, -30.0}) {
      double steepest[2] = {0, 0};
      for (int slope : {0, 1}) {
        SCOPED_TRACE(testing::Message() << EqTypeText(type) << " " << gain << " dB slope " << slope);
        const ResponseArray db = Evaluate(DesignShelf(type, slope, type == 1 ? 100 : 3000, gain));
        // Two decades from the corner a shelf is within 2 % of its gain.
        EXPECT_NEAR(type == 1 ? db.front() : db.back(), gain, 0.02 * std::fabs(gain));
        EXPECT_NEAR(type == 1 ? db.back() : db.front(), 0.0, 0.02 * std::fabs(gain));
        for (int i = 0; i + 1 < kFrequencyPoints; ++i) {
          steepest[slope] = std::max(steepest[slope], std::fabs(SlopeBetween(db, i, i + 1)));
        }
      }
      EXPECT_GT(steepest[1], steepest[0] * 1.2) << EqTypeText(type) << " " << gain << " dB";
    }
  }
}

}  // namespace
}  // namespace veyra
