#include "params/param_script.hpp"

#include <algorithm>
#include <cctype>

#include "params/eq_bands.hpp"
#include "params/param_rules.hpp"
#include "params/param_table.hpp"
#include "state/device_text.hpp"
#include "state/parameter_store.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

constexpr std::string_view kRoute = "route";
constexpr std::string_view kName = "name";

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

int Count(const ScriptModel& model, ChannelKind kind) {
  return kind == ChannelKind::Input ? model.InputCount : model.OutputCount;
}

std::string ChannelRange(ChannelKind kind, int count) {
  return (kind == ChannelKind::Input ? "the inputs are " : "the outputs are ") + ChannelWords(kind, count);
}

// "eq3.bypass": band 3; 0 for any other name.
int BypassBand(std::string_view name) {
  const std::string lower = Lower(name);
  if (lower.size() != 10 || !lower.starts_with("eq") || lower.substr(3) != ".bypass") return 0;
  const int band = lower[2] - '0';
  return band >= 1 && band <= kEditorBands ? band : 0;
}

// route.a..route.h of the model's inputs only: the editors have no button for the others.
bool RouteBeyondModel(const ParamDescriptor& param, const ScriptModel& model) {
  return param.Name.starts_with("route.") && param.Name[6] - 'a' >= model.InputCount;
}

bool KeptByProcessor(const ParamDescriptor& param) {
  return param.Group != kNotSent;
}

std::string NotKept(const ScriptSection& s, std::string_view name) {
  return ScriptChannelText(s.Kind, s.Channel) + " " + std::string(name) +
         ": the processor does not keep it (the program and its settings files do); set it in a settings "
         "file";
}

std::string UnknownName(const ScriptSection& s, std::string_view name, const ScriptModel& model) {
  std::string names;
  for (const std::string& n : ScriptNames(s.Kind, model)) names += (names.empty() ? "" : " ") + n;
  if (s.Kind == ChannelKind::Output) names += Format(" route.a..route.%c", 'a' + model.InputCount - 1);
  return ScriptChannelText(s.Kind, s.Channel) + ": no parameter \"" + std::string(name) +
         "\"; the names are: " + names;
}

// The name as one a section may use; empty when it is fine, else the message.
std::string CheckName(const ScriptSection& s, std::string_view name, const ScriptModel& model,
                      const ParamDescriptor** param) {
  *param = nullptr;
  const std::string lower = Lower(name);
  if (lower == kName) return {};
  if (lower == kRoute && s.Kind == ChannelKind::Output) return {};
  if (BypassBand(lower) != 0)
    return model.Target == ScriptTarget::Processor ? NotKept(s, name) : std::string();
  *param = FindParam(s.Kind, lower);
  if (!*param || !(*param)->Edited || RouteBeyondModel(**param, model)) return UnknownName(s, name, model);
  if (model.Target == ScriptTarget::Processor && !KeptByProcessor(**param)) return NotKept(s, name);
  return {};
}

std::string BadValue(const ScriptSection& s, const std::string& word, const std::string& why) {
  return ScriptChannelText(s.Kind, s.Channel) + " " + word + ": " + why;
}

std::string ValueHint(const ParameterStore& store, const ParamDescriptor& param) {
  if (!param.Choices.empty()) {
    std::string choices;
    for (const std::string& c : param.Choices) choices += (choices.empty() ? "" : ", ") + c;
    return "not one of " + choices;
  }
  return "not a value of " + param.Name + " (" + ParamText(param, store, param.Min) + ".." +
         ParamText(param, store, param.Max) + ")";
}

