// Fitting six bands to a target: the model is the graph's own sum, the
// result keeps to the editors' ranges and the shelf rule, is the same on
// every run, and never loses against the literal copy it started from.
#include "curves/eq_fit.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "curves/channel_curve.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

constexpr TargetShape kPk = TargetShape::Peaking, kLs = TargetShape::LowShelf, kHs = TargetShape::HighShelf;
constexpr int kPeq = 0, kLshlf = 1, kHshlf = 2;

void ExpectEditorCodes(const std::vector<BandCodes>& bands) {
  ASSERT_LE(bands.size(), 6u);
  for (const BandCodes& b : bands) {
    EXPECT_GE(b.Freq, 10);
    EXPECT_LE(b.Freq, 30000);
    EXPECT_GE(b.Gain, 300);
    EXPECT_LE(b.Gain, 750);
    EXPECT_NE(b.Gain, 600) << "a flat band is left out";
    EXPECT_GE(b.Width, 0);
    EXPECT_LE(b.Width, 295);
    EXPECT_TRUE(b.ShelfSlope == 0 || b.ShelfSlope == 1);
    EXPECT_TRUE(b.Type != kLshlf || b.Freq <= 2000) << b.Freq;
    EXPECT_TRUE(b.Type != kHshlf || b.Freq >= 2000) << b.Freq;
    EXPECT_TRUE(b.Type >= 0 && b.Type <= 2);
  }
}

TEST(EqFit, BandsRespondExactlyAsTheGraphDrawsThem) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  const std::vector<BandCodes> bands = {{9, 700, 0, 0, kPeq},       {1000, 480, 295, 0, kPeq},
                                        {57, 640, 3, 0, kPeq},      {2000, 550, 25, 0, kLshlf},
                                        {2000, 620, 25, 1, kHshlf}, {150, 600, 40, 0, kPeq}};
  for (size_t b = 0; b < bands.size(); ++b) {
    EqBand& band = store->Inputs[3].Bands[b];
    band.Freq = static_cast<uint16_t>(bands[b].Freq);
    band.Gain = static_cast<uint16_t>(bands[b].Gain);
    band.Width = static_cast<uint16_t>(bands[b].Width);
    band.ShelfSlope = static_cast<uint8_t>(bands[b].ShelfSlope);
    band.Type = static_cast<uint8_t>(bands[b].Type);
  }
  ChannelCurve curve;
  curve.AttachInput(store->Inputs[3], 3);
  curve.ComputeAll();
  ResponseArray db;
  BandsResponse(bands, db);
  for (int i = 0; i < kFrequencyPoints; ++i) ASSERT_DOUBLE_EQ(db[i], curve.SumDb()[i]) << i;
}

TEST(EqFit, NearestBandsTranslateWidthAndCorners) {
  struct Case {
    TargetFilter filter;
    BandCodes band;
  };
  const Case cases[] = {
      // 1 / 2Q = sinh(ln 2 * 1.0): Q 2/3 is one octave of the processor's width.
      {{kPk, 1000, -3, 2.0 / 3}, {1000, 570, 95, 0, kPeq}},
      // A 12 dB low shelf designs at 1.2727 times its frequency, a 6 dB high shelf at 0.4545.
      {{kLs, 100, 4, kShelfQ}, {79, 640, 25, 1, kLshlf}},
      {{kHs, 1000, -2, kShelfQ, true}, {2200, 580, 25, 0, kHshlf}},
      // Held to the shelf rule and the ranges.
      {{kLs, 5000, 3, kShelfQ, true}, {2000, 630, 25, 0, kLshlf}},
      {{kPk, 5, 40, 50}, {10, 750, 0, 0, kPeq}},
  };
  for (const Case& c : cases) EXPECT_EQ(NearestBand(c.filter), c.band) << c.filter.Hz;
}

struct FitCase {
  const char* what;
  std::vector<TargetFilter> filters;
};

