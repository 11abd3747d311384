#include "link/hid_transport.hpp"

#include <hidapi.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "state/text_format.hpp"

namespace veyra {
namespace {

constexpr int kReadTimeoutMs = 50;  // how quickly the reader notices Close

bool InitialiseHid() {
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] { ok = hid_init() == 0; });
  return ok;
}

std::string HidErrorText(hid_device* device) {
  const wchar_t* text = hid_error(device);
  if (text == nullptr) return {};
  std::string narrow;
  for (const wchar_t* p = text; *p != 0; ++p) narrow += *p < 0x80 ? static_cast<char>(*p) : '?';
  return narrow;
}

// On Linux a node we may not open is almost always a missing udev rule.
bool PermissionDenied(const std::string& path) {
  return ::access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
}

std::string OtherReleaseText(const HidInterfaceInfo& info) {
  return Format("The device at %s has release %04X; only release %04X is used.", info.Path.c_str(),
                info.ReleaseNumber, kReleaseNumber);
}

// hidapi's strings are wide; the rest of the program speaks UTF-8.
std::string Utf8(const wchar_t* text) {
  std::string out;
  for (const wchar_t* p = text; p != nullptr && *p != 0; ++p) {
    const auto c = static_cast<uint32_t>(*p);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

std::string PermissionText(const std::string& path) {
  return "The processor is present at " + path +
         " but may not be opened (permission denied). On Linux, install the udev rule "
         "70-veyra-ql.rules (see README) and plug the processor in again.";
}

std::vector<HidInterfaceInfo> EnumerateProcessorInterfaces() {
  std::vector<HidInterfaceInfo> found;
  if (!InitialiseHid()) return found;
  hid_device_info* list = hid_enumerate(kVendorId, kProductId);
  for (hid_device_info* d = list; d != nullptr; d = d->next) {
    if (d->path == nullptr) continue;
    found.push_back({d->path, d->vendor_id, d->product_id, d->release_number, Utf8(d->serial_number),
                     Utf8(d->manufacturer_string), Utf8(d->product_string)});
  }
  hid_free_enumeration(list);
  SortInterfaces(found);
  return found;
}

std::vector<std::string> MatchingInterfacePaths() {
  std::vector<std::string> paths;
  for (const HidInterfaceInfo& info : EnumerateProcessorInterfaces()) {
    if (info.matches()) paths.push_back(info.Path);
  }
  return paths;
}

std::vector<InterfaceProbe> ProbeProcessorInterfaces() {
  std::vector<InterfaceProbe> probes;
  for (const HidInterfaceInfo& info : EnumerateProcessorInterfaces()) {
    InterfaceProbe probe{info, false, {}};
    if (!info.matches()) {
      probe.Problem = OtherReleaseText(info);
    } else if (hid_device* device = hid_open_path(info.Path.c_str())) {
      hid_close(device);
      probe.CanOpen = true;
    } else if (PermissionDenied(info.Path)) {
      probe.Problem = PermissionText(info.Path);
    } else {
      probe.Problem = "Cannot open " + info.Path + ": " + HidErrorText(nullptr);
    }
    probes.push_back(std::move(probe));
  }
  return probes;
}

HidTransport::HidTransport(UsbSelector selector) : selector_(std::move(selector)) {}

std::string HidTransport::Path() const {
  if (device_ != nullptr) return openPath_;
  return selector_.What == UsbSelector::Kind::Path ? selector_.Value : std::string{};
}

HidTransport::~HidTransport() {
  Close();
}

OpenResult HidTransport::Open(ReportHandler onReport, RemovalHandler onRemoved) {
  Close();
  if (!InitialiseHid()) return {OpenStatus::Failed, "The HID library could not be initialised."};
  std::string denied;
  std::string otherRelease;
  std::string lastError;
  for (const HidInterfaceInfo& info : EnumerateProcessorInterfaces()) {
    if (!SelectorPicks(selector_, info)) continue;
    if (!info.matches()) {
      otherRelease = OtherReleaseText(info);
      continue;
    }
    device_ = hid_open_path(info.Path.c_str());
    if (device_ != nullptr) {
      openPath_ = info.Path;
      openSerial_ = info.Serial;
      break;
    }
    if (PermissionDenied(info.Path)) {
      if (denied.empty()) denied = info.Path;
    } else {
      lastError = "Cannot open " + info.Path + ": " + HidErrorText(nullptr);
    }
  }
  if (device_ == nullptr) {
    if (!denied.empty()) return {OpenStatus::PermissionDenied, PermissionText(denied)};
    if (!lastError.empty()) return {OpenStatus::Failed, lastError};
    if (!otherRelease.empty()) return {OpenStatus::NotFound, otherRelease};
    switch (selector_.What) {
      case UsbSelector::Kind::Path:
        return {OpenStatus::NotFound, "No processor at " + selector_.Value + "."};
      case UsbSelector::Kind::Serial:
        return {OpenStatus::NotFound,
                "No processor with serial number " + selector_.Value + " is connected."};
      case UsbSelector::Kind::First:
        break;
    }
    return {OpenStatus::NotFound, "No processor is connected by USB."};
  }
  reception_.Start(std::move(onReport), std::move(onRemoved),
                   [this](ReceptionThread& reception) { ReceiveLoop(reception); });
  return OpenResult::Success();
}

void HidTransport::Close() {
  if (device_ == nullptr) return;
  reception_.Stop();  // the reader stops before the device is closed
  hid_close(device_);
  device_ = nullptr;
}

bool HidTransport::WriteReport(std::span<const uint8_t, kReportBytes> report) {
  if (device_ == nullptr || reception_.Removed()) return false;
  return hid_write(device_, report.data(), report.size()) >= 0;
}

void HidTransport::ReceiveLoop(ReceptionThread& reception) {
  Report report{};
  while (!reception.Stopping()) {
    // hidraw hands over the data bytes only; put the report id in front as it
    // travels, so that every transport delivers the same 65-byte reports.
    const int n = hid_read_timeout(device_, report.data() + 1, kReportDataBytes, kReadTimeoutMs);
    if (n < 0) {
      reception.ReportRemoved();
      return;
    }
    if (n > 0) reception.Deliver(std::span(report).first(static_cast<size_t>(n) + 1));
  }
}

}  // namespace veyra
