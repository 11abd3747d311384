#include "system_command.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <memory>
#include <sstream>

#include "curves/system_response.hpp"
#include "source_file.hpp"
#include "state/models.hpp"
#include "state/text_format.hpp"
#include "text_table.hpp"

namespace veyra::ctl {
namespace {

// Enough digits that a reader recomputing the sum agrees to far below 1e-6.
constexpr const char* kValueFormat = "%.9f";
// The readable table: three rows per octave from 20 Hz to 20 kHz.
constexpr int kTextFirst = 15;  // 20.31 Hz
constexpr int kTextStep = 8;

struct Channels {
  const InputChannel* Inputs = nullptr;
  const OutputChannel* Outputs = nullptr;
  int InputCount = 0;
  int OutputCount = 0;
};

// --model wins; a settings file pulled from a processor names its model;
// anything else counts as an Orvane, as show does.
const ModelInfo& FileModel(const std::string& option, const SourceFile& loaded) {
  if (!option.empty()) return *FindModel(ModelFromCliName(option).value_or(3));
  if (loaded.Kind == FileKind::Settings) {
    const SystemSettings& sys = loaded.Store->System;
    if (const auto model = ModelFromDeviceCode(std::string_view(sys.ModelCode, sizeof sys.ModelCode)))
      return *FindModel(*model);
  }
  return *FindModel(3);
}

std::string Value(double v) {
  return Format(kValueFormat, v);
}

std::string Csv(const SystemResponse& system, const std::vector<int>& present) {
  std::ostringstream out;
  out << "freq";
  for (const int k : present) out << ",out" << k + 1 << "_db,out" << k + 1 << "_deg";
  out << ",sum_db,sum_deg\r\n";
  for (int i = 0; i < kFrequencyPoints; ++i) {
    out << Format("%g", FrequencyTable[i]);
    for (const int k : present)
      out << ',' << Value(MagnitudeDb(system.Path(k)[i])) << ',' << Value(PhaseDegrees(system.Path(k)[i]));
    out << ',' << Value(MagnitudeDb(system.Sum()[i])) << ',' << Value(PhaseDegrees(system.Sum()[i]))
        << "\r\n";
  }
  return out.str();
}

std::string Text(const SystemResponse& system, const std::vector<int>& present) {
  std::vector<std::vector<std::string>> grid;
  std::vector<std::string> head{"Hz"};
  for (const int k : present) {
    head.push_back(Format("OUT %d dB", k + 1));
    head.push_back("deg");
  }
  head.push_back("Sum dB");
  head.push_back("deg");
  grid.push_back(head);
  const auto row = [&](int i) {
    std::vector<std::string> cells{Format("%g", FrequencyTable[i])};
    const auto add = [&cells](const Complex& h) {
      cells.push_back(Format("%.2f", MagnitudeDb(h)));
      cells.push_back(Format("%.1f", PhaseDegrees(h)));
    };
    for (const int k : present) add(system.Path(k)[i]);
    add(system.Sum()[i]);
    grid.push_back(cells);
  };
  for (int i = kTextFirst; i < kFrequencyPoints && FrequencyTable[i] <= 20000; i += kTextStep) row(i);
  return AlignedText(grid, std::vector<bool>(head.size(), true));
}

int Report(const Console& console, const Channels& channels, const SystemOptions& options) {
  const int input = std::toupper(static_cast<unsigned char>(options.Input[0])) - 'A';
  if (input >= channels.InputCount)
    return console.Usage(
        Format("input %c: the model has inputs A..%c", 'A' + input, 'A' + channels.InputCount - 1));
  uint8_t mask = 0;
  if (options.Outputs.empty()) {
    mask = static_cast<uint8_t>((1u << channels.OutputCount) - 1);
  } else {
    for (const int k : options.Outputs) {
      if (k < 1 || k > channels.OutputCount)
        return console.Usage(Format("output %d: the model has outputs 1..%d", k, channels.OutputCount));
      mask = static_cast<uint8_t>(mask | 1u << (k - 1));
    }
  }
  SystemResponse system;
  system.Attach(channels.Inputs, channels.Outputs);
  system.Select(input, mask);
  std::vector<int> present;
  for (int k = 0; k < channels.OutputCount; ++k) {
    if (!system.Considered(k)) continue;
    if (system.Present(k)) {
      present.push_back(k);
    } else {
      // Always said, also with --quiet: it explains a column the reader misses.
      console.Err() << "output " << k + 1 << " left out: " << AbsenceText(system.Absence(k), input) << '\n';
    }
  }
  if (present.empty())
    return console.Failure(Format("Input %c reaches none of the outputs considered.", 'A' + input));
  console.Out() << (options.Csv ? Csv(system, present) : Text(system, present));
  return kExitOk;
}

}  // namespace

int RunSystem(const Console& console, const GlobalOptions& global, const SystemOptions& options) {
  if (!options.File.empty() && global.DeviceGiven)
    return console.Usage("FILE is read and --device is asked: give one of them");
  if (options.File.empty()) {
    if (!global.DeviceGiven) return console.Usage("give a settings, program or bank file, or --device");
    if (options.Program) return console.Usage("--program chooses a program of a .dama file");
    if (!options.Model.empty())
      return console.Usage("a connected processor tells its own model; drop --model");
    return Connected(console, global, [&](DeviceSession& session) {
      const ParameterStore& store = session.Store();
      return Report(console, {store.Inputs, store.Outputs, store.InputCount, store.OutputCount}, options);
    });
  }
  SourceFile loaded;
  if (const int status = LoadSourceFile(console, options.File, options.Program, loaded); status != kExitOk)
    return status;
  const ModelInfo& model = FileModel(options.Model, loaded);
  return Report(console, {loaded.Inputs(), loaded.Outputs(), model.InputCount, model.OutputCount}, options);
}

void AddSystemCommand(CLI::App& app, const GlobalOptions& global, std::function<int(const Console&)>& run) {
  auto options = std::make_shared<SystemOptions>();
  auto program = std::make_shared<int>(0);
  CLI::App* command = app.add_subcommand(
      "system",
      "Print the system response of one input: each output it feeds and their sum, level and phase");
  command->add_option("FILE", options->File,
                      "Settings, program or bank file (or --device for the live settings)");
  command->add_option("--input", options->Input, "Input channel A..H")
      ->required()
      ->check(CLI::IsMember({"A", "B", "C", "D", "E", "F", "G", "H"}, CLI::ignore_case));
  command
      ->add_option("--outputs", options->Outputs,
                   "Outputs to consider, as 1,3,4 (default: all of the model's)")
      ->delimiter(',')
      ->check(CLI::Range(1, 8));
  CLI::Option* programOption =
      command->add_option("--program", *program, "Program 1..30 of a .dama file (default 1)")
          ->check(CLI::Range(1, 30));
  command
      ->add_option("--model", options->Model,
                   "Model whose channels count (sistel, merial, orvane); default: the settings file's own, "
                   "else orvane")
      ->check(CLI::IsMember({"sistel", "merial", "orvane"}, CLI::ignore_case));
  command->add_flag("--csv", options->Csv,
                    "Print CSV: freq,outK_db,outK_deg,...,sum_db,sum_deg at the 276 grid frequencies");
  command->callback([options, program, programOption, &global, &run] {
    if (programOption->count() > 0) options->Program = *program;
    std::transform(options->Model.begin(), options->Model.end(), options->Model.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    run = [options, &global](const Console& console) { return RunSystem(console, global, *options); };
  });
}

}  // namespace veyra::ctl
