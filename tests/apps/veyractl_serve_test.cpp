// veyractl serve against the simulator: the bridge clients of the veyra-sim
// tests, plus what serving adds (one client at a time, --allow, the log, a
// port in use, the stop signals).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <chrono>

#include "link/bridge_server.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

using namespace std::chrono_literals;

// veyractl serve as a child process, its output read line by line.
class ServeProcess {
 public:
  explicit ServeProcess(std::vector<std::string> extra, const std::string& device = "sim:orvane,fast") {
    std::vector<std::string> args{VEYRACTL_EXE, "--device", device, "serve", "--listen", "127.0.0.1:0"};
    args.insert(args.end(), extra.begin(), extra.end());
    pid_ = SpawnReading(args, &fd_);
    if (fd_ < 0) return;
    const std::string first = WaitForLine("Listening on ");
    std::sscanf(first.c_str(), "Listening on 127.0.0.1:%d", &port_);
  }
  ~ServeProcess() {
    Stop(SIGTERM);
    if (fd_ >= 0) close(fd_);
  }
  ServeProcess(const ServeProcess&) = delete;
  ServeProcess& operator=(const ServeProcess&) = delete;

  // The first line (from what is read so far on) containing text, or empty
  // when none came within the deadline.
  std::string WaitForLine(const std::string& text, std::chrono::seconds deadline = 30s) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (true) {
      for (size_t eol; (eol = buffer_.find('\n')) != std::string::npos;) {
        std::string line = buffer_.substr(0, eol);
        buffer_.erase(0, eol + 1);
        seen_ += line + "\n";
        if (line.find(text) != std::string::npos) return line;
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0 || fd_ < 0) return {};
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
      char chunk[512];
      const ssize_t n = ::read(fd_, chunk, sizeof chunk);
      if (n <= 0) return {};
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }
  // Sends the signal and returns the exit status.
  int Stop(int signal) {
    if (pid_ <= 0) return exit_;
    kill(pid_, signal);
    exit_ = WaitFor(pid_);
    pid_ = -1;
    return exit_;
  }
  int Port() const { return port_; }
  std::string Address() const { return "tcp:127.0.0.1:" + std::to_string(port_); }
  const std::string& Seen() const { return seen_; }

 private:
  pid_t pid_ = -1;
  int fd_ = -1;
  int port_ = 0;
  int exit_ = -1;
  std::string buffer_, seen_;
};

// A client that holds the bridge while the test tries another one.
int ConnectTo(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// What a refused client reads before the server closes its connection.
std::string ReadUntilClosed(int fd) {
  std::string text;
  char chunk[256];
  pollfd p{fd, POLLIN, 0};
  while (::poll(&p, 1, 10000) > 0) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n <= 0) break;
    text.append(chunk, static_cast<size_t>(n));
  }
  return text;
}

class VeyractlServe : public VeyractlTest {};

TEST_F(VeyractlServe, ServesOneClientAtATimeAndLogsEach) {
  ServeProcess serve({});
  ASSERT_GT(serve.Port(), 0) << serve.Seen();
  const ToolRun first = Run(serve.Address(), {"info"});
  ASSERT_EQ(first.Exit, 0) << first.Err;
  EXPECT_NE(first.Out.find("Orvane"), std::string::npos);
  EXPECT_FALSE(serve.WaitForLine(" disconnected.").empty()) << serve.Seen();

  const int holder = ConnectTo(serve.Port());
  ASSERT_GE(holder, 0);
  EXPECT_FALSE(serve.WaitForLine(" connected.").empty()) << serve.Seen();
  const int second = ConnectTo(serve.Port());
  ASSERT_GE(second, 0);
  EXPECT_EQ(ReadUntilClosed(second), "Busy: another client is using this processor.\n");
  ::close(second);
  EXPECT_FALSE(serve.WaitForLine(": busy with 127.0.0.1:").empty()) << serve.Seen();
  const ToolRun refused = Run(serve.Address(), {"info"});
  EXPECT_EQ(refused.Exit, 1);
  ::close(holder);
  EXPECT_FALSE(serve.WaitForLine(" disconnected.").empty()) << serve.Seen();

  // The device stayed open and keeps its settings between clients.
  ASSERT_EQ(Run(serve.Address(), {"set", "input", "B", "gain=-6"}).Exit, 0);
  const ToolRun got = Run(serve.Address(), {"get", "input", "B", "gain"});
  ASSERT_EQ(got.Exit, 0) << got.Err;
  EXPECT_NE(got.Out.find("-6"), std::string::npos) << got.Out;
  EXPECT_EQ(serve.Stop(SIGINT), 0);
  EXPECT_FALSE(serve.WaitForLine("Stopped.").empty()) << serve.Seen();
}

