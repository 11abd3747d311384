#include "params/param_rules.hpp"

#include <cctype>
#include <charconv>

#include "params/param_table.hpp"
#include "state/scales.hpp"

namespace veyra::params {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// Lower case without the separators people write or leave out.
std::string Normalised(std::string_view s) {
  std::string out;
  for (const char c : s)
    if (c != ' ' && c != '-' && c != '_' && c != '\t')
      out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// The displayed texts put a typographic minus in no text, but people paste one.
constexpr std::string_view kUnicodeMinus = "\xE2\x88\x92";

std::vector<std::string> CaptionsOf(std::string (*text)(int), int count) {
  std::vector<std::string> captions;
  for (int code = 0; code < count; ++code) captions.push_back(text(code));
  return captions;
}

// The caption of code in a closed set, or the bare code for a stored value
// no editor can set (a damaged file, a reply from other firmware).
std::string ChoiceText(const std::vector<std::string>& captions, int code) {
  if (code >= 0 && static_cast<size_t>(code) < captions.size()) return captions[static_cast<size_t>(code)];
  return std::to_string(code);
}

template <int (*Rule)(double)>
std::optional<int> Typed(std::string_view typed, std::initializer_list<Unit> units) {
  const std::optional<double> v = ReadNumber(typed, units);
  if (!v) return std::nullopt;
  return Rule(*v);
}

}  // namespace

std::optional<double> ReadNumber(std::string_view typed, std::initializer_list<Unit> units) {
  std::string_view s = Trim(typed);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  } else if (s.substr(0, kUnicodeMinus.size()) == kUnicodeMinus) {
    negative = true;
    s.remove_prefix(kUnicodeMinus.size());
  }
  // from_chars also reads "inf", "nan" and a second sign; none is a typed value.
  if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s.front())) || s.front() == '.'))
    return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
  if (error != std::errc()) return std::nullopt;
  const std::string_view unit = Trim(s.substr(static_cast<size_t>(end - s.data())));
  double factor = 1.0;
  if (!unit.empty()) {
    const Unit* found = nullptr;
    for (const Unit& u : units)
      if (EqualsNoCase(unit, u.Name)) found = &u;
    if (!found) return std::nullopt;
    factor = found->Factor;
  }
  return (negative ? -value : value) * factor;
}

std::optional<int> MatchCaption(std::string_view typed, const std::vector<std::string>& captions) {
  const std::string wanted = Normalised(typed);
  if (wanted.empty()) return std::nullopt;
  for (size_t i = 0; i < captions.size(); ++i)
    if (Normalised(captions[i]) == wanted) return static_cast<int>(i);
  return std::nullopt;
}

std::vector<std::string> MuteChoices() { return {"on", "off"}; }
std::vector<std::string> PolarityChoices() { return {"normal", "inverted"}; }
std::vector<std::string> OnOffChoices() { return {"off", "on"}; }
std::vector<std::string> MicLineChoices() { return {"line", "mic"}; }
std::vector<std::string> EqTypeChoices() { return CaptionsOf(EqTypeText, 3); }
std::vector<std::string> ShelfSlopeChoices() { return CaptionsOf(ShelfSlopeText, 2); }
std::vector<std::string> CrossoverTypeChoices() { return CaptionsOf(CrossoverTypeText, 3); }

// ---- Channel level ---------------------------------------------------------------

std::string ChannelGainCodeText(const ParameterStore&, int code) { return ChannelGainText(code); }

std::optional<int> ParseChannelGain(std::string_view typed) {
  // The strips show the lowest gain as "OFF"; what is shown can be typed back.
  if (MatchCaption(typed, {"off"})) return kChannelGainMin;
  return Typed<ChannelGainFromTypedDb>(typed, {{"db"}});
}

// Mute 1 lets the signal pass: "on" (muted) is code 0; any code but 0 passes.
std::string MuteCodeText(const ParameterStore&, int code) { return MuteChoices()[code == 0 ? 0 : 1]; }
std::optional<int> ParseMute(std::string_view typed) { return MatchCaption(typed, MuteChoices()); }

std::string PolarityCodeText(const ParameterStore&, int code) { return PolarityChoices()[code != 0 ? 1 : 0]; }
std::optional<int> ParsePolarity(std::string_view typed) { return MatchCaption(typed, PolarityChoices()); }

std::string OnOffCodeText(const ParameterStore&, int code) { return OnOffChoices()[code != 0 ? 1 : 0]; }
std::optional<int> ParseOnOff(std::string_view typed) { return MatchCaption(typed, OnOffChoices()); }

std::string DelayCodeText(const ParameterStore&, int code) { return DelayText(code); }
std::optional<int> ParseDelay(std::string_view typed) { return Typed<DelayFromTypedMs>(typed, {{"ms"}}); }

// ---- Mic/line and noise gate -----------------------------------------------------

std::string MicLineCodeText(const ParameterStore&, int code) { return MicLineChoices()[code != 0 ? 1 : 0]; }
std::optional<int> ParseMicLine(std::string_view typed) { return MatchCaption(typed, MicLineChoices()); }

std::string MicGainCodeText(const ParameterStore&, int code) { return GainTableText(code); }
std::optional<int> ParseMicGain(std::string_view typed) { return Typed<MicGainFromTypedDb>(typed, {{"db"}}); }

