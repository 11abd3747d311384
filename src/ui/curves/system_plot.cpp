#include "curves/system_plot.hpp"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>

#include "controls/skin_style.hpp"
#include "curves/graph_layout.hpp"
#include "curves/plot_axes.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

constexpr int kLeft = 40, kRight = 10, kTop = 8, kGap = 24, kBottom = 18;
// Group delay below 20 Hz and above 20 kHz says little and spoils the range.
constexpr double kDelayLowHz = 20, kDelayHighHz = 20000;

struct Colours {
  QColor Body, Fill, Grid, Label, Sum, Pointer;
};

const Colours& ColoursOf(GraphStyle style) {
  static const Colours screen{skin::kShellBody, {20, 26, 30},     skin::kGrid,
                              skin::kTextDim,   skin::kTextLight, skin::kAccent};
  static const Colours print{Qt::white, Qt::white, {200, 200, 200}, {30, 30, 30}, Qt::black, {120, 120, 120}};
  return style == GraphStyle::Print ? print : screen;
}

double XOf(double hz, const QRect& plot) {
  return plot.left() + FrequencyToX(hz, plot.width());
}

double YOf(double value, double top, double bottom, const QRect& plot) {
  const double v = std::clamp(std::isfinite(value) ? value : bottom, bottom, top);
  return plot.top() + (top - v) / (top - bottom) * plot.height();
}

void PaintFrequencyGrid(QPainter& p, const QRect& plot, const Colours& c, bool labels) {
  p.setPen(QPen(c.Grid, 1));
  for (int f : graph::kGridFrequencies) {
    const int x = static_cast<int>(XOf(f, plot));
    p.drawLine(x, plot.top(), x, plot.bottom());
  }
  if (!labels) return;
  p.setPen(c.Label);
  for (const graph::AxisLabel& label : graph::kFrequencyLabels) {
    const int x = static_cast<int>(XOf(label.Frequency, plot));
    p.drawText(QRect(x - 20, plot.bottom() + 2, 40, kBottom - 2), Qt::AlignHCenter | Qt::AlignTop,
               label.Text);
  }
}

void PaintValueGrid(QPainter& p, const QRect& plot, double top, double bottom, double step, const Colours& c,
                    const char* format) {
  for (double v = std::ceil(bottom / step) * step; v <= top + 1e-9; v += step) {
    const int y = static_cast<int>(YOf(v, top, bottom, plot));
    p.setPen(QPen(c.Grid, 1));
    p.drawLine(plot.left(), y, plot.right(), y);
    p.setPen(c.Label);
    p.drawText(QRect(plot.left() - kLeft, y - 7, kLeft - 4, 14), Qt::AlignRight | Qt::AlignVCenter,
               QString::fromStdString(Format(format, v)));
  }
}

// One curve as polylines; a jump of more than half the range (a phase wrap)
// lifts the pen. Values are held to the plot, so no clipping is needed.
void PaintCurve(QPainter& p, const QRect& plot, const ResponseArray& values, double top, double bottom,
                const QPen& pen, bool breakOnWrap) {
  std::array<QPointF, kFrequencyPoints> points;
  p.setPen(pen);
  int start = 0;
  for (int i = 0; i < kFrequencyPoints; ++i) {
    if (breakOnWrap && i > start && std::abs(values[i] - values[i - 1]) > 180) {
      p.drawPolyline(points.data() + start, i - start);
      start = i;
    }
    points[i] = QPointF(XOf(FrequencyTable[i], plot), YOf(values[i], top, bottom, plot));
  }
  p.drawPolyline(points.data() + start, kFrequencyPoints - start);
}

QPen PathPen(int output, GraphStyle style) {
  // One pixel on screen: the painter draws those without a stroker.
  QPen pen(PathColour(output, style), 1.0);
  // On paper the paths must part in black and white too.
  if (style == GraphStyle::Print) pen.setDashPattern({4.0 + output, 2.0 + (output % 3)});
  return pen;
}

QPen SumPen(GraphStyle style) {
  return QPen(ColoursOf(style).Sum, 2.2, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin);
}

void Magnitudes(const ComplexArray& h, ResponseArray& db) {
  for (int i = 0; i < kFrequencyPoints; ++i) db[i] = MagnitudeDb(h[i]);
}

void Phases(const ComplexArray& h, ResponseArray& degrees) {
  for (int i = 0; i < kFrequencyPoints; ++i) degrees[i] = PhaseDegrees(h[i]);
}

struct DelayRange {
  double Top, Bottom, Step;
};

DelayRange RangeOf(const SystemResponse& system) {
  double lo = 0, hi = 1;
  ResponseArray ms;
  const auto widen = [&](const ComplexArray& h) {
    GroupDelayMs(h, ms);
    for (int i = 0; i < kFrequencyPoints; ++i) {
      if (FrequencyTable[i] < kDelayLowHz || FrequencyTable[i] > kDelayHighHz || !std::isfinite(ms[i]))
        continue;
      lo = std::min(lo, ms[i]);
      hi = std::max(hi, ms[i]);
    }
  };
  for (int k = 0; k < kChannelSlots; ++k)
    if (system.Present(k)) widen(system.Path(k));
  if (system.PresentCount() > 0) widen(system.Sum());
  lo = std::max(lo, -50.0);
  hi = std::min(hi, 100.0);
  const double span = hi - lo;
  const double step = span <= 4 ? 1 : span <= 10 ? 2 : span <= 25 ? 5 : span <= 50 ? 10 : 20;
  return {std::ceil(hi / step) * step, std::floor(lo / step) * step, step};
}

