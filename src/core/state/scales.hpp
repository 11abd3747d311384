// Codes, scales and display texts of every shared parameter. Pure functions;
// no other module converts these codes on its own.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace veyra {

// ---- Frequencies ----------------------------------------------------------
inline constexpr int kFrequencyMin = 10;
inline constexpr int kFrequencyMax = 30000;
inline constexpr int kFrequencySliderMax = 348;  // 100 positions per decade from 10 Hz

int FrequencyFromSliderPosition(int position);   // truncated, capped at 30000
int SliderPositionFromFrequency(double frequency);  // nearest position, halves up

inline constexpr int kFrequencyPoints = 276;
extern const std::array<double, kFrequencyPoints> FrequencyTable;
int NearestFrequencyIndex(double frequency);

// ---- Gain (0.1 dB steps, 600 = 0 dB) -----------------------------------------
inline constexpr int kGainZero = 600;
inline constexpr int kEqGainMin = 300;  // -30 dB
inline constexpr int kEqGainMax = 750;  // +15 dB
double GainDb(int code);
std::string GainText(int code);     // "%0.1fdB", "+%0.1fdB" above 600
std::string GainText2(int code);    // the same with two decimals
std::string GainTableText(int code);  // "%0.1fdB" with no plus sign (data view)

// The channel gain of the faders and entry fields: -36.0 .. +20.0 dB; a
// fader's position is kChannelGainMax - code.
inline constexpr int kChannelGainMin = 240;
inline constexpr int kChannelGainMax = 800;
// A typed gain in dB: at or below -36.0 the minimum, at or above +20.0 the
// maximum, otherwise 600 - trunc(-10 * dB).
int ChannelGainFromTypedDb(double db);
std::string ChannelGainText(int code);  // GainText, "OFF" at the minimum
std::string GainNumberText(int code);   // "%0.1f" of the dB (the strips' readouts)

std::string FrequencyText(int hz);  // "%dHz"

// ---- Width of a peaking band ---------------------------------------------------
inline constexpr int kWidthMax = 295;
inline constexpr int kWidthSliderMax = 59;
double WidthOctaves(int code);
std::string WidthText(int code);           // "%0.2fOCT" (editors)
std::string WidthTableText(int code);      // "%0.2foct" (data view)
int WidthFromSliderPosition(int position); // 5 codes per step
int SliderPositionFromWidth(int code);

// ---- Shelf slope, band and crossover types -------------------------------------
int ShelfSlopeDbPerOctave(int code);        // 6 or 12
std::string ShelfSlopeText(int code);       // "%d OCT"
std::string ShelfSlopeTableText(int code);  // "6oct" / "12oct"; empty when out of range

enum class EqType : uint8_t { Peaking = 0, LowShelf = 1, HighShelf = 2 };
std::string EqTypeText(int code);  // "PEQ", "LSHLF", "HSHLF"; empty when out of range

enum class CrossoverType : uint8_t { LinkwitzRiley = 0, Bessel = 1, Butterworth = 2 };
std::string CrossoverTypeText(int code);  // "L-R", "BESL", "BUTT"; empty when out of range

// A crossover's shape from its two frequencies: "NONE" (both open), "HP",
// "LP" or "BP" (both closing in).
std::string CrossoverShapeText(int highPassHz, int lowPassHz);

inline constexpr int kCrossoverSlopeMax = 6;
int CrossoverSlopeDbPerOctave(int code);    // 12 + 6 * code
std::string CrossoverSlopeText(int code);   // "12dB".."48dB"; empty when out of range

// ---- Delay ---------------------------------------------------------------------
inline constexpr int kDelayFineMax = 480;  // up to here one step is one sample at 48 kHz
double DelayMs(int code);
std::string DelayText(int code);       // "%0.3fms" / "%dms"
std::string DelayNumberText(int code); // "%0.3f" / "%d"
double SpeedOfSound(int temperatureC);  // m/s
double DelayMetres(int code, int temperatureC);
double DelayFeet(int code, int temperatureC);
std::string DelayMetresText(int code, int temperatureC);  // "%0.3fM"
std::string DelayFeetText(int code, int temperatureC);    // "%0.3fFt"

// ---- Noise gate ----------------------------------------------------------------
int NoiseGateDb(int code);
std::string NoiseGateText(int code);  // "%ddB"

// ---- Compressor and limiter ----------------------------------------------------
// Thresholds of both dynamics blocks share one scale: 0.1 dB steps from -30 dB.
double DynamicsThresholdDb(int code);
std::string ThresholdTableText(int code);  // "%0.1fdB" (data view)
std::string ThresholdNumberText(int code);  // "%0.1f" (the strips' readouts)
// Attack: 0.1 ms steps from 0.3 ms up to code 6, then whole milliseconds (7 is 1 ms).
double AttackMs(int code);
std::string AttackText(int code);  // "%0.1fms" up to code 6, "%dms" above
// Limiter release as a multiple of the attack time: x2, x4, x6, x8, x16, x32.
inline constexpr int kLimiterReleaseMax = 5;
int LimiterReleaseMultiple(int code);            // 0 when out of range
std::string LimiterReleaseTableText(int code);  // "X%d"; empty when out of range

// ---- Value readouts ------------------------------------------------------------
// The kinds a value readout control can hold; any other number shows "NULL".
enum ValueDisplayKind : int {
  kKindFrequency4 = 4,
  kKindQ = 7,
  kKindFrequency8 = 8,
  kKindFrequency9 = 9,
  kKindGain = 10,
  kKindDbu = 42,
  kKindDelay = 43,
  kKindPercent = 44,
  kKindLevelDb = 45,
  kKindAttackMs = 46,
  kKindReleaseMs = 47,
  kKindRatio = 48,
};
std::string FormatValueText(int kind, int value);
bool IsWheelSteppedKind(int kind);

}  // namespace veyra
