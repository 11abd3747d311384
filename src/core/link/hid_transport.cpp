#include "link/hid_transport.hpp"

#include <hidapi.h>
#include <unistd.h>

#include <cctype>
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

std::string PermissionText(const std::string& path) {
  return "The processor is present at " + path +
         " but may not be opened (permission denied). On Linux, install the udev rule "
         "70-veyra-ql.rules (see README) and plug the processor in again.";
}

}  // namespace

bool SameDevicePath(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::vector<HidInterfaceInfo> EnumerateProcessorInterfaces() {
  std::vector<HidInterfaceInfo> found;
  if (!InitialiseHid()) return found;
  hid_device_info* list = hid_enumerate(kVendorId, kProductId);
  for (hid_device_info* d = list; d != nullptr; d = d->next) {
    if (d->path == nullptr) continue;
    found.push_back({d->path, d->vendor_id, d->product_id, d->release_number});
  }
  hid_free_enumeration(list);
  return found;
}

std::vector<std::string> MatchingInterfacePaths() {
  std::vector<std::string> paths;
  for (const HidInterfaceInfo& info : EnumerateProcessorInterfaces()) {
    if (info.matches()) paths.push_back(info.Path);
  }
  return paths;
}

HidTransport::HidTransport(std::string path) : requested_(std::move(path)) {}

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
    if (!requested_.empty() && !SameDevicePath(info.Path, requested_)) continue;
    if (!info.matches()) {
      otherRelease = Format("The device at %s has release %04X; only release %04X is used.",
                            info.Path.c_str(), info.ReleaseNumber, kReleaseNumber);
      continue;
    }
    device_ = hid_open_path(info.Path.c_str());
    if (device_ != nullptr) {
      openPath_ = info.Path;
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
    return {OpenStatus::NotFound,
            requested_.empty() ? "No processor is connected by USB." : "No processor at " + requested_ + "."};
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
