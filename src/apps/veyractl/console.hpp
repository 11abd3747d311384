// Where a command's results and messages go, and the exit status it ends with.
// Results (tables, CSV, info) go to Out; errors, notes and progress to Err, so
// that the output of a command can be piped while the operator still reads
// what went wrong.
#pragma once

#include <ostream>
#include <string>

namespace veyra::ctl {

// The exit status of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the device or a file failed
inline constexpr int kExitUsage = 2;   // the command line was wrong

class Console {
 public:
  Console(std::ostream& out, std::ostream& err, bool quiet, bool progress)
      : out_(out), err_(err), quiet_(quiet), progress_(progress && !quiet) {}

  std::ostream& Out() const { return out_; }
  std::ostream& Err() const { return err_; }
  bool Quiet() const { return quiet_; }
  // Progress is drawn only on a terminal, and never with --quiet.
  bool ShowsProgress() const { return progress_; }

  // A failure of the device or a file: the message as it stands (the
  // program's own texts are kept exactly), then exit status 1.
  int Failure(const std::string& message) const;
  // A wrong command line: the message and a hint, then exit status 2.
  int Usage(const std::string& message) const;
  // A note that does not change the outcome (a short file, say); not with --quiet.
  void Note(const std::string& message) const;

 private:
  std::ostream& out_;
  std::ostream& err_;
  bool quiet_;
  bool progress_;
};

}  // namespace veyra::ctl