std::optional<int> RoutingMask(std::string_view value, int inputs) {
  const std::string lower = Lower(value);
  if (lower.empty() || lower == "none") return 0;
  int mask = 0;
  size_t at = 0;
  while (at <= lower.size()) {
    const size_t comma = lower.find(',', at);
    std::string_view item =
        std::string_view(lower).substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    if (item.size() != 1 || item[0] < 'a' || item[0] - 'a' >= inputs) return std::nullopt;
    mask |= 1 << (item[0] - 'a');
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return mask;
}

// The typed-entry rule, except that a value written exactly as get shows a
// code gives that code: the rules truncate (a delay of "8.312ms" types as
// 8.292 ms, a width steps by five codes), so a setup read with get would not
// come back as it was. The code that shows the text lies next to the typed one.
std::optional<int> ReadValue(const ParameterStore& store, const ParamDescriptor& param,
                             std::string_view value) {
  const std::optional<int> typed = ParseParam(param, value);
  if (!typed || EqualsNoCase(ParamText(param, store, *typed), value)) return typed;
  constexpr int kNear = 10;
  for (int code = std::max(param.Min, *typed - kNear); code <= std::min(param.Max, *typed + kNear); ++code)
    if (EqualsNoCase(ParamText(param, store, code), value)) return code;
  return typed;
}

// The typed-entry rules stop at the ends of the range; whether the number
// typed lay past the end it stopped at (-1 below, +1 above), for the note.
int BeyondRange(const ParameterStore& store, const ParamDescriptor& param, std::string_view value, int code) {
  if (code != param.Min && code != param.Max) return 0;
  const auto number = [](std::string_view text) {
    return params::ReadNumber(text,
                              {{"hz"}, {"khz", 1000.0}, {"k", 1000.0}, {"db"}, {"ms"}, {"oct"}, {"db/oct"}});
  };
  const std::optional<double> typed = number(value);
  const std::optional<double> end = number(ParamText(param, store, code));
  if (!typed || !end) return 0;
  constexpr double kSlack = 1e-9;
  if (code == param.Max && *typed > *end + kSlack) return 1;
  if (code == param.Min && *typed < *end - kSlack) return -1;
  return 0;
}

std::optional<std::string> ReadOne(const ParameterStore& store, const ScriptSection& s,
                                   const std::string& word, const ScriptModel& model, ScriptAssignment& out) {
  const size_t eq = word.find('=');
  if (eq == std::string::npos || eq == 0)
    return ScriptChannelText(s.Kind, s.Channel) + " " + word + ": write NAME=VALUE";
  const std::string_view name = std::string_view(word).substr(0, eq);
  const std::string_view value = std::string_view(word).substr(eq + 1);
  const ParamDescriptor* param = nullptr;
  if (std::string error = CheckName(s, name, model, &param); !error.empty()) return error;
  const std::string lower = Lower(name);
  out.Word = word;
  if (param) {
    const std::optional<int> code = ReadValue(store, *param, value);
    if (!code) return BadValue(s, word, ValueHint(store, *param));
    out.What = ScriptAssignment::Kind::Param;
    out.Param = param;
    out.Code = *code;
    out.BeyondRange = BeyondRange(store, *param, value, *code);
  } else if (lower == kName) {
    const EncodedDeviceText encoded = EncodeDeviceText(value, kNameBytes);
    if (!encoded.ok()) return BadValue(s, word, DeviceTextErrorMessage(encoded.Error, kNameBytes));
    out.What = ScriptAssignment::Kind::Name;
    out.Bytes = encoded.Bytes;
  } else if (lower == kRoute) {
    const std::optional<int> mask = RoutingMask(value, model.InputCount);
    if (!mask)
      return BadValue(s, word,
                      Format("name inputs A..%c separated by commas, or none", 'A' + model.InputCount - 1));
    out.What = ScriptAssignment::Kind::Routing;
    out.Code = *mask;
  } else {
    const std::optional<int> on = params::ParseOnOff(value);
    if (!on) return BadValue(s, word, "not one of on, off");
    out.What = ScriptAssignment::Kind::Bypass;
    out.Band = BypassBand(lower);
    out.Code = *on;
  }
  return std::nullopt;
}

// What limited a value: "output 3 xover.hp.freq=5k: limited to 2000Hz, the
// low-pass frequency". A type change that moved a shelf names the frequency.
std::string LimitNote(const ParameterStore& store, const ScriptSection& s, const ScriptAssignment& a,
                      const ParamChange& change) {
  const ParamDescriptor* shown = a.Param;
  int code = change.Code;
  if (a.Param->Band != 0 && a.Param->Name.ends_with(".type") &&
      (change.Limit == ChangeLimit::LowShelf || change.Limit == ChangeLimit::HighShelf)) {
    shown = FindParam(s.Kind, Format("eq%d.freq", a.Param->Band));
    code = ReadCode(store, *shown, s.Channel);
  }
  const std::string what = shown == a.Param ? std::string() : shown->Name + " ";
  return ScriptChannelText(s.Kind, s.Channel) + " " + a.Word + ": " + what + "limited to " +
         ParamText(*shown, store, code) + ", " +
         std::string(ChangeLimitText(change.Limit, a.BeyondRange < 0));
}

std::string Routing(const ParameterStore& store, int output) {
  std::string inputs;
  for (int i = 0; i < store.InputCount && i < kChannelSlots; ++i)
    if (store.Outputs[output].Routing[i] != 0)
      inputs += (inputs.empty() ? "" : ",") + std::string(1, 'A' + i);
  return inputs.empty() ? "none" : inputs;
}

}  // namespace

