#include "mainwin/device_session.hpp"

#include <QSocketNotifier>
#include <array>
#include <cstring>

#include "link/frame.hpp"
#include "link/messages.hpp"

namespace veyra {
namespace {

struct Meters {
  std::array<uint8_t, 8> Inputs{};
  std::array<uint8_t, 8> Outputs{};
};

}  // namespace

DeviceSession::DeviceSession(ParameterStore& store, LinkTiming timing, QObject* parent)
    : QObject(parent), store_(store), link_(std::make_unique<LinkThread>(timing)) {
  poll_.setTimerType(Qt::CoarseTimer);
  connect(&poll_, &QTimer::timeout, this, &DeviceSession::PollMetersNow);
  connect(link_.get(), &LinkThread::writeBurstFinished, this, [this](quint64 serial, bool) {
    if (serial != lastWriteSerial_) return;  // newer writes are still queued
    writesOutstanding_ = false;
    RestartPollAfterWrites();
  });
  connect(link_.get(), &LinkThread::deviceRemoved, this, [this] {
    if (Online()) GoOffline(true);
  });
}

DeviceSession::~DeviceSession() {
  // A running sequence or download ends at its next exchange instead of
  // holding the teardown up for the whole device.
  if (cancel_) cancel_->store(true);
  closing_->store(true);
  poll_.stop();
  if (watcher_) watcher_->Stop();
  // The link thread ends before any member goes (link_ included, which jobs
  // never use): nothing a job posts from now on runs.
  link_->Stop();
}

DeviceSession::Start DeviceSession::Connect(const QString& address) {
  if (Online()) return Start::AlreadyOnline;
  if (connecting_) return Start::AlreadyConnecting;
  connecting_ = true;
  address_ = address;
  cancel_ = std::make_shared<std::atomic<bool>>(false);

  // The sequence reads into this copy; the window's store is replaced only
  // when the whole device has arrived.
  auto work = std::make_shared<ParameterStore>(store_);
  auto cancel = cancel_;
  const std::string where = address.toStdString();
  const bool queued = link_->Enqueue([this, work, cancel, where](LinkContext& context) {
    ConnectionResult result;
    std::string path;
    TransportOrError made = CreateTransport(where);
    if (!made.transport) {
      result.Status = SyncStatus::OpenFailed;
      result.Message = ConnectionFailedText({OpenStatus::Failed, made.error});
    } else {
      context.Link.Close();
      context.Link.SetTransport(std::move(made.transport));
      SyncControl control;
      control.Cancel = cancel.get();
      auto shown = std::make_shared<int>(-1);
      control.Progress = [this, &context, shown](int done, int total) {
        // A few hundred exchanges: report each percent once, not each exchange.
        const int percent = total > 0 ? done * 100 / total : 0;
        if (percent == *shown) return;
        *shown = percent;
        context.Post([this, done, total] { emit connectionProgress(done, total); });
      };
      result = ConnectionSequence(*work, context.Link, control);
      if (result.ok()) path = context.Link.GetTransport()->Path();
    }
    context.Post(
        [this, result, work, path] { FinishConnection(result, *work, QString::fromStdString(path)); });
  });
  if (!queued) {  // the link thread has more queued than it takes
    connecting_ = false;
    cancel_.reset();
    return Start::AlreadyConnecting;
  }
  emit connectionStarted(address);
  return Start::Started;
}

void DeviceSession::CancelConnection() {
  if (connecting_ && cancel_) cancel_->store(true);
}

void DeviceSession::FinishConnection(const ConnectionResult& result, const ParameterStore& device,
                                     const QString& path) {
  connecting_ = false;
  cancel_.reset();
  if (result.ok()) {
    store_ = device;
    devicePath_ = path;
    // Writes queued before going online belong to an earlier connection.
    lastWriteSerial_ = 0;
    writesOutstanding_ = false;
    poll_.start(result.RestartPollMs > 0 ? result.RestartPollMs : kPollAfterConnectMs);
  }
  emit connectionFinished(result);
}

bool DeviceSession::Disconnect() {
  if (!Online()) return false;
  GoOffline(false);
  return true;
}

void DeviceSession::GoOffline(bool deviceGone) {
  poll_.stop();
  store_.Online = 0;
  devicePath_.clear();
  pollQueued_ = false;
  writesOutstanding_ = false;
  // Writes already queued still reach a device that is there (they were made
  // while online, in order); for one that went away they cannot.
  if (deviceGone) link_->DropPendingWrites();
  link_->Enqueue([](LinkContext& context) { context.Link.Close(); });
  emit wentOffline();
}

bool DeviceSession::SendWrite(uint8_t slot, uint8_t channel, uint8_t block, uint8_t group) {
  if (!Online()) return false;
  const auto payload = BuildWritePayload(store_, slot, block, channel, group);
  if (!payload) return false;
  std::vector<uint8_t> frame =
      BuildFrame(WriteCommand, store_.DeviceId, slot, block, channel, group, *payload);
  poll_.stop();
  const uint64_t serial = link_->EnqueueWrite({slot, block, channel, group}, std::move(frame));
  if (serial == 0) {
    RestartPollAfterWrites();
    return false;
  }
  lastWriteSerial_ = serial;
  writesOutstanding_ = true;
  return true;
}

bool DeviceSession::DownloadLive() {
  if (!Online()) return false;
  poll_.stop();
  auto work = std::make_shared<ParameterStore>(store_);
  const bool queued = link_->Enqueue([this, work, closing = closing_](LinkContext& context) {
    SyncControl control;
    control.Cancel = closing.get();
    const SyncResult result = DownloadLiveSettings(*work, context.Link, control);
    context.Post([this, result] {
      --bulkJobs_;
      RestartPollAfterWrites();
      emit downloadFinished(result);
    });
  });
  if (queued) ++bulkJobs_;
  return queued;
}

bool DeviceSession::RunJob(std::function<void(DeviceLink&)> job) {
  poll_.stop();
  const bool queued = link_->Enqueue([this, job = std::move(job)](LinkContext& context) {
    job(context.Link);
    context.Post([this] {
      --bulkJobs_;
      RestartPollAfterWrites();
    });
  });
  if (queued) {
    ++bulkJobs_;
  } else {
    RestartPollAfterWrites();
  }
  return queued;
}

void DeviceSession::RestartPollAfterWrites() {
  if (Online() && !writesOutstanding_ && bulkJobs_ == 0) poll_.start(kPollAfterWritesMs);
}

void DeviceSession::PollMetersNow() {
  if (!Online() || pollQueued_) return;
  const uint8_t deviceId = store_.DeviceId;
  pollQueued_ = link_->Enqueue([this, deviceId](LinkContext& context) {
    context.Scratch.Online = 1;
    context.Scratch.DeviceId = deviceId;
    const bool answered = PollMeters(context.Scratch, context.Link).ok();
    Meters meters;
    std::memcpy(meters.Inputs.data(), context.Scratch.System.InputMeters, meters.Inputs.size());
    std::memcpy(meters.Outputs.data(), context.Scratch.System.OutputMeters, meters.Outputs.size());
    context.Post([this, answered, meters] {
      pollQueued_ = false;
      if (!answered || !Online()) return;  // a failed poll shows nothing
      std::memcpy(store_.System.InputMeters, meters.Inputs.data(), meters.Inputs.size());
      std::memcpy(store_.System.OutputMeters, meters.Outputs.data(), meters.Outputs.size());
      emit metersUpdated();
    });
  });
}

void DeviceSession::OnDeviceChange(const HotplugEvent& event) {
  const QString path = QString::fromStdString(event.Path);
  if (event.What == HotplugEvent::Kind::Arrived) {
    if (!Online() && !connecting_) Connect(QString(kUsbAddress) + ":" + path);
    return;
  }
  if (Online() && !devicePath_.isEmpty() && path.compare(devicePath_, Qt::CaseInsensitive) == 0)
    GoOffline(true);
}

bool DeviceSession::StartWatchingDevices() {
  if (watcher_) return true;
  watcher_ = StartHotplugWatcher([this](const HotplugEvent& event) { OnDeviceChange(event); });
  if (!watcher_) return false;
  if (watcher_->FileDescriptor() >= 0) {
    watcherNotifier_ = new QSocketNotifier(watcher_->FileDescriptor(), QSocketNotifier::Read, this);
    connect(watcherNotifier_, &QSocketNotifier::activated, this, [this] { watcher_->ProcessPending(); });
  } else {
    connect(&watcherPoll_, &QTimer::timeout, this, [this] { watcher_->ProcessPending(); });
    watcherPoll_.start(static_cast<int>(watcher_->PollInterval().count()));
  }
  return true;
}

}  // namespace veyra
