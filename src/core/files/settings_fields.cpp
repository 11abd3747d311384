#include "files/settings_fields.hpp"

#include <algorithm>
#include <cctype>
#include <memory>
#include <span>
#include <string_view>

#include "params/param_table.hpp"
#include "state/device_text.hpp"
#include "state/models.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

// The routing flag of an output for input index, or -1 for another parameter.
int RoutedInput(const ParamDescriptor& param) {
  constexpr std::string_view kRoute = "route.";
  if (param.Name.size() != kRoute.size() + 1 || param.Name.compare(0, kRoute.size(), kRoute) != 0) return -1;
  return param.Name.back() - 'a';
}

// The live records as the factory defaults leave them: a code found there is
// one the program itself writes (the compressor ratio's 999, say), never damage.
const ParameterStore& FactoryDefaults() {
  static const auto store = [] {
    auto s = std::make_unique<ParameterStore>();
    ApplyFactoryDefaults(*s);
    return s;
  }();
  return *store;
}

bool AllZero(std::span<const std::byte> bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::byte b) { return b == std::byte{0}; });
}

std::string ChoiceList(const std::vector<std::string>& choices) {
  std::string list = "not one of ";
  for (size_t i = 0; i < choices.size(); ++i) list += (i == 0 ? "" : ", ") + choices[i];
  return list;
}

// The display text of a code; a choice outside its set shows as the bare code,
// since its text would name a choice it is not.
std::string CodeText(const ParamDescriptor& param, const ParameterStore& store, int code) {
  if (param.Scale == ParamScale::Choice && (code < param.Min || code > param.Max))
    return std::to_string(code);
  return ParamText(param, store, code);
}

std::string AllowedText(const ParamDescriptor& param, const ParameterStore& store) {
  if (param.Scale == ParamScale::Choice) return ChoiceList(param.Choices);
  return "outside " + ParamText(param, store, param.Min) + ".." + ParamText(param, store, param.Max);
}

// The Data View's row caption where the parameter has a row there ("EQFQ 2",
// "Thesh", "Src In 3"), so that a check or a diff names a cell as the table
// does; the parameter's own caption for what the table leaves out (mute, the
// noise gate, the compressor, the mic settings).
std::string FieldCaption(const ParamDescriptor& param) {
  struct Row {
    std::string_view Name, Caption;
  };
  static constexpr Row rows[] = {
      {"gain", "Gain"},
      {"polarity", "Pol"},
      {"delay", "Delay"},
      {"limiter.threshold", "Thesh"},
      {"limiter.attack", "Attk"},
      {"limiter.release", "Rels"},
      {"xover.lp.type", "XOVR Ty LO"},
      {"xover.lp.freq", "XOVR Frq LO"},
      {"xover.lp.slope", "XOVR Slp LO"},
      {"xover.hp.type", "XOVR Ty HI"},
      {"xover.hp.freq", "XOVR Frq HI"},
      {"xover.hp.slope", "XOVR Slp HI"},
  };
  for (const Row& row : rows)
    if (param.Name == row.Name) return std::string(row.Caption);
  if (const int input = RoutedInput(param); input >= 0) return Format("Src In %d", input + 1);
  if (param.Band != 0) {
    const std::string_view what = std::string_view(param.Name).substr(param.Name.find('.') + 1);
    const char* row = what == "type"   ? "EQTP %d"
                      : what == "gain" ? "EQLV %d"
                      : what == "freq" ? "EQFQ %d"
                                       : "EQW  %d";
    return Format(row, param.Band);
  }
  return TitleCase(param.Caption);
}

struct LinkColumn {
  uint8_t ChannelGroup::*Flag;
  const char* Caption;
};

// The group editor's columns of each kind.
std::span<const LinkColumn> LinkColumns(ChannelKind kind) {
  static const LinkColumn inputs[] = {
      {&ChannelGroup::LinkMute, "Mute Link"},   {&ChannelGroup::LinkGain, "Gain Link"},
      {&ChannelGroup::LinkEq, "EQ Link"},       {&ChannelGroup::LinkPolarity, "Polarity Link"},
      {&ChannelGroup::LinkDelay, "Delay Link"}, {&ChannelGroup::LinkCompressor, "Compressor Link"},
      {&ChannelGroup::LinkMic, "Mic/line Link"}};
  static const LinkColumn outputs[] = {{&ChannelGroup::LinkMute, "Mute Link"},
                                       {&ChannelGroup::LinkGain, "Gain Link"},
                                       {&ChannelGroup::LinkEq, "EQ Link"},
                                       {&ChannelGroup::LinkCrossover, "Crossover Link"},
                                       {&ChannelGroup::LinkPolarity, "Polarity Link"},
                                       {&ChannelGroup::LinkDelay, "Delay Link"},
                                       {&ChannelGroup::LinkLimiter, "Limiter Link"},
                                       {&ChannelGroup::LinkMix, "Routing Link"}};
  if (kind == ChannelKind::Input) return inputs;
  return outputs;
}