std::vector<FitCase> FitCases() {
  return {
      {"ten room modes and two shelves",
       {{kPk, 38.5, -7.2, 6.1},
        {kPk, 52, -4.8, 3.9},
        {kPk, 67.3, -9.5, 8.4},
        {kPk, 88, 3.5, 2.1},
        {kPk, 118, -6.1, 5.3},
        {kPk, 161, -3.4, 2.8},
        {kPk, 240, 2.2, 1.4},
        {kPk, 410, -2.6, 1.9},
        {kLs, 45, 4, kShelfQ},
        {kHs, 8000, -2.5, kShelfQ, true}}},
      // Shelves the processor cannot place where they are, and more gain than the range.
      {"shelves across the split and a boost beyond the range",
       {{kLs, 6000, 4, kShelfQ},
        {kHs, 300, -3, 0.9},
        {kPk, 1000, 24, 0.7},
        {kPk, 15, -12, 2},
        {kPk, 28000, 9, 1},
        {kPk, 3000, -2, 12},
        {kPk, 500, 2, 0.3}}},
  };
}

std::vector<BandCodes> Literal(const std::vector<TargetFilter>& filters) {
  std::vector<BandCodes> bands;
  for (size_t i = 0; i < filters.size() && i < 6; ++i) bands.push_back(NearestBand(filters[i]));
  return bands;
}

TEST(EqFit, FitsKeepToTheRangesAndRulesAndRepeatExactly) {
  for (const FitCase& c : FitCases()) {
    ResponseArray target;
    TargetResponse(c.filters, target);
    const std::vector<BandCodes> literal = Literal(c.filters);
    const EqFit fit = FitEq(target, literal, c.filters);
    ExpectEditorCodes(fit.Bands);
    ResponseArray fitted;
    BandsResponse(fit.Bands, fitted);
    EXPECT_DOUBLE_EQ(RmsErrorDb(target, fitted), fit.RmsDb) << c.what;
    const EqFit again = FitEq(target, literal, c.filters);
    EXPECT_EQ(again.Bands, fit.Bands) << c.what;
    EXPECT_EQ(again.RmsDb, fit.RmsDb) << c.what;
  }
}

TEST(EqFit, NeverWorseThanTheLiteralCopy) {
  ResponseArray copied, target;
  // Six processor bands as the target: their own codes cannot be beaten and are kept.
  const std::vector<BandCodes> exact = {{40, 550, 30, 0, kPeq},     {125, 640, 80, 0, kPeq},
                                        {1000, 570, 10, 0, kPeq},   {300, 620, 25, 1, kLshlf},
                                        {5000, 580, 25, 0, kHshlf}, {12000, 630, 150, 0, kPeq}};
  BandsResponse(exact, target);
  const EqFit same = FitEq(target, exact);
  EXPECT_EQ(same.Bands, exact);
  EXPECT_EQ(same.RmsDb, 0);
  // Started from nothing, the search finds a close match to them.
  EXPECT_LT(FitEq(target, {}).RmsDb, 0.25);
  // One band is found as one band: nothing is added that hardly matters.
  const std::vector<BandCodes> one = {{250, 540, 60, 0, kPeq}};
  BandsResponse(one, target);
  const EqFit single = FitEq(target, {});
  EXPECT_EQ(single.Bands.size(), 1u);
  EXPECT_LT(single.RmsDb, 0.05);

  for (const FitCase& c : FitCases()) {
    TargetResponse(c.filters, target);
    const std::vector<BandCodes> literal = Literal(c.filters);
    BandsResponse(literal, copied);
    EXPECT_LE(FitEq(target, literal, c.filters).RmsDb, RmsErrorDb(target, copied)) << c.what;
  }
}

TEST(EqFit, TheErrorCountsOnlyTheRange) {
  ResponseArray a{}, b{};
  for (int i = 0; i < kFrequencyPoints; ++i) b[i] = FrequencyTable[i] < 100 ? 3.0 : 0.0;
  EXPECT_EQ(RmsErrorDb(a, b, {100, 20000}), 0);
  EXPECT_NEAR(RmsErrorDb(a, b, {20, 99}), 3.0, 1e-12);
}

}  // namespace
}  // namespace veyra
