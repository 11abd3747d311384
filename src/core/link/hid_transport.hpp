// The processor on USB, through hidapi. Every call on the open device except
// the read comes from the link's thread; the read runs on the reception thread
// with a short timeout so that Close can stop it before the device is closed.
#pragma once

#include <string>
#include <vector>

#include "link/reception_thread.hpp"
#include "link/transport.hpp"
#include "link/usb_address.hpp"

typedef struct hid_device_ hid_device;  // NOLINT: hidapi's own declaration

namespace veyra {

// The HID interfaces with the processor's vendor and product id, whatever
// their release (callers use only those that match()), in the order "usb"
// tries them.
std::vector<HidInterfaceInfo> EnumerateProcessorInterfaces();

// The paths of the interfaces that match the identity exactly.
std::vector<std::string> MatchingInterfacePaths();

// One interface as veyractl list shows it: whether this user may open it,
// and why not.
struct InterfaceProbe {
  HidInterfaceInfo Info;
  bool CanOpen = false;
  std::string Problem;  // the permission hint, the other release, the open error
};
std::vector<InterfaceProbe> ProbeProcessorInterfaces();

// The text for a node the user may not open (almost always a missing udev rule).
std::string PermissionText(const std::string& path);

class HidTransport final : public Transport {
 public:
  // The default selector opens the first matching interface.
  explicit HidTransport(UsbSelector selector = {});
  ~HidTransport() override;

  OpenResult Open(ReportHandler onReport, RemovalHandler onRemoved) override;
  void Close() override;
  bool WriteReport(std::span<const uint8_t, kReportBytes> report) override;
  bool IsOpen() const override { return device_ != nullptr; }
  bool Removed() const override { return reception_.Removed(); }
  std::string Address() const override { return UsbAddressText(selector_); }
  std::string Path() const override;
  // The USB serial number of the open device, where it has one.
  std::string SerialNumber() const { return device_ ? openSerial_ : std::string{}; }

 private:
  void ReceiveLoop(ReceptionThread& reception);

  UsbSelector selector_;
  std::string openPath_;
  std::string openSerial_;
  hid_device* device_ = nullptr;
  ReceptionThread reception_;
};

}  // namespace veyra
