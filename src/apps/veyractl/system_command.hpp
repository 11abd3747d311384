// veyractl system: the system response of one input, every output it feeds
// and their complex sum, from a settings, program or bank file or from the
// connected processor's live settings.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "console.hpp"
#include "device_session.hpp"

namespace CLI {
class App;
}

namespace veyra::ctl {

struct SystemOptions {
  std::string File;            // empty: the device
  std::string Input;           // A..H
  std::vector<int> Outputs;    // 1..8; empty: all of the model's
  std::optional<int> Program;  // 1..30, .dama only
  std::string Model;           // empty: the settings file's own, else orvane
  bool Csv = false;
};

int RunSystem(const Console& console, const GlobalOptions& global, const SystemOptions& options);

// Registers the command; a parse that chose it sets run.
void AddSystemCommand(CLI::App& app, const GlobalOptions& global, std::function<int(const Console&)>& run);

}  // namespace veyra::ctl
