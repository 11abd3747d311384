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
// What a frequency slider stores at a position: of the whole frequencies whose
// position it is, the one with the fewest significant digits (the nearest to
// the position's own frequency among equals), so that 80, 100 and 1000 Hz
// can be set; the truncated value where no whole frequency has the position.
int RoundFrequencyFromSliderPosition(int position);

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
// The distances of the milliseconds the time text shows, not of the exact delay.
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
std::string LimiterReleaseFieldText(int code);  // "\u00D7%d" (the editor's field); empty when out of range

// The editors' ranges of the dynamics codes.
inline constexpr int kThresholdZero = 300;  // 0.0 dB
inline constexpr int kThresholdMax = 500;   // +20.0 dB
inline constexpr int kCompressorAttackMax = 206;  // 200 ms
inline constexpr int kLimiterAttackMax = 106;     // 100 ms
inline constexpr int kCompressorReleaseMax = 4950;
inline constexpr int kCompressorRatioMax = 6;
std::string CompressorThresholdText(int code);  // "%0.1f dB", no plus sign
std::string LimiterThresholdText(int code);     // "%0.1f dB", "+%0.1f dB" above 300
int CompressorReleaseMs(int code);              // code + 50
std::string CompressorReleaseText(int code);    // "%dms"
int CompressorRatioMultiple(int code);          // 2^code; 0 when out of range
std::string CompressorRatioText(int code);      // "1:%d"; empty when out of range

// ---- Other editor ranges -------------------------------------------------------
inline constexpr int kNoiseGateMax = 120;  // 0 dB
inline constexpr int kDelayMax = 1470;     // 1000 ms
inline constexpr int kMicGainMax = 720;    // +12.0 dB, same steps as GainCode

// ---- Typed entry ---------------------------------------------------------------
// A value typed into an entry field (in the unit of its display text) to a
// code. Every rule clamps at the ends of the editors' range, also for a value
// that is not a number, and truncates toward zero in between.
int FrequencyFromTypedHz(double hz);      // the whole hertz, 10 .. 30000
int EqGainFromTypedDb(double db);         // 600 + trunc(10 dB), 300 .. 750
int WidthFromTypedOctaves(double octaves);  // 5 * (trunc(100 v) div 5) - 5, 0 .. 295
int ShelfSlopeFromTypedDbPerOctave(double db);   // below 12 the 6 dB slope
int CrossoverSlopeFromTypedDbPerOctave(double db);  // steps of 6 from 12, 0 .. 6
// Below 10 ms one sample per 1/48 ms, from 10 ms whole milliseconds + 470.
int DelayFromTypedMs(double ms);
// A typed distance at the temperature's speed of sound: first to milliseconds,
// then the typed-time rule.
int DelayFromTypedMetres(double metres, int temperatureC);
int DelayFromTypedFeet(double feet, int temperatureC);
int NoiseGateFromTypedDb(double db);      // whole dB + 120, 0 .. 120
int ThresholdFromTypedDb(double db);      // 300 - trunc(-10 dB), 0 .. 500
// Below 1 ms tenths from 0.3 ms, from 1 ms whole milliseconds + 6; maxCode is
// the editor's largest code (206 compressor, 106 limiter).
int AttackFromTypedMs(double ms, int maxCode);
int CompressorReleaseFromTypedMs(double ms);    // whole ms - 50, 0 .. 4950
int CompressorRatioFromTyped(double ratio);     // the largest 2^code not above it
int LimiterReleaseFromTypedMultiple(double multiple);  // the largest multiple not above it
int MicGainFromTypedDb(double db);              // 600 - trunc(-10 dB), 0 .. 720

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
