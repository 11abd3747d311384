#include "tool_process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>

extern char** environ;

namespace veyra::testing {

namespace {

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<char*> Argv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return argv;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ToolRun RunVeyractl(const std::vector<std::string>& args, const std::filesystem::path& scratch) {
  std::vector<std::string> all{VEYRACTL_PATH};
  all.insert(all.end(), args.begin(), args.end());
  const std::string outPath = (scratch / "stdout.txt").string();
  const std::string errPath = (scratch / "stderr.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  std::vector<char*> argv = Argv(all);
  ToolRun run;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) run.Exit = WaitFor(pid);
  posix_spawn_file_actions_destroy(&actions);
  run.Out = Slurp(outPath);
  run.Err = Slurp(errPath);
  std::filesystem::remove(outPath);
  std::filesystem::remove(errPath);
  return run;
}

SimServer::SimServer(const std::vector<std::string>& options) {
  std::vector<std::string> all{VEYRA_SIM_PATH, "--listen", "127.0.0.1:0"};
  all.insert(all.end(), options.begin(), options.end());
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  std::vector<char*> argv = Argv(all);
  const bool spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (!spawned) {
    pid_ = -1;
    close(pipeFds[0]);
    return;
  }
  // The server prints its line once it listens, so a connection made after
  // reading it cannot be refused.
  // The pipe stays open while the server runs, so that it may still write.
  output_ = fdopen(pipeFds[0], "r");
  char line[256] = {};
  unsigned port = 0;
  if (output_ && std::fgets(line, sizeof line, output_) &&
      std::sscanf(line, "Listening on 127.0.0.1:%u", &port) == 1) {
    port_ = static_cast<int>(port);
  }
}

SimServer::~SimServer() {
  if (pid_ > 0) {
    kill(pid_, SIGTERM);
    WaitFor(pid_);
  }
  if (output_) std::fclose(output_);
}

std::string SimServer::Address() const {
  return "tcp:127.0.0.1:" + std::to_string(port_);
}

}  // namespace veyra::testing
