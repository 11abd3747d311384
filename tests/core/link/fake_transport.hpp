// A transport for tests: records every report written, hands each complete
// request frame to a scripted peer, and delivers the peer's answer as 65-byte
// reports at once; Later runs an action on another thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "link/frame.hpp"
#include "link/transport.hpp"

namespace veyra::testing {

using Bytes = std::vector<uint8_t>;

class FakeTransport final : public Transport {
 public:
  // Gets each request frame; returns the bytes the device sends back.
  using Peer = std::function<Bytes(const Bytes& request)>;

  explicit FakeTransport(Peer peer = {}) : peer_(std::move(peer)) {}
  ~FakeTransport() override { Close(); }

  OpenResult Open(ReportHandler onReport, RemovalHandler onRemoved) override {
    onReport_ = std::move(onReport);
    onRemoved_ = std::move(onRemoved);
    open_ = true;
    return OpenResult::Success();
  }
  void Close() override {
    for (std::thread& t : late_) t.join();
    late_.clear();
    open_ = false;
  }
  bool WriteReport(std::span<const uint8_t, kReportBytes> report) override {
    if (++writeCalls <= failWrites) return false;
    written.emplace_back();
    std::copy(report.begin(), report.end(), written.back().begin());
    outgoing_.insert(outgoing_.end(), report.begin() + 1, report.end());
    const FrameSearch s = FindFrame(outgoing_);
    if (!s.Found) return true;
    const Bytes request(outgoing_.begin() + static_cast<long>(s.Begin),
                        outgoing_.begin() + static_cast<long>(s.End));
    outgoing_.clear();  // the rest is report padding
    if (peer_) Deliver(peer_(request));
    return true;
  }
  bool IsOpen() const override { return open_; }
  bool Removed() const override { return removed_; }
  std::string Address() const override { return "fake"; }
  std::string Path() const override { return "fake"; }

  // Sends bytes as the device would, split into reports.
  void Deliver(const Bytes& stream) {
    for (const Report& r : SplitIntoReports(stream)) onReport_(r);
  }
  // Runs an action on another thread after a delay (a late reply, an unplug).
  void Later(std::chrono::milliseconds delay, std::function<void()> action) {
    late_.emplace_back([delay, action = std::move(action)] {
      std::this_thread::sleep_for(delay);
      action();
    });
  }
  void Remove() {
    removed_ = true;
    onRemoved_();
  }

  int failWrites = 0;
  int writeCalls = 0;
  std::vector<Report> written;

 private:
  Peer peer_;
  ReportHandler onReport_;
  RemovalHandler onRemoved_;
  bool open_ = false;
  std::atomic<bool> removed_{false};
  Bytes outgoing_;
  std::vector<std::thread> late_;
};

// The acknowledgement a device sends for a write.
inline Bytes AckFor(const Bytes& request) {
  return BuildFrame(AckReply, request[5], request[6], request[7], request[8], request[9]);
}

}  // namespace veyra::testing
