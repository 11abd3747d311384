#include "device_session.hpp"

#include "link/hid_transport.hpp"
#include "list_command.hpp"
#include "state/text_format.hpp"
#include "sync/connection.hpp"

namespace veyra::ctl {

namespace {

std::string DefaultText(SyncStatus status, const std::string& operation) {
  switch (status) {
    case SyncStatus::NoModelCode:
      return "The device did not answer the model-code request.";
    case SyncStatus::Locked:
      return "The device is locked: " + operation + " is refused until it is unlocked.";
    case SyncStatus::Cancelled:
      return operation + " was cancelled.";
    default:
      return "The device did not answer; " + operation + " stopped.";
  }
}

}  // namespace

ProgressLine::~ProgressLine() {
  if (drawn_) console_.Err() << "\r\033[K" << std::flush;
}

SyncControl ProgressLine::Control() {
  SyncControl control;
  if (console_.ShowsProgress()) control.Progress = [this](int done, int total) { Show(done, total); };
  return control;
}

void ProgressLine::Show(int done, int total) {
  const int percent = total > 0 ? done * 100 / total : 0;
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  drawn_ = true;
  console_.Err() << Format("\r%s %d/%d (%d%%)", label_.c_str(), done, total, percent) << std::flush;
}

DeviceSession::DeviceSession(const Console& console)
    : console_(console), store_(std::make_unique<ParameterStore>()) {}

int DeviceSession::Prepare(const GlobalOptions& options) {
  TransportOrError made = CreateTransport(options.Device);
  if (!made.transport) return console_.Usage("--device " + options.Device + ": " + made.error);
  LinkTiming timing;
  if (options.ReportGapUs >= 0) timing.ReportGap = std::chrono::microseconds(options.ReportGapUs);
  if (options.TimeoutMs > 0) timing.ReplyDeadline = std::chrono::milliseconds(options.TimeoutMs);
  link_.SetTiming(timing);
  // With several processors connected, a bare "usb" takes the first: say so,
  // and how to pick another, before anything is sent.
  if (made.transport->Address() == "usb") {
    const std::string note = SeveralProcessorsNote(EnumerateProcessorInterfaces());
    if (!note.empty()) console_.Err() << note << "\n";
  }
  link_.SetTransport(std::move(made.transport));
  if (!options.Trace.empty()) {
    std::string error;
    auto recorder = TranscriptRecorder::Create(options.Trace, error);
    if (!recorder) return console_.Failure(error);
    recorder->Note("veyractl --device " + options.Device);
    link_.SetTranscript(std::move(recorder));
  }
  return kExitOk;
}

int DeviceSession::Connect() {
  InitialiseStore(*store_);
  ProgressLine progress(console_, "Connecting");
  const ConnectionResult result = ConnectionSequence(*store_, link_, progress.Control());
  return Outcome(result, "the connection");
}

int DeviceSession::Outcome(const SyncResult& result, const std::string& operation, bool goesOn) const {
  if (result.ok() && result.Unanswered == 0) return kExitOk;
  if (!result.ok() && !result.Message.empty()) return console_.Failure(result.Message);
  if (goesOn && result.Unanswered > 0) {
    return console_.Failure(Format("The device did not answer %d of the messages; %s is incomplete.",
                                   result.Unanswered, operation.c_str()));
  }
  return console_.Failure(DefaultText(result.Status, operation));
}

}  // namespace veyra::ctl
