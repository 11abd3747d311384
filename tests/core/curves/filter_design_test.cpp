// Properties of the section designs over every crossover family and slope,
// and the fixed points of the EQ bands.
#include "curves/filter_design.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace veyra {
namespace {

constexpr int kTypes[] = {0, 1, 2};  // L-R, Bessel, Butterworth

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

std::string Name(bool highPass, int type, int slope) {
  return std::string(highPass ? "high-pass " : "low-pass ") + CrossoverTypeText(type) + " " +
         CrossoverSlopeText(slope);
}

TEST(CrossoverDesign, EveryFamilyAndSlopeBehavesLikeItsNominalFilter) {
  // Grid indices: 31.3 Hz (30), 62.5 Hz (54), 125 Hz (78), 250 Hz (102),
  // 1000 Hz (150), 1634 Hz (167), 3175 Hz (190), 4000 Hz (198), 8000 Hz (222).
  for (int type : kTypes) {
    for (int slope = 0; slope <= kCrossoverSlopeMax; ++slope) {
      const double nominal = CrossoverSlopeDbPerOctave(slope);
      for (bool highPass : {true, false}) {
        SCOPED_TRACE(Name(highPass, type, slope));
        const ResponseArray db = Crossover(highPass, type, slope, 1000);
        for (double v : db) ASSERT_TRUE(std::isfinite(v));

        // The asymptote, measured 16 to 32 times away from the corner (the
        // low-pass at 100 Hz, so that the bilinear warping near the top of
        // the grid stays out of it). The next term of the response falls
        // with the square of the frequency ratio and the warping is under
        // 1 % there, so together they move the slope by well under
        // 1 dB/oct, while a missing or extra first-order part moves it by 6.
        const double asymptote =
            highPass ? SlopeBetween(db, 30, 54) : -SlopeBetween(Crossover(false, type, slope, 100), 167, 190);
        EXPECT_NEAR(asymptote, nominal, 1.0);

        // Eight times away from the corner every section is within 0.2 dB of
        // unity; the gentlest, the 12 dB L-R (two coincident first-order
        // poles), is 0.13 dB down there.
        if (highPass) {
          for (int i = 0; i < 102; ++i) EXPECT_LT(db[i], db[i + 1]) << "at index " << i;
          for (int i = 222; i < kFrequencyPoints; ++i) EXPECT_NEAR(db[i], 0.0, 0.2) << "at index " << i;
        } else {
          for (int i = 198; i + 1 < kFrequencyPoints; ++i) EXPECT_GT(db[i], db[i + 1]) << "at index " << i;
          for (int i = 0; i <= 78; ++i) EXPECT_NEAR(db[i], 0.0, 0.2) << "at index " << i;
        }
      }
    }
  }
}

TEST(CrossoverDesign, LevelAtTheCorner) {
  // At its corner a second-order part stands at 1 / (2d) and a first-order
  // part at 1 / sqrt(2), whatever the bilinear warping.
  const double firstOrder = -10 * std::log10(2.0);
  const double lr24 = -40 * std::log10(2 * 0.70422535211);                     // about -6 dB
  const double butterworth24 = -20 * std::log10(4 * 0.92592593 * 0.38167939);  // about -3 dB
  struct Case {
    bool HighPass;
    int Type, Slope;
    double Db;
  } const cases[] = {
      {true, 0, 2, lr24},
      {false, 0, 2, lr24},
      {true, 2, 2, butterworth24},
      {false, 2, 2, butterworth24},
      {true, 2, 1, firstOrder},  // plus a second-order part with d = 0.5: 0 dB
      {false, 0, 0, 2 * firstOrder},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Name(c.HighPass, c.Type, c.Slope));
    EXPECT_NEAR(Crossover(c.HighPass, c.Type, c.Slope, 1000)[150], c.Db, 1e-4);
  }
  EXPECT_NEAR(lr24, -6, 0.1);
  EXPECT_NEAR(butterworth24, -3, 0.1);
}

TEST(CrossoverDesign, OddButterworthStartsWithAFirstOrderPart) {
  const SectionDesign design = DesignCrossover(true, 2, 1, 1000);
  ASSERT_EQ(design.Count, 2);
  EXPECT_EQ(design.Parts[0].B2, 0.0);
  EXPECT_EQ(design.Parts[0].A2, 0.0);
  EXPECT_NE(design.Parts[1].A2, 0.0);
  // A second-order part with d = 0.5 (Q = 1) passes its corner at 0 dB.
  SectionDesign second;
  second.Parts[0] = design.Parts[1];
  second.Count = 1;
  EXPECT_NEAR(Evaluate(second)[150], 0.0, 1e-3);
}

