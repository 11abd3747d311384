// One session with a processor: the link made from the device address (with
// its transcript when asked for), a freshly initialised store, and the
// connection sequence that brings both online, as the program does when it
// starts and connects.
#pragma once

#include <memory>
#include <string>

#include "console.hpp"
#include "link/device_link.hpp"
#include "sync/sync_result.hpp"

namespace veyra::ctl {

struct GlobalOptions {
  std::string Device = "usb";
  bool DeviceGiven = false;  // --device was written (commands on files refuse it)
  std::string Trace;         // transcript file, or empty
  bool Quiet = false;
  // Link timing; negative or zero keeps the program's own.
  int ReportGapUs = -1;  // pause between the reports of one frame
  int TimeoutMs = 0;     // reply deadline of one exchange
};

// Draws "label done/total" on one line of the terminal while a sequence runs.
class ProgressLine {
 public:
  ProgressLine(const Console& console, std::string label) : console_(console), label_(std::move(label)) {}
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  // The control to hand to a sequence; without a terminal it reports nothing.
  SyncControl Control();

 private:
  void Show(int done, int total);

  const Console& console_;
  std::string label_;
  int shownPercent_ = -1;
  bool drawn_ = false;
};

class DeviceSession {
 public:
  explicit DeviceSession(const Console& console);

  // Makes the link from the address: a malformed address is a usage error, a
  // transcript file that cannot be created a failure. Returns the exit status.
  int Prepare(const GlobalOptions& options);
  // The connection sequence on a freshly initialised store (model 1, as the
  // program starts). Returns the exit status, with the sequence's text on
  // failure.
  int Connect();

  ParameterStore& Store() { return *store_; }
  DeviceLink& Link() { return link_; }

  // Exit status of a device sequence: 0 when it succeeded; otherwise its own
  // text (or, where it has none, one saying what went wrong) and 1. goesOn:
  // the sequence sends the rest after an unanswered message (and counts
  // them); it has not succeeded either.
  int Outcome(const SyncResult& result, const std::string& operation, bool goesOn = false) const;

 private:
  const Console& console_;
  std::unique_ptr<ParameterStore> store_;
  DeviceLink link_;
};

// Runs the connection, then body(session); the device link closes with the
// session. Returns the exit status of whichever failed, or body's.
template <typename Body>
int Connected(const Console& console, const GlobalOptions& global, Body&& body) {
  DeviceSession session(console);
  if (const int status = session.Prepare(global); status != kExitOk) return status;
  if (const int status = session.Connect(); status != kExitOk) return status;
  return body(session);
}

}  // namespace veyra::ctl
