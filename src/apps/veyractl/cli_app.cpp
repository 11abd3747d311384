#include "cli_app.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <functional>
#include <optional>

#include "check_commands.hpp"
#include "device_commands.hpp"
#include "eq_commands.hpp"
#include "file_commands.hpp"
#include "list_command.hpp"
#include "param_commands.hpp"
#include "serve_command.hpp"
#include "system_command.hpp"

// The installation report, where the build has Qt Gui.
#ifdef VEYRA_WITH_REPORT
#include "report_command.hpp"
#endif

namespace veyra::ctl {

namespace {

constexpr char kDescription[] =
    "Back up, restore and examine Veyra QL processors.\n"
    "Exit status: 0 success, 1 the device or a file failed, 2 a wrong command line.";
constexpr char kAddressHelp[] =
    "Processor to talk to: usb (the first one attached), usb:serial=SERIAL (the one with that serial "
    "number), usb:PATH (a given HID node), "
    "sim:MODEL[,opt=value...] (the simulated sistel, merial or orvane), tcp:HOST:PORT (a report bridge)";
const std::vector<std::string> kModelNames{"sistel", "merial", "orvane"};

// Options that CLI11 fills, before they become a command's own.
struct ParsedProgram {
  int Value = 0;
  CLI::Option* Option = nullptr;
  std::optional<int> Get() const { return Option->count() > 0 ? std::optional(Value) : std::nullopt; }
};

void AddProgram(CLI::App& command, ParsedProgram& program, const char* help) {
  program.Option = command.add_option("--program", program.Value, help)->check(CLI::Range(1, 30));
}

void AddModel(CLI::App& command, std::string& model) {
  command.add_option("--model", model, "Model whose columns the table has (sistel, merial, orvane)")
      ->check(CLI::IsMember(kModelNames, CLI::ignore_case))
      ->capture_default_str();
}

// Every command sets run; the main program calls it after a successful parse.
struct Commands {
  GlobalOptions Global;
  std::function<int(const Console&)> Run;

