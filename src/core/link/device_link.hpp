// DeviceLink: one transport, the buffer of received bytes, and the exchange
// of one request frame for one reply. SendFrame builds the request from the
// store and applies the reply to it.
//
// Threads: a link is driven by one thread at a time (the GUI's link thread, a
// connection sequence, the command-line tool). Open, Close, Exchange and
// SendFrame must not run concurrently on the same link. Only the transport's
// reception thread runs alongside; it appends to the received-bytes buffer
// under a mutex and wakes the waiting sender through a condition variable.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "link/messages.hpp"
#include "link/transcript.hpp"
#include "link/transport.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

// How a link writes and waits. The defaults wait for the reply as soon as
// bytes arrive; OriginalPolling() reproduces the fixed sleeps of the first
// design (a pause after every report, a first look after 10 ms, then every
// 10 ms), which the benchmarks use as their baseline.
struct LinkTiming {
  std::chrono::microseconds ReportGap{5000};  // between the reports of one frame
  bool PauseAfterLastReport = false;          // also pause after the last report
  std::chrono::microseconds RetryGap{3000};   // between write attempts
  int WriteAttempts = 6;
  // About 4 s: the first look at 10 ms plus 400 further looks 10 ms apart.
  std::chrono::milliseconds ReplyDeadline{4010};
  // Zero: look whenever bytes arrive. Otherwise look at FirstPoll after the
  // write and then every PollInterval, whether bytes arrived or not.
  std::chrono::microseconds FirstPoll{0};
  std::chrono::microseconds PollInterval{0};

  static LinkTiming OriginalPolling();
};

enum class ExchangeStatus {
  Accepted,     // a reply was accepted (and applied)
  NotOpen,      // no transport, or not open
  WriteFailed,  // every write attempt failed
  Timeout,      // no acceptable reply before the deadline
  Removed,      // the device went away while waiting
};

struct ExchangeResult {
  ExchangeStatus Status = ExchangeStatus::NotOpen;
  ParsedReply Reply;  // the accepted reply when Status is Accepted
  bool accepted() const { return Status == ExchangeStatus::Accepted; }
};

// Counters for diagnostics and tests.
struct LinkStats {
  uint64_t Exchanges = 0;
  uint64_t Accepted = 0;
  uint64_t Timeouts = 0;
  uint64_t WriteFailures = 0;     // frames given up after every attempt
  uint64_t MalformedReplies = 0;  // accepted, but length field, payload and layout disagreed
  uint64_t IgnoredReplies = 0;
  uint64_t StaleBytes = 0;    // received before a request was written, discarded
  uint64_t DroppedBytes = 0;  // arrived while the buffer was full
};

class DeviceLink {
 public:
  explicit DeviceLink(LinkTiming timing = {});
  explicit DeviceLink(std::unique_ptr<Transport> transport, LinkTiming timing = {});
  ~DeviceLink();
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  // Replaces the transport (closing the old one).
  void SetTransport(std::unique_ptr<Transport> transport);
  Transport* GetTransport() const { return transport_.get(); }

  // Opens the transport; received reports flow into the buffer until Close.
  OpenResult Open();
  void Close();
  bool IsOpen() const;
  // True once the device went away since the last Open.
  bool Removed() const;
  // Runs on the reception thread (or the sending thread) when the device goes
  // away; the GUI posts it to its own thread.
  void SetRemovalHandler(std::function<void()> handler);

  void SetTiming(const LinkTiming& timing) { timing_ = timing; }
  const LinkTiming& Timing() const { return timing_; }

  // Records every report sent and received from now on; nullptr stops.
  void SetTranscript(std::shared_ptr<TranscriptRecorder> recorder);

  // One exchange: discards what was received so far (a late reply to an
  // earlier request is never this one's answer), writes the frame (up to
  // WriteAttempts times), waits for a reply within ReplyDeadline, parses it
  // and applies it to the store. IgnoredReply frames are passed over.
  ExchangeResult Exchange(ParameterStore& store, std::span<const uint8_t> frame);

  // Writes one frame as 65-byte reports, ReportGap apart. One attempt.
  bool WriteFrame(std::span<const uint8_t> frame);

  LinkStats Stats() const;
  // What the last Exchange ended with.
  ExchangeStatus LastStatus() const { return last_; }

 private:
  void OnReport(std::span<const uint8_t> report);
  void OnRemoved();
  void DiscardReceived();
  bool WaitForBytes(std::vector<uint8_t>& into, std::chrono::steady_clock::time_point until, bool anyBytes);
  void Sleep(std::chrono::microseconds duration);

  LinkTiming timing_;
  std::unique_ptr<Transport> transport_;
  std::shared_ptr<TranscriptRecorder> transcript_;  // guarded by mutex_ for the reception thread
  std::function<void()> removalHandler_;            // guarded by mutex_

  mutable std::mutex mutex_;
  std::condition_variable arrived_;
  std::vector<uint8_t> received_;  // bounded at kReceiveBufferBytes
  bool removed_ = false;
  LinkStats stats_;

  ExchangeStatus last_ = ExchangeStatus::NotOpen;
};

// The one exchange by which anything reaches the device: builds the payload
// for a WriteCommand from the store (an empty one for a ReadCommand), writes
// the frame, waits for the reply and applies it to the store. True when a
// reply was accepted. Blocks the calling thread for up to the link's reply
// deadline; see DeviceLink for the threading rule.
bool SendFrame(ParameterStore& store, DeviceLink& link, uint8_t command, uint8_t deviceId, uint8_t slot,
               uint8_t channel, uint8_t block, uint8_t group);

}  // namespace veyra
