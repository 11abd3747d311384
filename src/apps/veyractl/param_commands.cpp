#include "param_commands.hpp"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "files/store_files.hpp"
#include "info_report.hpp"
#include "params/param_script.hpp"
#include "params/param_table.hpp"
#include "source_file.hpp"
#include "state/models.hpp"
#include "state/text_format.hpp"
#include "sync/sync_result.hpp"

namespace veyra::ctl {

namespace {

// Until the device has said what it is, a script is checked against the
// largest model; after connecting, against the device's own.
ScriptModel ModelOf(const ParameterStore& store, ScriptTarget target) {
  return ScriptModel{store.InputCount, store.OutputCount, target};
}
const ScriptModel kAnyProcessor{kChannelSlots, kChannelSlots, ScriptTarget::Processor};

// A file carries no model: the channels are those of --model.
ScriptModel UseModel(ParameterStore& store, const std::string& name) {
  const ModelInfo* info = FindModel(ModelFromCliName(name).value_or(3));
  store.CurrentModel = info->Model;
  store.InputCount = info->InputCount;
  store.OutputCount = info->OutputCount;
  return ModelOf(store, ScriptTarget::File);
}

// The words of the command line, then those of the script file.
int GatherWords(const Console& console, const ParamOptions& options, std::vector<std::string>& words) {
  words = options.Words;
  if (options.Script.empty()) return kExitOk;
  std::string text;
  if (options.Script == "-") {
    text.assign(std::istreambuf_iterator<char>(std::cin), {});
  } else {
    std::ifstream in(options.Script, std::ios::binary);
    if (!in) return console.Failure("Cannot open \"" + options.Script + "\"");
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::optional<std::vector<std::string>> more = ScriptWords(text);
  if (!more) return console.Usage(options.Script + ": a quote is not closed");
  words.insert(words.end(), more->begin(), more->end());
  return kExitOk;
}

struct Script {
  std::vector<ScriptSection> Sections;
  std::vector<std::vector<ScriptAssignment>> Assignments;
};

int ReadScript(const Console& console, const ParameterStore& store, const std::vector<std::string>& words,
               const ScriptModel& model, Script& script) {
  if (auto error = SplitSections(words, model, script.Sections)) return console.Usage(*error);
  if (auto error = ReadAssignments(store, script.Sections, model, script.Assignments))
    return console.Usage(*error);
  return kExitOk;
}

int CheckGet(const Console& console, const std::vector<std::string>& words, const ScriptModel& model,
             std::vector<ScriptSection>& sections) {
  if (auto error = SplitSections(words, model, sections)) return console.Usage(*error);
  for (const ScriptSection& s : sections)
    if (auto error = CheckNames(s, model)) return console.Usage(*error);
  return kExitOk;
}

// "input A gain=-3.5dB" lines (words set reads back), or one JSON object
// with an object per channel.
void PrintValues(const Console& console, const ParameterStore& store,
                 const std::vector<ScriptSection>& sections, const ScriptModel& model, bool json) {
  std::ostringstream out;
  if (json) out << "{";
  for (size_t i = 0; i < sections.size(); ++i) {
    const ScriptSection& s = sections[i];
    std::vector<std::string> names = s.Words;
    for (std::string& n : names) n = n.substr(0, n.find('='));
    if (names.empty()) names = ScriptNames(s.Kind, model);
    const std::string channel = ScriptChannelText(s.Kind, s.Channel);
    if (json) out << (i ? "," : "") << JsonString(channel) << ":{";
    for (size_t n = 0; n < names.size(); ++n) {
      const std::string value = ScriptValue(store, s.Kind, s.Channel, names[n]);
      if (json) {
        out << (n ? "," : "") << JsonString(names[n]) << ":" << JsonString(value);
      } else {
        out << channel << " " << names[n] << "=" << ScriptWord(value) << "\n";
      }
    }
    if (json) out << "}";
  }
  if (json) out << "}\n";
  console.Out() << out.str();
}

int SettingsFileOnly(const Console& console, const std::string& path) {
  const std::optional<FileKind> kind = FileKindOf(path);
  if (kind && *kind != FileKind::Settings)
    return console.Usage("set changes settings files (.dat); \"" + path + "\" holds programs");
  return kExitOk;
}

int SetInFile(const Console& console, const ParamOptions& options, const std::vector<std::string>& words) {
  if (!options.Groups.empty())
    return console.Usage("--groups is for a device; a settings file has its own groups");
  if (const int status = SettingsFileOnly(console, options.File); status != kExitOk) return status;
  SourceFile file;
  if (const int status = LoadSourceFile(console, options.File, std::nullopt, file); status != kExitOk)
    return status;
  ParameterStore& store = *file.Store;
  const ScriptModel model = UseModel(store, options.Model);
  Script script;
  if (const int status = ReadScript(console, store, words, model, script); status != kExitOk) return status;
  ChangeLog log;
  std::vector<std::string> notes;
  ApplyAssignments(store, script.Sections, script.Assignments, !options.NoLinks, log, &notes);
  for (const std::string& note : notes) console.Note(note);
  // The band counts follow the bands, as the program's refresh keeps them.
  UpdateBandCountWords(store);
  if (const SaveResult saved = WriteSettingsFile(store, options.File); !saved.ok())
    return console.Failure(saved.Error);
  if (!console.Quiet()) PrintValues(console, store, script.Sections, model, options.Json);
  return kExitOk;
}

// The processor keeps no groups: they live in the program and its settings
// files, so a script that is to follow them on a device takes them from one.
int LoadGroups(const Console& console, const std::string& path, std::unique_ptr<ParameterStore>& groups) {
  if (path.empty()) return kExitOk;
  if (const int status = SettingsFileOnly(console, path); status != kExitOk) return status;
  SourceFile file;
  if (const int status = LoadSourceFile(console, path, std::nullopt, file); status != kExitOk) return status;
  groups = std::move(file.Store);
  return kExitOk;
}

void TakeGroups(ParameterStore& store, const ParameterStore& from) {
  std::copy(std::begin(from.InputGroups), std::end(from.InputGroups), std::begin(store.InputGroups));
  std::copy(std::begin(from.OutputGroups), std::end(from.OutputGroups), std::begin(store.OutputGroups));
  for (int ch = 0; ch < kChannelSlots; ++ch) {
    store.Inputs[ch].GroupNumber = from.Inputs[ch].GroupNumber;
    store.Outputs[ch].GroupNumber = from.Outputs[ch].GroupNumber;
  }
}

int SetOnDevice(const Console& console, const GlobalOptions& global, const ParamOptions& options,
                const std::vector<std::string>& words) {
  // Everything that can be checked without the device is checked first: a
  // wrong name costs no connection.
  {
    auto scratch = std::make_unique<ParameterStore>();
    Script script;
    if (const int status = ReadScript(console, *scratch, words, kAnyProcessor, script); status != kExitOk)
      return status;
  }
  std::unique_ptr<ParameterStore> groups;
  if (const int status = LoadGroups(console, options.Groups, groups); status != kExitOk) return status;
  return Connected(console, global, [&](DeviceSession& session) {
    ParameterStore& store = session.Store();
    if (groups) TakeGroups(store, *groups);
    const ScriptModel model = ModelOf(store, ScriptTarget::Processor);
    Script script;
    if (const int status = ReadScript(console, store, words, model, script); status != kExitOk) return status;
    if (store.System.LockState != 0) {
      SyncResult locked;
      locked.Status = SyncStatus::Locked;
      return session.Outcome(locked, "the change");
    }
    ChangeLog log;
    std::vector<std::string> notes;
    ApplyAssignments(store, script.Sections, script.Assignments, !options.NoLinks, log, &notes);
    for (const std::string& note : notes) console.Note(note);
    const SyncResult sent = SendWrites(store, session.Link(), log.Addresses());
    if (const int status = session.Outcome(sent, "the change", true); status != kExitOk) return status;
    if (!console.Quiet()) PrintValues(console, store, script.Sections, model, options.Json);
    return kExitOk;
  });
}

// A program's records where get reads the live ones.
void ShowProgramAsLive(SourceFile& file) {
  if (file.Source == 0) return;
  ParameterStore& store = *file.Store;
  std::copy(std::begin(store.Presets[file.Source].Inputs), std::end(store.Presets[file.Source].Inputs),
            std::begin(store.Inputs));
  std::copy(std::begin(store.Presets[file.Source].Outputs), std::end(store.Presets[file.Source].Outputs),
            std::begin(store.Outputs));
}

// A command given both a file and a device would leave the operator guessing
// which one it changed.
int FileOrDevice(const Console& console, const GlobalOptions& global, const ParamOptions& options) {
  if (!options.File.empty() && global.DeviceGiven)
    return console.Usage("--file works on the file and --device on a device: give one of them");
  return kExitOk;
}

}  // namespace

int RunGet(const Console& console, const GlobalOptions& global, const ParamOptions& options) {
  if (const int status = FileOrDevice(console, global, options); status != kExitOk) return status;
  if (options.File.empty()) {
    std::vector<ScriptSection> sections;
    if (const int status = CheckGet(console, options.Words, kAnyProcessor, sections); status != kExitOk)
      return status;
    return Connected(console, global, [&](DeviceSession& session) {
      ParameterStore& store = session.Store();
      const ScriptModel model = ModelOf(store, ScriptTarget::Processor);
      if (const int status = CheckGet(console, options.Words, model, sections); status != kExitOk)
        return status;
      PrintValues(console, store, sections, model, options.Json);
      return kExitOk;
    });
  }
  SourceFile file;
  if (const int status = LoadSourceFile(console, options.File, options.Program, file); status != kExitOk)
    return status;
  const ScriptModel model = UseModel(*file.Store, options.Model);
  ShowProgramAsLive(file);
  std::vector<ScriptSection> sections;
  if (const int status = CheckGet(console, options.Words, model, sections); status != kExitOk) return status;
  PrintValues(console, *file.Store, sections, model, options.Json);
  return kExitOk;
}

int RunSet(const Console& console, const GlobalOptions& global, const ParamOptions& options) {
  if (const int status = FileOrDevice(console, global, options); status != kExitOk) return status;
  std::vector<std::string> words;
  if (const int status = GatherWords(console, options, words); status != kExitOk) return status;
  return options.File.empty() ? SetOnDevice(console, global, options, words)
                              : SetInFile(console, options, words);
}

std::string ParamNamesHelp() {
  struct Row {
    std::string Name, Sides, Values;
  };
  std::vector<Row> rows{{"name", "both", "up to 8 bytes of device text (a Chinese character takes two)"}};
  const auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  const auto add = [&rows](std::string name, const std::string& side, const std::string& values) {
    for (Row& r : rows)
      if (r.Name == name) {
        if (r.Sides != side) r.Sides = "both";
        return;
      }
    rows.push_back({std::move(name), side, values});
  };
  for (const ChannelKind kind : {ChannelKind::Input, ChannelKind::Output}) {
    const std::string side = kind == ChannelKind::Input ? "inputs" : "outputs";
    for (const ParamDescriptor& p : ChannelParams(kind)) {
      if (!p.Edited) continue;
      std::string name = p.Name;
      if (p.Band != 0) name = "eqN" + name.substr(3);
      if (name.starts_with("route.")) {
        add("route", side, "the inputs it takes: A,C (or none)");
        name = "route.a..h";
      }
      std::string values;
      for (const std::string& c : p.Choices) values += (values.empty() ? "" : "|") + c;
      if (values.empty()) values = ParamText(p, *store, p.Min) + ".." + ParamText(p, *store, p.Max);
      if (name == "mute") values += " (on: muted)";
      if (name == "gain") values += " (OFF: -36.0dB)";
      if (p.Group == kNotSent) values += " (settings files only)";
      add(name, side, values);
      if (p.Band != 0 && name == "eqN.slope") add("eqN.bypass", side, "on|off (settings files only)");
    }
  }
  std::string text =
      "Names (any case; N = band 1..6) and values (units may be written or left out: 5ms, -6dB, 1000Hz; "
      "choices in any case, with or without hyphens):\n";
  for (const Row& r : rows)
    text += Format("  %-20s %-8s %s\n", r.Name.c_str(), r.Sides.c_str(), r.Values.c_str());
  return text;
}

}  // namespace veyra::ctl
