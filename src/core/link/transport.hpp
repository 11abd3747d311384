// Transports carry 65-byte reports between the link and a processor: the USB
// HID device, the TCP report bridge, or (registered by the simulator library)
// the in-process simulated processor. Which one is chosen by a device address:
//   usb            the first HID interface 0483:5750 with release 0200
//   usb:PATH       that HID interface (a hidraw node on Linux)
//   tcp:HOST:PORT  the report bridge: 65 bytes per report each way, nothing else
//   sim:...        registered by the simulator (RegisterTransportScheme)
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/frame.hpp"

namespace veyra {

// The identity the USB transport looks for; another release is not used.
inline constexpr uint16_t kVendorId = 0x0483;
inline constexpr uint16_t kProductId = 0x5750;
inline constexpr uint16_t kReleaseNumber = 0x0200;

enum class OpenStatus {
  Opened,
  NotFound,          // no matching device (or nothing listening at the address)
  PermissionDenied,  // a matching device is present but may not be opened; Detail names it
  Failed,            // anything else; Detail says what
};

struct OpenResult {
  OpenStatus Status = OpenStatus::Failed;
  std::string Detail;  // for the operator, after the connection failure text
  bool ok() const { return Status == OpenStatus::Opened; }
  static OpenResult Success() { return {OpenStatus::Opened, {}}; }
};

// "Connection failed, please check the device." followed by the detail, if any,
// on a line of its own.
std::string ConnectionFailedText(const OpenResult& result);

// Called on the transport's reception thread with one input report: byte 0 is
// the report id, the rest are data bytes.
using ReportHandler = std::function<void(std::span<const uint8_t> report)>;
// Called once when the device goes away (unplugged, read error, connection
// closed or reset), on the reception thread or the writing thread.
using RemovalHandler = std::function<void()>;

class Transport {
 public:
  virtual ~Transport() = default;

  // Opens the device and starts delivering reports to onReport until Close.
  virtual OpenResult Open(ReportHandler onReport, RemovalHandler onRemoved) = 0;
  // Stops the reception (no handler runs after it returns) and closes. Safe to
  // call when closed.
  virtual void Close() = 0;
  // Writes one output report (exactly 65 bytes, report id 0). False when closed
  // or when the write failed.
  virtual bool WriteReport(std::span<const uint8_t, kReportBytes> report) = 0;

  virtual bool IsOpen() const = 0;
  // True once the device went away; cleared by the next Open.
  virtual bool Removed() const = 0;
  // The address this transport was made from ("usb", "tcp:127.0.0.1:5750").
  virtual std::string Address() const = 0;
  // The device path while open (the hidraw node, "HOST:PORT"), else the one asked for.
  virtual std::string Path() const = 0;
};

// A scheme factory gets the text after "scheme:" (empty for a bare "scheme")
// and returns a transport, or nullptr with error set to a text for the operator.
using TransportFactory = std::function<std::unique_ptr<Transport>(std::string_view rest, std::string& error)>;

// Adds or replaces a scheme ("sim"). Thread-safe.
void RegisterTransportScheme(std::string scheme, TransportFactory factory);
// The schemes known now, sorted.
std::vector<std::string> TransportSchemes();

struct TransportOrError {
  std::unique_ptr<Transport> transport;
  std::string error;  // set when transport is null
};

// Builds (does not open) the transport for a device address.
TransportOrError CreateTransport(std::string_view address);

// Splits "HOST:PORT" or "[V6HOST]:PORT"; false with error set when malformed.
bool ParseHostPort(std::string_view text, std::string& host, uint16_t& port, std::string& error);

}  // namespace veyra
