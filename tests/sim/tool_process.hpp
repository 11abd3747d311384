// Runs the built tools as the operator would: a tool as a child process with
// its output captured, and veyra-sim serving on a free loopback port.
// Users define VEYRA_SIM_EXE, the path of the built veyra-sim.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace veyra::testing {

struct ToolRun {
  int Exit = -1;  // the exit status, or -1 when the tool did not exit normally
  std::string Out, Err;
};

// Spawns argv[0] with argv; file actions set up its standard streams.
inline pid_t Spawn(std::vector<std::string> args, const posix_spawn_file_actions_t& actions) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  return posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// Spawns argv[0] with its standard output on a pipe; the pipe's read end in
// *out (-1 when no pipe could be made), the pid or -1.
inline pid_t SpawnReading(const std::vector<std::string>& args, int* out) {
  int fds[2];
  *out = -1;
  if (pipe(fds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const pid_t pid = Spawn(args, actions);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  *out = fds[0];
  return pid;
}

inline int WaitFor(pid_t pid) {
  int status = 0;
  while (pid > 0 && waitpid(pid, &status, 0) < 0) {
  }
  return pid > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs args (the tool's path first) with stdin from /dev/null; stdout and
// stderr go to files in scratch, read back when it ends.
inline ToolRun RunTool(const std::vector<std::string>& args, const std::filesystem::path& scratch) {
  const std::string out = (scratch / "stdout.txt").string(), err = (scratch / "stderr.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ToolRun run;
  run.Exit = WaitFor(Spawn(args, actions));
  posix_spawn_file_actions_destroy(&actions);
  run.Out = Slurp(out);
  run.Err = Slurp(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

// veyra-sim on 127.0.0.1 with port 0; the port is read from its
// "Listening on HOST:PORT" line, printed once it listens, so a connection
// made after reading it cannot be refused. Stopped with SIGTERM when destroyed.
class SimServer {
 public:
  explicit SimServer(const std::vector<std::string>& options) {
    std::vector<std::string> args{VEYRA_SIM_EXE, "--listen", "127.0.0.1:0"};
    args.insert(args.end(), options.begin(), options.end());
    int fd = -1;
    pid_ = SpawnReading(args, &fd);
    if (fd < 0) return;
    // The pipe stays open while the server runs, so that it may still write.
    output_ = fdopen(fd, "r");
    char line[256] = {};
    if (pid_ > 0 && output_ && std::fgets(line, sizeof line, output_)) {
      std::sscanf(line, "Listening on 127.0.0.1:%d", &port_);
    }
  }
  ~SimServer() {
    if (pid_ > 0) kill(pid_, SIGTERM);
    WaitFor(pid_);
    if (output_) std::fclose(output_);
  }
  SimServer(const SimServer&) = delete;
  SimServer& operator=(const SimServer&) = delete;

  int Port() const { return port_; }
  std::string Address() const { return "tcp:127.0.0.1:" + std::to_string(port_); }

 private:
  pid_t pid_ = -1;
  std::FILE* output_ = nullptr;
  int port_ = 0;
};

}  // namespace veyra::testing
