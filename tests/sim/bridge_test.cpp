// veyra-sim over the TCP report bridge, driven through the real link.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "link/transcript.hpp"
#include "sim_test_support.hpp"
#include "sync/connection.hpp"
#include "sync/programs.hpp"

extern char** environ;

namespace veyra::testing {
namespace {

// One veyra-sim process; its output is read until it names its port.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    args.insert(args.begin(), VEYRA_SIM_EXE);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    out_ = out[0];
    err_ = err[0];
  }
  ~SimProcess() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      Wait();
    }
    if (out_ >= 0) ::close(out_);
    if (err_ >= 0) ::close(err_);
  }

  // The port from "Listening on HOST:PORT (...)", or 0.
  int Port() {
    std::string line;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < until) {
      pollfd p{out_, POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      char c;
      if (::read(out_, &c, 1) != 1) return 0;
      if (c != '\n') {
        line += c;
        continue;
      }
      const size_t at = line.find("Listening on ");
      const size_t space = line.find(' ', at + 13);
      const size_t colon = line.rfind(':', space);
      if (at != std::string::npos && colon != std::string::npos) return std::stoi(line.substr(colon + 1));
      line.clear();
    }
    return 0;
  }
  // Waits for the process to end; its exit code.
  int Wait() {
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, 0) == pid_) pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Errors() {
    std::string text;
    char buffer[256];
    ssize_t n;
    while ((n = ::read(err_, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<size_t>(n));
    return text;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1, err_ = -1;
};

std::unique_ptr<DeviceLink> TcpLink(int port) {
  auto made = CreateTransport("tcp:127.0.0.1:" + std::to_string(port));
  EXPECT_TRUE(made.transport) << made.error;
  return std::make_unique<DeviceLink>(std::move(made.transport), TestTiming(2000));
}

TEST(Bridge, SyncsThroughVeyraSimOneClientAfterAnother) {
  SimProcess sim({"--listen", "127.0.0.1:0", "--model", "merial", "--seed", "5", "--fast"});
  const int port = sim.Port();
  ASSERT_GT(port, 0);
  sim::SimOptions options = Options("merial,fast,seed=5");
  const sim::SimulatedProcessor twin(options);  // the same device, in process

  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  auto link = TcpLink(port);
  ConnectionResult r = ConnectionSequence(*store, *link);
  ASSERT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(r.Exchanges, 317);
  EXPECT_TRUE(r.ModelChanged);
  EXPECT_TRUE(StoreMatchesDevice(*store, twin.Memory()));

  store->Inputs[1].Gain = 456;
  EXPECT_EQ(SavePresetToDevice(*store, *link, 4).Status, SyncStatus::Success);
  link->Close();

  // The next client finds the same device, with the program it was sent.
  auto again = std::make_unique<ParameterStore>();
  InitialiseStore(*again);
  auto second = TcpLink(port);
  r = ConnectionSequence(*again, *second);
  ASSERT_EQ(r.Status, SyncStatus::Success);
  EXPECT_EQ(again->Preset(4).Inputs[1].Gain, 456);
}

TEST(Bridge, ADeviceThatGoesAwayClosesTheConnection) {
  SimProcess sim({"--listen", "127.0.0.1:0", "--fast", "--disconnect-after", "50"});
  const int port = sim.Port();
  ASSERT_GT(port, 0);
  auto store = std::make_unique<ParameterStore>();
  auto link = TcpLink(port);
  const auto started = std::chrono::steady_clock::now();
  const ConnectionResult r = ConnectionSequence(*store, *link);
  EXPECT_EQ(r.Status, SyncStatus::NoReply);
  EXPECT_EQ(r.Exchanges, 50);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1900))
      << "the closed connection ends the wait, not the deadline";
  EXPECT_EQ(store->Online, 0);
}

TEST(Bridge, ListensOnLoopbackOnly) {
  SimProcess sim({"--listen", "0.0.0.0:0"});
  EXPECT_EQ(sim.Wait(), 1);
  EXPECT_NE(sim.Errors().find("--allow-remote"), std::string::npos);
  SimProcess bad({"--listen", "127.0.0.1:0", "--drop-every", "often"});
  EXPECT_EQ(bad.Wait(), 2);
  EXPECT_NE(bad.Errors().find("drop-every"), std::string::npos);
}

TEST(Bridge, TraceIsATranscript) {
  const auto path =
      std::filesystem::temp_directory_path() / ("veyra-sim-trace-" + std::to_string(::getpid()));
  {
    SimProcess sim({"--listen", "127.0.0.1:0", "--fast", "--model", "sistel", "--drop-every", "3", "--trace",
                    path.string()});
    const int port = sim.Port();
    ASSERT_GT(port, 0);
    auto store = std::make_unique<ParameterStore>();
    auto link = TcpLink(port);
    link->SetTiming(TestTiming(200));
    EXPECT_EQ(ConnectionSequence(*store, *link).Status, SyncStatus::NoReply);
  }
  std::ifstream in(path);
  std::string error;
  const auto entries = ReadTranscript(in, error);
  ASSERT_TRUE(entries) << error;
  ASSERT_EQ(entries->size(), 5u);  // three requests, two replies
  EXPECT_EQ((*entries)[0].Direction, TranscriptDirection::Sent);
  EXPECT_EQ((*entries)[1].Direction, TranscriptDirection::Received);
  std::ifstream text(path);
  const std::string all((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
  EXPECT_NE(all.find("reply dropped"), std::string::npos);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace veyra::testing