TEST(CrossoverDesign, FlatCases) {
  struct Case {
    const char* What;
    bool HighPass;
    int Type, Slope, Frequency;
  } const cases[] = {
      {"high-pass at 10 Hz", true, 0, 6, 10},   {"low-pass at 30000 Hz", false, 2, 6, 30000},
      {"type 6 high-pass", true, 6, 2, 1000},   {"type 6 low-pass", false, 6, 2, 1000},
      {"unknown type", true, 3, 2, 1000},       {"unknown slope", false, 0, 7, 1000},
      {"high-pass below 10 Hz", true, 1, 2, 0}, {"low-pass above 30000 Hz", false, 1, 2, 65535},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(IsFlat(Crossover(c.HighPass, c.Type, c.Slope, c.Frequency))) << c.What;
  }
  // Just inside the range a section is a real filter.
  EXPECT_LT(Crossover(true, 0, 2, 11)[0], -0.1);
  EXPECT_LT(Crossover(false, 0, 2, 29999)[275], -0.1);
}

TEST(PeakingDesign, PeakSitsOnTheNearestGridPoint) {
  struct Case {
    double Frequency, Gain;
    int PeakIndex;
  } const cases[] = {
      {1000, 12, 150}, {1010, 12, 150}, {1015, 12, 151}, {1000, -12, 150}, {19, 6, 13}, {30000, 3, 275},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Frequency);
    const ResponseArray db = Evaluate(DesignPeaking(c.Frequency, c.Gain, 0.3));
    const auto peak =
        c.Gain > 0 ? std::max_element(db.begin(), db.end()) : std::min_element(db.begin(), db.end());
    EXPECT_EQ(peak - db.begin(), c.PeakIndex);
    EXPECT_NEAR(*peak, c.Gain, 1e-3);
  }
  EXPECT_TRUE(IsFlat(Evaluate(DesignPeaking(1000, 0, 0.3))));
}

TEST(PeakingDesign, WiderBandRaisesTheSkirts) {
  const ResponseArray narrow = Evaluate(DesignPeaking(1000, 12, 0.3));
  const ResponseArray wide = Evaluate(DesignPeaking(1000, 12, 2.0));
  EXPECT_GT(wide[126], narrow[126] + 3);  // one octave below
  EXPECT_GT(wide[174], narrow[174] + 3);  // one octave above
}

TEST(ShelfDesign, EndsReachTheGainAndTwelveIsSteeperThanSix) {
  struct Case {
    int Type;
    double Frequency;
  } const cases[] = {{1, 100}, {2, 3000}};
  for (const Case& c : cases) {
    for (double gain : {15.0, 6.0, -12.0, -30.0}) {
      double steepest[2] = {0, 0};
      for (int slope : {0, 1}) {
        SCOPED_TRACE(testing::Message() << EqTypeText(c.Type) << " " << gain << " dB slope " << slope);
        const ResponseArray db = Evaluate(DesignShelf(c.Type, slope, c.Frequency, gain));
        const double shelfEnd = c.Type == 1 ? db.front() : db.back();
        const double otherEnd = c.Type == 1 ? db.back() : db.front();
        // Two decades from the corner a shelf is within 2 % of its gain.
        EXPECT_NEAR(shelfEnd, gain, 0.02 * std::fabs(gain));
        EXPECT_NEAR(otherEnd, 0.0, 0.02 * std::fabs(gain));
        for (int i = 0; i + 1 < kFrequencyPoints; ++i) {
          steepest[slope] = std::max(steepest[slope], std::fabs(SlopeBetween(db, i, i + 1)));
        }
      }
      EXPECT_GT(steepest[1], steepest[0] * 1.2) << EqTypeText(c.Type) << " " << gain << " dB";
    }
  }
}

TEST(ShelfDesign, ZeroGainAndUnknownTypeOrSlopeAreFlat) {
  EXPECT_TRUE(IsFlat(Evaluate(DesignShelf(1, 0, 200, 0))));
  EXPECT_TRUE(IsFlat(Evaluate(DesignShelf(0, 0, 200, 6))));
  EXPECT_TRUE(IsFlat(Evaluate(DesignShelf(3, 0, 200, 6))));
  EXPECT_TRUE(IsFlat(Evaluate(DesignShelf(2, 2, 200, 6))));
}

TEST(Designs, OutOfRangeInputsStayFinite) {
  // Values a damaged file may carry; the editors never produce them.
  const SectionDesign designs[] = {
      DesignPeaking(0, 6493.5, 655.4), DesignPeaking(65535, -60, 0),    DesignShelf(1, 1, 0, 6493.5),
      DesignShelf(2, 0, 65535, -60),   DesignCrossover(false, 1, 6, 0), DesignCrossover(true, 2, 6, 65534),
  };
  for (const SectionDesign& d : designs) {
    for (double v : Evaluate(d)) ASSERT_TRUE(std::isfinite(v));
  }
}

}  // namespace
}  // namespace veyra
