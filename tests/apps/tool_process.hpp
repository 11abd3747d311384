// Runs the built tools as the operator would: veyractl as a child process
// with its output captured, and veyra-sim serving on a free loopback port.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace veyra::testing {

struct ToolRun {
  int Exit = -1;  // the exit status, or -1 when the tool did not exit normally
  std::string Out;
  std::string Err;
};

// Runs veyractl with args; stdin is /dev/null, stdout and stderr go to files
// in scratch, read back when it ends.
ToolRun RunVeyractl(const std::vector<std::string>& args, const std::filesystem::path& scratch);

// veyra-sim on 127.0.0.1 with port 0; the port is read from its
// "Listening on HOST:PORT" line. Stopped with SIGTERM when destroyed.
class SimServer {
 public:
  explicit SimServer(const std::vector<std::string>& options);
  ~SimServer();
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  bool Running() const { return port_ != 0; }
  // "tcp:127.0.0.1:PORT"
  std::string Address() const;

 private:
  pid_t pid_ = -1;
  std::FILE* output_ = nullptr;
  int port_ = 0;
};

}  // namespace veyra::testing
