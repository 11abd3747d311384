// The parameter table: one descriptor per editable parameter of a channel.
// Every place that shows, types, scripts, checks or compares a parameter
// goes through its descriptor, so a code is converted in one place only:
// the field it lives in, the codes the editors can set, the text it shows,
// the rule that turns a typed value into a code, the message group that
// carries it and the group link that repeats it on linked channels.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "groups/channel_kind.hpp"
#include "groups/copy_to_group.hpp"

namespace veyra {

// How a control lays a code out on a slider. Faders run opposite to the code
// (top = largest value) unless the editor says otherwise.
enum class ParamScale : uint8_t {
  Linear,     // position = code (or Max - code on a fader)
  Frequency,  // 0..348 positions, 100 per decade from 10 Hz (FrequencyFromSliderPosition)
  Width,      // 0..59 positions, 5 codes each (WidthFromSliderPosition)
  Choice,     // a closed set of values with a caption each (types, slopes, flags)
};

// The Group of a parameter that no message carries (the mic/line settings
// live only in the application and its settings file). Never a group number.
inline constexpr uint8_t kNotSent = 0xFF;

struct ParamDescriptor {
  std::string Name;     // scripting name: "gain", "eq2.freq", "limiter.threshold"
  ChannelKind Kind;     // the channel records it lives in
  std::string Caption;  // the words after the channel in a label: "limiter threshold"
  FieldSpan Field;      // offset and size (1, 2 or 4 bytes, little-endian) in the record
  int Min = 0;          // the codes the editors can set
  int Max = 0;
  ParamScale Scale = ParamScale::Linear;
  // The display text of a code (the store gives the temperature of delay distances).
  std::string (*Text)(const ParameterStore& store, int code) = nullptr;
  // The typed-entry rule: a typed value (units may be written or left out,
  // choices by caption in any case) to a code within Min..Max; nullopt when
  // the text cannot be read.
  std::optional<int> (*Parse)(std::string_view typed) = nullptr;
  uint8_t Group = 0;                  // the message group that carries it (block from Kind)
  std::optional<GroupLink> Link;      // the group link flag that repeats it
  std::vector<FieldSpan> LinkFields;  // what a linked copy repeats (at least Field)
  int Band = 0;                       // 1..6 for EQ band parameters, else 0
  std::vector<std::string> Choices;   // captions of codes Min..Max for ParamScale::Choice
  // An editor shows and sets it. A parameter that only travels with others
  // (the limiter's ratio) is neither scripted, checked nor compared.
  bool Edited = true;
};

// Every parameter of the kind, in the editors' order.
std::span<const ParamDescriptor> ChannelParams(ChannelKind kind);
// By scripting name (case-insensitive); null when unknown.
const ParamDescriptor* FindParam(ChannelKind kind, std::string_view name);

// The code as stored, and a store of a code (limited to Min..Max).
int ReadCode(const ParameterStore& store, const ParamDescriptor& param, int channel);
void WriteCode(ParameterStore& store, const ParamDescriptor& param, int channel, int code);

std::string ParamText(const ParamDescriptor& param, const ParameterStore& store, int code);
std::optional<int> ParseParam(const ParamDescriptor& param, std::string_view typed);

// The delay editors' distance fields: a delay code as a distance at the
// store's temperature ("%0.3fM", "%0.3fFt"), and a typed distance (the unit
// may be written) to a code; nullopt when the text cannot be read.
enum class DelayDistance { Metres, Feet };
std::string DelayDistanceText(const ParameterStore& store, DelayDistance unit, int code);
std::optional<int> ParseDelayDistance(const ParameterStore& store, DelayDistance unit,
                                      std::string_view typed);

// "Input A", "Output 3".
std::string ChannelLabel(ChannelKind kind, int channel);
// A channel as the program names it in a word: inputs "A".."H" (any case),
// outputs "1".."8"; -1 when the word names none of the first count channels.
int ChannelFromWord(std::string_view word, ChannelKind kind, int count);
// The words of the first count channels: "A..D", "1..8".
std::string ChannelWords(ChannelKind kind, int count);
// Equal but for the case of ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);
// "Output 3 limiter threshold".
std::string ParamLabel(const ParamDescriptor& param, int channel);

}  // namespace veyra
