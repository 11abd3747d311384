// The simulated processor as a transport, for the device address
// "sim:MODEL[,option...]" (sim_options.hpp lists the options), e.g.
// "sim:orvane", "sim:merial,drop-every=40", "sim:sistel,fast".
#pragma once

#include <memory>
#include <string>

#include "link/transport.hpp"
#include "sim/engine.hpp"

namespace veyra::sim {

class SimulatorTransport : public Transport {
 public:
  explicit SimulatorTransport(const SimOptions& options);
  // Shares an engine, so that a test can look into the device it talks to.
  explicit SimulatorTransport(std::shared_ptr<SimulatorEngine> engine, SimOptions options);
  ~SimulatorTransport() override;

  OpenResult Open(ReportHandler onReport, RemovalHandler onRemoved) override;
  void Close() override;
  bool WriteReport(std::span<const uint8_t, kReportBytes> report) override;
  bool IsOpen() const override;
  bool Removed() const override;
  std::string Address() const override;
  std::string Path() const override;

  const std::shared_ptr<SimulatorEngine>& Engine() const { return engine_; }

 private:
  SimOptions options_;
  std::shared_ptr<SimulatorEngine> engine_;
};

}  // namespace veyra::sim

namespace veyra {

// Makes "sim:..." addresses known to CreateTransport. Front ends call it once
// at start-up (a static registration would be dropped by the linker).
void RegisterSimulatorTransport();

}  // namespace veyra
