// Where things sit on the response graph: the plot inside the control, the
// handles of the bands and crossover sections, their width handles and
// labels. Shared by the painter and the mouse and keyboard handling, so a
// handle is hit exactly where it is drawn.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <array>

#include "curves/channel_curve.hpp"

namespace veyra::graph {

inline constexpr int kHandleSize = 16;
inline constexpr int kWidthHandleSize = 8;
// Plot margins: labels of the decibel axis on the left, of the frequency
// axis below.
inline constexpr int kRightMargin = 10;
inline constexpr int kBottomMargin = 20;

// A crossover handle's height on the gain axis; the sections have no gain of
// their own, so the two handles get fixed rows that keep them apart.
inline constexpr double kHighPassHandleDb = -10;
inline constexpr double kLowPassHandleDb = -20;

// The 29 vertical grid lines: 10..90, 100..900, 1000..9000 Hz, 10 and 20 kHz.
extern const std::array<int, 29> kGridFrequencies;

struct AxisLabel {
  int Frequency;
  const char* Text;
};
extern const std::array<AxisLabel, 11> kFrequencyLabels;

// The plot in control coordinates: 35 from the left, 10 from the top, 10 from
// the right and 20 from the bottom. Never negative in size.
PlotRect PlotFor(const QSize& client);
QRect ToQRect(const PlotRect& plot);

// Whether a filter takes part in the graph's handles and selection: a band
// whose byte 6 is not 1, a crossover section whose type is not 6.
bool IsActive(const CFilter& filter);

// The x of a frequency and the y of a gain, in control coordinates (whole
// pixels, truncated as the curves are).
int FrequencyX(double frequency, const PlotRect& plot);
int GainY(double gainDb, const PlotRect& plot, int decibelSpan);

// The 16 x 16 handle of a filter, centred on its frequency and gain (the
// sections on their fixed rows) and kept inside the plot.
QRect HandleRect(const CFilter& filter, const PlotRect& plot, int decibelSpan);
inline QPoint HandleCentreOf(const QRect& handle) {
  return {handle.left() + kHandleSize / 2, handle.top() + kHandleSize / 2};
}

// The x where a band's width handle is anchored: the frequency f * 2^N to the
// right, f / 2^N to the left.
int WidthAnchorX(const CFilter& filter, bool right, const PlotRect& plot);
// The 8 x 8 width handles of a peaking or shelving band beside those anchors,
// below the handle's centre for gains of 0 dB and more, above it otherwise.
// Empty rectangles for a crossover section.
QRect WidthHandleRect(const CFilter& filter, bool right, const PlotRect& plot, int decibelSpan);

// The label of the selected filter and the rectangle its text starts in.
QString LabelText(const CFilter& filter);
QRect LabelRect(const CFilter& filter, const QRect& handle, const PlotRect& plot);

}  // namespace veyra::graph
