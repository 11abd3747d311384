#include "params/param_table.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

#include "link/messages.hpp"
#include "params/param_rules.hpp"
#include "state/scales.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

using namespace params;

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

// A descriptor whose linked copy repeats just its own field.
ParamDescriptor Param(ChannelKind kind, std::string name, std::string caption, FieldSpan field, int min,
                      int max, TextFn text, ParseFn parse, uint8_t group, std::optional<GroupLink> link) {
  ParamDescriptor p{.Name = std::move(name), .Kind = kind, .Caption = std::move(caption), .Field = field};
  p.Min = min;
  p.Max = max;
  p.Text = text;
  p.Parse = parse;
  p.Group = group;
  p.Link = link;
  p.LinkFields = {field};
  return p;
}

ParamDescriptor Choice(ParamDescriptor p, std::vector<std::string> captions) {
  p.Scale = ParamScale::Choice;
  p.Choices = std::move(captions);
  return p;
}

ParamDescriptor Scaled(ParamDescriptor p, ParamScale scale) {
  p.Scale = scale;
  return p;
}

// Gain, polarity, mute and delay: the Level message of either kind.
void AddLevel(std::vector<ParamDescriptor>& table, ChannelKind kind, FieldSpan delay) {
  const uint8_t level = kind == kIn ? uint8_t{InputGroup::Level} : uint8_t{OutputGroup::Level};
  table.push_back(Param(kind, "gain", "gain", GainField(kind), kChannelGainMin, kChannelGainMax,
                        ChannelGainCodeText, ParseChannelGain, level, GroupLink::Gain));
  table.push_back(Choice(Param(kind, "polarity", "polarity", PolarityField(kind), 0, 1, PolarityCodeText,
                               ParsePolarity, level, GroupLink::Polarity),
                         PolarityChoices()));
  table.push_back(Choice(
      Param(kind, "mute", "mute", MuteField(kind), 0, 1, MuteCodeText, ParseMute, level, GroupLink::Mute),
      MuteChoices()));
  table.push_back(
      Param(kind, "delay", "delay", delay, 0, kDelayMax, DelayCodeText, ParseDelay, level, GroupLink::Delay));
}

// Bands 1..6 of the editors. Inputs repeat a band's frequency, gain, width
// and type (not its slope) and the band-count word on linked channels;
// outputs also the slope.
void AddBands(std::vector<ParamDescriptor>& table, ChannelKind kind) {
  const bool input = kind == kIn;
  const size_t bands = input ? offsetof(InputChannel, Bands) : offsetof(OutputChannel, Bands);
  const FieldSpan word = input ? FieldSpan{offsetof(InputChannel, EqEditorWord), 4}
                               : FieldSpan{offsetof(OutputChannel, EqEditorWord), 4};
  for (int b = 1; b <= 6; ++b) {
    const size_t at = bands + static_cast<size_t>(b - 1) * sizeof(EqBand);
    const uint8_t group = input ? InputGroup::Band(b) : OutputGroup::Band(b);
    const std::string name = Format("eq%d.", b);
    const std::string caption = Format("EQ %d ", b);
    const FieldSpan freq{at + offsetof(EqBand, Freq), 2}, gain{at + offsetof(EqBand, Gain), 2},
        width{at + offsetof(EqBand, Width), 2}, slope{at + offsetof(EqBand, ShelfSlope), 1},
        type{at + offsetof(EqBand, Type), 1};
    std::vector<FieldSpan> linked = {freq, gain, width, type, word};
    if (!input) linked.insert(linked.end() - 2, slope);
    const size_t first = table.size();
    table.push_back(Choice(Param(kind, name + "type", caption + "type", type, 0, 2, EqTypeCodeText,
                                 ParseEqType, group, GroupLink::Eq),
                           EqTypeChoices()));
    table.push_back(Scaled(Param(kind, name + "freq", caption + "frequency", freq, kFrequencyMin,
                                 kFrequencyMax, FrequencyCodeText, ParseFrequency, group, GroupLink::Eq),
                           ParamScale::Frequency));
    table.push_back(Param(kind, name + "gain", caption + "gain", gain, kEqGainMin, kEqGainMax, EqGainCodeText,
                          ParseEqGain, group, GroupLink::Eq));
    table.push_back(Scaled(Param(kind, name + "width", caption + "width", width, 0, kWidthMax, WidthCodeText,
                                 ParseWidth, group, GroupLink::Eq),
                           ParamScale::Width));
    table.push_back(Choice(Param(kind, name + "slope", caption + "shelf slope", slope, 0, 1,
                                 ShelfSlopeCodeText, ParseShelfSlope, group, GroupLink::Eq),
                           ShelfSlopeChoices()));
    for (size_t i = first; i < table.size(); ++i) {
      table[i].Band = b;
      table[i].LinkFields = linked;
    }
    // A linked copy of a slope change that left the slope behind would leave
    // the members' curves apart; it repeats the slope as well.
    if (input) table.back().LinkFields.push_back(slope);
  }
}