  InfoOptions Info;
  PullOptions Pull;
  std::string File;
  int Program = 0;
  ShowOptions Show;
  ExportOptions Export;
  ResponseOptions Response;
  EqFileOptions ImportEq, ExportEq;
  ParsedProgram ShowProgram, ExportProgram, ResponseProgram;
  std::string Password;
  SettingsOptions Settings;
  std::string BackLight;
  int Temperature = 0;
  CLI::Option* BackLightOption = nullptr;
  CLI::Option* TemperatureOption = nullptr;
  CopyOptions Copy;
  ParamOptions Get, Set;
  ParsedProgram GetProgram;
  ApplyOptions Apply;
  // check and diff; --force of push and restore.
  CheckCommands Check;
  bool Force = false;
};

void AddDeviceCommands(CLI::App& app, Commands& c) {
  CLI::App* info = app.add_subcommand(
      "info",
      "Connect and print model, firmware versions, device id, lock, current program and program names");
  info->add_flag("--json", c.Info.Json, "Print one JSON object");
  info->callback([&c] { c.Run = [&c](const Console& con) { return RunInfo(con, c.Global, c.Info); }; });

  CLI::App* pull =
      app.add_subcommand("pull", "Connect and write the live settings file (and the 30 programs)");
  pull->add_option("--settings", c.Pull.Settings, "Settings file to write (.dat)")->required();
  pull->add_option("--presets", c.Pull.Presets, "Also write the 30 programs to this file (.dama)");
  pull->callback([&c] { c.Run = [&c](const Console& con) { return RunPull(con, c.Global, c.Pull); }; });

  CLI::App* push = app.add_subcommand("push", "Connect, load a settings file and send the live settings");
  push->add_option("FILE", c.File, "Settings file (.dat)")->required();
  push->add_flag("--force", c.Force,
                 "Send the file even when fields lie outside the ranges the editors can set");
  push->callback(
      [&c] { c.Run = [&c](const Console& con) { return RunPush(con, c.Global, c.File, c.Force); }; });

  CLI::App* apply = app.add_subcommand(
      "apply", "Connect and send only the groups in which a settings file differs from the live settings");
  apply->add_option("FILE", c.Apply.File, "Settings file (.dat)")->required();
  apply->add_flag("--dry-run", c.Apply.DryRun, "List the groups that differ and send nothing");
  apply->add_flag("--force", c.Apply.Force,
                  "Send the file even when fields lie outside the ranges the editors can set");
  apply->callback([&c] { c.Run = [&c](const Console& con) { return RunApply(con, c.Global, c.Apply); }; });

  CLI::App* backup = app.add_subcommand("backup", "Download All programs from the device into a file");
  backup->add_option("FILE", c.File, "Bank file to write (.dama)")->required();
  backup->callback([&c] { c.Run = [&c](const Console& con) { return RunBackup(con, c.Global, c.File); }; });

  CLI::App* restore = app.add_subcommand("restore", "Upload All programs from a file to the device");
  restore->add_option("FILE", c.File, "Bank file (.dama)")->required();
  restore->add_flag("--force", c.Force,
                    "Send the file even when fields lie outside the ranges the editors can set");
  restore->callback(
      [&c] { c.Run = [&c](const Console& con) { return RunRestore(con, c.Global, c.File, c.Force); }; });

  CLI::App* recall =
      app.add_subcommand("recall", "Recall a stored program of the device into the live settings");
  recall->add_option("N", c.Program, "Program number 1..30")->required()->check(CLI::Range(1, 30));
  recall->callback(
      [&c] { c.Run = [&c](const Console& con) { return RunRecall(con, c.Global, c.Program); }; });

  CLI::App* reset = app.add_subcommand("reset", "Send the factory defaults to the device");
  reset->callback([&c] { c.Run = [&c](const Console& con) { return RunReset(con, c.Global); }; });
}

void AddAdminCommands(CLI::App& app, Commands& c) {
  CLI::App* lock =
      app.add_subcommand("lock", "Lock the device's front panel with a password (at most 6 characters)");
  lock->add_option("PASSWORD", c.Password, "The password; may be empty (\"\")")->required();
  lock->callback([&c] { c.Run = [&c](const Console& con) { return RunLock(con, c.Global, c.Password); }; });

  CLI::App* unlock = app.add_subcommand("unlock", "Unlock the device's front panel with its password");
  unlock->add_option("PASSWORD", c.Password, "The password the device was locked with; may be empty (\"\")")
      ->required();
  unlock->callback(
      [&c] { c.Run = [&c](const Console& con) { return RunUnlock(con, c.Global, c.Password); }; });

  CLI::App* settings = app.add_subcommand(
      "settings", "Print the backlight, temperature and device id, or change the backlight and temperature");
  c.BackLightOption = settings->add_option("--backlight", c.BackLight, "on (kept on) or 30s (off after 30 s)")
                          ->check(CLI::IsMember({"on", "30s"}));
  c.TemperatureOption =
      settings->add_option("--temperature", c.Temperature, "Air temperature in degrees Celsius, 0..50")
          ->type_name("C")
          ->check(CLI::Range(0, 50));
  settings->callback([&c] {
    if (c.BackLightOption->count() > 0) c.Settings.BackLight = c.BackLight;
    if (c.TemperatureOption->count() > 0) c.Settings.Temperature = c.Temperature;
    c.Run = [&c](const Console& con) { return RunSettings(con, c.Global, c.Settings); };
  });

  CLI::App* copy = app.add_subcommand(
      "copy", "Copy one input's settings onto another input, or one output's onto another output");
  copy->add_option("KIND", c.Copy.Kind, "input or output")
      ->required()
      ->check(CLI::IsMember({"input", "output"}));
  copy->add_option("SOURCE", c.Copy.Source, "Source channel: A..H for inputs, 1..8 for outputs")->required();
  copy->add_option("TARGET", c.Copy.Target, "Target channel, named the same way")->required();
  copy->callback([&c] { c.Run = [&c](const Console& con) { return RunCopy(con, c.Global, c.Copy); }; });
}

void AddFileCommands(CLI::App& app, Commands& c) {
  CLI::App* show = app.add_subcommand("show", "Print the data table of a .dat, .preset or .dama file");
  show->add_option("FILE", c.Show.File, "Settings, program or bank file")->required();
  AddProgram(*show, c.ShowProgram, "Program 1..30 of a .dama file (default 1)");
  AddModel(*show, c.Show.Model);
  show->add_flag("--csv", c.Show.Csv, "Print CSV (RFC 4180, UTF-8)");
  show->callback([&c] {
    c.Show.Program = c.ShowProgram.Get();
    c.Run = [&c](const Console& con) { return RunShow(con, c.Show); };
  });

  CLI::App* exp = app.add_subcommand("export", "Write the data table of a file to a workbook or CSV file");
  exp->add_option("FILE", c.Export.File, "Settings, program or bank file")->required();
  exp->add_option("OUT", c.Export.Out, "File to write: .xlsx or .csv")->required();
  AddProgram(*exp, c.ExportProgram, "Program 1..30 of a .dama file (default 1)");
  AddModel(*exp, c.Export.Model);
  exp->callback([&c] {
    c.Export.Program = c.ExportProgram.Get();
    c.Run = [&c](const Console& con) { return RunExport(con, c.Export); };
  });

  CLI::App* resp =
      app.add_subcommand("response", "Print a channel's filter responses at the 276 grid frequencies");
  resp->add_option("FILE", c.Response.File, "Settings, program or bank file")->required();
  CLI::Option_group* channel =
      resp->add_option_group("channel", "The channel, named as the program names it");
  channel->add_option("--input", c.Response.Input, "Input channel A..H")
      ->check(CLI::IsMember({"A", "B", "C", "D", "E", "F", "G", "H"}, CLI::ignore_case));
  channel->add_option("--output", c.Response.Output, "Output channel 1..8")->check(CLI::Range(1, 8));
  channel->require_option(1);
  AddProgram(*resp, c.ResponseProgram, "Program 1..30 of a .dama file (default 1)");
  resp->add_flag("--csv", c.Response.Csv, "Print CSV: freq,band1..band6[,hp,lp],sum");
  resp->callback([&c] {
    c.Response.Program = c.ResponseProgram.Get();
    c.Run = [&c](const Console& con) { return RunResponse(con, c.Response); };
  });
}

// --input A..H or --output 1..8, exactly one.
void AddEqChannel(CLI::App& command, EqFileOptions& options) {
  CLI::Option_group* channel =
      command.add_option_group("channel", "The channel, named as the program names it");
  channel->add_option("--input", options.Input, "Input channel A..H")
      ->check(CLI::IsMember({"A", "B", "C", "D", "E", "F", "G", "H"}, CLI::ignore_case));
  channel->add_option("--output", options.Output, "Output channel 1..8")->check(CLI::Range(1, 8));
  channel->require_option(1);
}

void AddEqCommands(CLI::App& app, Commands& c) {
  CLI::App* imp = app.add_subcommand(
      "import-eq", "Read a filter text file into EQ bands 1..6 of a channel and rewrite the settings file");
  imp->add_option("FILTERS", c.ImportEq.Filters,
                  "Filter text file (\"Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 1.41\")")
      ->required();
  imp->add_option("SETTINGS", c.ImportEq.Settings, "Settings file (.dat) to rewrite")->required();
  AddEqChannel(*imp, c.ImportEq);
  CLI::Option* fit =
      imp->add_flag("--fit", c.ImportEq.Fit,
                    "Fit six bands to the file's response even when its filters would fit as they are");
  imp->add_flag("--literal", c.ImportEq.Literal,
                "Copy the filters as they are; refuse a file of more than six active filters")
      ->excludes(fit);
  imp->callback([&c] { c.Run = [&c](const Console& con) { return RunImportEq(con, c.ImportEq); }; });

  CLI::App* exp = app.add_subcommand(
      "export-eq", "Print EQ bands 1..6 of a channel of a settings file as filter text (one line per band)");
  exp->add_option("SETTINGS", c.ExportEq.Settings, "Settings file (.dat)")->required();
  AddEqChannel(*exp, c.ExportEq);
  exp->callback([&c] { c.Run = [&c](const Console& con) { return RunExportEq(con, c.ExportEq); }; });
}

void AddParamCommands(CLI::App& app, Commands& c) {
  CLI::App* set = app.add_subcommand(
      "set", "Set parameters of channels by name on the device, or in a settings file with --file");
  set->add_option("WORDS", c.Set.Words, "input A NAME=VALUE ... output 3 NAME=VALUE ...");
  set->add_option("--file", c.Set.File, "Change this settings file (.dat) instead of the device");
  set->add_option("--from", c.Set.Script, "Also read channels and assignments from this file (- for stdin)")
      ->type_name("SCRIPT");
  set->add_option("--groups", c.Set.Groups,
                  "On a device: follow the channel groups of this settings file (the device keeps none)")
      ->type_name("FILE.dat");
  AddModel(*set, c.Set.Model);
  set->add_flag("--no-links", c.Set.NoLinks, "Do not repeat the changes on the linked members of a group");
  set->add_flag("--json", c.Set.Json, "Print the values set as one JSON object");
  set->footer("\n" + ParamNamesHelp() +
              "\nExample: set input A gain=-3.5 mute=off eq2.freq=1000 output 3 xover.hp.type=lr route=A,C");
  set->callback([&c] {
    if (c.Set.Words.empty() && c.Set.Script.empty())
      throw CLI::ValidationError("set", "name a channel and what to set");
    c.Run = [&c](const Console& con) { return RunSet(con, c.Global, c.Set); };
  });

  CLI::App* get = app.add_subcommand("get",
                                     "Print parameters of channels by name (all of a channel, or the named "
                                     "ones), from the device or a file");
  get->add_option("WORDS", c.Get.Words, "input A [NAME ...] output 3 [NAME ...]")->required();
  get->add_option("--file", c.Get.File, "Read this settings, program or bank file instead of the device");
  AddProgram(*get, c.GetProgram, "Program 1..30 of a .dama file (default 1)");
  AddModel(*get, c.Get.Model);
  get->add_flag("--json", c.Get.Json, "Print one JSON object with an object per channel");
  get->footer("\nThe names are those of set (veyractl set --help).");
  get->callback([&c] {
    c.Get.Program = c.GetProgram.Get();
    c.Run = [&c](const Console& con) { return RunGet(con, c.Global, c.Get); };
  });
}

// The first argument that is neither an option nor the value of a global
// option: what the operator meant as the command.
std::string FirstWord(int argc, const char* const* argv) {
  const std::vector<std::string> takesValue{"--device", "--trace", "--report-gap", "--timeout"};
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (std::find(takesValue.begin(), takesValue.end(), arg) != takesValue.end()) {
      ++i;
    } else if (arg.empty() || arg[0] != '-') {
      return arg;
    }
  }
  return {};
}

bool IsCommand(const CLI::App& app, const std::string& word) {
  for (const CLI::App* command : app.get_subcommands({})) {
    if (command->check_name(word)) return true;
  }
  return false;
}

std::string CommandNames(const CLI::App& app) {
  std::string names;
  for (const CLI::App* command : app.get_subcommands({}))
    names += (names.empty() ? "" : ", ") + command->get_name();
  return names;
}

}  // namespace