class FieldWriter {
 public:
  FieldWriter(const RecordSet& records, std::vector<SettingField>& fields)
      : records_(records), fields_(fields) {
    // The texts take the temperature (delay distances) from the store; the
    // codes come from a scratch store whose live records are the set's.
    view_ = std::make_unique<ParameterStore>();
    view_->System = records.Store->System;
    const bool live = records.Source == 0;
    const PresetSlot& program = records.Store->Presets[live ? 1 : records.Source];
    std::copy_n(live ? records.Store->Inputs : program.Inputs, kChannelSlots, view_->Inputs);
    std::copy_n(live ? records.Store->Outputs : program.Outputs, kChannelSlots, view_->Outputs);
  }

  void Channels(ChannelKind kind, int count) {
    for (int channel = 0; channel < std::min(count, kChannelSlots); ++channel) Channel(kind, channel);
  }

  void Groups(ChannelKind kind) {
    const char* side = kind == ChannelKind::Input ? "Input group %d" : "Output group %d";
    const auto groups = GroupsOf(*records_.Store, kind);
    for (int g = 0; g < kChannelSlots; ++g) {
      const ChannelGroup& group = groups[static_cast<size_t>(g)];
      const std::string where = Format(side, g + 1);
      const std::string_view name = FieldText(group.Name);
      Add(where, "Name", std::string(name), QuotedName(name));
      for (const LinkColumn& column : LinkColumns(kind)) {
        const int flag = group.*column.Flag;
        SettingField& field = Add(where, column.Caption, std::to_string(flag),
                                  flag <= 1 ? std::string(flag ? "on" : "off") : std::to_string(flag));
        if (flag > 1) Flag(field, "not one of off, on");
      }
    }
  }

 private:
  void Channel(ChannelKind kind, int channel) {
    const std::string where = ChannelLabel(kind, channel);
    // RecordBytes wants a writable store; the view is this writer's own.
    const bool judged = !AllZero(std::as_bytes(RecordBytes(*view_, kind, channel)));
    WithChannel(*view_, kind, channel, [&](const auto& record) {
      const std::string_view name = FieldText(record.Name);
      Add(where, "Name", std::string(name), QuotedName(name));
      const uint32_t group = record.GroupNumber;
      SettingField& field = Add(where, "Group", std::to_string(group),
                                group == 0 ? std::string("none") : std::to_string(group));
      if (judged && group > kChannelSlots) Flag(field, Format("outside 0..%d", kChannelSlots));
    });
    const int inputs = records_.Inputs;
    for (const ParamDescriptor& param : ChannelParams(kind)) {
      if (!param.Edited || RoutedInput(param) >= inputs) continue;
      const int code = ReadCode(*view_, param, channel);
      SettingField& field =
          Add(where, FieldCaption(param), std::to_string(code), CodeText(param, *view_, code));
      const bool outside = code < param.Min || code > param.Max;
      if (judged && outside && code != ReadCode(FactoryDefaults(), param, channel))
        Flag(field, AllowedText(param, *view_));
    }
  }

  SettingField& Add(const std::string& where, std::string caption, std::string key, std::string text) {
    return fields_.emplace_back(SettingField{where, std::move(caption), std::move(key), std::move(text)});
  }

  static void Flag(SettingField& field, std::string allowed) {
    field.OutOfRange = true;
    field.Allowed = std::move(allowed);
  }

  const RecordSet& records_;
  std::vector<SettingField>& fields_;
  std::unique_ptr<ParameterStore> view_;
};

RecordSet Records(const ParameterStore& store, int source, const ModelInfo& model) {
  return RecordSet{
      .Store = &store, .Source = source, .Inputs = model.InputCount, .Outputs = model.OutputCount};
}

}  // namespace

RecordSet LargestModelRecords(const ParameterStore& store, int source) {
  RecordSet set{.Store = &store, .Source = source};
  for (const ModelInfo& model : Models()) {
    set.Inputs = std::max(set.Inputs, model.InputCount);
    set.Outputs = std::max(set.Outputs, model.OutputCount);
  }
  return set;
}

RecordSet ModelRecords(const ParameterStore& store, int source, int model) {
  const ModelInfo* info = FindModel(model);
  return info ? Records(store, source, *info) : LargestModelRecords(store, source);
}

std::vector<SettingField> SettingFields(const RecordSet& records) {
  std::vector<SettingField> fields;
  if (!records.Store || records.Source < 0 || records.Source > kPresetCount) return fields;
  FieldWriter writer(records, fields);
  writer.Channels(ChannelKind::Input, records.Inputs);
  writer.Channels(ChannelKind::Output, records.Outputs);
  if (records.Source == 0 && records.Groups) {
    writer.Groups(ChannelKind::Input);
    writer.Groups(ChannelKind::Output);
  }
  return fields;
}

std::string QuotedName(std::string_view raw) {
  return "\"" + DecodeDeviceText(raw) + "\"";
}

std::string TitleCase(const std::string& caption) {
  static const std::string_view kJoining[] = {"from", "of", "to", "and"};
  std::string out;
  size_t start = 0;
  while (start <= caption.size()) {
    const size_t end = std::min(caption.find(' ', start), caption.size());
    std::string word = caption.substr(start, end - start);
    const bool joining = std::find(std::begin(kJoining), std::end(kJoining), word) != std::end(kJoining);
    if (!word.empty() && (!joining || start == 0))
      word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
    out += (start == 0 ? "" : " ") + word;
    start = end + 1;
  }
  return out;
}

}  // namespace veyra