std::vector<ParamDescriptor> InputTable() {
  std::vector<ParamDescriptor> t;
  AddLevel(t, kIn, {offsetof(InputChannel, Delay), 2});
  t.push_back(Choice(Param(kIn, "mic.line", "mic/line", {offsetof(InputChannel, MicEditorByte), 1}, 0, 1,
                           MicLineCodeText, ParseMicLine, kNotSent, GroupLink::Mic),
                     MicLineChoices()));
  t.push_back(Param(kIn, "mic.level", "mic gain", {offsetof(InputChannel, MicEditorWord), 2}, 0, kMicGainMax,
                    MicGainCodeText, ParseMicGain, kNotSent, GroupLink::Mic));
  // The noise gate is edited in the EQ editor and follows the EQ link.
  t.push_back(Param(kIn, "gate", "noise gate",
                    {offsetof(InputChannel, NoiseGate) + kNoiseGateThresholdByte, 1}, 0, kNoiseGateMax,
                    NoiseGateCodeText, ParseNoiseGate, InputGroup::NoiseGate, GroupLink::Eq));
  AddBands(t, kIn);
  const size_t first = t.size();
  const uint8_t comp = InputGroup::Compressor;
  t.push_back(Param(kIn, "comp.threshold", "compressor threshold", {offsetof(InputChannel, Threshold), 2}, 0,
                    kThresholdMax, CompressorThresholdCodeText, ParseThreshold, comp, GroupLink::Compressor));
  t.push_back(Param(kIn, "comp.attack", "compressor attack", {offsetof(InputChannel, Attack), 2}, 0,
                    kCompressorAttackMax, AttackCodeText, ParseCompressorAttack, comp,
                    GroupLink::Compressor));
  t.push_back(Param(kIn, "comp.release", "compressor release", {offsetof(InputChannel, Release), 2}, 0,
                    kCompressorReleaseMax, CompressorReleaseCodeText, ParseCompressorRelease, comp,
                    GroupLink::Compressor));
  t.push_back(Param(kIn, "comp.ratio", "compressor ratio", {offsetof(InputChannel, Ratio), 2}, 0,
                    kCompressorRatioMax, CompressorRatioCodeText, ParseCompressorRatio, comp,
                    GroupLink::Compressor));
  // The dynamics editors repeat the whole block on linked channels.
  const std::vector<FieldSpan> block = {t[first].Field, t[first + 1].Field, t[first + 2].Field,
                                        t[first + 3].Field};
  for (size_t i = first; i < t.size(); ++i) t[i].LinkFields = block;
  return t;
}

