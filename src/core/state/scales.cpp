#include "scales.hpp"

#include <algorithm>
#include <cmath>

#include "text_format.hpp"

namespace veyra {

const std::array<double, kFrequencyPoints> FrequencyTable = {
    9.71,  10.31, 10.91, 11.51, 12.11, 12.71, 13.41, 14.11, 14.81, 15.5,  16.3,  17,
    17.8,  18.7,  19.71, 20.31, 20.91, 21.51, 22.11, 22.71, 23.41, 24.11, 24.81, 25.5,
    26.3,  27,    27.8,  28.7,  29.5,  30.4,  31.3,  32.2,  33.1,  34.1,  35.1,  36.1,
    37.2,  38.3,  39.4,  40.5,  41.7,  42.9,  44.2,  45.5,  46.8,  48.2,  49.6,  51.1,
    52.6,  54.1,  55.7,  57.3,  59,    60.7,  62.5,  64.3,  66.2,  68.2,  70.2,  72.2,
    74.3,  76.5,  78.7,  81.1,  83.4,  85.9,  88.4,  91,    93.6,  96.4,  99.2,  102,
    105,   108,   111,   115,   118,   121,   125,   129,   132,   136,   140,   144,
    149,   153,   158,   162,   167,   172,   179,   182,   187,   193,   198,   204,
    210,   216,   223,   229,   236,   243,   250,   257,   265,   273,   281,   289,
    297,   306,   315,   324,   334,   344,   354,   364,   375,   386,   397,   409,
    420,   433,   445,   459,   472,   486,   500,   515,   530,   545,   561,   578,
    595,   612,   630,   648,   667,   687,   707,   728,   749,   771,   794,   817,
    841,   866,   891,   917,   944,   972,   1000,  1030,  1060,  1090,  1123,  1155,
    1190,  1224,  1260,  1297,  1335,  1374,  1414,  1456,  1498,  1542,  1587,  1634,
    1682,  1731,  1782,  1834,  1888,  1943,  2000,  2059,  2119,  2181,  2245,  2311,
    2378,  2448,  2520,  2594,  2670,  2748,  2828,  2911,  2997,  3084,  3175,  3268,
    3364,  3462,  3564,  3668,  3776,  3886,  4000,  4117,  4238,  4362,  4490,  4621,
    4757,  4896,  5000,  5187,  5339,  5496,  5657,  5823,  5993,  6169,  6350,  6536,
    6727,  6924,  7127,  7336,  7551,  7772,  8000,  8234,  8476,  8724,  8980,  9243,
    9514,  9792,  10079, 10374, 10679, 10992, 11314, 11645, 11987, 12338, 12699, 13071,
    13454, 13849, 14254, 14672, 15102, 15545, 16000, 16469, 16951, 17448, 17959, 18486,
    19027, 19585, 20992, 21314, 21645, 21987, 22338, 22699, 23071, 23454, 23849, 24254,
    24672, 25102, 25545, 26000, 26469, 26951, 27448, 27959, 28486, 29027, 29585, 30000,
};

int FrequencyFromSliderPosition(int position) {
  const double f = std::pow(10.0, position * 0.01 + 1);
  const int hz = static_cast<int>(f);
  return hz > kFrequencyMax ? kFrequencyMax : hz;
}

int SliderPositionFromFrequency(double frequency) {
  return static_cast<int>(100 * std::log10(frequency) - 100 + 0.5);
}

namespace {

int SignificantDigits(int value) {
  while (value >= 10 && value % 10 == 0) value /= 10;
  int digits = 1;
  while (value >= 10) {
    value /= 10;
    ++digits;
  }
  return digits;
}

}  // namespace

int RoundFrequencyFromSliderPosition(int position) {
  position = std::clamp(position, 0, kFrequencySliderMax);
  const double centre = std::pow(10.0, position * 0.01 + 1);
  // The positions are half a step wide either side of the centre; one hertz
  // of slack covers the rounding at the edges, the position check decides.
  const int first =
      std::max(kFrequencyMin, static_cast<int>(std::pow(10.0, (position - 0.5) * 0.01 + 1)) - 1);
  const int last = std::min(kFrequencyMax, static_cast<int>(std::pow(10.0, (position + 0.5) * 0.01 + 1)) + 1);
  int best = -1;
  for (int hz = first; hz <= last; ++hz) {
    if (SliderPositionFromFrequency(hz) != position) continue;
    if (best < 0 || SignificantDigits(hz) < SignificantDigits(best) ||
        (SignificantDigits(hz) == SignificantDigits(best) &&
         std::abs(std::log(hz / centre)) < std::abs(std::log(best / centre))))
      best = hz;
  }
  return best >= 0 ? best : FrequencyFromSliderPosition(position);
}

int NearestFrequencyIndex(double frequency) {
  for (int i = 0; i < kFrequencyPoints; ++i) {
    if (FrequencyTable[i] >= frequency) {
      if (i == 0) return 0;
      const double above = FrequencyTable[i] - frequency;
      const double below = frequency - FrequencyTable[i - 1];
      return above <= below ? i : i - 1;
    }
  }
  return kFrequencyPoints - 1;
}

double GainDb(int code) { return code * 0.1 - 60; }

std::string GainText(int code) {
  return code > kGainZero ? Format("+%0.1fdB", GainDb(code)) : Format("%0.1fdB", GainDb(code));
}

std::string GainText2(int code) {
  return code > kGainZero ? Format("+%0.2fdB", GainDb(code)) : Format("%0.2fdB", GainDb(code));
}

std::string GainTableText(int code) { return Format("%0.1fdB", GainDb(code)); }

int ChannelGainFromTypedDb(double db) {
  if (!(db > -36.0)) return kChannelGainMin;  // also a value that is not a number
  if (db >= 20.0) return kChannelGainMax;
  return kGainZero - static_cast<int>(std::trunc(-10.0 * db));
}

std::string ChannelGainText(int code) { return code == kChannelGainMin ? "OFF" : GainText(code); }

std::string GainNumberText(int code) { return Format("%0.1f", GainDb(code)); }

std::string FrequencyText(int hz) { return Format("%dHz", hz); }

double WidthOctaves(int code) { return 0.05 + 0.01 * code; }
std::string WidthText(int code) { return Format("%0.2fOCT", WidthOctaves(code)); }
std::string WidthTableText(int code) { return Format("%0.2foct", WidthOctaves(code)); }
int WidthFromSliderPosition(int position) { return 5 * position; }
int SliderPositionFromWidth(int code) { return code / 5; }

int ShelfSlopeDbPerOctave(int code) { return 6 * (code + 1); }
std::string ShelfSlopeText(int code) { return Format("%d OCT", ShelfSlopeDbPerOctave(code)); }
std::string ShelfSlopeTableText(int code) {
  switch (code) {
    case 0: return "6oct";
    case 1: return "12oct";
    default: return {};
  }
}

std::string EqTypeText(int code) {
  switch (code) {
    case 0: return "PEQ";
    case 1: return "LSHLF";
    case 2: return "HSHLF";
    default: return {};
  }
}

std::string CrossoverTypeText(int code) {
  switch (code) {
    case 0: return "L-R";
    case 1: return "BESL";
    case 2: return "BUTT";
    default: return {};
  }
}

int CrossoverSlopeDbPerOctave(int code) { return 12 + 6 * code; }

std::string CrossoverShapeText(int highPassHz, int lowPassHz) {
  const bool highPass = highPassHz > kFrequencyMin;
  const bool lowPass = lowPassHz < kFrequencyMax;
  return highPass && lowPass ? "BP" : highPass ? "HP" : lowPass ? "LP" : "NONE";
}

std::string CrossoverSlopeText(int code) {
  if (code < 0 || code > kCrossoverSlopeMax) return {};
  return Format("%ddB", CrossoverSlopeDbPerOctave(code));
}

double DelayMs(int code) {
  return code <= kDelayFineMax ? code / 48.0 : static_cast<double>(code - 470);
}

std::string DelayText(int code) {
  return code <= kDelayFineMax ? Format("%0.3fms", code / 48.0) : Format("%dms", code - 470);
}

std::string DelayNumberText(int code) {
  return code <= kDelayFineMax ? Format("%0.3f", code / 48.0) : Format("%d", code - 470);
}

double SpeedOfSound(int temperatureC) { return 331 + 0.6 * temperatureC; }

namespace {

// The milliseconds the time text shows ("%0.3f"): the distances are worked
// out from what the operator reads, so that they agree with it to the last
// digit. Where code * 1000 / 48 ends in exactly one half (code 15: 312.5 us)
// the value is exact in binary and the text rounds it to even, as nearbyint does.
double ShownDelayMs(int code) {
  return code <= kDelayFineMax ? std::nearbyint(code * 1000.0 / 48.0) / 1000.0 : DelayMs(code);
}

}  // namespace

double DelayMetres(int code, int temperatureC) {
  return ShownDelayMs(code) * SpeedOfSound(temperatureC) * 0.001;
}

double DelayFeet(int code, int temperatureC) {
  return ShownDelayMs(code) * SpeedOfSound(temperatureC) * 0.00328;
}

std::string DelayMetresText(int code, int temperatureC) {
  return Format("%0.3fM", DelayMetres(code, temperatureC));
}

std::string DelayFeetText(int code, int temperatureC) {
  return Format("%0.3fFt", DelayFeet(code, temperatureC));
}

int NoiseGateDb(int code) { return code - 120; }
std::string NoiseGateText(int code) { return Format("%ddB", NoiseGateDb(code)); }

double DynamicsThresholdDb(int code) { return code * 0.1 - 30; }
std::string ThresholdTableText(int code) { return Format("%0.1fdB", DynamicsThresholdDb(code)); }
std::string ThresholdNumberText(int code) { return Format("%0.1f", DynamicsThresholdDb(code)); }

double AttackMs(int code) { return code <= 6 ? code * 0.1 + 0.3 : static_cast<double>(code - 6); }

std::string AttackText(int code) {
  return code <= 6 ? Format("%0.1fms", AttackMs(code)) : Format("%dms", code - 6);
}

int LimiterReleaseMultiple(int code) {
  static constexpr int kMultiples[kLimiterReleaseMax + 1] = {2, 4, 6, 8, 16, 32};
  return code >= 0 && code <= kLimiterReleaseMax ? kMultiples[code] : 0;
}

std::string LimiterReleaseTableText(int code) {
  const int multiple = LimiterReleaseMultiple(code);
  return multiple == 0 ? std::string() : Format("X%d", multiple);
}

// The limiter editor writes the multiplication sign of the device code page
// (A1 C1), which is U+00D7; our texts are UTF-8.
std::string LimiterReleaseFieldText(int code) {
  const int multiple = LimiterReleaseMultiple(code);
  return multiple == 0 ? std::string() : Format("\xC3\x97%d", multiple);
}

std::string CompressorThresholdText(int code) { return Format("%0.1f dB", DynamicsThresholdDb(code)); }

std::string LimiterThresholdText(int code) {
  return code > kThresholdZero ? Format("+%0.1f dB", DynamicsThresholdDb(code))
                               : Format("%0.1f dB", DynamicsThresholdDb(code));
}

int CompressorReleaseMs(int code) { return code + 50; }
std::string CompressorReleaseText(int code) { return Format("%dms", CompressorReleaseMs(code)); }

int CompressorRatioMultiple(int code) {
  return code >= 0 && code <= kCompressorRatioMax ? 1 << code : 0;
}

std::string CompressorRatioText(int code) {
  const int multiple = CompressorRatioMultiple(code);
  return multiple == 0 ? std::string() : Format("1:%d", multiple);
}

namespace {

// trunc(v) of a typed decimal scaled up, for a v known to lie strictly
// between two int limits. The typed digits decide, not the binary rounding
// of the product: 1.15 octaves is 115 hundredths although 100 * 1.15 comes
// out as 114.99999999999999.
int Trunc(double v) { return static_cast<int>(std::trunc(v + std::copysign(1e-9, v))); }

}  // namespace

int FrequencyFromTypedHz(double hz) {
  if (!(hz > kFrequencyMin)) return kFrequencyMin;
  if (hz >= kFrequencyMax) return kFrequencyMax;
  return Trunc(hz);
}

int EqGainFromTypedDb(double db) {
  if (!(db > -30.0)) return kEqGainMin;
  if (db >= 15.0) return kEqGainMax;
  return kGainZero + Trunc(10.0 * db);
}

int WidthFromTypedOctaves(double octaves) {
  if (!(octaves > 0.05)) return 0;
  if (octaves >= 3.0) return kWidthMax;
  return 5 * (Trunc(100.0 * octaves) / 5) - 5;
}

int ShelfSlopeFromTypedDbPerOctave(double db) { return db >= 12.0 ? 1 : 0; }

int CrossoverSlopeFromTypedDbPerOctave(double db) {
  if (!(db > 12.0)) return 0;
  if (db >= 48.0) return kCrossoverSlopeMax;
  return (Trunc(db) - 12) / 6;
}

int DelayFromTypedMs(double ms) {
  if (!(ms >= 0.0)) return 0;
  if (ms < 10.0) return Trunc(ms * 48.0);
  if (ms < 1000.0) return Trunc(ms) + 470;
  return kDelayMax;
}

int DelayFromTypedMetres(double metres, int temperatureC) {
  return DelayFromTypedMs(metres * 1000.0 / SpeedOfSound(temperatureC));
}

int DelayFromTypedFeet(double feet, int temperatureC) {
  // 1000 / 3.28: the same foot the feet text is written with.
  return DelayFromTypedMs(feet * 304.8780487804878 / SpeedOfSound(temperatureC));
}

int NoiseGateFromTypedDb(double db) {
  if (!(db > -120.0)) return 0;
  if (db >= 0.0) return kNoiseGateMax;
  return kNoiseGateMax - Trunc(-db);
}

int ThresholdFromTypedDb(double db) {
  if (!(db > -30.0)) return 0;
  if (db >= 20.0) return kThresholdMax;
  return kThresholdZero - Trunc(-10.0 * db);
}

int AttackFromTypedMs(double ms, int maxCode) {
  if (!(ms > 0.3)) return 0;
  if (ms >= AttackMs(maxCode)) return maxCode;
  if (ms < 1.0) return Trunc(10.0 * ms) - 3;
  return Trunc(ms) + 6;
}

int CompressorReleaseFromTypedMs(double ms) {
  if (!(ms > 50.0)) return 0;
  if (ms >= 5000.0) return kCompressorReleaseMax;
  return Trunc(ms) - 50;
}

int CompressorRatioFromTyped(double ratio) {
  int code = 0;
  while (code < kCompressorRatioMax && CompressorRatioMultiple(code + 1) <= ratio) ++code;
  return code;
}

int LimiterReleaseFromTypedMultiple(double multiple) {
  int code = 0;
  while (code < kLimiterReleaseMax && LimiterReleaseMultiple(code + 1) <= multiple) ++code;
  return code;
}

int MicGainFromTypedDb(double db) {
  if (!(db > -60.0)) return 0;
  if (db >= 12.0) return kMicGainMax;
  return kGainZero - Trunc(-10.0 * db);
}

std::string FormatValueText(int kind, int value) {
  switch (kind) {
    case kKindFrequency4:
    case kKindFrequency8:
    case kKindFrequency9:
      return Format("%dHz", value);
    case kKindQ:
      return Format("Q:%0.2f", (value + 1) * 0.01);
    case kKindGain:
      return Format("G:%0.1f", value * 0.1 - 60);
    case kKindDbu:
      return value == 0 ? "OFF" : Format("%ddBu", value - 120);
    case kKindDelay:
      return DelayText(value);
    case kKindPercent:
      return value <= 0 ? "OFF" : Format("%0.1f%%", static_cast<double>(value));
    case kKindLevelDb:
      return value >= 720 ? "OFF" : Format("%0.1fdB", value * 0.1 - 60);
    case kKindAttackMs:
      return Format("%0.1fms", AttackMs(value));
    case kKindReleaseMs:
      return Format("%0.1fms", static_cast<double>(value));
    case kKindRatio:
      return Format("1:%0.1f", static_cast<double>(value));
    default:
      return "NULL";
  }
}

bool IsWheelSteppedKind(int kind) {
  switch (kind) {
    case 4: case 7: case 8: case 9: case 10:
    case 42: case 43: case 44: case 45: case 46: case 47: case 48:
      return true;
    default:
      return false;
  }
}

}  // namespace veyra
