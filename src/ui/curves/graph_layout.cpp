#include "curves/graph_layout.hpp"

#include <algorithm>
#include <cmath>

#include "state/text_format.hpp"

namespace veyra::graph {

const std::array<int, 29> kGridFrequencies = {10,   20,   30,   40,   50,   60,   70,   80,    90,   100,
                                              200,  300,  400,  500,  600,  700,  800,  900,   1000, 2000,
                                              3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 20000};

const std::array<AxisLabel, 11> kFrequencyLabels = {{{10, "10"},
                                                     {50, "50"},
                                                     {100, "100"},
                                                     {200, "200"},
                                                     {500, "500"},
                                                     {1000, "1K"},
                                                     {2000, "2K"},
                                                     {5000, "5K"},
                                                     {10000, "10K"},
                                                     {20000, "20K"},
                                                     {30000, "30K"}}};

PlotRect PlotFor(const QSize& client) {
  PlotRect plot{kPlotLeftOffset, kPlotTopOffset, client.width() - kRightMargin,
                client.height() - kBottomMargin};
  plot.Right = std::max(plot.Right, plot.Left);
  plot.Bottom = std::max(plot.Bottom, plot.Top);
  return plot;
}

QRect ToQRect(const PlotRect& plot) {
  return {plot.Left, plot.Top, plot.Width(), plot.Height()};
}

bool IsActive(const CFilter& filter) {
  if (filter.IsBand()) return filter.Band()->BandOff != 1;
  if (filter.IsSection()) return filter.Section()->CrossoverType != 6;
  return false;
}

int FrequencyX(double frequency, const PlotRect& plot) {
  return TruncatePixel(FrequencyToX(frequency, plot.Width())) + plot.Left;
}

int GainY(double gainDb, const PlotRect& plot, int decibelSpan) {
  return TruncatePixel(GainToY(gainDb, plot.Height(), decibelSpan)) + plot.Top;
}

namespace {

int Frequency(const CFilter& filter) {
  if (filter.IsBand()) return filter.Band()->Freq;
  if (filter.IsSection()) return filter.Section()->Freq;
  return kFrequencyMin;
}

double HandleGain(const CFilter& filter) {
  switch (filter.Kind()) {
    case FilterKind::HighPass:
      return kHighPassHandleDb;
    case FilterKind::LowPass:
      return kLowPassHandleDb;
    default:
      return filter.GainDb();
  }
}

}  // namespace

QRect HandleRect(const CFilter& filter, const PlotRect& plot, int decibelSpan) {
  const int x = FrequencyX(std::max(Frequency(filter), kFrequencyMin), plot) - kHandleSize / 2;
  const int y = GainY(HandleGain(filter), plot, decibelSpan) - kHandleSize / 2;
  const int left = std::clamp(x, plot.Left, std::max(plot.Left, plot.Right - kHandleSize));
  const int top = std::clamp(y, plot.Top, std::max(plot.Top, plot.Bottom - kHandleSize));
  return {left, top, kHandleSize, kHandleSize};
}

int WidthAnchorX(const CFilter& filter, bool right, const PlotRect& plot) {
  const double factor = std::exp2(filter.WidthOctaves());
  const double f = std::max(Frequency(filter), kFrequencyMin);
  return FrequencyX(right ? f * factor : f / factor, plot);
}

QRect WidthHandleRect(const CFilter& filter, bool right, const PlotRect& plot, int decibelSpan) {
  if (!filter.IsBand()) return {};
  const QPoint centre = HandleCentreOf(HandleRect(filter, plot, decibelSpan));
  const int y = centre.y() + (filter.GainDb() >= 0 ? 10 : -10) - kWidthHandleSize / 2;
  const int anchor = WidthAnchorX(filter, right, plot);
  const int left = right ? anchor + 6 : anchor - 14;
  return {left, y, kWidthHandleSize, kWidthHandleSize};
}

QString LabelText(const CFilter& filter) {
  if (filter.IsSection()) {
    const char* name = filter.Kind() == FilterKind::HighPass ? "HPF" : "LPF";
    return QString::fromStdString(Format("%s%dHz ", name, filter.Section()->Freq));
  }
  if (!filter.IsBand()) return {};
  const EqBand& band = *filter.Band();
  const std::string gain =
      filter.BandOff() || filter.AllOff() ? std::string("0.0") : Format("%.1f", GainDb(band.Gain));
  std::string second;
  switch (filter.Kind()) {
    case FilterKind::LowShelf:
      second = Format("Lo %dHz 6dB/oct %sdB", band.Freq, gain.c_str());
      break;
    case FilterKind::HighShelf:
      second = Format("Hi %dHz 6dB/oct %sdB", band.Freq, gain.c_str());
      break;
    default:
      second = Format("PEQ  %dHz %.2fOct %sdB", band.Freq, WidthOctaves(band.Width), gain.c_str());
      break;
  }
  return QString::fromStdString(Format("EQ%d\n%s", filter.BandNumber(), second.c_str()));
}

QRect LabelRect(const CFilter& filter, const QRect& handle, const PlotRect& plot) {
  const int handleRight = handle.left() + kHandleSize;
  const int handleBottom = handle.top() + kHandleSize;
  if (filter.IsSection()) {
    int left = handle.left();
    int right = handleRight + 135;
    if (right > plot.Right) {
      left -= right - plot.Right;
      right = plot.Right;
    }
    const int drop = filter.Kind() == FilterKind::HighPass ? 35 : 30;
    return QRect(QPoint(left, handle.top() + drop), QPoint(right, handleBottom + drop));
  }
  int left = handle.left() - 65;
  int right = handleRight + 135;
  if (right > plot.Right) {
    right = plot.Right;
    left = right - 165;
  }
  if (left < kPlotLeftOffset) {
    left = kPlotLeftOffset;
    right = kPlotLeftOffset + 200;
  }
  const bool raised = filter.IsBand() && filter.Band()->Gain >= kGainZero;
  const int top = raised ? handle.top() + 45 : handle.top() - 40;
  const int bottom = raised ? handleBottom + 95 : handle.top() + 60;
  return QRect(QPoint(left, top), QPoint(right, bottom));
}

}  // namespace veyra::graph