DelayRange LowerRange(const SystemResponse& system, LowerPlot lower) {
  return lower == LowerPlot::GroupDelay ? RangeOf(system) : DelayRange{180, -180, 90};
}

}  // namespace

QColor PathColour(int output, GraphStyle style) {
  const RgbColour rgb = OutputChannelColour(output).Rgb;
  QColor colour(rgb.Red, rgb.Green, rgb.Blue);
  // White and yellow vanish on paper.
  return style == GraphStyle::Print ? colour.darker(output == 2 ? 300 : 160) : colour;
}

QRect MagnitudePlot(const QRect& rect) {
  const int usable = rect.height() - kTop - kGap - kBottom;
  return {rect.left() + kLeft, rect.top() + kTop, std::max(0, rect.width() - kLeft - kRight),
          std::max(0, usable * 3 / 5)};
}

QRect LowerPlotRect(const QRect& rect) {
  const QRect upper = MagnitudePlot(rect);
  const int top = upper.bottom() + 1 + kGap;
  return {upper.left(), top, upper.width(), std::max(0, rect.bottom() + 1 - kBottom - top)};
}

int GridIndexAt(int x, const QRect& plot) {
  if (plot.width() <= 0 || x < plot.left() || x > plot.right()) return -1;
  const double hz = 10 * std::pow(kFrequencyMax * 0.1, double(x - plot.left()) / plot.width());
  return NearestFrequencyIndex(hz);
}

void PaintSystemBackground(QPainter& p, const QRect& rect, const SystemResponse& system,
                           const SystemPicture& picture) {
  const Colours& c = ColoursOf(picture.Style);
  p.save();
  p.fillRect(rect, c.Body);
  p.setFont(skin::ControlFont(10));
  const QRect upper = MagnitudePlot(rect);
  const QRect lower = LowerPlotRect(rect);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const QRect& plot : {upper, lower}) p.fillRect(plot, c.Fill);
  PaintFrequencyGrid(p, upper, c, false);
  PaintFrequencyGrid(p, lower, c, true);
  PaintValueGrid(p, upper, kSystemTopDb, kSystemBottomDb, 6, c, "%.0f");
  const DelayRange delay = LowerRange(system, picture.Lower);
  PaintValueGrid(p, lower, delay.Top, delay.Bottom, delay.Step, c, "%.0f");
  p.setPen(c.Label);
  p.drawText(QRect(upper.left() + 4, upper.top() + 2, 60, 14), Qt::AlignLeft, "dB");
  p.drawText(QRect(lower.left() + 4, lower.top() + 2, 60, 14), Qt::AlignLeft,
             picture.Lower == LowerPlot::GroupDelay ? "ms" : "deg");
  p.restore();
}

void PaintSystemCurves(QPainter& p, const QRect& rect, const SystemResponse& system,
                       const SystemPicture& picture) {
  const Colours& c = ColoursOf(picture.Style);
  p.save();
  const QRect upper = MagnitudePlot(rect);
  const QRect lower = LowerPlotRect(rect);
  const DelayRange delay = LowerRange(system, picture.Lower);
  p.setRenderHint(QPainter::Antialiasing, true);
  ResponseArray values;
  const auto lowerValues = [&](const ComplexArray& h) {
    if (picture.Lower == LowerPlot::GroupDelay)
      GroupDelayMs(h, values);
    else
      Phases(h, values);
  };
  const bool wraps = picture.Lower == LowerPlot::Phase;
  for (int k = 0; k < kChannelSlots; ++k) {
    if (!system.Present(k)) continue;
    Magnitudes(system.Path(k), values);
    PaintCurve(p, upper, values, kSystemTopDb, kSystemBottomDb, PathPen(k, picture.Style), false);
    lowerValues(system.Path(k));
    PaintCurve(p, lower, values, delay.Top, delay.Bottom, PathPen(k, picture.Style), wraps);
  }
  if (system.PresentCount() > 0) {
    Magnitudes(system.Sum(), values);
    PaintCurve(p, upper, values, kSystemTopDb, kSystemBottomDb, SumPen(picture.Style), false);
    lowerValues(system.Sum());
    PaintCurve(p, lower, values, delay.Top, delay.Bottom, SumPen(picture.Style), wraps);
  }
  if (picture.PointerIndex >= 0 && picture.PointerIndex < kFrequencyPoints) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(c.Pointer, 1, Qt::DashLine));
    const int x = static_cast<int>(XOf(FrequencyTable[picture.PointerIndex], upper));
    p.drawLine(x, upper.top(), x, upper.bottom());
    p.drawLine(x, lower.top(), x, lower.bottom());
  }
  p.restore();
}

void PaintSystemResponse(QPainter& p, const QRect& rect, const SystemResponse& system,
                         const SystemPicture& picture) {
  PaintSystemBackground(p, rect, system, picture);
  PaintSystemCurves(p, rect, system, picture);
}

void SystemFrame::Render(const QSize& size, qreal ratio, const SystemResponse& system,
                         const SystemPicture& picture) {
  const QSize pixels = (QSizeF(size) * ratio).toSize();
  if (pixels.isEmpty()) return;
  const DelayRange range = LowerRange(system, picture.Lower);
  const Key key{pixels, ratio, picture.Style, picture.Lower, range.Top, range.Bottom, range.Step};
  const QRect rect(QPoint(0, 0), size);
  if (!(key == key_) || background_.isNull()) {
    background_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    background_.setDevicePixelRatio(ratio);
    QPainter painter(&background_);
    PaintSystemBackground(painter, rect, system, picture);
    frame_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    frame_.setDevicePixelRatio(ratio);
    key_ = key;
  }
  QPainter painter(&frame_);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(0, 0, background_);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  PaintSystemCurves(painter, rect, system, picture);
}

}  // namespace veyra
