#include "link/hotplug.hpp"

#include <libudev.h>

#include <algorithm>
#include <cstring>

#include "link/hid_transport.hpp"
#include "link/transport.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

bool Contains(const std::vector<std::string>& paths, const std::string& path) {
  return std::any_of(paths.begin(), paths.end(),
                     [&](const std::string& p) { return SameDevicePath(p, path); });
}

class UdevHotplugWatcher final : public HotplugWatcher {
 public:
  ~UdevHotplugWatcher() override { Stop(); }

  bool Start(Handler handler) override {
    Stop();
    udev_ = udev_new();
    if (udev_ == nullptr) return false;
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
      Stop();
      return false;
    }
    handler_ = std::move(handler);
    return true;
  }

  void Stop() override {
    if (monitor_ != nullptr) udev_monitor_unref(monitor_);
    if (udev_ != nullptr) udev_unref(udev_);
    monitor_ = nullptr;
    udev_ = nullptr;
    handler_ = nullptr;
  }

  int FileDescriptor() const override { return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1; }

  void ProcessPending() override {
    if (monitor_ == nullptr) return;
    // The monitor's socket is non-blocking: this drains what is waiting.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
      Report(device);
      udev_device_unref(device);
    }
  }

 private:
  void Report(udev_device* device) {
    const char* action = udev_device_get_action(device);
    const char* node = udev_device_get_devnode(device);
    if (action == nullptr || node == nullptr || !handler_) return;
    if (std::strcmp(action, "add") == 0 && IsProcessor(device)) {
      handler_({HotplugEvent::Kind::Arrived, node});
    } else if (std::strcmp(action, "remove") == 0) {
      handler_({HotplugEvent::Kind::Removed, node});
    }
  }

  static bool IsProcessor(udev_device* device) {
    // The parent belongs to the child; it is not unreferenced separately.
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (usb == nullptr) return false;
    const char* vendor = udev_device_get_sysattr_value(usb, "idVendor");
    const char* product = udev_device_get_sysattr_value(usb, "idProduct");
    return vendor != nullptr && product != nullptr && SameDevicePath(vendor, Format("%04x", kVendorId)) &&
           SameDevicePath(product, Format("%04x", kProductId));
  }

  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  Handler handler_;
};

}  // namespace

PollHotplugWatcher::PollHotplugWatcher(Enumerator enumerate, std::chrono::milliseconds interval)
    : enumerate_(enumerate ? std::move(enumerate) : Enumerator(MatchingInterfacePaths)),
      interval_(interval) {}

bool PollHotplugWatcher::Start(Handler handler) {
  handler_ = std::move(handler);
  present_ = enumerate_();
  return true;
}

void PollHotplugWatcher::ProcessPending() {
  if (!handler_) return;
  std::vector<std::string> now = enumerate_();
  std::vector<std::string> before = std::move(present_);
  present_ = now;
  for (const std::string& path : before) {
    if (!Contains(now, path)) handler_({HotplugEvent::Kind::Removed, path});
  }
  for (const std::string& path : now) {
    if (!Contains(before, path)) handler_({HotplugEvent::Kind::Arrived, path});
  }
}

std::unique_ptr<HotplugWatcher> CreateUdevHotplugWatcher() {
  return std::make_unique<UdevHotplugWatcher>();
}

std::unique_ptr<HotplugWatcher> StartHotplugWatcher(HotplugWatcher::Handler handler) {
  std::unique_ptr<HotplugWatcher> watcher = CreateUdevHotplugWatcher();
  if (watcher->Start(handler)) return watcher;
  watcher = std::make_unique<PollHotplugWatcher>();
  watcher->Start(std::move(handler));
  return watcher;
}

}  // namespace veyra
