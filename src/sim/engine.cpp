#include "sim/engine.hpp"

#include <algorithm>

namespace veyra::sim {

SimulatorEngine::SimulatorEngine(const SimOptions& options)
    : firmware_(options), interval_(options.ReportInterval) {}

SimulatorEngine::~SimulatorEngine() {
  Disconnect();
  if (delivery_.joinable()) delivery_.join();
}

Micros SimulatorEngine::Since(Clock::time_point t) const {
  return std::chrono::duration_cast<Micros>(t - start_);
}

void SimulatorEngine::Connect(ReportHandler onReport, RemovalHandler onRemoved) {
  std::unique_lock lock(mutex_);
  StopDelivery(lock);
  // A delivery thread that disconnected from inside a handler is still winding down.
  if (delivery_.joinable()) {
    lock.unlock();
    delivery_.join();
    lock.lock();
  }
  onReport_ = std::move(onReport);
  onRemoved_ = std::move(onRemoved);
  connected_ = true;
  removed_ = false;
  stopping_ = false;
  events_ = {};
  lastIn_ = lastOut_ = Clock::now();
  firmware_.Reconnected();
  delivery_ = std::thread([this] { Deliver(); });
}

void SimulatorEngine::Disconnect() {
  std::unique_lock lock(mutex_);
  StopDelivery(lock);
}

void SimulatorEngine::StopDelivery(std::unique_lock<std::mutex>& lock) {
  connected_ = false;
  stopping_ = true;
  events_ = {};
  wake_.notify_all();
  if (!delivery_.joinable() || delivery_.get_id() == std::this_thread::get_id()) return;
  lock.unlock();
  delivery_.join();
  lock.lock();
}

bool SimulatorEngine::Connected() const {
  std::lock_guard lock(mutex_);
  return connected_;
}

bool SimulatorEngine::Removed() const {
  std::lock_guard lock(mutex_);
  return removed_;
}

bool SimulatorEngine::Submit(std::span<const uint8_t> report) {
  std::unique_lock lock(mutex_);
  if (!connected_) return false;
  const auto now = Clock::now();
  auto arrived = now;
  if (interval_.count() > 0) {
    // One report per interval: a report written while the last one is still
    // on the bus waits for it.
    arrived = std::max(now, lastIn_) + interval_;
    lastIn_ = arrived;
    lock.unlock();
    std::this_thread::sleep_until(arrived);
    lock.lock();
    if (!connected_) return false;
  }
  for (const Response& r : firmware_.ReceiveReport(report, Since(arrived))) Schedule(r, arrived);
  wake_.notify_all();
  return true;
}

void SimulatorEngine::Schedule(const Response& response, Clock::time_point arrived) {
  const auto start = arrived + response.Delay;
  int replyReports = 0;
  for (const auto& transfer : response.Transfers) {
    for (const Report& report : SplitIntoReports(transfer)) {
      lastOut_ = std::max(start, lastOut_) + interval_;
      events_.push({lastOut_, order_++, report, false});
      ++replyReports;
    }
  }
  modelled_ += interval_ * (response.RequestReports + replyReports) + response.Delay;
  if (response.Disconnect) events_.push({std::max(start, lastOut_), order_++, Report{}, true});
}

void SimulatorEngine::Deliver() {
  std::unique_lock lock(mutex_);
  while (!stopping_) {
    if (events_.empty()) {
      wake_.wait(lock);
      continue;
    }
    const auto at = events_.top().At;
    if (Clock::now() < at) {
      wake_.wait_until(lock, at);
      continue;
    }
    const Event event = events_.top();
    events_.pop();
    if (event.Removal) {
      connected_ = false;
      removed_ = true;
      events_ = {};
      lock.unlock();
      if (onRemoved_) onRemoved_();
      lock.lock();
      continue;
    }
    // The handlers change only in Connect, after this thread has ended.
    lock.unlock();
    if (onReport_) onReport_(event.Bytes);
    lock.lock();
  }
}

Micros SimulatorEngine::ModelledTime() const {
  std::lock_guard lock(mutex_);
  return modelled_;
}

SimStats SimulatorEngine::Stats() const {
  std::lock_guard lock(mutex_);
  return firmware_.Stats();
}

void SimulatorEngine::SetTrace(TraceSink sink) {
  std::lock_guard lock(mutex_);
  firmware_.SetTrace(std::move(sink));
}

}  // namespace veyra::sim
