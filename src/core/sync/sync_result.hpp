// What every device sequence returns, and how a caller follows and stops it.
//
// The sequences are synchronous: they run on the thread that owns the link
// (the GUI's link thread, the command-line tool, a test) and take the store
// that thread works on. Those that read from the device (the connection, the
// recall of a program, Download All, the meter poll) work on a private copy
// and write it back into the store only when they succeed, so a failed or
// cancelled sequence leaves the store exactly as it was. Those that only
// write change the store as the operation itself prescribes (the copy of the
// live settings into a program, the factory defaults) before sending.
//
// The meter poll timer belongs to the GUI: it stops the poll before it starts
// an operation that sends while online, and afterwards restarts it with the
// period the result names (RestartPollMs; 0 leaves the timer as it is).
#pragma once

#include <atomic>
#include <functional>
#include <string>

namespace veyra {

enum class SyncStatus {
  Success,        // done, with the device
  Offline,        // not online: done on the store alone, which counts as done
  AlreadyOnline,  // a connection while online: nothing done
  Locked,         // the front-panel lock is set: a wholesale operation does nothing
  OpenFailed,     // the device could not be opened
  NoModelCode,    // the device did not answer the model-code request
  UnknownModel,   // the model code matches no model
  ConnectError,   // the first version text was not answered
  NoReply,        // an exchange was not answered
  Cancelled,      // stopped by the caller's cancel flag
  BadProgram,     // the program number is not 1..30: nothing done
};

// The operator's texts.
inline constexpr const char* kAlreadyConnectText = "Already connect!";
inline constexpr const char* kDeviceTypeNotSelectedText = "Device type is not selected.";
inline constexpr const char* kConnectErrorText = "Connect error.";
inline constexpr const char* kSaveSuccessText = "Save Successfully.";
inline constexpr const char* kRecallSuccessText = "Recall Successfully.";
inline constexpr const char* kDownloadAllSuccessText = "Save successfully.";
inline constexpr const char* kUploadAllSuccessText = "Upload successfully.";

// Periods of the meter poll timer.
inline constexpr int kPollAfterConnectMs = 1000;
inline constexpr int kPollAfterWritesMs = 100;

struct SyncResult {
  SyncStatus Status = SyncStatus::Success;
  // For the operator, shown as the operation's own message box; empty when
  // the situation shows nothing.
  std::string Message;
  int RestartPollMs = 0;  // 0: leave the meter poll as it is
  int Exchanges = 0;      // exchanges answered
  int Unanswered = 0;     // exchanges that got no answer (sequences that go on past one)
  bool ok() const { return Status == SyncStatus::Success || Status == SyncStatus::Offline; }
};

// Progress in steps done out of total (exchanges, or channels for the
// all-programs transfers). Called on the sequence's thread.
using SyncProgress = std::function<void(int done, int total)>;

struct SyncControl {
  SyncProgress Progress;
  // Checked before every exchange; the sequence ends with Cancelled when set.
  const std::atomic<bool>* Cancel = nullptr;
};

const char* SyncStatusName(SyncStatus status);

}  // namespace veyra
