// Times the Orvane connection sequence (410 exchanges) against the simulated
// processor with 1 ms per report and 1 ms processing:
//   (a) our link: waits for the reply bytes, no pause after the last report;
//   (b) the original polling: 5 ms after every report, a first look after
//       10 ms, then every 10 ms;
//   (c) the floor: the simulator's own modelled bus and processing time for
//       the exchanges of run (a).
// Usage: bench_sync [--runs N] [--model sistel|merial|orvane]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "sim/sim_transport.hpp"
#include "state/models.hpp"
#include "sync/connection.hpp"

namespace {

using namespace veyra;
using Clock = std::chrono::steady_clock;

struct Run {
  double ms = 0;
  double floorMs = 0;
  int exchanges = 0;
};

Run Connect(const sim::SimOptions& options, const LinkTiming& timing) {
  auto engine = std::make_shared<sim::SimulatorEngine>(options);
  DeviceLink link(std::make_unique<sim::SimulatorTransport>(engine, options), timing);
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  const auto start = Clock::now();
  const ConnectionResult r = ConnectionSequence(*store, link);
  const auto end = Clock::now();
  if (!r.ok()) {
    std::fprintf(stderr, "bench_sync: the connection failed (%s)\n", SyncStatusName(r.Status));
    std::exit(1);
  }
  Run run;
  run.ms = std::chrono::duration<double, std::milli>(end - start).count();
  run.floorMs = static_cast<double>(engine->ModelledTime().count()) / 1000.0;
  run.exchanges = r.Exchanges;
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 1;
  int model = 3;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
    if (std::strcmp(argv[i], "--model") == 0) model = ModelFromCliName(argv[i + 1]).value_or(3);
  }
  sim::SimOptions options;  // 1 ms per report, 1 ms processing
  options.Model = model;

  std::vector<double> ours, baseline, floor;
  int exchanges = 0;
  for (int n = 0; n < runs; ++n) {
    const Run a = Connect(options, LinkTiming{});
    const Run b = Connect(options, LinkTiming::OriginalPolling());
    ours.push_back(a.ms);
    floor.push_back(a.floorMs);
    baseline.push_back(b.ms);
    exchanges = a.exchanges;
  }
  const double a = Median(ours), b = Median(baseline), c = Median(floor);
  std::printf("%s connection sequence: %d exchanges; simulator: 1 ms per report, 1 ms processing; %d run%s\n",
              std::string(FindModel(model)->Name).c_str(), exchanges, runs, runs == 1 ? "" : "s (medians)");
  std::printf("  (a) our link            %8.1f ms\n", a);
  std::printf("  (b) original polling    %8.1f ms\n", b);
  std::printf("  (c) modelled floor      %8.1f ms\n", c);
  std::printf("  a/b = %.3f (target <= 0.35)\n", a / b);
  std::printf("  a/c = %.3f (target <= 1.3)\n", a / c);
  return 0;
}
