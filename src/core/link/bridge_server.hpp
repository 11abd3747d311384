// A processor served on the TCP report bridge: every report travels as
// exactly 65 bytes each way, back to back, passed through unchanged. Any
// transport can be served (the USB processor for veyractl serve, the
// simulator for veyra-sim). The device stays open between clients; one
// client at a time, a second is told and closed; clients outside the allowed
// networks are refused. A device that goes away ends the client's session and
// is opened again when it comes back.
//
// The bridge carries no authentication: whoever reaches the port controls the
// processor. Serve on loopback or on a trusted network only.
#pragma once

#include <sys/socket.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "link/transcript.hpp"
#include "link/transport.hpp"

namespace veyra {

// An address range: "192.168.1.0/24", "10.0.0.7" (one host), "fd00::/8".
struct AllowedNetwork {
  bool V6 = false;
  std::array<uint8_t, 16> Address{};  // the first 4 bytes for IPv4
  int PrefixBits = 32;
};

// False with error set when the text is not an address with an optional prefix length.
bool ParseAllowedNetwork(std::string_view text, AllowedNetwork& network, std::string& error);
// An IPv4 client seen on an IPv6 socket (::ffff:a.b.c.d) counts as IPv4.
bool NetworkContains(const AllowedNetwork& network, const sockaddr* address);
// "HOST:PORT" or "[V6]:PORT" of a socket address.
std::string SocketAddressText(const sockaddr* address);

class ReportBridgeServer {
 public:
  // One line per client connect, disconnect and refusal, per device loss and return.
  using LogSink = std::function<void(const std::string& line)>;

  explicit ReportBridgeServer(std::unique_ptr<Transport> device, LogSink log = {});
  ~ReportBridgeServer();
  ReportBridgeServer(const ReportBridgeServer&) = delete;
  ReportBridgeServer& operator=(const ReportBridgeServer&) = delete;

  // Binds and listens; port 0 picks a free port (see Port). Only loopback
  // addresses unless allowRemote. False with error set (a port in use among them).
  bool Listen(const std::string& host, uint16_t port, bool allowRemote, std::string& error);
  uint16_t Port() const { return port_; }
  // Empty (the default): every client that reaches the address.
  void SetAllowed(std::vector<AllowedNetwork> allowed) { allowed_ = std::move(allowed); }
  // Records the reports as the client sees them ("> " from it, "< " to it).
  void SetTranscript(std::shared_ptr<TranscriptRecorder> transcript) { transcript_ = std::move(transcript); }

  // Serves clients one after another until Stop (or stopFlag) is set; the
  // device is closed when it returns.
  void Serve(const std::atomic<bool>* stopFlag = nullptr);
  void Stop() { stop_ = true; }
  int ClientsServed() const { return clients_; }

 private:
  bool Stopping(const std::atomic<bool>* stopFlag) const;
  bool EnsureDeviceOpen(bool logFailure);
  void Accept(int fd, const std::string& who, const std::atomic<bool>* stopFlag);
  void ServeClient(int fd, const std::string& who, const std::atomic<bool>* stopFlag);
  void RefuseWhileBusy(const std::string& current);
  void Log(const std::string& line) const;

  std::unique_ptr<Transport> device_;
  LogSink log_;
  std::shared_ptr<TranscriptRecorder> transcript_;
  std::vector<AllowedNetwork> allowed_;
  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> clients_{0};
  std::atomic<bool> deviceLost_{false};
  bool deviceAbsentLogged_ = false;
  std::mutex clientMutex_;  // the client socket, written by the device's reception thread
  int clientFd_ = -1;
};

}  // namespace veyra
