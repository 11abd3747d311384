// The reception side shared by the transports that read on a thread of their
// own: the handlers, the reader thread, and reporting a removal only once and
// never while closing.
#pragma once

#include <atomic>
#include <functional>
#include <span>
#include <thread>

#include "link/transport.hpp"

namespace veyra {

class ReceptionThread {
 public:
  ~ReceptionThread() { Stop(); }

  // Runs loop(*this) on a new thread; the loop returns when Stopping() or on
  // a read error (after calling ReportRemoved).
  void Start(ReportHandler onReport, RemovalHandler onRemoved, std::function<void(ReceptionThread&)> loop) {
    Stop();
    onReport_ = std::move(onReport);
    onRemoved_ = std::move(onRemoved);
    stopping_ = false;
    removed_ = false;
    thread_ = std::thread([this, loop = std::move(loop)] { loop(*this); });
  }
  // Sets the stop flag, lets `wake` unblock a read in progress, and waits for
  // the thread; no handler runs after it returns.
  void Stop(const std::function<void()>& wake = {}) {
    if (!thread_.joinable()) return;
    stopping_ = true;
    if (wake) wake();
    thread_.join();
  }

  bool Stopping() const { return stopping_; }
  bool Removed() const { return removed_; }
  void Deliver(std::span<const uint8_t> report) const {
    if (onReport_) onReport_(report);
  }
  void ReportRemoved() {
    if (stopping_ || removed_.exchange(true)) return;
    if (onRemoved_) onRemoved_();
  }

 private:
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> removed_{false};
  ReportHandler onReport_;
  RemovalHandler onRemoved_;
};

}  // namespace veyra
