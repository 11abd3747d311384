// The firmware of the simulated processor: the device's memory (8 + 8 live
// channels, 30 programs with names, the system items, the meters), the
// reassembly of request frames from output reports, and the one reply frame
// every request gets. It knows nothing about threads or clocks: the caller
// passes the time and schedules what comes back (see SimulatorEngine).
//
// The memory is kept in the application's own records, filled and read only
// through the message layouts, so every byte that has a meaning on the wire
// reads back as it was written; bytes the layouts pin at 0 read back as 0.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/random.hpp"
#include "sim/sim_options.hpp"
#include "state/parameter_store.hpp"

namespace veyra::sim {

// What the device sends back for one request. Each transfer starts at a
// report boundary, as the firmware's USB stack sends it.
struct Response {
  std::vector<std::vector<uint8_t>> Transfers;  // in order; the real reply is the last one
  Micros Delay{0};         // from the request's last report to the first reply report
  int RequestReports = 0;  // reports the request took
  bool Disconnect = false;  // the device goes away once these are sent
};

struct SimStats {
  int Requests = 0;  // request frames taken (good check byte and trailer)
  int Rejected = 0;  // frames refused for a bad check byte or trailer
  int Answered = 0;  // real replies sent
  int Dropped = 0;
  int Corrupted = 0;
  int Writes = 0;  // write requests applied
};

// One line about a fault or a refused frame: the device's time, what
// happened and the frame in hex. (The reports themselves are recorded by a
// transcript on the bridge.)
using TraceSink = std::function<void(const std::string& line)>;

class SimulatedProcessor {
 public:
  explicit SimulatedProcessor(const SimOptions& options);

  // One output report from the host: byte 0 is the report id, the rest frame
  // bytes. Returns a response for every request frame this report completed.
  std::vector<Response> ReceiveReport(std::span<const uint8_t> report, Micros now);

  // One complete, already verified request frame.
  std::optional<Response> HandleFrame(std::span<const uint8_t> frame, Micros now);

  // The device was plugged in again: the request count of disconnect-after
  // starts over and half-received frames are forgotten.
  void Reconnected();

  const ParameterStore& Memory() const { return *memory_; }
  ParameterStore& Memory() { return *memory_; }
  const SimOptions& Options() const { return options_; }
  const SimStats& Stats() const { return stats_; }
  void SetTrace(TraceSink sink) { trace_ = std::move(sink); }

 private:
  std::vector<uint8_t> Reply(std::span<const uint8_t> frame, Micros now);
  void ApplyWrite(uint8_t slot, uint8_t block, uint8_t channel, uint8_t group,
                  std::span<const uint8_t> payload);
  std::vector<uint8_t> ReadPayload(uint8_t slot, uint8_t block, uint8_t channel, Micros now);
  void Trace(const char* what, std::span<const uint8_t> frame, Micros now);

  SimOptions options_;
  std::unique_ptr<ParameterStore> memory_;
  Random faults_;  // drives the random faults, the noise and the corruption
  std::vector<uint8_t> pending_;  // request bytes not yet forming a frame
  int sinceConnect_ = 0;          // requests since the device was (re)connected
  SimStats stats_;
  TraceSink trace_;
};

// Builds a frame's hex text: "5A 5A 5A EE A2 ...".
std::string HexText(std::span<const uint8_t> bytes);

}  // namespace veyra::sim