std::string ScriptChannelText(ChannelKind kind, int channel) {
  return kind == ChannelKind::Input ? Format("input %c", 'A' + channel) : Format("output %d", channel + 1);
}

std::optional<std::string> SplitSections(std::span<const std::string> words, const ScriptModel& model,
                                         std::vector<ScriptSection>& sections) {
  sections.clear();
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string lower = Lower(words[i]);
    if (lower == "input" || lower == "output") {
      const ChannelKind kind = lower == "input" ? ChannelKind::Input : ChannelKind::Output;
      if (i + 1 >= words.size())
        return lower + ": name the channel (" + ChannelRange(kind, Count(model, kind)) + ")";
      const int channel = ChannelFromWord(words[i + 1], kind, Count(model, kind));
      if (channel < 0) return lower + " " + words[i + 1] + ": " + ChannelRange(kind, Count(model, kind));
      sections.push_back({kind, channel, {}});
      ++i;
    } else if (sections.empty()) {
      return "\"" + words[i] +
             Format("\": name a channel first (input A..%c or output 1..%d)", 'A' + model.InputCount - 1,
                    model.OutputCount);
    } else {
      sections.back().Words.push_back(words[i]);
    }
  }
  if (sections.empty())
    return Format("name a channel (input A..%c or output 1..%d)", 'A' + model.InputCount - 1,
                  model.OutputCount);
  return std::nullopt;
}

std::optional<std::string> ReadAssignments(const ParameterStore& store,
                                           const std::vector<ScriptSection>& sections,
                                           const ScriptModel& model,
                                           std::vector<std::vector<ScriptAssignment>>& assignments) {
  assignments.assign(sections.size(), {});
  for (size_t i = 0; i < sections.size(); ++i) {
    const ScriptSection& s = sections[i];
    if (s.Words.empty()) return ScriptChannelText(s.Kind, s.Channel) + ": nothing to set (write NAME=VALUE)";
    for (const std::string& word : s.Words) {
      ScriptAssignment a;
      if (auto error = ReadOne(store, s, word, model, a)) return error;
      assignments[i].push_back(a);
    }
  }
  return std::nullopt;
}

