// The system sum against physical facts: complementary crossovers sum flat,
// an inverted or half-period-delayed twin cancels, absent paths are absent,
// and the phase stays in (-180, 180].
#include "curves/system_response.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <numbers>

#include "curves/channel_curve.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

constexpr int k20Hz = 15;  // 20.31 Hz, the first grid point from 20 Hz
constexpr int k1kHz = 150;
constexpr int k2kHz = 174;
constexpr int k250Hz = 102;

int IndexOf(double hz) {
  for (int i = 0; i < kFrequencyPoints; ++i)
    if (FrequencyTable[i] == hz) return i;
  return -1;
}

// Input A feeding outputs 1 and 2 at unity gain, all filters open.
class SystemFixture : public testing::Test {
 protected:
  void SetUp() override {
    store_ = std::make_unique<ParameterStore>();
    InitialiseStore(*store_);
    for (InputChannel& in : store_->Inputs) ApplyFactoryDefaults(in);
    for (OutputChannel& out : store_->Outputs) {
      ApplyFactoryDefaults(out);
      for (uint8_t& r : out.Routing) r = 0;
      out.Crossover[kHighPass] = {10, 0, 0};
      out.Crossover[kLowPass] = {30000, 0, 0};
    }
    In().Mute = 1;
    In().Gain = kGainZero;
    In().Delay = 0;
    for (int k : {0, 1}) {
      Out(k).Routing[0] = 1;
      Out(k).Mute = 1;
      Out(k).Gain = kGainZero;
      Out(k).Delay = 0;
    }
    system_.Attach(store_->Inputs, store_->Outputs);
  }

 public:
  InputChannel& In() { return store_->Inputs[0]; }
  OutputChannel& Out(int k) { return store_->Outputs[k]; }
  double SumDb(int i) const { return MagnitudeDb(system_.Sum()[i]); }

 protected:
  std::unique_ptr<ParameterStore> store_;
  SystemResponse system_;
};

TEST_F(SystemFixture, LinkwitzRiley24SumsFlatAndInvertedNulls) {
  // 24 dB L-R is slope code 2; the low-pass on output 1, the high-pass on 2.
  Out(0).Crossover[kLowPass] = {1000, 0, 2};
  Out(1).Crossover[kHighPass] = {1000, 0, 2};
  system_.Select(0, 0b11);
  ASSERT_EQ(system_.PresentCount(), 2);
  ASSERT_GE(FrequencyTable[k20Hz], 20);
  for (int i = k20Hz; FrequencyTable[i] <= 20000; ++i)
    EXPECT_NEAR(SumDb(i), 0.0, 0.1) << FrequencyTable[i] << " Hz";
  // Each branch alone is about -6 dB at the crossover frequency.
  EXPECT_NEAR(MagnitudeDb(system_.Path(0)[k1kHz]), -6.0, 0.2);
  EXPECT_NEAR(MagnitudeDb(system_.Path(1)[k1kHz]), -6.0, 0.2);

  Out(1).Polarity = 1;
  system_.OutputChanged(1);
  EXPECT_LT(SumDb(k1kHz), -40.0);
  // Far from the crossover one branch dominates and the sum is unharmed.
  EXPECT_NEAR(SumDb(k20Hz), 0.0, 0.1);
}

TEST_F(SystemFixture, HalfPeriodDelayAtOneKilohertzNulls) {
  Out(1).Delay = 24;  // 24 / 48 ms = 0.5 ms, half of 1 kHz's period
  system_.Select(0, 0b11);
  EXPECT_LT(SumDb(k1kHz), -100.0);
  // A whole period at 2 kHz: the two add, +6.02 dB.
  EXPECT_NEAR(SumDb(k2kHz), 20 * std::log10(2.0), 1e-9);
  // 90 degrees apart at 500 Hz: +3 dB, and the sum lags by 45 degrees.
  const int i500 = IndexOf(500);
  EXPECT_NEAR(SumDb(i500), 10 * std::log10(2.0), 1e-9);
  EXPECT_NEAR(PhaseDegrees(system_.Sum()[i500]), -45.0, 1e-9);
}

