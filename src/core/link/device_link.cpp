#include "link/device_link.hpp"

#include <algorithm>
#include <thread>

namespace veyra {
namespace {

using Clock = std::chrono::steady_clock;

// Appends as much as fits in the bounded buffer; returns how many bytes were dropped.
size_t AppendBounded(std::vector<uint8_t>& buffer, std::span<const uint8_t> bytes) {
  const size_t room = kReceiveBufferBytes - std::min(buffer.size(), kReceiveBufferBytes);
  const size_t take = std::min(room, bytes.size());
  buffer.insert(buffer.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(take));
  return bytes.size() - take;
}

}  // namespace

LinkTiming LinkTiming::OriginalPolling() {
  LinkTiming t;
  t.PauseAfterLastReport = true;
  t.FirstPoll = std::chrono::milliseconds(10);
  t.PollInterval = std::chrono::milliseconds(10);
  return t;
}

DeviceLink::DeviceLink(LinkTiming timing) : timing_(timing) {}

DeviceLink::DeviceLink(std::unique_ptr<Transport> transport, LinkTiming timing)
    : timing_(timing), transport_(std::move(transport)) {}

DeviceLink::~DeviceLink() {
  Close();
}

void DeviceLink::SetTransport(std::unique_ptr<Transport> transport) {
  Close();
  transport_ = std::move(transport);
}

OpenResult DeviceLink::Open() {
  if (!transport_) return {OpenStatus::Failed, "No device address is set."};
  transport_->Close();
  {
    std::lock_guard lock(mutex_);
    received_.clear();
    removed_ = false;
  }
  return transport_->Open([this](std::span<const uint8_t> report) { OnReport(report); },
                          [this] { OnRemoved(); });
}

void DeviceLink::Close() {
  if (transport_) transport_->Close();
  std::lock_guard lock(mutex_);
  received_.clear();
}

bool DeviceLink::IsOpen() const {
  return transport_ && transport_->IsOpen();
}

bool DeviceLink::Removed() const {
  std::lock_guard lock(mutex_);
  return removed_;
}

void DeviceLink::SetRemovalHandler(std::function<void()> handler) {
  std::lock_guard lock(mutex_);
  removalHandler_ = std::move(handler);
}

void DeviceLink::SetTranscript(std::shared_ptr<TranscriptRecorder> recorder) {
  std::lock_guard lock(mutex_);
  transcript_ = std::move(recorder);
}

LinkStats DeviceLink::Stats() const {
  std::lock_guard lock(mutex_);
  return stats_;
}

void DeviceLink::OnReport(std::span<const uint8_t> report) {
  std::shared_ptr<TranscriptRecorder> transcript;
  {
    std::lock_guard lock(mutex_);
    transcript = transcript_;
    // Byte 0 is the report id; the rest is frame data.
    if (report.size() > 1) stats_.DroppedBytes += AppendBounded(received_, report.subspan(1));
  }
  if (transcript) transcript->Record(TranscriptDirection::Received, report);
  arrived_.notify_all();
}

void DeviceLink::OnRemoved() {
  std::function<void()> handler;
  {
    std::lock_guard lock(mutex_);
    if (removed_) return;
    removed_ = true;
    handler = removalHandler_;
  }
  arrived_.notify_all();
  if (handler) handler();
}

void DeviceLink::DiscardReceived() {
  std::lock_guard lock(mutex_);
  stats_.StaleBytes += received_.size();
  received_.clear();
}

// Waits until bytes are there (anyBytes) or until `until` (a fixed poll), or
// the device went away; moves what arrived into `into`. False when the device
// went away.
bool DeviceLink::WaitForBytes(std::vector<uint8_t>& into, Clock::time_point until, bool anyBytes) {
  std::unique_lock lock(mutex_);
  arrived_.wait_until(lock, until, [&] { return removed_ || (anyBytes && !received_.empty()); });
  stats_.DroppedBytes += AppendBounded(into, received_);
  received_.clear();
  return !removed_;
}

void DeviceLink::Sleep(std::chrono::microseconds duration) {
  if (duration.count() > 0) std::this_thread::sleep_for(duration);
}

bool DeviceLink::WriteFrame(std::span<const uint8_t> frame) {
  if (!IsOpen()) return false;
  std::shared_ptr<TranscriptRecorder> transcript;
  {
    std::lock_guard lock(mutex_);
    transcript = transcript_;
  }
  const std::vector<Report> reports = SplitIntoReports(frame);
  for (size_t k = 0; k < reports.size(); ++k) {
    if (k > 0) Sleep(timing_.ReportGap);
    // Recorded before writing: a device may answer before the write returns.
    if (transcript) transcript->Record(TranscriptDirection::Sent, reports[k]);
    if (!transport_->WriteReport(reports[k])) {
      if (transcript) transcript->Note("write failed");
      return false;
    }
  }
  if (timing_.PauseAfterLastReport) Sleep(timing_.ReportGap);
  return true;
}

ExchangeResult DeviceLink::Exchange(ParameterStore& store, std::span<const uint8_t> frame) {
  ExchangeResult result;
  auto finish = [&](ExchangeStatus status) {
    result.Status = status;
    last_ = status;
    std::lock_guard lock(mutex_);
    ++stats_.Exchanges;
    if (status == ExchangeStatus::Accepted) ++stats_.Accepted;
    if (status == ExchangeStatus::Timeout) ++stats_.Timeouts;
    if (status == ExchangeStatus::WriteFailed) ++stats_.WriteFailures;
    return result;
  };
  if (!IsOpen()) return finish(ExchangeStatus::NotOpen);

  DiscardReceived();
  bool written = false;
  for (int attempt = 0; attempt < std::max(1, timing_.WriteAttempts) && !written; ++attempt) {
    if (attempt > 0) {
      if (Removed()) break;
      Sleep(timing_.RetryGap);
    }
    written = WriteFrame(frame);
  }
  if (!written) return finish(Removed() ? ExchangeStatus::Removed : ExchangeStatus::WriteFailed);

  const bool polling = timing_.PollInterval.count() > 0;
  const Clock::time_point start = Clock::now();
  const Clock::time_point deadline = start + timing_.ReplyDeadline;
  Clock::time_point nextLook = start + timing_.FirstPoll;
  std::vector<uint8_t> buffer;
  std::vector<uint8_t> leftover;
  for (;;) {
    const size_t before = buffer.size();
    const bool present = WaitForBytes(buffer, polling ? nextLook : deadline, !polling);
    if (buffer.size() > before) {
      // Several frames may have arrived together; IgnoredReply ones are passed over.
      for (;;) {
        result.Reply = ParseReply(store, buffer, leftover);
        buffer.swap(leftover);
        if (result.Reply.Malformed) {
          std::lock_guard lock(mutex_);
          ++stats_.MalformedReplies;
        }
        if (result.Reply.accepted()) return finish(ExchangeStatus::Accepted);
        if (result.Reply.Status == ReplyStatus::NoReply) break;
        std::lock_guard lock(mutex_);
        ++stats_.IgnoredReplies;
      }
    }
    if (!present) return finish(ExchangeStatus::Removed);
    if (polling) {
      nextLook += timing_.PollInterval;
      if (nextLook > deadline + timing_.PollInterval / 2) return finish(ExchangeStatus::Timeout);
    } else if (Clock::now() >= deadline) {
      return finish(ExchangeStatus::Timeout);
    }
  }
}

bool SendFrame(ParameterStore& store, DeviceLink& link, uint8_t command, uint8_t deviceId, uint8_t slot,
               uint8_t channel, uint8_t block, uint8_t group) {
  std::vector<uint8_t> payload;
  if (command == WriteCommand) {
    auto built = BuildWritePayload(store, slot, block, channel, group);
    if (!built) return false;
    payload = std::move(*built);
  }
  const std::vector<uint8_t> frame = BuildFrame(command, deviceId, slot, block, channel, group, payload);
  return link.Exchange(store, frame).accepted();
}

}  // namespace veyra
