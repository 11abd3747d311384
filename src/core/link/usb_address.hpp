// Which USB processor interface a device address picks, when several are
// connected:
//   usb                 the first one in path order (hidraw0, hidraw1, ..., hidraw10)
//   usb:serial=SERIAL   the one with that USB serial number
//   usb:PATH            that interface (a hidraw node on Linux)
// Kept free of the HID library so that the choice can be tested without one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/transport.hpp"

namespace veyra {

struct HidInterfaceInfo {
  std::string Path;
  uint16_t VendorId = 0;
  uint16_t ProductId = 0;
  uint16_t ReleaseNumber = 0;
  std::string Serial;  // UTF-8; empty when the device has none
  std::string Manufacturer;
  std::string Product;
  bool matches() const { return ReleaseNumber == kReleaseNumber; }
};

struct UsbSelector {
  enum class Kind { First, Path, Serial };
  Kind What = Kind::First;
  std::string Value;  // the path or the serial number
};

// Parses the text after "usb:" (empty for a bare "usb"). False with error set
// when it names nothing ("usb:serial=" without a serial number).
bool ParseUsbAddress(std::string_view rest, UsbSelector& selector, std::string& error);
// The device address that picks what selector picks.
std::string UsbAddressText(const UsbSelector& selector);

// Case-insensitive, as interface paths are compared on every platform.
bool SameDevicePath(std::string_view a, std::string_view b);
// Orders paths as people count: runs of digits by their value, so that
// hidraw2 comes before hidraw10.
bool NaturalPathLess(std::string_view a, std::string_view b);

// Whether the selector names this interface (its release is not looked at).
bool SelectorPicks(const UsbSelector& selector, const HidInterfaceInfo& info);
// The interfaces in the order "usb" tries them.
void SortInterfaces(std::vector<HidInterfaceInfo>& interfaces);

// "PATH (serial S)" or just the path when the device has no serial number.
std::string DescribeInterface(const HidInterfaceInfo& info);

}  // namespace veyra