std::string NoiseGateCodeText(const ParameterStore&, int code) { return NoiseGateText(code); }
std::optional<int> ParseNoiseGate(std::string_view typed) {
  return Typed<NoiseGateFromTypedDb>(typed, {{"db"}});
}

// ---- EQ bands --------------------------------------------------------------------

std::string EqTypeCodeText(const ParameterStore&, int code) { return ChoiceText(EqTypeChoices(), code); }

std::optional<int> ParseEqType(std::string_view typed) {
  if (auto code = MatchCaption(typed, EqTypeChoices())) return code;
  return MatchCaption(typed, {"peaking", "low shelf", "high shelf"});
}

std::string FrequencyCodeText(const ParameterStore&, int code) { return FrequencyText(code); }

std::optional<int> ParseFrequency(std::string_view typed) {
  return Typed<FrequencyFromTypedHz>(typed, {{"hz"}, {"khz", 1000.0}, {"k", 1000.0}});
}

std::string EqGainCodeText(const ParameterStore&, int code) { return GainText(code); }
std::optional<int> ParseEqGain(std::string_view typed) { return Typed<EqGainFromTypedDb>(typed, {{"db"}}); }

std::string WidthCodeText(const ParameterStore&, int code) { return WidthText(code); }
std::optional<int> ParseWidth(std::string_view typed) {
  return Typed<WidthFromTypedOctaves>(typed, {{"oct"}});
}

std::string ShelfSlopeCodeText(const ParameterStore&, int code) {
  return ChoiceText(ShelfSlopeChoices(), code);
}

std::optional<int> ParseShelfSlope(std::string_view typed) {
  return Typed<ShelfSlopeFromTypedDbPerOctave>(typed, {{"oct"}, {"db"}, {"db/oct"}});
}

// ---- Crossover -------------------------------------------------------------------

std::string CrossoverTypeCodeText(const ParameterStore&, int code) {
  return ChoiceText(CrossoverTypeChoices(), code);
}

std::optional<int> ParseCrossoverType(std::string_view typed) {
  if (auto code = MatchCaption(typed, CrossoverTypeChoices())) return code;
  return MatchCaption(typed, {"linkwitz-riley", "bessel", "butterworth"});
}

std::string CrossoverSlopeCodeText(const ParameterStore&, int code) {
  const std::string text = CrossoverSlopeText(code);
  return text.empty() ? std::to_string(code) : text;
}

std::optional<int> ParseCrossoverSlope(std::string_view typed) {
  return Typed<CrossoverSlopeFromTypedDbPerOctave>(typed, {{"db"}, {"db/oct"}});
}

// ---- Dynamics --------------------------------------------------------------------

std::string CompressorThresholdCodeText(const ParameterStore&, int code) {
  return CompressorThresholdText(code);
}
std::string LimiterThresholdCodeText(const ParameterStore&, int code) { return LimiterThresholdText(code); }
std::optional<int> ParseThreshold(std::string_view typed) {
  return Typed<ThresholdFromTypedDb>(typed, {{"db"}});
}

std::string AttackCodeText(const ParameterStore&, int code) { return AttackText(code); }

std::optional<int> ParseCompressorAttack(std::string_view typed) {
  const std::optional<double> ms = ReadNumber(typed, {{"ms"}});
  if (!ms) return std::nullopt;
  return AttackFromTypedMs(*ms, kCompressorAttackMax);
}

std::optional<int> ParseLimiterAttack(std::string_view typed) {
  const std::optional<double> ms = ReadNumber(typed, {{"ms"}});
  if (!ms) return std::nullopt;
  return AttackFromTypedMs(*ms, kLimiterAttackMax);
}

std::string CompressorReleaseCodeText(const ParameterStore&, int code) { return CompressorReleaseText(code); }

std::optional<int> ParseCompressorRelease(std::string_view typed) {
  return Typed<CompressorReleaseFromTypedMs>(typed, {{"ms"}});
}

// The factory defaults leave 999 in the ratio field; it shows as its code.
std::string CompressorRatioCodeText(const ParameterStore&, int code) {
  const std::string text = CompressorRatioText(code);
  return text.empty() ? std::to_string(code) : text;
}

std::optional<int> ParseCompressorRatio(std::string_view typed) {
  std::string_view s = typed;
  const size_t colon = s.find(':');
  if (colon != std::string_view::npos) {  // "1:4": only a ratio to one is one of ours
    const std::optional<double> one = ReadNumber(s.substr(0, colon), {});
    if (!one || *one != 1.0) return std::nullopt;
    s = s.substr(colon + 1);
  }
  return Typed<CompressorRatioFromTyped>(s, {});
}

std::string LimiterReleaseCodeText(const ParameterStore&, int code) {
  const std::string text = LimiterReleaseTableText(code);
  return text.empty() ? std::to_string(code) : text;
}

std::optional<int> ParseLimiterRelease(std::string_view typed) {
  // "x8", "X8", "×8" (the editor's multiplication sign) or just "8".
  std::string_view s = Trim(typed);
  constexpr std::string_view kTimes = "\xC3\x97";
  if (!s.empty() && (s.front() == 'x' || s.front() == 'X'))
    s.remove_prefix(1);
  else if (s.substr(0, kTimes.size()) == kTimes)
    s.remove_prefix(kTimes.size());
  return Typed<LimiterReleaseFromTypedMultiple>(s, {});
}

}  // namespace veyra::params
