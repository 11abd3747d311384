// veyra-sim over the TCP report bridge, driven through the real link.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/files/test_files.hpp"
#include "link/transcript.hpp"
#include "sim_test_support.hpp"
#include "sync/connection.hpp"
#include "tool_process.hpp"

namespace veyra::testing {
namespace {

std::unique_ptr<DeviceLink> TcpLink(const SimServer& server, int deadlineMs = 2000) {
  auto made = CreateTransport(server.Address());
  EXPECT_TRUE(made.transport) << made.error;
  return std::make_unique<DeviceLink>(std::move(made.transport), TestTiming(deadlineMs));
}

// Syncs through veyra-sim, one client after another, are the veyractl bridge
// tests; here what the server adds.
TEST(Bridge, ADeviceThatGoesAwayClosesTheConnection) {
  SimServer sim({"--fast", "--disconnect-after", "50"});
  ASSERT_GT(sim.Port(), 0);
  auto store = std::make_unique<ParameterStore>();
  const auto started = std::chrono::steady_clock::now();
  const ConnectionResult r = ConnectionSequence(*store, *TcpLink(sim));
  EXPECT_EQ(r.Status, SyncStatus::NoReply);
  EXPECT_EQ(r.Exchanges, 50);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1900))
      << "the closed connection ends the wait, not the deadline";
  EXPECT_EQ(store->Online, 0);
}

TEST(Bridge, ListensOnLoopbackOnlyAndRefusesBadOptions) {
  ScratchDir dir;
  const ToolRun remote = RunTool({VEYRA_SIM_EXE, "--listen", "0.0.0.0:0"}, dir / "");
  EXPECT_EQ(remote.Exit, 1);
  EXPECT_NE(remote.Err.find("--allow-remote"), std::string::npos);
  const ToolRun bad = RunTool({VEYRA_SIM_EXE, "--listen", "127.0.0.1:0", "--drop-every", "often"}, dir / "");
  EXPECT_EQ(bad.Exit, 2);
  EXPECT_NE(bad.Err.find("drop-every"), std::string::npos);
}

TEST(Bridge, TraceIsATranscript) {
  ScratchDir dir;
  const auto path = dir / "trace.txt";
  {
    SimServer sim({"--fast", "--model", "sistel", "--drop-every", "3", "--trace", path.string()});
    ASSERT_GT(sim.Port(), 0);
    auto store = std::make_unique<ParameterStore>();
    EXPECT_EQ(ConnectionSequence(*store, *TcpLink(sim, 200)).Status, SyncStatus::NoReply);
  }
  std::ifstream in(path);
  std::string error;
  const auto entries = ReadTranscript(in, error);
  ASSERT_TRUE(entries) << error;
  ASSERT_EQ(entries->size(), 5u);  // three requests, two replies
  EXPECT_EQ((*entries)[0].Direction, TranscriptDirection::Sent);
  EXPECT_EQ((*entries)[1].Direction, TranscriptDirection::Received);
  EXPECT_NE(Slurp(path).find("reply dropped"), std::string::npos);
}

}  // namespace
}  // namespace veyra::testing