std::vector<ParamDescriptor> OutputTable() {
  std::vector<ParamDescriptor> t;
  AddLevel(t, kOut, {offsetof(OutputChannel, Delay), 4});
  for (int input = 0; input < kChannelSlots; ++input) {
    const char letter = static_cast<char>('a' + input);
    t.push_back(Choice(
        Param(kOut, std::string("route.") + letter, Format("routing from input %c", std::toupper(letter)),
              RoutingField(input), 0, 1, OnOffCodeText, ParseOnOff, OutputGroup::Level, GroupLink::Mix),
        OnOffChoices()));
  }
  for (const int section : {kHighPass, kLowPass}) {
    const size_t at =
        offsetof(OutputChannel, Crossover) + static_cast<size_t>(section) * sizeof(FilterSection);
    const std::string name = section == kHighPass ? "xover.hp." : "xover.lp.";
    const std::string caption = section == kHighPass ? "high-pass " : "low-pass ";
    const uint8_t group = OutputGroup::Crossover;
    const size_t first = t.size();
    t.push_back(
        Choice(Param(kOut, name + "type", caption + "type", {at + offsetof(FilterSection, CrossoverType), 1},
                     0, 2, CrossoverTypeCodeText, ParseCrossoverType, group, GroupLink::Crossover),
               CrossoverTypeChoices()));
    t.push_back(Scaled(
        Param(kOut, name + "freq", caption + "frequency", {at + offsetof(FilterSection, Freq), 2},
              kFrequencyMin, kFrequencyMax, FrequencyCodeText, ParseFrequency, group, GroupLink::Crossover),
        ParamScale::Frequency));
    t.push_back(Param(kOut, name + "slope", caption + "slope",
                      {at + offsetof(FilterSection, CrossoverSlope), 1}, 0, kCrossoverSlopeMax,
                      CrossoverSlopeCodeText, ParseCrossoverSlope, group, GroupLink::Crossover));
    // A section's change repeats the whole section: frequency, type and slope.
    for (size_t i = first; i < t.size(); ++i) t[i].LinkFields = {FieldSpan{at, sizeof(FilterSection)}};
  }
  AddBands(t, kOut);
  const size_t first = t.size();
  const uint8_t limiter = OutputGroup::Limiter;
  t.push_back(Param(kOut, "limiter.threshold", "limiter threshold", {offsetof(OutputChannel, Threshold), 2},
                    0, kThresholdMax, LimiterThresholdCodeText, ParseThreshold, limiter, GroupLink::Limiter));
  t.push_back(Param(kOut, "limiter.attack", "limiter attack", {offsetof(OutputChannel, Attack), 2}, 0,
                    kLimiterAttackMax, AttackCodeText, ParseLimiterAttack, limiter, GroupLink::Limiter));
  t.push_back(Param(kOut, "limiter.release", "limiter release", {offsetof(OutputChannel, Release), 2}, 0,
                    kLimiterReleaseMax, LimiterReleaseCodeText, ParseLimiterRelease, limiter,
                    GroupLink::Limiter));
  // Linked limiters take the ratio too, though no limiter editor shows it.
  const FieldSpan ratio{offsetof(OutputChannel, Ratio), 2};
  std::vector<FieldSpan> block = {t[first].Field, t[first + 1].Field, t[first + 2].Field, ratio};
  for (size_t i = first; i < t.size(); ++i) t[i].LinkFields = block;
  // The ratio shapes the limiter's transfer curve but is not part of the
  // limiter message; a change of it alone repeats only itself, so a member
  // never takes threshold, attack or release that nothing sends it.
  t.push_back(Param(kOut, "limiter.ratio", "limiter ratio", ratio, 0, kCompressorRatioMax,
                    CompressorRatioCodeText, ParseCompressorRatio, kNotSent, GroupLink::Limiter));
  t.back().Edited = false;
  return t;
}

bool Addressable(const ParamDescriptor& param, int channel, size_t recordSize) {
  return channel >= 0 && channel < kChannelSlots && param.Field.Size <= 4 &&
         param.Field.Offset <= recordSize && param.Field.Size <= recordSize - param.Field.Offset;
}

}  // namespace

