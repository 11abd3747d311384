// The bookkeeping every sequence shares: exchanges over one link with the
// store's device id, progress, cancellation and the retry rule of the
// all-programs transfers. Internal to the sequences.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstring>

#include "link/device_link.hpp"
#include "sync/sync_result.hpp"

namespace veyra {

class SyncSession {
 public:
  SyncSession(ParameterStore& store, DeviceLink& link, const SyncControl& control, int total)
      : store_(&store), link_(link), control_(control), total_(total) {}

  // Later exchanges go through another store (the sequence's private copy).
  void UseStore(ParameterStore& store) { store_ = &store; }
  void SetTotal(int total) { total_ = total; }

  bool CancelRequested() const;
  // One exchange with the device id the store holds now; counts the answer.
  bool Send(uint8_t command, uint8_t slot, uint8_t channel, uint8_t block, uint8_t group);
  // Up to `attempts` exchanges, kRetryGap apart, until one is answered.
  bool SendWithRetry(uint8_t command, uint8_t slot, uint8_t channel, uint8_t block, uint8_t group,
                     int attempts = kTransferAttempts);
  // One step of progress.
  void Advance();
  // A step of a sequence: false without sending when the caller cancelled,
  // else Send (or SendWithRetry for attempts > 1), then Advance if asked.
  bool Step(uint8_t command, int slot, int channel, uint8_t block, uint8_t group, int attempts = 1,
            bool advance = true);
  // Fills in the counters; Status and Message as given.
  SyncResult Finish(SyncStatus status, std::string message = {}, int restartPollMs = 0) const;
  // The end after a step returned false: Cancelled (no text) when that was
  // the reason, else status and message.
  SyncResult Failed(SyncStatus status, std::string message = {}, int restartPollMs = 0) const;

  static constexpr int kTransferAttempts = 3;
  static constexpr std::chrono::milliseconds kRetryGap{30};

 private:
  ParameterStore* store_;
  DeviceLink& link_;
  const SyncControl& control_;
  int total_;
  int done_ = 0;
  int answered_ = 0;
  int unanswered_ = 0;
  bool cancelled_ = false;
};

// The live records of the model's channels copied into a program, and back.
// Records beyond the model's counts are not touched.
void CopyLiveToPreset(ParameterStore& store, int program);
void CopyPresetToLive(ParameterStore& store, int program);

}  // namespace veyra
