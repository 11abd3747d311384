// The texts and typed-entry readers behind the parameter descriptors. The
// codes are converted by the scales module; this layer only reads what a
// person types (a number with or without its unit, or a caption) and picks
// the scale's text for a code. Internal to the parameter table.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/parameter_store.hpp"

namespace veyra::params {

// A unit that may follow a typed number, and what the number is multiplied by.
struct Unit {
  std::string_view Name;  // lower case; matched in any case
  double Factor = 1.0;
};

// A decimal number ("-6", "+3.25", ".5"), optionally followed by one of the
// units; spaces around are allowed. nullopt for anything else, including a
// number followed by a unit the parameter does not take.
std::optional<double> ReadNumber(std::string_view typed, std::initializer_list<Unit> units);

// The index of the caption the text names, in any case and with spaces,
// hyphens and underscores ignored ("lr" and "L-R" alike); nullopt when none.
std::optional<int> MatchCaption(std::string_view typed, const std::vector<std::string>& captions);

using TextFn = std::string (*)(const ParameterStore& store, int code);
using ParseFn = std::optional<int> (*)(std::string_view typed);

// Captions of the closed sets, for codes 0, 1, ...
std::vector<std::string> MuteChoices();      // "on" (code 0, muted), "off"
std::vector<std::string> PolarityChoices();  // "normal", "inverted"
std::vector<std::string> OnOffChoices();     // "off", "on"
std::vector<std::string> MicLineChoices();   // "line", "mic"
std::vector<std::string> EqTypeChoices();
std::vector<std::string> ShelfSlopeChoices();
std::vector<std::string> CrossoverTypeChoices();

// One text and one reader per kind of parameter.
std::string ChannelGainCodeText(const ParameterStore&, int code);
std::optional<int> ParseChannelGain(std::string_view typed);
std::string MuteCodeText(const ParameterStore&, int code);
std::optional<int> ParseMute(std::string_view typed);
std::string PolarityCodeText(const ParameterStore&, int code);
std::optional<int> ParsePolarity(std::string_view typed);
std::string OnOffCodeText(const ParameterStore&, int code);
std::optional<int> ParseOnOff(std::string_view typed);
std::string DelayCodeText(const ParameterStore&, int code);
std::optional<int> ParseDelay(std::string_view typed);

std::string MicLineCodeText(const ParameterStore&, int code);
std::optional<int> ParseMicLine(std::string_view typed);
std::string MicGainCodeText(const ParameterStore&, int code);
std::optional<int> ParseMicGain(std::string_view typed);
std::string NoiseGateCodeText(const ParameterStore&, int code);
std::optional<int> ParseNoiseGate(std::string_view typed);

std::string EqTypeCodeText(const ParameterStore&, int code);
std::optional<int> ParseEqType(std::string_view typed);
std::string FrequencyCodeText(const ParameterStore&, int code);
std::optional<int> ParseFrequency(std::string_view typed);
std::string EqGainCodeText(const ParameterStore&, int code);
std::optional<int> ParseEqGain(std::string_view typed);
std::string WidthCodeText(const ParameterStore&, int code);
std::optional<int> ParseWidth(std::string_view typed);
std::string ShelfSlopeCodeText(const ParameterStore&, int code);
std::optional<int> ParseShelfSlope(std::string_view typed);

std::string CrossoverTypeCodeText(const ParameterStore&, int code);
std::optional<int> ParseCrossoverType(std::string_view typed);
std::string CrossoverSlopeCodeText(const ParameterStore&, int code);
std::optional<int> ParseCrossoverSlope(std::string_view typed);

std::string CompressorThresholdCodeText(const ParameterStore&, int code);
std::string LimiterThresholdCodeText(const ParameterStore&, int code);
std::optional<int> ParseThreshold(std::string_view typed);
std::string AttackCodeText(const ParameterStore&, int code);
std::optional<int> ParseCompressorAttack(std::string_view typed);
std::optional<int> ParseLimiterAttack(std::string_view typed);
std::string CompressorReleaseCodeText(const ParameterStore&, int code);
std::optional<int> ParseCompressorRelease(std::string_view typed);
std::string CompressorRatioCodeText(const ParameterStore&, int code);
std::optional<int> ParseCompressorRatio(std::string_view typed);
std::string LimiterReleaseCodeText(const ParameterStore&, int code);
std::optional<int> ParseLimiterRelease(std::string_view typed);

}  // namespace veyra::params
