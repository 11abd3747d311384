// veyractl report: the installation report (PDF) of a settings, program or
// bank file, written without a display.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "console.hpp"

namespace CLI {
class App;
}

namespace veyra::ctl {

struct ReportCommandOptions {
  std::string File;
  std::string Out;             // .pdf
  std::optional<int> Program;  // 1..30, .dama only
  std::string Paper = "a4";    // a4 or letter
  std::string Model;           // empty: the settings file's own model, else orvane
};

int RunReport(const Console& console, const ReportCommandOptions& options);

// Registers the command; a parse that chose it sets run.
void AddReportCommand(CLI::App& app, std::function<int(const Console&)>& run);

}  // namespace veyra::ctl
