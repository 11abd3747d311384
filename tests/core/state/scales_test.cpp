#include <gtest/gtest.h>

#include <cmath>

#include "state/device_text.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

TEST(FrequencySlider, PositionsAndFrequencies) {
  struct Case { int position; int hz; };
  for (const Case c : {Case{0, 10}, {200, 1000}, {348, 30000}, {347, 29512}, {30, 19}}) {
    EXPECT_EQ(FrequencyFromSliderPosition(c.position), c.hz) << c.position;
  }
  struct Back { double hz; int position; };
  for (const Back c : {Back{10, 0}, {30000, 348}, {21, 32}, {15, 18}}) {
    EXPECT_EQ(SliderPositionFromFrequency(c.hz), c.position) << c.hz;
  }
  // Truncation to whole hertz can only move a position down when it is read
  // back, and never by more than one position above 100 Hz; the mapping never falls.
  int last = -1;
  for (int p = 0; p <= kFrequencySliderMax; ++p) {
    const int back = SliderPositionFromFrequency(FrequencyFromSliderPosition(p));
    EXPECT_LE(back, p) << p;
    if (p >= 100) {
      EXPECT_GE(back, p - 1) << p;
    }
    EXPECT_GE(back, last) << p;
    last = back;
  }
}

TEST(FrequencySlider, StoresTheRoundestFrequencyOfAPosition) {
  // 10^1.90 = 79.4 and 10^1.91 = 81.3: truncated, no position gives 80 Hz.
  struct Case {
    int position;
    int hz;
  };
  for (const Case c : {Case{90, 80},
                       {91, 81},
                       {0, 10},
                       {100, 100},
                       {200, 1000},
                       {170, 500},
                       {95, 90},
                       {347, 29500},
                       {348, 30000},
                       {1, 10}}) {
    EXPECT_EQ(RoundFrequencyFromSliderPosition(c.position), c.hz) << c.position;
  }
  // Every position that some whole frequency has gives one of them back, and
  // the frequencies never fall along the slider.
  int last = 0;
  for (int p = 0; p <= kFrequencySliderMax; ++p) {
    const int hz = RoundFrequencyFromSliderPosition(p);
    if (p > 55) {  // below, some positions lie between two whole hertz
      EXPECT_EQ(SliderPositionFromFrequency(hz), p) << p;
    }
    EXPECT_GE(hz, last) << p;
    last = hz;
  }
}

TEST(FrequencyTable, EntriesAndTheIrregularTop) {
  EXPECT_EQ(FrequencyTable[90], 179);  // listed as is, though 177 would fit the series
  for (int i = 254; i <= 263; ++i) EXPECT_EQ(FrequencyTable[i], FrequencyTable[i - 21] + 10000) << i;
  for (int i = 1; i < kFrequencyPoints; ++i) EXPECT_LT(FrequencyTable[i - 1], FrequencyTable[i]) << i;
  double sum = 0;
  for (double f : FrequencyTable) sum += f;
  EXPECT_NEAR(sum, 1240297.48, 1e-6);  // the listed entries, summed outside the build
}

TEST(FrequencyTable, NearestIndex) {
  struct Case { double hz; int index; };
  for (const Case c : {Case{5, 0}, {9.71, 0}, {10, 0}, {10.02, 1}, {1000, 150}, {1015, 151}, {1014.9, 150},
                       {30000, 275}, {40000, 275}, {20000, 253}, {20400, 254}}) {
    EXPECT_EQ(NearestFrequencyIndex(c.hz), c.index) << c.hz;
  }
}

TEST(Gain, TextsAndDecibels) {
  struct Case { int code; const char* one; const char* two; };
  for (const Case c : {Case{600, "0.0dB", "0.00dB"}, {601, "+0.1dB", "+0.10dB"}, {599, "-0.1dB", "-0.10dB"},
                       {0, "-60.0dB", "-60.00dB"}}) {
    EXPECT_EQ(GainText(c.code), c.one) << c.code;
    EXPECT_EQ(GainText2(c.code), c.two) << c.code;
  }
  EXPECT_DOUBLE_EQ(GainDb(720), 12.0);
}

TEST(Gain, ChannelGainTypedAndShown) {
  struct Typed { double db; int code; };
  // The typed texts' cases are the parameter table's; here the steps next to the ends.
  for (const Typed& t : {Typed{-3.27, 568}, {19.99, 799}, {-35.99, 241}}) {
    EXPECT_EQ(ChannelGainFromTypedDb(t.db), t.code) << t.db;
  }
  EXPECT_EQ(ChannelGainFromTypedDb(std::nan("")), kChannelGainMin);
  struct Shown { int code; const char* text; const char* number; };
  for (const Shown& c : {Shown{240, "OFF", "-36.0"}, {241, "-35.9dB", "-35.9"}, {601, "+0.1dB", "0.1"}}) {
    EXPECT_EQ(ChannelGainText(c.code), c.text) << c.code;
    EXPECT_EQ(GainNumberText(c.code), c.number) << c.code;
  }
  EXPECT_EQ(ThresholdNumberText(250), "-5.0");
}

