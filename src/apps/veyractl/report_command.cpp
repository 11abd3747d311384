#include "report_command.hpp"

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

#include "report/installation_report.hpp"
#include "source_file.hpp"
#include "state/device_text.hpp"
#include "state/models.hpp"

namespace veyra::ctl {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return text;
}

// Qt's notes (a missing runtime folder, say) are not the operator's business.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "veyractl: %s\n", qPrintable(message));
}

// The PDF writer needs a QGuiApplication for its fonts; without a display
// the offscreen platform serves, unless the environment names another.
class GuiForReport {
 public:
  GuiForReport() {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    previous_ = qInstallMessageHandler(QuietQtMessages);
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  ~GuiForReport() {
    app_.reset();
    if (previous_ != nullptr) qInstallMessageHandler(previous_);
  }

 private:
  int argc_ = 1;
  char name_[9] = "veyractl";
  char* argv_[2] = {name_, nullptr};
  QtMessageHandler previous_ = nullptr;
  std::unique_ptr<QGuiApplication> app_;
};

// --model wins; a settings file pulled from a processor names its model in
// its system block; anything else is reported as an Orvane, as show does.
int ReportModel(const std::string& option, const SourceFile& loaded) {
  if (!option.empty()) return ModelFromCliName(option).value_or(3);
  if (loaded.Kind == FileKind::Settings) {
    const SystemSettings& sys = loaded.Store->System;
    if (const auto model = ModelFromDeviceCode(std::string_view(sys.ModelCode, sizeof sys.ModelCode)))
      return *model;
  }
  return *ModelFromCliName("orvane");
}

}  // namespace

int RunReport(const Console& console, const ReportCommandOptions& options) {
  if (Lower(std::filesystem::path(options.Out).extension().string()) != ".pdf")
    return console.Usage("the report file must end in .pdf: \"" + options.Out + "\"");
  SourceFile loaded;
  if (const int status = LoadSourceFile(console, options.File, options.Program, loaded); status != kExitOk)
    return status;

  ReportSubject subject;
  subject.Source = loaded.Source;
  subject.Model = ReportModel(options.Model, loaded);
  subject.FileName = std::filesystem::path(options.File).filename().string();
  if (loaded.Kind != FileKind::Settings) {
    // A program file lands in program 1 whatever its number was: its name is all it tells.
    subject.ProgramNumber = loaded.Kind == FileKind::Bank ? loaded.Source : 0;
    subject.ProgramName = DecodeField(loaded.Store->Presets[loaded.Source].Name);
  }
  ReportOptions report;
  report.Paper = Lower(options.Paper) == "letter" ? PaperSize::Letter : PaperSize::A4;

  const GuiForReport gui;
  const ReportOutcome outcome = WriteInstallationReport(*loaded.Store, subject, report, options.Out);
  if (!outcome.ok()) return console.Failure(outcome.Error);
  console.Note("Wrote the report (" + std::to_string(outcome.Pages) + " pages) to \"" + options.Out + "\".");
  return kExitOk;
}

void AddReportCommand(CLI::App& app, std::function<int(const Console&)>& run) {
  auto options = std::make_shared<ReportCommandOptions>();
  auto program = std::make_shared<int>(0);
  CLI::App* command =
      app.add_subcommand("report", "Write the installation report (PDF) of a .dat, .preset or .dama file");
  command->add_option("SETTINGS", options->File, "Settings, program or bank file")->required();
  command->add_option("OUT", options->Out, "Report to write (.pdf)")->required();
  CLI::Option* programOption =
      command->add_option("--program", *program, "Program 1..30 of a .dama file (default 1)")
          ->check(CLI::Range(1, 30));
  command->add_option("--paper", options->Paper, "Page size: a4 or letter")
      ->check(CLI::IsMember({"a4", "letter"}, CLI::ignore_case))
      ->capture_default_str();
  command
      ->add_option("--model", options->Model,
                   "Model of the channels reported (sistel, merial, orvane); default: the settings "
                   "file's own, else orvane")
      ->check(CLI::IsMember({"sistel", "merial", "orvane"}, CLI::ignore_case));
  command->callback([options, program, programOption, &run] {
    if (programOption->count() > 0) options->Program = *program;
    run = [options](const Console& console) { return RunReport(console, *options); };
  });
}

}  // namespace veyra::ctl
