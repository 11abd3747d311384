// CFilter and ChannelCurve against their records, the plot positions and the
// axis mappings.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>

#include "curves/channel_curve.hpp"
#include "state/parameter_store.hpp"

// Counts the test program's allocations, so that a recomputation can be shown
// to allocate nothing. The sanitizer build keeps its own allocator.
namespace {
std::atomic<long> g_allocations{0};
}
#if defined(__SANITIZE_ADDRESS__)
#define VEYRA_COUNTS_ALLOCATIONS 0
#else
#define VEYRA_COUNTS_ALLOCATIONS 1
void* operator new(std::size_t size) {
  ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
#endif

namespace veyra {
namespace {

bool IsFlat(const CFilter& f) {
  return std::all_of(f.Response().begin(), f.Response().end(), [](double v) { return v == 0.0; });
}

EqBand Band(uint16_t freq, uint16_t gain, uint8_t type = 0, uint8_t bandOff = 0) {
  return EqBand{freq, gain, 25, bandOff, 0, type, 0};
}

TEST(CFilterBand, BypassRules) {
  struct Case {
    const char* What;
    EqBand Record;
    bool SetAllOff;
    bool UpdateGain;
    bool Flat, BandOff, AllOff;
  } const cases[] = {
      {"boost", Band(1000, 720), false, true, false, false, false},
      {"gain code 600 sets band-off", Band(1000, 600), false, true, true, true, false},
      {"byte 6 = 1 is flat whatever the gain", Band(1000, 720, 0, 1), false, true, true, false, false},
      {"all-off kept without a gain update", Band(1000, 720), true, false, true, false, true},
      {"a gain update clears all-off", Band(1000, 720), true, true, false, false, false},
      {"unknown band type is flat", Band(1000, 720, 7), false, true, true, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    EqBand record = c.Record;
    CFilter filter;
    filter.AttachBand(record, 3);
    filter.SetAllOff(c.SetAllOff);
    filter.ComputeResponse(c.UpdateGain);
    EXPECT_EQ(IsFlat(filter), c.Flat);
    EXPECT_EQ(filter.BandOff(), c.BandOff);
    EXPECT_EQ(filter.AllOff(), c.AllOff);
    EXPECT_EQ(filter.GainDb(), c.BandOff || c.AllOff ? 0.0 : GainDb(record.Gain));
  }
}

// The editors change the record and recompute; the object holds no copy.
TEST(CFilterBand, FollowsItsRecord) {
  EqBand record = Band(2000, 480, 2);  // a high shelf: the top end reaches the gain
  CFilter filter;
  filter.AttachBand(record, 1);
  filter.ComputeResponse(true);
  record.Gain = 720;
  filter.ComputeResponse(true);
  EXPECT_EQ(filter.Kind(), FilterKind::HighShelf);
  EXPECT_NEAR(filter.Response()[275], 12.0, 0.25);
}

TEST(CFilterPlot, CurvePositions) {
  // A 745 x 330 graph control: plot from (35, 10) to (735, 310), W 700, H 300.
  const PlotRect plot{35, 10, 735, 310};
  FilterSection record{1000, 0, 2};
  CFilter filter;
  filter.AttachSection(record, FilterKind::HighPass);
  struct Case {
    int Span;
    int Y150;  // -5.9497 dB at 1000 Hz
  } const cases[] = {
      {30, 189},  // 300 * 35.9497 / 60 = 179.7 -> 179, + 10
      {15, 219},  // 300 * 20.9497 / 30 = 209.5 -> 209, + 10
  };
  for (const Case& c : cases) {
    filter.SetPlotRect(plot, c.Span);
    EXPECT_EQ(filter.ZeroDbY(), 160);
    EXPECT_EQ(filter.Points()[150].Y, c.Y150) << "span " << c.Span;
  }
  // x = 700 log10(f / 10) / log10(3000), truncated, + 35.
  EXPECT_EQ(filter.Points()[0].X, 33);     // 9.71 Hz: -2.57 -> -2
  EXPECT_EQ(filter.Points()[150].X, 437);  // 1000 Hz: 402.6
  EXPECT_EQ(filter.Points()[275].X, 735);  // 30000 Hz: the right edge
}

TEST(PlotAxes, Mappings) {
  struct XCase {
    double X;
    int Frequency;
  } const xCases[] = {{-20, 10}, {0, 10}, {350, 547}, {700, 30000}, {900, 30000}};
  for (const XCase& c : xCases) EXPECT_EQ(XToFrequency(c.X, 700), c.Frequency) << "x " << c.X;
  for (int span : {30, 15}) {
    EXPECT_DOUBLE_EQ(GainToY(span, 300, span), 0);
    EXPECT_DOUBLE_EQ(GainToY(-span, 300, span), 300);
    EXPECT_NEAR(YToGain(GainToY(-7.3, 300, span), 300, span), -7.3, 1e-12);
  }
  // Degenerate sizes give defined values instead of a division by zero.
  EXPECT_EQ(XToFrequency(10, 0), 10);
  EXPECT_EQ(YToGain(5, 0, 30), 0);
  EXPECT_DOUBLE_EQ(GainToY(0, 300, 0), 150);
  EXPECT_EQ(TruncatePixel(std::nan("")), -1000000);
}

class ChannelCurveTest : public testing::Test {
 protected:
  void SetUp() override { InitialiseStore(*store_); }
  std::unique_ptr<ParameterStore> store_ = std::make_unique<ParameterStore>();
};

TEST_F(ChannelCurveTest, OutputChannelSumsTheSixBandsAndBothSections) {
  OutputChannel& out = store_->Outputs[6];
  out.Bands[2] = Band(1000, 720);           // +12 dB at 1000 Hz
  out.Crossover[kHighPass] = {1000, 0, 2};  // 24 dB L-R: -6.02 dB at its corner
  out.Bands[6] = Band(1000, 750);           // beyond the six drawn bands: not part of the sum
  out.Crossover[kLowPass] = {12000, 2, 6};  // Butterworth 48 dB, far below 1000 Hz
  ChannelCurve curve;
  curve.AttachOutput(out, 6);
  ASSERT_EQ(curve.FilterCount(), 8);
  EXPECT_EQ(curve.Colour().Argb, 0xFF7D8000u);
  EXPECT_EQ(curve.Colour().Rgb, (RgbColour{0x7D, 0x80, 0x00}));
  curve.SetPlotRect({35, 10, 735, 310}, 20);
  const double expected = 12 - 20 * std::log10(2 * 0.70422535211 * 2 * 0.70422535211);
  EXPECT_NEAR(curve.SumDb()[150], expected, 1e-3);
  EXPECT_LT(curve.SumDb()[275], -60);  // the low-pass reaches the top end
  // 300 px for 40 dB, 0 dB in the middle at 160.
  EXPECT_NEAR(curve.SumPoints()[150].Y, 160 - 300 * curve.SumDb()[150] / 40, 1e-3);
  EXPECT_EQ(curve.SumPoints()[150].X, 437.0f);

  // A drag changes one record and recomputes that filter only; the sum follows.
  out.Bands[2].Gain = 600;
  curve.Filter(2).ComputeResponse(true);
  curve.SumChannelCurve();
  EXPECT_NEAR(curve.SumDb()[150], expected - 12, 1e-3);
}

TEST_F(ChannelCurveTest, InputChannelHasOnlyBandsAndDefaultsAreFlat) {
  ChannelCurve curve;
  curve.AttachInput(store_->Inputs[6], 6);
  EXPECT_EQ(curve.FilterCount(), 6);
  EXPECT_EQ(curve.HighPass(), nullptr);
  EXPECT_EQ(curve.Colour().Rgb, (RgbColour{0x99, 0xFF, 0x00}));
  // Factory defaults (for outputs also the high-pass at 10 Hz and the
  // low-pass at 30000 Hz) draw the 0 dB line.
  curve.SetPlotRect({35, 10, 735, 310});
  for (const CurvePointF& p : curve.SumPoints()) ASSERT_EQ(p.Y, 160.0f);
  curve.AttachOutput(store_->Outputs[0], 0);
  curve.SetPlotRect({35, 10, 735, 310});
  for (double v : curve.SumDb()) ASSERT_EQ(v, 0.0);
}

TEST_F(ChannelCurveTest, RecomputationAllocatesNothing) {
  if (!VEYRA_COUNTS_ALLOCATIONS) GTEST_SKIP() << "allocations are not counted in this build";
  ASSERT_GT(g_allocations.load(), 0) << "the counting operator new is not in use";
  OutputChannel& out = store_->Outputs[1];
  for (int b = 0; b < 6; ++b) out.Bands[b] = Band(static_cast<uint16_t>(100 * (b + 1)), 650, b % 3);
  out.Crossover[kHighPass] = {100, 1, 6};
  out.Crossover[kLowPass] = {5000, 1, 5};
  ChannelCurve curve;
  curve.AttachOutput(out, 1);
  curve.SetPlotRect({35, 10, 735, 310});  // first use sets up the grid angles
  const long before = g_allocations.load();
  curve.SetPlotRect({35, 10, 535, 210}, 25);
  curve.ComputeAll(true);
  curve.Filter(7).ComputeResponse(false);
  curve.SumChannelCurve();
  EXPECT_EQ(g_allocations.load() - before, 0);
}

}  // namespace
}  // namespace veyra
