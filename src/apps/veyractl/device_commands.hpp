// The commands that talk to a processor. Each starts from a freshly
// initialised store and runs the connection sequence first, as the program
// does when it connects; the rest is the same sequence the program runs for
// the menu command or dialog button of the same purpose.
#pragma once

#include <optional>
#include <string>

#include "device_session.hpp"

namespace veyra::ctl {

struct InfoOptions {
  bool Json = false;
};

struct PullOptions {
  std::string Settings;  // .dat
  std::string Presets;   // .dama, or empty
};

struct SettingsOptions {
  std::optional<std::string> BackLight;  // "on" (kept on) or "30s"
  std::optional<int> Temperature;        // 0..50
};

struct CopyOptions {
  std::string Kind;  // "input" or "output"
  std::string Source;
  std::string Target;
};

int RunInfo(const Console& console, const GlobalOptions& global, const InfoOptions& options);
int RunPull(const Console& console, const GlobalOptions& global, const PullOptions& options);
// push and restore refuse a file that fails the check (see RunCheck) unless forced.
int RunPush(const Console& console, const GlobalOptions& global, const std::string& file, bool force = false);
// Sends only the groups in which the file's live settings differ from the
// device's; checked first as push is. With DryRun lists them and sends nothing.
struct ApplyOptions {
  std::string File;
  bool Force = false;
  bool DryRun = false;
};
int RunApply(const Console& console, const GlobalOptions& global, const ApplyOptions& options);
int RunBackup(const Console& console, const GlobalOptions& global, const std::string& file);
int RunRestore(const Console& console, const GlobalOptions& global, const std::string& file,
               bool force = false);
int RunRecall(const Console& console, const GlobalOptions& global, int program);
int RunReset(const Console& console, const GlobalOptions& global);
// The Security dialog's Lock and UnLock, the System Setting dialog's OK (or
// the three settings printed), and the Copy dialog's Copy In and Copy Out.
int RunLock(const Console& console, const GlobalOptions& global, const std::string& password);
int RunUnlock(const Console& console, const GlobalOptions& global, const std::string& password);
int RunSettings(const Console& console, const GlobalOptions& global, const SettingsOptions& options);
int RunCopy(const Console& console, const GlobalOptions& global, const CopyOptions& options);

}  // namespace veyra::ctl