TEST(Crossover, ShapeFromTheTwoFrequencies) {
  EXPECT_EQ(CrossoverShapeText(10, 30000), "NONE");
  EXPECT_EQ(CrossoverShapeText(80, 30000), "HP");
  EXPECT_EQ(CrossoverShapeText(10, 120), "LP");
  EXPECT_EQ(CrossoverShapeText(80, 120), "BP");
}

TEST(Texts, WidthsTypesSlopesAndNoiseGate) {
  struct Case { std::string text; const char* expected; };
  for (const Case& c :
       {Case{WidthText(295), "3.00OCT"}, {WidthTableText(25), "0.30oct"}, {ShelfSlopeTableText(1), "12oct"},
        {ShelfSlopeTableText(2), ""}, {EqTypeText(2), "HSHLF"}, {EqTypeText(3), ""}, {CrossoverTypeText(1), "BESL"},
        {CrossoverTypeText(9), ""}, {CrossoverSlopeText(3), "30dB"}, {CrossoverSlopeText(7), ""},
        {NoiseGateText(0), "-120dB"}, {NoiseGateText(120), "0dB"}}) {
    EXPECT_EQ(c.text, c.expected);
  }
  EXPECT_EQ(WidthFromSliderPosition(59), 295);
  EXPECT_EQ(SliderPositionFromWidth(29), 5);  // integer division, not rounding
  EXPECT_EQ(SliderPositionFromWidth(30), 6);
  EXPECT_DOUBLE_EQ(WidthOctaves(95), 1.0);
}

TEST(Delay, TextsAndDistances) {
  struct Case { int code; const char* text; const char* number; };
  for (const Case c : {Case{1, "0.021ms", "0.021"}, {480, "10.000ms", "10.000"}, {481, "11ms", "11"}}) {
    EXPECT_EQ(DelayText(c.code), c.text) << c.code;
    EXPECT_EQ(DelayNumberText(c.code), c.number) << c.code;
  }
  // 10 ms at 28 degrees: c = 347.8 m/s.
  EXPECT_EQ(DelayMetresText(480, 28), "3.478M");
  EXPECT_EQ(DelayFeetText(480, 28), "11.408Ft");
  EXPECT_EQ(DelayMetresText(481, 0), "3.641M");
  // From the time as shown, at 20 degrees (343 m/s): code 4 shows 0.083 ms,
  // 0.083 * 0.343 = 0.02847 m and 0.083 * 1.12504 = 0.09338 ft, where the
  // exact 0.08333 ms would give 0.029 M and 0.094 Ft; code 1 shows 0.021 ms,
  // 0.02363 ft (the exact 0.02083 ms would give 0.02344, "0.023Ft").
  EXPECT_EQ(DelayMetresText(4, 20), "0.028M");
  EXPECT_EQ(DelayFeetText(4, 20), "0.093Ft");
  EXPECT_EQ(DelayFeetText(1, 20), "0.024Ft");
  EXPECT_EQ(DelayFeetText(15, 20), "0.351Ft");  // 0.312 ms shown, 0.3125 exactly
}

TEST(ValueDisplay, EveryKind) {
  struct Case { int kind; int value; const char* text; };
  for (const Case c : {Case{4, 1000, "1000Hz"}, {7, 0, "Q:0.01"}, {10, 750, "G:15.0"},
                       {42, 0, "OFF"}, {42, 100, "-20dBu"}, {42, 130, "10dBu"}, {43, 481, "11ms"},
                       {44, -3, "OFF"}, {44, 50, "50.0%"}, {45, 719, "11.9dB"}, {45, 720, "OFF"},
                       {46, 6, "0.9ms"}, {46, 7, "1.0ms"}, {47, 25, "25.0ms"}, {48, 4, "1:4.0"},
                       {0, 5, "NULL"}, {11, 5, "NULL"}, {49, 5, "NULL"}}) {
    EXPECT_EQ(FormatValueText(c.kind, c.value), c.text) << c.kind << " " << c.value;
  }
  for (int k : {4, 7, 8, 9, 10, 42, 43, 44, 45, 46, 47, 48}) EXPECT_TRUE(IsWheelSteppedKind(k)) << k;
  for (int k : {0, 5, 6, 11, 41, 49}) EXPECT_FALSE(IsWheelSteppedKind(k)) << k;
}

// The limiter editor's release field: the device code page's multiplication
// sign and the multiple; nothing for a code the scale does not know.
TEST(Dynamics, LimiterReleaseFieldText) {
  const std::string times = DecodeDeviceText("\xA1\xC1");
  const std::pair<int, std::string> cases[] = {
      {0, times + "2"}, {3, times + "8"}, {5, times + "32"}, {6, ""}, {-1, ""}};
  for (const auto& [code, text] : cases) EXPECT_EQ(LimiterReleaseFieldText(code), text) << code;
}

}  // namespace
}  // namespace veyra
