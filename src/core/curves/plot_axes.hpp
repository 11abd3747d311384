// The response graph's axes: a logarithmic frequency axis from 10 Hz to
// 30000 Hz and a decibel axis from -T to +T. x and y are measured from the
// plot's left and top edges; curve points add the plot offsets.
#pragma once

#include <cstdint>

namespace veyra {

// Where the plot sits in the graph control: 35 pixels from the left edge and
// 10 from the top (room for the decibel and frequency labels).
inline constexpr int kPlotLeftOffset = 35;
inline constexpr int kPlotTopOffset = 10;

// The decibel span T at start; the editors' "Zoom" button changes it.
inline constexpr int kDefaultDecibelSpan = 30;

struct PlotRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
};

struct CurvePoint {
  int X = 0, Y = 0;
};

struct CurvePointF {
  float X = 0, Y = 0;
};

// x = W log10(f / 10) / log10(3000). Not truncated; 0 for an empty plot.
double FrequencyToX(double frequency, int width);
// f = 10 * 3000^(x / W), limited to 10..30000 and truncated to whole hertz.
int XToFrequency(double x, int width);
// y = H (T - g) / 2T: +T at the top, -T at the bottom. A span of 0 or less
// counts as the default span.
double GainToY(double gainDb, int height, int decibelSpan);
// g = (H / 2 - y) 2T / H; 0 dB for an empty plot.
double YToGain(double y, int height, int decibelSpan);

// Truncation to a whole pixel, held to +-1e6 first so that an extreme value
// cannot overflow the conversion (NaN gives -1e6). Written with plain
// comparisons so that loops over a curve vectorise.
inline int TruncatePixel(double value) {
  value = value > -1e6 ? value : -1e6;
  value = value < 1e6 ? value : 1e6;
  return static_cast<int>(value);
}

}  // namespace veyra
