// check and diff: what a settings, program or bank file holds, judged against
// the editors' ranges or compared with another file or a device's live
// settings; and the guard that keeps push and restore from sending a file
// that fails the check.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "console.hpp"
#include "device_session.hpp"
#include "files/file_check.hpp"

namespace CLI {
class App;
}

namespace veyra::ctl {

struct CheckOptions {
  std::string File;  // FILE, or BANK.dama:N for one program
};

struct DiffOptions {
  std::vector<std::string> Files;  // two to compare, or one to compare with the device
  std::string Model = "orvane";
  bool ModelGiven = false;
};

// The exit status of diff, as diff(1) has it.
inline constexpr int kDiffSame = 0;
inline constexpr int kDiffDiffer = 1;
inline constexpr int kDiffTrouble = 2;  // a wrong command line, or an input that could not be read

int RunCheck(const Console& console, const CheckOptions& options);
int RunDiff(const Console& console, const GlobalOptions& global, const DiffOptions& options);

// Before a file is sent: kExitOk when it has no findings, or when force is
// set (with a note); otherwise says how many fields are out of range and
// which come first, and returns kExitFailed.
int RefuseOutOfRange(const Console& console, const std::string& path,
                     const std::vector<RangeFinding>& findings, bool force);

// The options and the run of check and diff on the tool's command line.
struct CheckCommands {
  CheckOptions Check;
  DiffOptions Diff;
  std::string DiffA, DiffB;
};
void AddCheckCommands(CLI::App& app, const GlobalOptions& global, CheckCommands& commands,
                      std::function<int(const Console&)>& run);

}  // namespace veyra::ctl
