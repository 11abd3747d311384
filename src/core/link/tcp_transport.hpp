// The report bridge as a TCP client: every report travels as exactly 65 bytes
// each way (report id 0, 64 data bytes), back to back, with no other framing.
// A closed or reset connection counts as the device being removed.
#pragma once

#include <chrono>
#include <string>

#include "link/reception_thread.hpp"
#include "link/transport.hpp"

namespace veyra {

class TcpTransport final : public Transport {
 public:
  TcpTransport(std::string host, uint16_t port,
               std::chrono::milliseconds connectTimeout = std::chrono::milliseconds(3000));
  ~TcpTransport() override;

  OpenResult Open(ReportHandler onReport, RemovalHandler onRemoved) override;
  void Close() override;
  bool WriteReport(std::span<const uint8_t, kReportBytes> report) override;
  bool IsOpen() const override { return fd_ >= 0; }
  bool Removed() const override { return reception_.Removed(); }
  std::string Address() const override;
  std::string Path() const override;

 private:
  void ReceiveLoop(ReceptionThread& reception);

  std::string host_;
  uint16_t port_;
  std::chrono::milliseconds connectTimeout_;
  int fd_ = -1;
  ReceptionThread reception_;
};

}  // namespace veyra
