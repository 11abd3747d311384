// The processor on USB, through hidapi. Every call on the open device except
// the read comes from the link's thread; the read runs on the reception thread
// with a short timeout so that Close can stop it before the device is closed.
#pragma once

#include <string>
#include <vector>

#include "link/reception_thread.hpp"
#include "link/transport.hpp"

typedef struct hid_device_ hid_device;  // NOLINT: hidapi's own declaration

namespace veyra {

struct HidInterfaceInfo {
  std::string Path;
  uint16_t VendorId = 0;
  uint16_t ProductId = 0;
  uint16_t ReleaseNumber = 0;
  bool matches() const { return ReleaseNumber == kReleaseNumber; }
};

// The HID interfaces with the processor's vendor and product id, whatever
// their release (callers use only those that match()).
std::vector<HidInterfaceInfo> EnumerateProcessorInterfaces();

// The paths of the interfaces that match the identity exactly.
std::vector<std::string> MatchingInterfacePaths();

// Case-insensitive, as interface paths are compared on every platform.
bool SameDevicePath(std::string_view a, std::string_view b);

class HidTransport final : public Transport {
 public:
  // An empty path opens the first matching interface.
  explicit HidTransport(std::string path = {});
  ~HidTransport() override;

  OpenResult Open(ReportHandler onReport, RemovalHandler onRemoved) override;
  void Close() override;
  bool WriteReport(std::span<const uint8_t, kReportBytes> report) override;
  bool IsOpen() const override { return device_ != nullptr; }
  bool Removed() const override { return reception_.Removed(); }
  std::string Address() const override { return requested_.empty() ? "usb" : "usb:" + requested_; }
  std::string Path() const override { return device_ ? openPath_ : requested_; }

 private:
  void ReceiveLoop(ReceptionThread& reception);

  std::string requested_;
  std::string openPath_;
  hid_device* device_ = nullptr;
  ReceptionThread reception_;
};

}  // namespace veyra