TEST_F(VeyractlServe, AProcessorThatGoesAwayEndsTheSessionAndIsOpenedAgain) {
  ServeProcess serve({}, "sim:sistel,fast,disconnect-after=3");
  ASSERT_GT(serve.Port(), 0) << serve.Seen();
  const ToolRun cut = Run(serve.Address(), {"info"});
  EXPECT_EQ(cut.Exit, 1);
  EXPECT_FALSE(serve.WaitForLine("disconnected: the processor went away.").empty()) << serve.Seen();
  // Opened again: the next client is served (and cut off again after three requests).
  EXPECT_EQ(Run(serve.Address(), {"info"}).Exit, 1);
  EXPECT_FALSE(serve.WaitForLine(" connected.").empty()) << serve.Seen();
  EXPECT_FALSE(serve.WaitForLine("disconnected: the processor went away.").empty()) << serve.Seen();
  EXPECT_EQ(serve.Seen().find("no processor"), std::string::npos) << serve.Seen();
}

TEST_F(VeyractlServe, RefusesClientsOutsideTheAllowedNetworks) {
  ServeProcess serve({"--allow", "10.0.0.0/8", "--allow", "fd00::/8"});
  ASSERT_GT(serve.Port(), 0) << serve.Seen();
  const ToolRun refused = Run(serve.Address(), {"info"});
  EXPECT_EQ(refused.Exit, 1);
  EXPECT_FALSE(serve.WaitForLine("not in the allowed networks").empty()) << serve.Seen();
  EXPECT_EQ(serve.Seen().find(" connected."), std::string::npos) << serve.Seen();
  EXPECT_EQ(serve.Stop(SIGTERM), 0);

  ServeProcess loopback({"--allow", "127.0.0.0/8"});
  const ToolRun allowed = Run(loopback.Address(), {"info"});
  EXPECT_EQ(allowed.Exit, 0) << allowed.Err;
}

TEST_F(VeyractlServe, APortInUseAndABadNetworkAreClearErrors) {
  ServeProcess serve({});
  ASSERT_GT(serve.Port(), 0) << serve.Seen();
  const ToolRun taken =
      Run({"--device", "sim:orvane", "serve", "--listen", "127.0.0.1:" + std::to_string(serve.Port())});
  EXPECT_EQ(taken.Exit, 1);
  EXPECT_NE(taken.Err.find("Address already in use"), std::string::npos) << taken.Err;
  const ToolRun badAllow = Run({"--device", "sim:orvane", "serve", "--allow", "10.0.0.0/33"});
  EXPECT_EQ(badAllow.Exit, 2);
  EXPECT_NE(badAllow.Err.find("from 0 to 32"), std::string::npos) << badAllow.Err;
  const ToolRun badDevice = Run({"--device", "usb:serial=", "serve"});
  EXPECT_EQ(badDevice.Exit, 2);
}

sockaddr_storage Peer(const char* text) {
  sockaddr_storage storage{};
  auto* v4 = reinterpret_cast<sockaddr_in*>(&storage);
  auto* v6 = reinterpret_cast<sockaddr_in6*>(&storage);
  if (::inet_pton(AF_INET, text, &v4->sin_addr) == 1) {
    v4->sin_family = AF_INET;
  } else {
    EXPECT_EQ(::inet_pton(AF_INET6, text, &v6->sin6_addr), 1) << text;
    v6->sin6_family = AF_INET6;
  }
  return storage;
}

TEST(AllowedNetwork, ContainsWhatItsPrefixCovers) {
  struct Case {
    const char* Network;
    const char* Peer;
    bool Inside;
  };
  const Case cases[] = {
      {"192.168.1.0/24", "192.168.1.77", true},
      {"192.168.1.0/24", "192.168.2.1", false},
      {"192.168.1.128/25", "192.168.1.127", false},
      {"192.168.1.128/25", "192.168.1.200", true},
      {"10.0.0.7", "10.0.0.7", true},
      {"10.0.0.7", "10.0.0.8", false},
      {"172.16.0.0/12", "172.31.255.255", true},
      {"172.16.0.0/12", "172.32.0.0", false},
      {"0.0.0.0/0", "203.0.113.9", true},
      {"10.0.0.0/8", "::ffff:10.1.2.3", true},  // IPv4 seen on an IPv6 socket
      {"10.0.0.0/8", "fd00::1", false},
      {"fd00::/8", "fd12:3456::1", true},
      {"fd00::/8", "fe80::1", false},
      {"::1", "::1", true},
  };
  for (const Case& c : cases) {
    AllowedNetwork network;
    std::string error;
    ASSERT_TRUE(ParseAllowedNetwork(c.Network, network, error)) << c.Network << ": " << error;
    const sockaddr_storage peer = Peer(c.Peer);
    EXPECT_EQ(NetworkContains(network, reinterpret_cast<const sockaddr*>(&peer)), c.Inside)
        << c.Peer << " in " << c.Network;
  }
  for (const char* bad :
       {"", "10.0.0.0/", "10.0.0.0/33", "fd00::/129", "10.0.0/8", "host.example/8", "10.0.0.0/x"}) {
    AllowedNetwork network;
    std::string error;
    EXPECT_FALSE(ParseAllowedNetwork(bad, network, error)) << bad;
    EXPECT_FALSE(error.empty()) << bad;
  }
}

}  // namespace
}  // namespace veyra::testing
