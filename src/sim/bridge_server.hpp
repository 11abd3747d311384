// The simulated processor served on the TCP report bridge: every report
// travels as exactly 65 bytes each way, back to back, nothing else. One
// client at a time; when it goes, the device is unplugged and waits for the
// next. A device that goes away by itself (disconnect-after) closes the
// client's connection.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "link/transcript.hpp"
#include "sim/engine.hpp"

namespace veyra::sim {

class ReportBridgeServer {
 public:
  explicit ReportBridgeServer(std::shared_ptr<SimulatorEngine> engine);
  ~ReportBridgeServer();
  ReportBridgeServer(const ReportBridgeServer&) = delete;
  ReportBridgeServer& operator=(const ReportBridgeServer&) = delete;

  // Binds and listens; port 0 picks a free port (see Port). Only loopback
  // addresses unless allowRemote. False with error set.
  bool Listen(const std::string& host, uint16_t port, bool allowRemote, std::string& error);
  uint16_t Port() const { return port_; }

  // Serves clients one after another until Stop (or stopFlag) is set.
  void Serve(const std::atomic<bool>* stopFlag = nullptr);
  void Stop() { stop_ = true; }

  // Records the reports as the host sees them ("> " from the client, "< " to
  // it) and the device's fault notes as comments.
  void SetTranscript(std::shared_ptr<TranscriptRecorder> transcript);
  int ClientsServed() const { return clients_; }

 private:
  void ServeClient(int fd, const std::atomic<bool>* stopFlag);
  bool Stopping(const std::atomic<bool>* stopFlag) const;

  std::shared_ptr<SimulatorEngine> engine_;
  std::shared_ptr<TranscriptRecorder> transcript_;
  int listenFd_ = -1;
  uint16_t port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> clients_{0};
};

}  // namespace veyra::sim
