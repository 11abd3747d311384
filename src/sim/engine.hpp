// The simulated processor in real time: the firmware behind a USB-like bus
// on which each report takes one report interval each way, and a delivery
// thread that hands the device's reports to the host when they have crossed
// the bus. Both the in-process transport and the TCP bridge server drive it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <queue>
#include <span>
#include <thread>
#include <vector>

#include "link/transport.hpp"
#include "sim/firmware.hpp"

namespace veyra::sim {

class SimulatorEngine {
 public:
  explicit SimulatorEngine(const SimOptions& options);
  ~SimulatorEngine();
  SimulatorEngine(const SimulatorEngine&) = delete;
  SimulatorEngine& operator=(const SimulatorEngine&) = delete;

  // The device is plugged in: its reports go to onReport (on the delivery
  // thread), and onRemoved runs once if the device goes away by itself.
  void Connect(ReportHandler onReport, RemovalHandler onRemoved);
  // The host lets go: pending reports are dropped and, unless called from a
  // handler, no handler runs after this returns.
  void Disconnect();
  bool Connected() const;
  // True once the device went away by itself; cleared by Connect.
  bool Removed() const;

  // One output report from the host. Blocks for the report's bus time; false
  // when the device is not connected.
  bool Submit(std::span<const uint8_t> report);

  // Runs f with the firmware, which no report reaches meanwhile.
  template <typename F>
  auto WithDevice(F&& f) {
    std::lock_guard lock(mutex_);
    return f(firmware_);
  }

  // The bus and processing time the device needed for the exchanges so far:
  // request reports, processing delay (and lateness) and reply reports, back
  // to back. No host can do an exchange faster.
  Micros ModelledTime() const;
  SimStats Stats() const;
  void SetTrace(TraceSink sink);

 private:
  using Clock = std::chrono::steady_clock;
  struct Event {
    Clock::time_point At;
    uint64_t Order;
    Report Bytes;
    bool Removal;
    bool operator>(const Event& o) const { return At != o.At ? At > o.At : Order > o.Order; }
  };

  void Schedule(const Response& response, Clock::time_point arrived);
  void Deliver();
  void StopDelivery(std::unique_lock<std::mutex>& lock);
  Micros Since(Clock::time_point t) const;

  const Clock::time_point start_ = Clock::now();
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  SimulatedProcessor firmware_;
  Micros interval_;
  std::priority_queue<Event, std::vector<Event>, std::greater<>> events_;
  uint64_t order_ = 0;
  Clock::time_point lastIn_{};
  Clock::time_point lastOut_{};
  Micros modelled_{0};
  bool connected_ = false;
  bool removed_ = false;
  bool stopping_ = false;
  ReportHandler onReport_;
  RemovalHandler onRemoved_;
  std::thread delivery_;
};

}  // namespace veyra::sim