TEST_F(SystemFixture, MutedOffAndUnroutedPathsAreAbsent) {
  struct Case {
    const char* What;
    std::function<void(SystemFixture&)> Change;
    PathAbsence Expected;
  } const cases[] = {
      {"output muted", [](SystemFixture& f) { f.Out(1).Mute = 0; }, PathAbsence::OutputMuted},
      {"output gain OFF", [](SystemFixture& f) { f.Out(1).Gain = kGainOffCode; }, PathAbsence::OutputOff},
      {"output gain below OFF", [](SystemFixture& f) { f.Out(1).Gain = 100; }, PathAbsence::OutputOff},
      {"not routed", [](SystemFixture& f) { f.Out(1).Routing[0] = 0; }, PathAbsence::NotRouted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    SetUp();
    c.Change(*this);
    system_.Select(0, 0b11);
    EXPECT_TRUE(system_.Present(0));
    EXPECT_FALSE(system_.Present(1));
    EXPECT_EQ(system_.Absence(1), c.Expected);
    // The sum is output 1 alone: 0 dB, not +6.
    for (int i = 0; i < kFrequencyPoints; ++i) ASSERT_NEAR(SumDb(i), 0.0, 1e-12);
  }
  // One code above OFF still passes.
  SetUp();
  Out(1).Gain = kGainOffCode + 1;
  system_.Select(0, 0b11);
  EXPECT_TRUE(system_.Present(1));
  EXPECT_NEAR(MagnitudeDb(system_.Path(1)[0]), -35.9, 1e-9);
  // A muted input takes every path with it.
  In().Mute = 0;
  system_.InputChanged();
  EXPECT_EQ(system_.PresentCount(), 0);
  EXPECT_EQ(system_.Absence(0), PathAbsence::InputMuted);
  EXPECT_EQ(AbsenceText(PathAbsence::InputMuted, 0), "input A muted");
  EXPECT_EQ(AbsenceText(PathAbsence::NotRouted, 2), "not routed from input C");
}

TEST_F(SystemFixture, TheRoutingIsNamedFirstThenTheInputThenTheOutput) {
  struct Case {
    uint8_t Routed, InMute, OutMute;
    uint16_t InGain, OutGain;
    PathAbsence Expected;
  } const cases[] = {
      {0, 0, 0, 100, 100, PathAbsence::NotRouted}, {1, 0, 0, 100, 100, PathAbsence::InputMuted},
      {1, 1, 0, 100, 100, PathAbsence::InputOff},  {1, 1, 0, 600, 100, PathAbsence::OutputMuted},
      {1, 1, 1, 600, 240, PathAbsence::OutputOff}, {1, 1, 1, 241, 241, PathAbsence::None},
  };
  for (const Case& c : cases) {
    In().Mute = c.InMute;
    In().Gain = c.InGain;
    Out(0).Routing[0] = c.Routed;
    Out(0).Mute = c.OutMute;
    Out(0).Gain = c.OutGain;
    EXPECT_EQ(PathAbsenceOf(In(), Out(0), 0), c.Expected) << int(c.Routed) << int(c.InMute) << int(c.OutMute);
  }
  EXPECT_EQ(PathAbsenceOf(In(), Out(0), 8), PathAbsence::NotRouted);  // no such input
}

TEST_F(SystemFixture, AHighPassDelaysTheLowsMost) {
  // A 24 dB L-R high-pass at 100 Hz: its group delay rises towards the
  // corner from above and falls to nothing far above it.
  Out(0).Crossover[kHighPass] = {100, 0, 2};
  system_.Select(0, 0b01);
  ResponseArray ms;
  GroupDelayMs(system_.Path(0), ms);
  EXPECT_GT(ms[NearestFrequencyIndex(200)], ms[NearestFrequencyIndex(1000)]);
  EXPECT_GT(ms[NearestFrequencyIndex(200)], 0.5);
  EXPECT_NEAR(ms[NearestFrequencyIndex(10000)], 0.0, 0.01);
}

TEST_F(SystemFixture, GainsPolaritiesAndDelaysOfBothChannelsMultiply) {
  In().Gain = 660;    // +6 dB
  Out(0).Gain = 570;  // -3 dB
  In().Polarity = 1;
  In().Delay = 48;     // 1 ms
  Out(0).Delay = 481;  // 11 ms by the code's rule
  system_.Select(0, 0b01);
  const int i250 = k250Hz;
  ASSERT_EQ(FrequencyTable[i250], 250);
  EXPECT_NEAR(MagnitudeDb(system_.Path(0)[i250]), 3.0, 1e-9);
  // 12 ms at 250 Hz is three whole periods; the inverted polarity adds 180.
  EXPECT_NEAR(std::abs(PhaseDegrees(system_.Path(0)[i250])), 180.0, 1e-9);
  // At 1 kHz 12 whole periods too.
  EXPECT_NEAR(std::abs(PhaseDegrees(system_.Path(0)[k1kHz])), 180.0, 1e-9);
}

TEST(PhaseDegrees, WrapsIntoTheHalfOpenRange) {
  struct Case {
    Complex H;
    double Degrees;
  } const cases[] = {
      {{1, 0}, 0},       {{0, 1}, 90},   {{0, -1}, -90},   {{-1, 0}, 180},
      {{-1, -0.0}, 180}, {{-1, 1}, 135}, {{-1, -1}, -135}, {{1, -1}, -45},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(PhaseDegrees(c.H), c.Degrees) << c.H;
  // A pure 1 ms delay: -360 f t, wrapped, at every grid frequency.
  ComplexArray h;
  h.fill(1.0);
  MultiplyDelay(1e-3, h);
  for (int i = 0; i < kFrequencyPoints; ++i) {
    const double phase = PhaseDegrees(h[i]);
    ASSERT_GT(phase, -180.0);
    ASSERT_LE(phase, 180.0);
    const double turns = (-360 * FrequencyTable[i] * 1e-3 - phase) / 360;
    ASSERT_NEAR(turns, std::round(turns), 1e-9) << FrequencyTable[i];
  }
  ResponseArray delay;
  GroupDelayMs(h, delay);
  for (int i = 0; i < 200; ++i) ASSERT_NEAR(delay[i], 1.0, 1e-9) << FrequencyTable[i];
}

TEST_F(SystemFixture, MagnitudesOfTheFiltersAreTheCurvesOfTheEditors) {
  // Every band kind and a band-pass crossover, on the curves the editors draw.
  Out(0).Bands[0] = {100, 660, 25, 0, 0, 0, 0};
  Out(0).Bands[1] = {200, 540, 60, 0, 1, 1, 0};
  Out(0).Bands[2] = {6000, 700, 25, 0, 0, 2, 0};
  Out(0).Bands[3] = {3000, 720, 25, 1, 0, 0, 0};  // switched off by byte 6
  Out(0).Crossover[kHighPass] = {80, 1, 3};
  Out(0).Crossover[kLowPass] = {5000, 2, 5};
  ChannelCurve curve;
  curve.AttachOutput(Out(0), 0);
  curve.ComputeAll();
  ComplexArray h;
  FilterResponse(Out(0), h);
  for (int i = 0; i < kFrequencyPoints; ++i) ASSERT_NEAR(MagnitudeDb(h[i]), curve.SumDb()[i], 1e-9) << i;
}

TEST_F(SystemFixture, OneChangedOutputGivesWhatAFreshComputationGives) {
  Out(0).Crossover[kLowPass] = {120, 0, 2};
  Out(1).Crossover[kHighPass] = {120, 0, 2};
  Out(2).Routing[0] = 1;
  Out(2).Mute = 1;
  Out(2).Gain = 590;
  system_.Select(0, 0b111);
  Out(1).Delay = 100;
  Out(1).Crossover[kHighPass].Freq = 150;
  system_.OutputChanged(1);
  SystemResponse fresh;
  fresh.Attach(store_->Inputs, store_->Outputs);
  fresh.Select(0, 0b111);
  for (int i = 0; i < kFrequencyPoints; ++i) {
    ASSERT_EQ(system_.Sum()[i], fresh.Sum()[i]) << i;
    ASSERT_EQ(system_.Path(1)[i], fresh.Path(1)[i]) << i;
  }
}

}  // namespace
}  // namespace veyra
