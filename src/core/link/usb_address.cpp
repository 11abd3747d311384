#include "link/usb_address.hpp"

#include <algorithm>
#include <cctype>

namespace veyra {
namespace {

constexpr std::string_view kSerialKey = "serial=";

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (Lower(text[i]) != Lower(prefix[i])) return false;
  }
  return true;
}

}  // namespace

bool ParseUsbAddress(std::string_view rest, UsbSelector& selector, std::string& error) {
  selector = {};
  if (rest.empty()) return true;
  if (StartsWithNoCase(rest, kSerialKey)) {
    selector.What = UsbSelector::Kind::Serial;
    selector.Value = std::string(rest.substr(kSerialKey.size()));
    if (selector.Value.empty()) {
      error = "\"usb:serial=\" needs the serial number of the processor (veyractl list shows them).";
      return false;
    }
    return true;
  }
  selector.What = UsbSelector::Kind::Path;
  selector.Value = std::string(rest);
  return true;
}

std::string UsbAddressText(const UsbSelector& selector) {
  switch (selector.What) {
    case UsbSelector::Kind::Path:
      return "usb:" + selector.Value;
    case UsbSelector::Kind::Serial:
      return "usb:serial=" + selector.Value;
    case UsbSelector::Kind::First:
      break;
  }
  return "usb";
}

bool SameDevicePath(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

bool NaturalPathLess(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      size_t ei = i, ej = j;
      while (ei < a.size() && IsDigit(a[ei])) ++ei;
      while (ej < b.size() && IsDigit(b[ej])) ++ej;
      // Leading zeros do not change a number's value.
      size_t si = i, sj = j;
      while (si + 1 < ei && a[si] == '0') ++si;
      while (sj + 1 < ej && b[sj] == '0') ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj;
      const int order = a.substr(si, ei - si).compare(b.substr(sj, ej - sj));
      if (order != 0) return order < 0;
      i = ei;
      j = ej;
      continue;
    }
    if (Lower(a[i]) != Lower(b[j])) return Lower(a[i]) < Lower(b[j]);
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

bool SelectorPicks(const UsbSelector& selector, const HidInterfaceInfo& info) {
  switch (selector.What) {
    case UsbSelector::Kind::Path:
      return SameDevicePath(info.Path, selector.Value);
    case UsbSelector::Kind::Serial:
      return info.Serial == selector.Value;
    case UsbSelector::Kind::First:
      break;
  }
  return true;
}

void SortInterfaces(std::vector<HidInterfaceInfo>& interfaces) {
  std::stable_sort(
      interfaces.begin(), interfaces.end(),
      [](const HidInterfaceInfo& a, const HidInterfaceInfo& b) { return NaturalPathLess(a.Path, b.Path); });
}

std::string DescribeInterface(const HidInterfaceInfo& info) {
  return info.Serial.empty() ? info.Path : info.Path + " (serial " + info.Serial + ")";
}

}  // namespace veyra
