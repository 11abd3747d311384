#include "link/transport.hpp"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

#include "fake_transport.hpp"
#include "link/device_link.hpp"
#include "link/hotplug.hpp"
#include "link/tcp_transport.hpp"

namespace veyra {
namespace {

using testing::Bytes;
using namespace std::chrono_literals;

// A report-bridge peer on the loopback interface: accepts one connection,
// gathers 65-byte reports into request frames and answers each with what the
// script returns. An empty answer means silence; `closeAfter` bytes of the
// answer are sent before the connection is closed.
class LoopbackPeer {
 public:
  using Script = std::function<Bytes(const Bytes& request)>;
  explicit LoopbackPeer(Script script, size_t closeAfter = SIZE_MAX)
      : script_(std::move(script)), closeAfter_(closeAfter) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    socklen_t len = sizeof addr;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    ::listen(listener_, 1);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackPeer() {
    ::shutdown(listener_, SHUT_RDWR);
    if (client_ >= 0) ::shutdown(client_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
    if (client_ >= 0) ::close(client_);
  }
  std::string Address() const { return "tcp:127.0.0.1:" + std::to_string(port_); }
  uint16_t Port() const { return port_; }

 private:
  void Serve() {
    client_ = ::accept(listener_, nullptr, nullptr);
    Bytes stream;
    Report report;
    // MSG_WAITALL: one whole report per receive, or the connection ended.
    while (client_ >= 0 && ::recv(client_, report.data(), report.size(), MSG_WAITALL) == kReportBytes) {
      stream.insert(stream.end(), report.begin() + 1, report.end());
      const FrameSearch s = FindFrame(stream);
      if (!s.Found) continue;
      const Bytes request(stream.begin() + static_cast<long>(s.Begin), stream.end());
      stream.clear();
      Bytes answer;
      for (const Report& r : SplitIntoReports(script_(request))) {
        answer.insert(answer.end(), r.begin(), r.end());
      }
      const size_t send = std::min(answer.size(), closeAfter_);
      ::send(client_, answer.data(), send, MSG_NOSIGNAL);
      if (send < answer.size()) return (void)::shutdown(client_, SHUT_RDWR);
    }
  }

  Script script_;
  size_t closeAfter_;
  int listener_ = -1;
  std::atomic<int> client_{-1};
  uint16_t port_ = 0;
  std::thread thread_;
};

struct TcpLink {
  explicit TcpLink(const std::string& address, std::chrono::milliseconds deadline = 300ms) {
    auto made = CreateTransport(address);
    EXPECT_TRUE(made.transport) << made.error;
    LinkTiming timing;
    timing.ReportGap = 0us;
    timing.ReplyDeadline = deadline;
    link = std::make_unique<DeviceLink>(std::move(made.transport), timing);
  }
  std::unique_ptr<ParameterStore> store = std::make_unique<ParameterStore>();
  std::unique_ptr<DeviceLink> link;
};

// Writes are acknowledged, the temperature is answered, anything else meets silence.
TEST(TcpTransport, ExchangesReportsWithABridgePeerAndTimesOutOnSilence) {
  LoopbackPeer peer([](const Bytes& request) {
    if (request[4] == WriteCommand) return testing::AckFor(request);
    if (request[8] != SystemItem::Temperature) return Bytes{};
    return BuildFrame(DataReply, 1, 0, SystemBlock, SystemItem::Temperature, 0, Bytes{27});
  });
  TcpLink t(peer.Address());
  ASSERT_TRUE(t.link->Open().ok());
  EXPECT_EQ(t.link->GetTransport()->Path(), "127.0.0.1:" + std::to_string(peer.Port()));
  EXPECT_TRUE(SendFrame(*t.store, *t.link, WriteCommand, 1, 0, 0, InputBlock, AllGroups));  // three reports
  EXPECT_TRUE(SendFrame(*t.store, *t.link, ReadCommand, 1, 0, SystemItem::Temperature, SystemBlock, 0));
  EXPECT_EQ(t.store->System.Temperature, 27);
  EXPECT_FALSE(SendFrame(*t.store, *t.link, ReadCommand, 1, 0, 0, OutputBlock, ReadAll));
  EXPECT_EQ(t.link->LastStatus(), ExchangeStatus::Timeout);
  EXPECT_FALSE(t.link->Removed());
}

TEST(TcpTransport, PeerClosingMidFrameIsARemoval) {
  LoopbackPeer peer(
      [](const Bytes&) { return BuildFrame(DataReply, 1, 0, OutputBlock, 0, ReadAll, Bytes(112, 0x33)); },
      90);
  TcpLink t(peer.Address(), 30s);  // the removal, not the deadline, must end the wait
  std::atomic<int> removals{0};
  t.link->SetRemovalHandler([&] { ++removals; });
  ASSERT_TRUE(t.link->Open().ok());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(SendFrame(*t.store, *t.link, ReadCommand, 1, 0, 0, OutputBlock, ReadAll));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_EQ(t.link->LastStatus(), ExchangeStatus::Removed);
  EXPECT_EQ(t.store->Outputs[0].Gain, 0);
  EXPECT_FALSE(SendFrame(*t.store, *t.link, ReadCommand, 1, 0, 0, OutputBlock, ReadAll));
  t.link->Close();
  EXPECT_EQ(removals, 1);
}

TEST(TcpTransport, NobodyListeningIsNotFound) {
  uint16_t port = 0;
  {
    LoopbackPeer gone([](const Bytes&) { return Bytes{}; });
    port = gone.Port();
  }
  TcpLink t("tcp:127.0.0.1:" + std::to_string(port));
  const OpenResult r = t.link->Open();
  EXPECT_EQ(r.Status, OpenStatus::NotFound);
  EXPECT_EQ(ConnectionFailedText(r),
            "Connection failed, please check the device.\nNothing is listening at 127.0.0.1:" +
                std::to_string(port) + ".");
}

TEST(TransportFactory, AddressesAndTheirErrors) {
  struct Case {
    const char* address;
    const char* errorPart;  // nullptr: accepted
    const char* path;
  } cases[] = {
      {"usb", nullptr, ""},
      {"usb:/dev/hidraw7", nullptr, "/dev/hidraw7"},
      {"tcp:127.0.0.1:5750", nullptr, "127.0.0.1:5750"},
      {"tcp:[::1]:5750", nullptr, "[::1]:5750"},
      {"", "Empty device address", nullptr},
      {"serial:/dev/ttyS0", "Unknown device address \"serial:/dev/ttyS0\"", nullptr},
      {"tcp:localhost", "Expected HOST:PORT", nullptr},
      {"tcp::5750", "host is missing", nullptr},
      {"tcp:host:0", "from 1 to 65535", nullptr},
      {"tcp:host:57a", "from 1 to 65535", nullptr},
      {"tcp:[::1", "Expected [HOST]:PORT", nullptr},
  };
  for (const Case& c : cases) {
    TransportOrError made = CreateTransport(c.address);
    if (c.errorPart == nullptr) {
      ASSERT_TRUE(made.transport) << c.address << ": " << made.error;
      EXPECT_EQ(made.transport->Address(), c.address);
      EXPECT_EQ(made.transport->Path(), c.path);
    } else {
      EXPECT_FALSE(made.transport) << c.address;
      EXPECT_NE(made.error.find(c.errorPart), std::string::npos) << c.address << ": " << made.error;
      EXPECT_NE(made.error.find("tcp:HOST:PORT"), std::string::npos)
          << "the error lists the schemes: " << made.error;
    }
  }
}

TEST(UsbTransport, NoProcessorGivesADetailedFailure) {
  DeviceLink link(std::move(CreateTransport("usb:/dev/veyra-no-such-node").transport));
  const OpenResult r = link.Open();
  EXPECT_FALSE(r.ok() || r.Detail.empty());
  EXPECT_EQ(ConnectionFailedText(r).rfind("Connection failed, please check the device.\n", 0), 0u);
}

TEST(Hotplug, PollWatcherReportsChangesByPathIgnoringCase) {
  std::vector<std::vector<std::string>> looks = {
      {"/dev/hidraw1"}, {"/DEV/HIDRAW1", "/dev/hidraw2"}, {"/dev/hidraw2"}, {}};
  size_t look = 0;
  PollHotplugWatcher watcher([&] { return looks[std::min(look++, looks.size() - 1)]; }, 1000ms);
  std::vector<std::string> seen;
  ASSERT_TRUE(watcher.Start([&](const HotplugEvent& e) {
    seen.push_back((e.What == HotplugEvent::Kind::Arrived ? "+" : "-") + e.Path);
  }));
  for (int i = 0; i < 3; ++i) watcher.ProcessPending();
  EXPECT_EQ(seen, (std::vector<std::string>{"+/dev/hidraw2", "-/DEV/HIDRAW1", "-/dev/hidraw2"}));
}

}  // namespace
}  // namespace veyra
