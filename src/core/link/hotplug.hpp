// Arrival and removal of processor interfaces. The owner drives a watcher from
// its own event loop: when FileDescriptor() is valid it calls ProcessPending()
// whenever that descriptor becomes readable (a QSocketNotifier in the GUI),
// otherwise every PollInterval(). Events are reported on the calling thread.
//
// What the owner does with them: on arrival, when not online and the path is
// the processor's (SameDevicePath), start a connection; on removal of the open
// device's path, go offline.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace veyra {

struct HotplugEvent {
  enum class Kind { Arrived, Removed };
  Kind What = Kind::Arrived;
  std::string Path;  // the interface path, comparable with Transport::Path()
};

class HotplugWatcher {
 public:
  using Handler = std::function<void(const HotplugEvent&)>;
  virtual ~HotplugWatcher() = default;

  // Starts watching; false when the watcher cannot work on this machine.
  virtual bool Start(Handler handler) = 0;
  virtual void Stop() = 0;
  // Readable when events wait; -1 when the watcher must be polled.
  virtual int FileDescriptor() const { return -1; }
  virtual std::chrono::milliseconds PollInterval() const { return std::chrono::milliseconds(0); }
  // Reports the events that are waiting.
  virtual void ProcessPending() = 0;
};

// Compares the processor interfaces present now with those present at the
// last look. Works everywhere; the enumerator is replaceable for tests.
class PollHotplugWatcher final : public HotplugWatcher {
 public:
  using Enumerator = std::function<std::vector<std::string>()>;
  // The default enumerator lists the interfaces that match the processor's identity.
  explicit PollHotplugWatcher(Enumerator enumerate = {},
                              std::chrono::milliseconds interval = std::chrono::milliseconds(1000));

  bool Start(Handler handler) override;  // what is present now is not reported
  void Stop() override { handler_ = nullptr; }
  std::chrono::milliseconds PollInterval() const override { return interval_; }
  void ProcessPending() override;

 private:
  Enumerator enumerate_;
  std::chrono::milliseconds interval_;
  Handler handler_;
  std::vector<std::string> present_;
};

// The udev monitor on subsystem "hidraw" (Linux). An added node is reported
// when its USB device has the processor's vendor and product id; a removed
// node is reported whatever it was, since its attributes are gone by then.
std::unique_ptr<HotplugWatcher> CreateUdevHotplugWatcher();

// The udev watcher when it can start, else the enumeration poll. The returned
// watcher is already started with the handler.
std::unique_ptr<HotplugWatcher> StartHotplugWatcher(HotplugWatcher::Handler handler);

}  // namespace veyra
