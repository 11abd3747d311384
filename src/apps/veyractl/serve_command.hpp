// veyractl serve: a processor on this computer (any device address) served on
// the TCP report bridge, so that a program elsewhere controls it through
// tcp:HOST:PORT. Runs until SIGINT or SIGTERM.
#pragma once

#include <functional>

#include "console.hpp"
#include "device_session.hpp"

namespace CLI {
class App;
}

namespace veyra::ctl {

void AddServeCommand(CLI::App& app, const GlobalOptions& global, std::function<int(const Console&)>& run);

}  // namespace veyra::ctl
