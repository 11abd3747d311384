#include "check_commands.hpp"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <optional>

#include "files/settings_diff.hpp"
#include "source_file.hpp"
#include "state/models.hpp"
#include "state/text_format.hpp"

namespace veyra::ctl {
namespace {
namespace fs = std::filesystem;

constexpr size_t kNamedFindings = 3;  // the findings a refusal names

// A file as a set of records: a settings file's live records, a program
// file's program, one program of a bank ("bank.dama:5") or a whole bank.
struct LoadedRecords {
  SourceFile File;
  bool WholeBank = false;
};

struct RecordsArgument {
  std::string Path;
  std::optional<int> Program;
};

// "bank.dama:5" names program 5 of the bank. A name that is an existing file
// as it stands is taken whole, so a file whose name ends in ":5" still loads.
RecordsArgument SplitProgram(const std::string& text) {
  const size_t colon = text.rfind(':');
  std::error_code error;
  if (colon == std::string::npos || fs::exists(text, error)) return {text, std::nullopt};
  const std::string number = text.substr(colon + 1);
  if (number.empty() || number.size() > 3 || number.find_first_not_of("0123456789") != std::string::npos)
    return {text, std::nullopt};
  return {text.substr(0, colon), std::stoi(number)};
}

int LoadRecords(const Console& console, const std::string& text, LoadedRecords& loaded) {
  const RecordsArgument argument = SplitProgram(text);
  if (argument.Program) {
    if (*argument.Program < 1 || *argument.Program > kPresetCount) {
      return console.Usage(Format("\"%s\": programs are numbered 1 to %d", text.c_str(), kPresetCount));
    }
    const std::optional<FileKind> kind = FileKindOf(argument.Path);
    if (kind && *kind != FileKind::Bank) {
      return console.Usage("\"" + text + "\": only a bank file (.dama) holds programs to pick with :N");
    }
  }
  if (const int status = LoadSourceFile(console, argument.Path, argument.Program, loaded.File);
      status != kExitOk)
    return status;
  loaded.WholeBank = loaded.File.Kind == FileKind::Bank && !argument.Program;
  return kExitOk;
}

RecordSet RecordsOf(const LoadedRecords& loaded, int model) {
  return ModelRecords(*loaded.File.Store, loaded.File.Source, model);
}

int WholeBankUsage(const Console& console, const std::string& path) {
  return console.Usage("\"" + path + "\" holds 30 programs: name the one to compare as " + path + ":N");
}

int PrintChanges(const Console& console, const std::vector<SettingChange>& changes) {
  for (const SettingChange& change : changes) console.Out() << ChangeText(change) << '\n';
  return changes.empty() ? kDiffSame : kDiffDiffer;
}

// Every failure of diff, a file or a device that could not be read, is
// trouble (2), so that 1 means only that the two differ.
int Trouble(int status) {
  return status == kExitOk ? kExitOk : kDiffTrouble;
}

int DiffWithDevice(const Console& console, const GlobalOptions& global, const DiffOptions& options) {
  if (options.ModelGiven)
    return console.Usage("--model compares files; a device's own model decides its channels");
  const std::string& path = options.Files.front();
  LoadedRecords file;
  if (const int status = LoadRecords(console, path, file); status != kExitOk) return Trouble(status);
  if (file.WholeBank) return WholeBankUsage(console, path);
  DeviceSession session(console);
  if (const int status = session.Prepare(global); status != kExitOk) return Trouble(status);
  if (const int status = session.Connect(); status != kExitOk) return Trouble(status);
  const ParameterStore& device = session.Store();
  RecordSet live = ModelRecords(device, 0, device.CurrentModel);
  live.Groups = false;
  return PrintChanges(console, DiffRecords(RecordsOf(file, device.CurrentModel), live));
}

}  // namespace

int RunCheck(const Console& console, const CheckOptions& options) {
  LoadedRecords loaded;
  if (const int status = LoadRecords(console, options.File, loaded); status != kExitOk) return status;
  const ParameterStore& store = *loaded.File.Store;
  std::vector<RangeFinding> findings;
  if (loaded.File.Kind == FileKind::Settings) {
    findings = CheckLiveSettings(store);
  } else if (loaded.WholeBank) {
    findings = CheckAllPrograms(store);
  } else {
    findings = CheckProgram(store, loaded.File.Source);
  }
  for (const RangeFinding& finding : findings) console.Out() << FindingText(finding) << '\n';
  return findings.empty() ? kExitOk : console.Failure(OutOfRangeCount(findings.size()));
}

int RunDiff(const Console& console, const GlobalOptions& global, const DiffOptions& options) {
  if (options.Files.size() == 1) return DiffWithDevice(console, global, options);
  if (global.DeviceGiven)
    return console.Usage("diff compares two files, or one with the device: not two files and --device");
  LoadedRecords before, after;
  if (const int status = LoadRecords(console, options.Files[0], before); status != kExitOk)
    return Trouble(status);
  if (const int status = LoadRecords(console, options.Files[1], after); status != kExitOk)
    return Trouble(status);
  const int model = ModelFromCliName(options.Model).value_or(0);
  if (before.WholeBank && after.WholeBank)
    return PrintChanges(console, DiffAllPrograms(*before.File.Store, *after.File.Store, model));
  if (before.WholeBank || after.WholeBank)
    return WholeBankUsage(console, options.Files[before.WholeBank ? 0 : 1]);
  return PrintChanges(console, DiffRecords(RecordsOf(before, model), RecordsOf(after, model)));
}

int RefuseOutOfRange(const Console& console, const std::string& path,
                     const std::vector<RangeFinding>& findings, bool force) {
  if (findings.empty()) return kExitOk;
  const std::string what = Format("\"%s\" has %zu field%s outside the ranges the editors can set (%s)",
                                  path.c_str(), findings.size(), findings.size() == 1 ? "" : "s",
                                  FirstFindings(findings, kNamedFindings).c_str());
  if (force) {
    console.Note(what + "; sending it all the same (--force).");
    return kExitOk;
  }
  return console.Failure(what +
                         "; nothing was sent. \"veyractl check\" lists them; --force sends the file anyway.");
}

void AddCheckCommands(CLI::App& app, const GlobalOptions& global, CheckCommands& c,
                      std::function<int(const Console&)>& run) {
  CLI::App* check = app.add_subcommand(
      "check",
      "List the fields of a .dat, .preset or .dama file that lie outside the ranges the editors can set");
  check->add_option("FILE", c.Check.File, "Settings, program or bank file; BANK.dama:N checks program N only")
      ->required();
  check->footer(
      "Exit status: 0 every field in range, 1 fields out of range (or the file could not be read), "
      "2 a wrong command line.");
  check->callback([&c, &run] { run = [&c](const Console& con) { return RunCheck(con, c.Check); }; });

  CLI::App* diff = app.add_subcommand(
      "diff", "Compare two settings files or programs (A B), or a file with the device's live settings (A)");
  diff->add_option("A", c.DiffA,
                   "Settings (.dat), program (.preset) or bank file (.dama: all 30 programs; "
                   "BANK.dama:N: program N)")
      ->required();
  diff->add_option("B", c.DiffB,
                   "Another such file; without it A is compared with the device that --device names");
  CLI::Option* model =
      diff->add_option("--model", c.Diff.Model,
                       "Model whose channels two files are compared over (sistel, merial, orvane)")
          ->check(CLI::IsMember({"sistel", "merial", "orvane"}, CLI::ignore_case))
          ->capture_default_str();
  diff->footer(
      "Each difference is one line: channel, field, A's value \u2192 B's value.\n"
      "Exit status: 0 the same, 1 they differ, 2 a wrong command line or an input that could not be "
      "read (a file, or the device).");
  diff->callback([&c, &run, &global, model] {
    c.Diff.Files = {c.DiffA};
    if (!c.DiffB.empty()) c.Diff.Files.push_back(c.DiffB);
    c.Diff.ModelGiven = model->count() > 0;
    run = [&c, &global](const Console& con) { return RunDiff(con, global, c.Diff); };
  });
}

}  // namespace veyra::ctl
