// Times what the System response window does after one change on a
// three-output system (input A into a sub and two mains, every band and
// section in use): the changed output's chain and the sum recomputed, then
// the 820 x 540 view's curves painted over its kept grid at pixel ratio 1.
// Beside it every chain recomputed from scratch and the whole view painted
// into a new frame, and the two computations alone. Prints the
// medians and their ratios.
//
//   build/bench/bench_system [frames per measurement, default 300]
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "curves/system_plot.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

void FillChannels(ParameterStore& store) {
  InitialiseStore(store);
  ApplyFactoryDefaults(store);
  store.Inputs[0].Mute = 1;
  for (int b = 0; b < 6; ++b)
    store.Inputs[0].Bands[b] = {static_cast<uint16_t>(60 << b), 630, 40, 0, 0, 0, 0};
  for (int k = 0; k < 3; ++k) {
    OutputChannel& out = store.Outputs[k];
    out.Mute = 1;
    out.Routing[0] = 1;
    out.Delay = static_cast<uint32_t>(20 * k);
    for (int b = 0; b < 6; ++b) {
      out.Bands[b].Gain = static_cast<uint16_t>(kGainZero + ((b + k) % 5 - 2) * 30);
      out.Bands[b].Width = static_cast<uint16_t>(20 + 10 * b);
    }
    out.Bands[0].Type = 1;
    out.Bands[5].Type = 2;
    const bool sub = k == 0;
    out.Crossover[kHighPass] = {static_cast<uint16_t>(sub ? 25 : 90), 1, 5};
    out.Crossover[kLowPass] = {static_cast<uint16_t>(sub ? 90 : 18000), 0, 6};
  }
}

template <typename Fn>
double MedianMs(int frames, Fn&& frame) {
  std::vector<double> ms;
  ms.reserve(static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    frame(i);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(ms.begin(), ms.begin() + frames / 2, ms.end());
  return ms[static_cast<size_t>(frames / 2)];
}

}  // namespace
}  // namespace veyra

int main(int argc, char** argv) {
  using namespace veyra;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
  auto store = std::make_unique<ParameterStore>();
  FillChannels(*store);
  SystemResponse system;
  system.Attach(store->Inputs, store->Outputs);
  system.Select(0, 0b111);
  const QSize size(820, 540);
  const SystemPicture picture;
  // The window's frame keeps its grid layer; a fresh one paints everything.
  SystemFrame kept;
  const auto paint = [&] { kept.Render(size, 1, system, picture); };
  const auto paintAll = [&] {
    SystemFrame fresh;
    fresh.Render(size, 1, system, picture);
  };
  paint();  // warm up: fonts and glyph caches
  OutputChannel& changed = store->Outputs[1];
  const auto change = [&](int i) { changed.Delay = static_cast<uint32_t>(i % 200); };

  const double oneCompute = MedianMs(frames, [&](int i) {
    change(i);
    system.OutputChanged(1);
  });
  const double fullCompute = MedianMs(frames, [&](int i) {
    change(i);
    system.ComputeAll();
  });
  const double one = MedianMs(frames, [&](int i) {
    change(i);
    system.OutputChanged(1);
    paint();
  });
  const double full = MedianMs(frames, [&](int i) {
    change(i);
    system.Select(0, 0b111);
    paintAll();
  });
  std::printf("three outputs, dpr 1: one change + repaint %.3f ms, from scratch + repaint %.3f ms (%.2fx)\n",
              one, full, full / one);
  std::printf("compute only: one output %.4f ms, from scratch %.4f ms (%.2fx)\n", oneCompute, fullCompute,
              fullCompute / oneCompute);
  return 0;
}