void ApplyAssignments(ParameterStore& store, const std::vector<ScriptSection>& sections,
                      const std::vector<std::vector<ScriptAssignment>>& assignments, bool links,
                      ChangeLog& log, std::vector<std::string>* notes) {
  for (size_t i = 0; i < sections.size() && i < assignments.size(); ++i) {
    const ScriptSection& s = sections[i];
    for (const ScriptAssignment& a : assignments[i]) {
      switch (a.What) {
        case ScriptAssignment::Kind::Param: {
          ParamChange change = ChangeParam(store, *a.Param, s.Channel, a.Code, log, links);
          if (change.Limit == ChangeLimit::None && a.BeyondRange != 0) change.Limit = ChangeLimit::Range;
          if (notes && change.Limit != ChangeLimit::None) notes->push_back(LimitNote(store, s, a, change));
          break;
        }
        case ScriptAssignment::Kind::Name:
          ChangeChannelName(store, s.Kind, s.Channel, a.Bytes, log);
          break;
        case ScriptAssignment::Kind::Bypass:
          ChangeBandBypass(store, s.Kind, s.Channel, a.Band, a.Code != 0, log, links);
          break;
        case ScriptAssignment::Kind::Routing:
          // As the output's buttons would, one input after another.
          for (int input = 0; input < store.InputCount && input < kChannelSlots; ++input) {
            const ParamDescriptor* route = FindParam(ChannelKind::Output, Format("route.%c", 'a' + input));
            if (route) ChangeParam(store, *route, s.Channel, (a.Code >> input) & 1, log, links);
          }
          break;
      }
    }
  }
}

std::vector<std::string> ScriptNames(ChannelKind kind, const ScriptModel& model) {
  const bool file = model.Target == ScriptTarget::File;
  std::vector<std::string> names{std::string(kName)};
  for (const ParamDescriptor& p : ChannelParams(kind)) {
    if (p.Name.starts_with("route.")) {
      if (p.Name == "route.a") names.emplace_back(kRoute);
      continue;
    }
    if (!p.Edited || (!file && !KeptByProcessor(p))) continue;
    names.push_back(p.Name);
    if (file && p.Band != 0 && p.Name.ends_with(".slope")) names.push_back(Format("eq%d.bypass", p.Band));
  }
  return names;
}

std::optional<std::string> CheckNames(const ScriptSection& section, const ScriptModel& model) {
  for (const std::string& word : section.Words) {
    const ParamDescriptor* param = nullptr;
    if (word.find('=') != std::string::npos)
      return ScriptChannelText(section.Kind, section.Channel) + " " + word + ": get takes names only";
    if (std::string error = CheckName(section, word, model, &param); !error.empty()) return error;
  }
  return std::nullopt;
}

std::string ScriptValue(const ParameterStore& store, ChannelKind kind, int channel, std::string_view name) {
  if (channel < 0 || channel >= kChannelSlots) return {};
  const std::string lower = Lower(name);
  if (lower == kName)
    return WithChannel(store, kind, channel, [](const auto& c) { return DecodeField(c.Name); });
  if (lower == kRoute) return Routing(store, channel);
  if (const int band = BypassBand(lower)) return BandBypassed(store, kind, channel, band) ? "on" : "off";
  const ParamDescriptor* param = FindParam(kind, lower);
  if (!param) return {};
  // A bypassed band shows the gain it comes back with, so that "eq2.gain=-3
  // eq2.bypass=on" reads back as it was written.
  if (param->Band != 0 && lower.ends_with(".gain") && BandBypassed(store, kind, channel, param->Band))
    return ParamText(*param, store, SavedGain(store, kind, channel, param->Band));
  return ParamText(*param, store, ReadCode(store, *param, channel));
}

std::string ScriptWord(std::string_view value) {
  bool plain = !value.empty();
  for (const char c : value)
    if (c == ' ' || c == '\t' || c == '"' || c == '\\' || c == '#' || c == '\n' || c == '\r') plain = false;
  if (plain) return std::string(value);
  std::string quoted = "\"";
  for (const char c : value) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

std::optional<std::vector<std::string>> ScriptWords(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
        word += text[++i];
      } else if (c == '"') {
        quoted = false;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == '#') {
      while (i < text.size() && text[i] != '\n') ++i;
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) return std::nullopt;
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace veyra