int RunVeyractl(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                bool stderrIsTerminal) {
  CLI::App app(kDescription, "veyractl");
  app.set_version_flag("--version", VEYRA_VERSION);
  app.require_subcommand(1);
  app.fallthrough();
  Commands c;
  CLI::Option* device =
      app.add_option("--device", c.Global.Device, kAddressHelp)->type_name("ADDRESS")->capture_default_str();
  app.add_option("--trace", c.Global.Trace,
                 "Write the link transcript (every report sent and received) to FILE")
      ->type_name("FILE");
  app.add_flag("-q,--quiet", c.Global.Quiet, "Print only results and errors");
  app.add_option("--report-gap", c.Global.ReportGapUs,
                 "Pause between the reports of one frame, in microseconds (default 5000)")
      ->type_name("US")
      ->check(CLI::Range(0, 1000000));
  app.add_option("--timeout", c.Global.TimeoutMs, "Reply deadline of one exchange, in ms (default 4010)")
      ->type_name("MS")
      ->check(CLI::Range(1, 600000));
  AddDeviceCommands(app, c);
  AddAdminCommands(app, c);
  AddFileCommands(app, c);
  AddEqCommands(app, c);
  AddParamCommands(app, c);
  AddCheckCommands(app, c.Global, c.Check, c.Run);
  AddSystemCommand(app, c.Global, c.Run);
  AddListCommand(app, c.Run);
  AddServeCommand(app, c.Global, c.Run);
#ifdef VEYRA_WITH_REPORT
  AddReportCommand(app, c.Run);
#endif
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (const std::string word = FirstWord(argc, argv); !word.empty() && !IsCommand(app, word)) {
      // CLI11 would only say that a command is missing.
      const Console console(out, err, false, false);
      return console.Usage("unknown command \"" + word + "\"; the commands are " + CommandNames(app));
    }
    return app.exit(e, out, err) == 0 ? kExitOk : kExitUsage;
  }
  c.Global.DeviceGiven = device->count() > 0;
  const Console console(out, err, c.Global.Quiet, stderrIsTerminal);
  return c.Run(console);
}

}  // namespace veyra::ctl
