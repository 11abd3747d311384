// Times one frame of a handle drag on the response graph (the dragged filter
// and its channel's sum recomputed, the frame painted over the kept grid
// layer) against a full redraw (every curve recomputed, grid and all painted
// again), on an 800 x 400 graph showing eight summed curves, at pixel ratios
// 1 and 2. Prints the medians and their ratio.
//
// Then the whole editor path at pixel ratio 1: the output EQ editor of an
// Orvane's demo settings over an offline main window, one handle drag step
// through the change path (store, group copy, refresh, undo step) with the
// editor repainted and the window's invalidated parts painted, against a
// full refresh of the window with both repainted. BENCH_PARTS=1 also
// prints the parts of a drag step.
//
//   build/bench/bench_graph [frames per measurement, default 300]
#include <QApplication>
#include <QMouseEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "curves/graph_painter.hpp"
#include "curves/response_graph.hpp"
#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"
#include "editors/output_eq_editor.hpp"
#include "mainwin/main_window.hpp"
#include "sim/device_content.hpp"
#include "state/parameter_store.hpp"
#include "strips/routing_views.hpp"

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

// Counts the paints a widget gets, so the drag's figure is known to include them.
class PaintCounter : public QObject {
 public:
  int Paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

// Returns false when the drag did not reach the store or the graph was not painted.
bool MeasureEditor(int frames) {
  auto store = std::make_unique<ParameterStore>();
  sim::SimOptions options;
  options.Model = 3;
  sim::FillDevice(*store, options);
  store->Online = 0;  // the window stays offline: nothing waits on a link
  MainWindowOptions windowOptions;
  windowOptions.WatchDevices = false;
  auto window = std::make_unique<MainWindow>(*store, std::move(windowOptions));
  window->show();
  window->ShowRoutingView(1);
  window->RefreshMainWindow();
  auto editor = std::make_unique<OutputEqEditor>(window->Context(), 0);
  editor->show();
  QApplication::processEvents();
  // What a step marked for repainting is painted, as the event loop would
  // paint it: the graph and the readouts that changed, not the whole dialog.
  const auto paint = [&] { QApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); };
  editor->repaint();
  paint();

  ResponseGraph* graph = editor->Graph();
  const QPoint handle = graph->HandleCentre(2);
  SendMouse(graph, QEvent::MouseButtonPress, handle, Qt::LeftButton);
  PaintCounter graphPaints;
  graph->installEventFilter(&graphPaints);
  const EqBand before = store->Outputs[0].Bands[2];
  const double drag = MedianMs(frames, [&](int i) {
    // Back and forth, so every step changes the band.
    const int step = i % 40 < 20 ? i % 40 : 40 - i % 40;
    SendMouse(graph, QEvent::MouseMove, handle + QPoint(2 * step + 1, -step - 1), Qt::LeftButton);
    paint();
  });
  if (std::getenv("BENCH_PARTS")) {
    std::printf("paint only %.2f ms\n", MedianMs(frames, [&](int) { paint(); }));
    const uint64_t computed = graph->Curves().FilterComputations();
    std::printf("move only %.2f ms\n", MedianMs(frames, [&](int i) {
                  const int step = i % 40 < 20 ? i % 40 : 40 - i % 40;
                  SendMouse(graph, QEvent::MouseMove, handle + QPoint(2 * step + 1, -step - 1),
                            Qt::LeftButton);
                }));
    std::printf("filters per move %.1f\n", double(graph->Curves().FilterComputations() - computed) / frames);
    RefreshScope one;
    one.Everything = false;
    one.Outputs = 1;
    std::printf("narrow refresh only %.2f ms\n",
                MedianMs(frames, [&](int) { window->Context().Refresh(one); }));
    std::printf("window views only %.2f ms\n",
                MedianMs(frames, [&](int) { window->Routing()->RefreshChannels(*store, one); }));
    std::printf("full refresh only %.2f ms\n", MedianMs(frames, [&](int) { window->RefreshMainWindow(); }));
  }
  graph->removeEventFilter(&graphPaints);
  const bool moved =
      (store->Outputs[0].Bands[2].Freq != before.Freq || store->Outputs[0].Bands[2].Gain != before.Gain) &&
      graphPaints.Paints >= frames;  // every step painted the graph
  SendMouse(graph, QEvent::MouseButtonRelease, handle, Qt::NoButton);
  const double full = MedianMs(frames, [&](int) {
    window->RefreshMainWindow();
    editor->repaint();
    window->repaint();
  });
  std::printf("dpr 1: editor drag %.2f ms, full refresh %.2f ms (%.2fx)\n", drag, full, full / drag);
  editor.reset();
  window->CloseWithoutQuestion();
  return moved;
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
  if (!veyra::MeasureEditor(frames)) {
    std::fprintf(stderr, "bench_graph: the drag did not change the band or paint the graph at each step\n");
    return 1;
  }
  return 0;
}
