// DeviceSession: the connection state of the window and everything it sends,
// on the window's thread. It owns the link thread and timer 1 (the meter
// poll) and never waits for the device: every exchange runs as a link-thread
// job and reports back as a signal.
//
//   Connect(address)   runs the connection sequence on a private copy of the
//                      store; only a complete sequence replaces the store and
//                      sets Online. One sequence at a time; it can be cancelled.
//   SendWrite(...)     one parameter group, built from the store now. Timer 1
//                      stops while writes are outstanding and restarts at
//                      100 ms after the last one.
//   DownloadLive()     every live channel of the model (a loaded file, the
//                      factory defaults), from a copy of the store taken now.
//   timer 1            the meter poll: 1000 ms after connecting; a failed poll
//                      is ignored; at most one poll is queued.
//   OnDeviceChange     processor arrival while offline connects; removal of the
//                      open device while online goes offline.
//
// Jobs run on the link thread and may still be running when the session goes:
// they capture what they need by value and reach the session only through
// what they post (LinkContext::Post), which runs on the window's thread and
// never after the destructor has stopped the link thread.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <memory>

#include "link/hotplug.hpp"
#include "mainwin/link_thread.hpp"
#include "sync/connection.hpp"

class QSocketNotifier;

namespace veyra {

class DeviceSession : public QObject {
  Q_OBJECT

 public:
  // The address of the USB processor (connection mode 1).
  static constexpr const char* kUsbAddress = "usb";

  explicit DeviceSession(ParameterStore& store, LinkTiming timing = {}, QObject* parent = nullptr);
  ~DeviceSession() override;

  ParameterStore& Store() { return store_; }
  LinkThread& Link() { return *link_; }
  QTimer& PollTimer() { return poll_; }  // timer 1

  bool Online() const { return store_.Online != 0; }
  bool Connecting() const { return connecting_; }
  // The address being connected to, or the one connected to while online.
  QString Address() const { return address_; }

  enum class Start { Started, AlreadyOnline, AlreadyConnecting };
  Start Connect(const QString& address);
  void CancelConnection();
  // Goes offline; false (nothing done) when not online.
  bool Disconnect();

  // Queues one write of the group from the store as it is now. False (nothing
  // queued) while offline or when the address names no writable group.
  bool SendWrite(uint8_t slot, uint8_t channel, uint8_t block, uint8_t group);
  // Queues every live channel of the model; false while offline.
  bool DownloadLive();
  // Queues a job with the device link (a program transfer, the lock, the
  // system settings); the meter poll waits until it has run. The job hands
  // its results back itself. False when the queue is full.
  bool RunJob(std::function<void(DeviceLink&)> job);

  void OnDeviceChange(const HotplugEvent& event);
  // Watches for processor arrival and removal from the window's event loop.
  bool StartWatchingDevices();

 signals:
  void connectionStarted(const QString& address);
  void connectionProgress(int done, int total);
  // After the store was replaced (success) or left alone (failure, cancel).
  void connectionFinished(const veyra::ConnectionResult& result);
  void wentOffline();
  void metersUpdated();
  void downloadFinished(const veyra::SyncResult& result);

 private:
  void GoOffline(bool deviceGone);
  void FinishConnection(const ConnectionResult& result, const ParameterStore& device, const QString& path);
  void PollMetersNow();
  void RestartPollAfterWrites();

  ParameterStore& store_;
  std::unique_ptr<LinkThread> link_;
  QTimer poll_;
  bool connecting_ = false;
  std::shared_ptr<std::atomic<bool>> cancel_;
  // Set when the session goes: ends a running download early.
  std::shared_ptr<std::atomic<bool>> closing_ = std::make_shared<std::atomic<bool>>(false);
  QString address_;
  QString devicePath_;  // the open device's path while online
  bool pollQueued_ = false;
  uint64_t lastWriteSerial_ = 0;
  bool writesOutstanding_ = false;
  int bulkJobs_ = 0;

  std::unique_ptr<HotplugWatcher> watcher_;
  QSocketNotifier* watcherNotifier_ = nullptr;
  QTimer watcherPoll_;
};

}  // namespace veyra
