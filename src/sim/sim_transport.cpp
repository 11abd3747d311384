#include "sim/sim_transport.hpp"

#include "state/models.hpp"

namespace veyra::sim {

SimulatorTransport::SimulatorTransport(const SimOptions& options)
    : SimulatorTransport(std::make_shared<SimulatorEngine>(options), options) {}

SimulatorTransport::SimulatorTransport(std::shared_ptr<SimulatorEngine> engine, SimOptions options)
    : options_(std::move(options)), engine_(std::move(engine)) {}

SimulatorTransport::~SimulatorTransport() { Close(); }

OpenResult SimulatorTransport::Open(ReportHandler onReport, RemovalHandler onRemoved) {
  if (options_.Absent) return {OpenStatus::NotFound, "No simulated processor is plugged in."};
  engine_->Connect(std::move(onReport), std::move(onRemoved));
  return OpenResult::Success();
}

void SimulatorTransport::Close() { engine_->Disconnect(); }

bool SimulatorTransport::WriteReport(std::span<const uint8_t, kReportBytes> report) {
  return engine_->Submit(report);
}

bool SimulatorTransport::IsOpen() const { return engine_->Connected(); }
bool SimulatorTransport::Removed() const { return engine_->Removed(); }
std::string SimulatorTransport::Address() const { return "sim:" + DescribeSimOptions(options_); }

std::string SimulatorTransport::Path() const {
  const ModelInfo* info = FindModel(options_.Model);
  return "sim:" + std::string(info ? info->CliName : "?");
}

}  // namespace veyra::sim

namespace veyra {

void RegisterSimulatorTransport() {
  RegisterTransportScheme("sim", [](std::string_view rest, std::string& error) -> std::unique_ptr<Transport> {
    sim::SimOptions options;
    if (!sim::ParseSimAddress(rest, options, error)) return nullptr;
    return std::make_unique<sim::SimulatorTransport>(options);
  });
}

}  // namespace veyra
