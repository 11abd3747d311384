// Times the A/B switch on a demo Orvane (the in-process simulator, 1 ms per
// report, 1 ms processing) between two settings that differ in five groups:
//   (a) the switch: only the groups that differ, until the device holds the
//       other side (every write answered);
//   (b) the baseline: the whole live settings (every channel whole), as a
//       settings file is sent, in the same run.
// Usage: bench_ab [--runs N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "sim/sim_transport.hpp"
#include "sync/changed_groups.hpp"
#include "sync/connection.hpp"

namespace {

using namespace veyra;
using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

void Check(const SyncResult& r, const char* what) {
  if (r.Status == SyncStatus::Success && r.Unanswered == 0) return;
  std::fprintf(stderr, "bench_ab: %s failed (%s)\n", what, SyncStatusName(r.Status));
  std::exit(1);
}

// The device's live channels as they travel.
bool DeviceHolds(sim::SimulatorEngine& engine, const ParameterStore& store) {
  return engine.WithDevice([&store](sim::SimulatedProcessor& p) {
    const ParameterStore& d = p.Memory();
    for (int i = 0; i < store.InputCount; ++i)
      if (BuildInputChannelPayload(d.Inputs[i]) != BuildInputChannelPayload(store.Inputs[i])) return false;
    for (int j = 0; j < store.OutputCount; ++j) {
      auto a = BuildOutputChannelPayload(d.Outputs[j]), b = BuildOutputChannelPayload(store.Outputs[j]);
      a.resize(a.size() - kGroupPayloadBytes);  // the ninth band record is the editor's
      b.resize(b.size() - kGroupPayloadBytes);
      if (a != b) return false;
    }
    return true;
  });
}

template <typename F>
double Timed(F&& f) {
  const auto start = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  for (int i = 1; i + 1 < argc; i += 2)
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));

  sim::SimOptions options;  // an Orvane, 1 ms per report, 1 ms processing
  auto engine = std::make_shared<sim::SimulatorEngine>(options);
  DeviceLink link(std::make_unique<sim::SimulatorTransport>(engine, options), LinkTiming{});
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  Check(ConnectionSequence(*store, link), "the connection");

  const LiveChannels a = LiveChannelsOf(*store);
  LiveChannels b = a;
  b.Inputs[0].Gain = static_cast<uint16_t>(b.Inputs[0].Gain - 30);                      // input A level
  b.Inputs[1].Bands[1].Freq = static_cast<uint16_t>(b.Inputs[1].Bands[1].Freq + 250);   // input B EQ 2
  b.Outputs[2].Crossover[kHighPass].Freq = 120;                                         // output 3 crossover
  b.Outputs[4].Threshold = static_cast<uint16_t>(b.Outputs[4].Threshold + 20);          // output 5 limiter
  b.Outputs[7].Bands[5].Gain = static_cast<uint16_t>(b.Outputs[7].Bands[5].Gain + 30);  // output 8 EQ 6
  const size_t groups = ChangedGroups(a, b, store->CurrentModel).size();
  if (groups != 5) {
    std::fprintf(stderr, "bench_ab: the sides differ in %zu groups, not 5\n", groups);
    return 1;
  }

  std::vector<double> switches, wholes;
  for (int n = 0; n < runs; ++n) {
    for (const bool toB : {true, false}) {
      const LiveChannels& from = toB ? a : b;
      PutLiveChannels(*store, toB ? b : a);
      SyncResult r;
      switches.push_back(Timed([&] { r = SendChangedGroups(*store, link, from); }));
      Check(r, "the switch");
      if (!DeviceHolds(*engine, *store)) {
        std::fprintf(stderr, "bench_ab: the device does not hold the side switched to\n");
        return 1;
      }
      wholes.push_back(Timed([&] { r = DownloadLiveSettings(*store, link); }));
      Check(r, "sending the whole live settings");
    }
  }
  const double s = Median(switches), w = Median(wholes);
  std::printf(
      "Orvane A/B switch, 5 groups differ; simulator: 1 ms per report, 1 ms processing; %zu switches "
      "(medians)\n",
      switches.size());
  std::printf("  (a) switch, groups that differ  %8.1f ms (target < 60)\n", s);
  std::printf("  (b) whole live settings         %8.1f ms\n", w);
  std::printf("  a/b = %.3f (target <= 0.25)\n", s / w);
  return 0;
}
