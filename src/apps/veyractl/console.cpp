#include "console.hpp"

namespace veyra::ctl {

int Console::Failure(const std::string& message) const {
  err_ << message << '\n' << std::flush;
  return kExitFailed;
}

int Console::Usage(const std::string& message) const {
  err_ << "veyractl: " << message << "\nRun with --help for more information.\n" << std::flush;
  return kExitUsage;
}

void Console::Note(const std::string& message) const {
  if (!quiet_ && !message.empty()) err_ << message << '\n' << std::flush;
}

}  // namespace veyra::ctl
