// Painting of the response graph: the curve sets of one kind of channel, what
// a picture shows, and the painting itself onto any QPainter (the control's
// off-screen frame, a printed report). Knows nothing of mouse or keyboard.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>

#include "curves/channel_curve.hpp"
#include "state/parameter_store.hpp"

class QPainter;
class QPen;

namespace veyra {

// The curve sets of the eight input or eight output channels, set up for one
// plot size and decibel span. It points at the store's records and owns none.
class GraphCurveSet {
 public:
  void Attach(ParameterStore& store, bool output);
  bool IsOutput() const { return output_; }

  // Takes the client size and span, then recomputes every curve.
  void SetClientSize(const QSize& client, int decibelSpan);
  // Every filter from its record, then every channel's sum.
  void ComputeAll();
  // Every filter of one channel from its record, and its sum.
  void ComputeChannel(int channel);
  // One filter from its record and its channel's sum: all a drag needs.
  void RecomputeFilter(int channel, int filter);
  // How many filter responses were computed since the set was made.
  uint64_t FilterComputations() const { return filterComputations_; }

  ChannelCurve& Channel(int channel) { return curves_[Slot(channel)]; }
  const ChannelCurve& Channel(int channel) const { return curves_[Slot(channel)]; }
  const PlotRect& Plot() const { return plot_; }
  QSize ClientSize() const { return client_; }
  int DecibelSpan() const { return span_; }
  // Counts the recomputations of a channel's curves, so a picture of them
  // can be kept until they change.
  uint32_t Generation(int channel) const { return generation_[Slot(channel)]; }

 private:
  void Touch() {
    for (uint32_t& g : generation_) ++g;
  }

  static int Slot(int channel) { return channel >= 0 && channel < kChannelSlots ? channel : 0; }

  std::array<ChannelCurve, kChannelSlots> curves_{};
  bool output_ = false;
  QSize client_;
  PlotRect plot_{};
  int span_ = kDefaultDecibelSpan;
  std::array<uint32_t, kChannelSlots> generation_{};
  uint64_t filterComputations_ = 0;
};

// How a picture is drawn: in the program's dark skin, or for paper, where
// it has a white ground and dark lines and must read in black and white too.
// On paper every active filter's own curve is drawn as well, dashed and thin
// (the crossover sections dash-dotted), under the sum, which stays solid and
// thick; the handles are white with dark numbers.
enum class GraphStyle { Screen, Print };

// The pens of the print style's curves, for a legend that matches them.
enum class PrintCurve { Sum, Band, Section };
QPen PrintCurvePen(PrintCurve curve);

// What one picture of the graph shows.
struct GraphView {
  int Channel = 0;          // the edited channel: its handles, its sum always drawn
  uint8_t ShownMask = 0;    // other channels' sums (bit i = channel i)
  int FilledFilter = -1;    // the filter drawn as a filled area, -1 none
  int SelectedFilter = -1;  // the filter with a lit handle, its label and width handles
  bool Focused = false;     // the control has the keyboard
  GraphStyle Style = GraphStyle::Screen;
};

// Paints the whole graph into `rect` (its top-left is the control's origin).
// The curve set must have been set up for rect's size.
void PaintResponseGraph(QPainter& painter, const QRect& rect, const GraphCurveSet& curves,
                        const GraphView& view);

// For a report: builds the curves of one channel from the store and paints
// them into rect with the given span.
void PaintChannelResponse(QPainter& painter, const QRect& rect, ParameterStore& store, bool output,
                          int channel, uint8_t shownMask, int decibelSpan,
                          GraphStyle style = GraphStyle::Screen);

// The control's off-screen frame, painted in layers: the grid and the axis
// labels change only with the size, the pixel ratio and the span; the other
// channels' curves only when those channels are recomputed. A frame during a
// drag paints just the edited channel over the kept layers.
class GraphFrame {
 public:
  void Render(const GraphCurveSet& curves, const GraphView& view, qreal pixelRatio);
  // Forces every layer to be painted again on the next render.
  void Invalidate();
  const QImage& Image() const { return frame_; }

 private:
  struct LayerKey {
    QSize Pixels;
    qreal Ratio = 0;
    int Span = 0;
    int Channel = -1;
    uint8_t Mask = 0;
    std::array<uint32_t, kChannelSlots> Generations{};
    GraphStyle Style = GraphStyle::Screen;
    bool operator==(const LayerKey&) const = default;
  };
  static void Prepare(QImage& image, const QSize& pixels, qreal ratio);

  QImage background_;
  LayerKey background_key_;
  QImage others_;
  LayerKey others_key_;
  QImage frame_;
};

}  // namespace veyra
