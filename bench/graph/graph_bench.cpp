// Times one frame of a handle drag on the response graph (the dragged filter
// and its channel's sum recomputed, the frame painted over the kept grid
// layer) against a full redraw (every curve recomputed, grid and all painted
// again), on an 800 x 400 graph showing eight summed curves, at pixel ratios
// 1 and 2. Prints the medians and their ratio.
//
//   build/bench/bench_graph [frames per measurement, default 300]
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "curves/graph_painter.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

void FillChannels(ParameterStore& store) {
  for (int c = 0; c < kChannelSlots; ++c) {
    OutputChannel& out = store.Outputs[c];
    for (int b = 0; b < 6; ++b) {
      out.Bands[b].Gain = static_cast<uint16_t>(kGainZero + ((b + c) % 5 - 2) * 30);
      out.Bands[b].Width = static_cast<uint16_t>(20 + 10 * b);
    }
    out.Bands[0].Type = 1;
    out.Bands[5].Type = 2;
    out.Crossover[kHighPass] = {static_cast<uint16_t>(40 + 10 * c), 0, 2};
    out.Crossover[kLowPass] = {static_cast<uint16_t>(8000 + 1000 * c), 2, 6};
  }
}

template <typename Fn>
double MedianMs(int frames, Fn&& frame) {
  std::vector<double> ms;
  ms.reserve(frames);
  for (int i = 0; i < frames; ++i) {
    const auto start = std::chrono::steady_clock::now();
    frame(i);
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::nth_element(ms.begin(), ms.begin() + frames / 2, ms.end());
  return ms[frames / 2];
}

void Measure(ParameterStore& store, qreal ratio, int frames) {
  auto curves = std::make_unique<GraphCurveSet>();
  curves->Attach(store, true);
  curves->SetClientSize(QSize(800, 400), kDefaultDecibelSpan);
  GraphFrame frame;
  GraphView view;
  view.Channel = 0;
  view.ShownMask = 0xFF;
  view.SelectedFilter = 2;
  view.FilledFilter = 2;
  frame.Render(*curves, view, ratio);  // warm up: fonts, glyph caches, the grid layer

  EqBand& dragged = store.Outputs[0].Bands[2];
  const double drag = MedianMs(frames, [&](int i) {
    dragged.Freq = static_cast<uint16_t>(500 + (i % 100) * 20);
    dragged.Gain = static_cast<uint16_t>(kGainZero + 40 + i % 50);
    curves->RecomputeFilter(0, 2);
    frame.Render(*curves, view, ratio);
  });
  const double full = MedianMs(frames, [&](int) {
    curves->ComputeAll();
    frame.Invalidate();
    frame.Render(*curves, view, ratio);
  });
  std::printf("dpr %g: drag frame %.2f ms, full redraw %.2f ms (%.2fx)\n", ratio, drag, full, full / drag);
}

}  // namespace
}  // namespace veyra

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int frames = argc > 1 ? std::max(11, std::atoi(argv[1])) : 300;
  auto store = std::make_unique<veyra::ParameterStore>();
  veyra::InitialiseStore(*store);
  store->CurrentModel = 3;
  store->OutputCount = 8;
  veyra::FillChannels(*store);
  for (qreal ratio : {1.0, 2.0}) veyra::Measure(*store, ratio, frames);
  return 0;
}
