// The command line of veyractl: global options, the commands, and the exit
// status (0 success, 1 the device or a file failed, 2 a usage error).
#pragma once

#include <ostream>

namespace veyra::ctl {

// Parses argv and runs the command. stderrIsTerminal decides whether long
// operations draw their progress.
int RunVeyractl(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
                bool stderrIsTerminal);

}  // namespace veyra::ctl