std::span<const ParamDescriptor> ChannelParams(ChannelKind kind) {
  static const std::vector<ParamDescriptor> inputs = InputTable();
  static const std::vector<ParamDescriptor> outputs = OutputTable();
  return kind == kIn ? inputs : outputs;
}

const ParamDescriptor* FindParam(ChannelKind kind, std::string_view name) {
  for (const ParamDescriptor& p : ChannelParams(kind))
    if (EqualsNoCase(p.Name, name)) return &p;
  return nullptr;
}

int ReadCode(const ParameterStore& store, const ParamDescriptor& param, int channel) {
  const size_t size = param.Kind == kIn ? sizeof(InputChannel) : sizeof(OutputChannel);
  if (!Addressable(param, channel, size)) return 0;
  uint32_t value = 0;  // little-endian host (records.hpp): the low bytes come first
  WithChannel(store, param.Kind, channel, [&](const auto& record) {
    std::memcpy(&value, reinterpret_cast<const uint8_t*>(&record) + param.Field.Offset, param.Field.Size);
  });
  return static_cast<int>(std::min<uint32_t>(value, INT_MAX));
}

void WriteCode(ParameterStore& store, const ParamDescriptor& param, int channel, int code) {
  const std::span<uint8_t> bytes = channel >= 0 && channel < kChannelSlots
                                       ? RecordBytes(store, param.Kind, channel)
                                       : std::span<uint8_t>();
  if (!Addressable(param, channel, bytes.size())) return;
  const uint32_t value = static_cast<uint32_t>(std::clamp(code, param.Min, param.Max));
  std::memcpy(bytes.data() + param.Field.Offset, &value, param.Field.Size);
}

std::string ParamText(const ParamDescriptor& param, const ParameterStore& store, int code) {
  std::string text = param.Text ? param.Text(store, code) : std::string();
  return text.empty() ? std::to_string(code) : text;
}

std::optional<int> ParseParam(const ParamDescriptor& param, std::string_view typed) {
  if (!param.Parse) return std::nullopt;
  const std::optional<int> code = param.Parse(typed);
  if (!code) return std::nullopt;
  return std::clamp(*code, param.Min, param.Max);
}

std::string DelayDistanceText(const ParameterStore& store, DelayDistance unit, int code) {
  const int t = store.System.Temperature;
  return unit == DelayDistance::Metres ? DelayMetresText(code, t) : DelayFeetText(code, t);
}

std::optional<int> ParseDelayDistance(const ParameterStore& store, DelayDistance unit,
                                      std::string_view typed) {
  const bool metres = unit == DelayDistance::Metres;
  const std::optional<double> v = metres ? ReadNumber(typed, {{"m"}}) : ReadNumber(typed, {{"ft"}});
  if (!v) return std::nullopt;
  const int t = store.System.Temperature;
  return metres ? DelayFromTypedMetres(*v, t) : DelayFromTypedFeet(*v, t);
}

std::string ChannelLabel(ChannelKind kind, int channel) {
  if (kind == kIn)
    return channel >= 0 && channel < kChannelSlots ? Format("Input %c", 'A' + channel)
                                                   : Format("Input %d", channel + 1);
  return Format("Output %d", channel + 1);
}

int ChannelFromWord(std::string_view word, ChannelKind kind, int count) {
  if (word.size() != 1) return -1;
  const int channel = kind == kIn ? std::toupper(static_cast<unsigned char>(word[0])) - 'A' : word[0] - '1';
  return channel >= 0 && channel < std::min(count, kChannelSlots) ? channel : -1;
}

std::string ChannelWords(ChannelKind kind, int count) {
  return kind == kIn ? Format("A..%c", 'A' + count - 1) : Format("1..%d", count);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string ParamLabel(const ParamDescriptor& param, int channel) {
  return ChannelLabel(param.Kind, channel) + " " + param.Caption;
}

}  // namespace veyra
