#include "curves/graph_painter.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <memory>

#include "controls/skin_style.hpp"
#include "curves/graph_layout.hpp"
#include "state/text_format.hpp"

namespace veyra {

void GraphCurveSet::Attach(ParameterStore& store, bool output) {
  output_ = output;
  for (int c = 0; c < kChannelSlots; ++c) {
    if (output)
      curves_[c].AttachOutput(store.Outputs[c], c);
    else
      curves_[c].AttachInput(store.Inputs[c], c);
  }
  Touch();
}

void GraphCurveSet::SetClientSize(const QSize& client, int decibelSpan) {
  client_ = client;
  plot_ = graph::PlotFor(client);
  span_ = decibelSpan;
  for (ChannelCurve& curve : curves_) curve.SetPlotRect(plot_, span_);
  Touch();
}

void GraphCurveSet::ComputeAll() {
  for (ChannelCurve& curve : curves_) {
    curve.ComputeAll(true);
    filterComputations_ += static_cast<uint64_t>(curve.FilterCount());
  }
  Touch();
}

void GraphCurveSet::ComputeChannel(int channel) {
  ChannelCurve& curve = Channel(channel);
  curve.ComputeAll(true);
  filterComputations_ += static_cast<uint64_t>(curve.FilterCount());
  ++generation_[Slot(channel)];
}

void GraphCurveSet::RecomputeFilter(int channel, int filter) {
  ChannelCurve& curve = Channel(channel);
  if (filter < 0 || filter >= curve.FilterCount()) return;
  curve.Filter(filter).ComputeResponse(true);
  ++filterComputations_;
  curve.SumChannelCurve();
  ++generation_[Slot(channel)];
}

namespace {

// The plot's well, a shade darker than the readout windows of the strips so
// the channel colours stand out.
const QColor kPlotFill{20, 26, 30};
const QColor kLabelBackdrop{16, 21, 24, 200};

struct Palette {
  QColor Body, PlotFill, Grid, ZeroLine, Label, HandleFace, HandleEdge, HandleText;
};

const Palette& PaletteFor(GraphStyle style) {
  static const Palette screen{skin::kShellBody, kPlotFill,     skin::kGrid,     skin::kGrid,
                              skin::kTextDim,   skin::kFaceUp, {190, 200, 206}, skin::kTextLight};
  // Paper: light grid, a dark zero line and frame, so a grey print still
  // tells the curves from the grid.
  static const Palette print{Qt::white,    Qt::white, {200, 200, 200}, {70, 70, 70},
                             {30, 30, 30}, Qt::white, {30, 30, 30},    Qt::black};
  return style == GraphStyle::Print ? print : screen;
}

void PaintBackground(QPainter& p, const GraphCurveSet& curves, GraphStyle style) {
  const Palette& colours = PaletteFor(style);
  const QSize size = curves.ClientSize();
  const PlotRect& plot = curves.Plot();
  p.fillRect(QRect(QPoint(0, 0), size), colours.Body);
  p.fillRect(graph::ToQRect(plot), colours.PlotFill);

  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(colours.Grid, 1));
  for (int f : graph::kGridFrequencies) {
    const int x = graph::FrequencyX(f, plot);
    p.drawLine(x, plot.Top, x, plot.Bottom);
  }
  // The decibel rows, dotted so the vertical decade lines stay the grid.
  const int span = curves.DecibelSpan();
  QPen rowPen(colours.Grid, 1, Qt::DotLine);
  p.setFont(skin::ControlFont(10));
  for (int k = 4; k >= -4; --k) {
    const int y = plot.Top + plot.Height() * (4 - k) / 8;
    p.setPen(k == 0 ? QPen(colours.ZeroLine, 1) : rowPen);
    p.drawLine(plot.Left, y, plot.Right, y);
    p.setPen(colours.Label);
    p.drawText(QRect(0, y - 8, kPlotLeftOffset - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(span * k / 4));
  }
  p.setPen(QPen(colours.ZeroLine, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(graph::ToQRect(plot));
  p.setPen(colours.Label);
  for (const graph::AxisLabel& label : graph::kFrequencyLabels) {
    const int x = graph::FrequencyX(label.Frequency, plot);
    // The last label would be cut by the control's edge if centred.
    const int align = label.Frequency == kFrequencyMax ? Qt::AlignRight : Qt::AlignHCenter;
    const QRect box = align == Qt::AlignRight ? QRect(x - 40, plot.Bottom + 2, 44, 16)
                                              : QRect(x - 20, plot.Bottom + 2, 40, 16);
    p.drawText(box, align | Qt::AlignTop, QString::fromLatin1(label.Text));
  }
}

void PaintFilledFilter(QPainter& p, const GraphCurveSet& curves, const GraphView& view) {
  const ChannelCurve& curve = curves.Channel(view.Channel);
  if (view.FilledFilter < 0 || view.FilledFilter >= curve.FilterCount()) return;
  const CFilter& filter = curve.Filter(view.FilledFilter);
  if (!graph::IsActive(filter)) return;
  const PlotRect& plot = curves.Plot();
  QPolygon polygon(kFrequencyPoints + 2);
  polygon[0] = QPoint(plot.Left, filter.ZeroDbY());
  for (int i = 0; i < kFrequencyPoints; ++i)
    polygon[i + 1] = QPoint(filter.Points()[i].X, filter.Points()[i].Y);
  polygon[kFrequencyPoints + 1] = QPoint(plot.Right, filter.ZeroDbY());
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(skin::kCurveFill);
  p.setBrush(skin::kCurveFill);
  p.drawPolygon(polygon);
}

// Strokes the curve's parts that lie within [top, bottom]. A steep crossover
// runs hundreds of decibels below the plot; cutting those segments before
// the stroker sees them keeps a wide anti-aliased line cheap.
void StrokeWithin(QPainter& p, const CurvePointsF& points, double top, double bottom) {
  QPolygonF run;
  run.reserve(kFrequencyPoints);
  auto flush = [&] {
    if (run.size() > 1) p.drawPolyline(run);
    run.clear();
  };
  for (int i = 1; i < kFrequencyPoints; ++i) {
    const QPointF a(points[i - 1].X, points[i - 1].Y), b(points[i].X, points[i].Y);
    const double dy = b.y() - a.y();
    double t0 = 0, t1 = 1;
    if (dy == 0) {
      if (a.y() < top || a.y() > bottom) continue;
    } else {
      const double ta = (top - a.y()) / dy, tb = (bottom - a.y()) / dy;
      t0 = std::max(0.0, std::min(ta, tb));
      t1 = std::min(1.0, std::max(ta, tb));
      if (t0 > t1) {
        flush();
        continue;
      }
    }
    const QPointF from = a + (b - a) * t0, to = a + (b - a) * t1;
    if (run.isEmpty() || run.last() != from) {
      flush();
      run.append(from);
    }
    run.append(to);
  }
  flush();
}

void PaintSum(QPainter& p, const ChannelCurve& curve, const PlotRect& plot, GraphStyle style) {
  if (style == GraphStyle::Print) {
    p.setPen(PrintCurvePen(PrintCurve::Sum));
  } else {
    p.setPen(QPen(QColor::fromRgba(curve.Colour().Argb), 2.0, Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
  }
  p.setBrush(Qt::NoBrush);
  StrokeWithin(p, curve.SumPoints(), plot.Top - 2, plot.Bottom + 2);
}

void PaintSums(QPainter& p, const GraphCurveSet& curves, uint8_t mask, GraphStyle style) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setClipRect(graph::ToQRect(curves.Plot()).adjusted(0, 0, 1, 1));
  for (int c = 0; c < kChannelSlots; ++c) {
    if ((mask >> c & 1) != 0) PaintSum(p, curves.Channel(c), curves.Plot(), style);
  }
  p.restore();
}

// A filter that changes the response: an active section, or an active band
// with a gain (a band at 0 dB lies on the zero line).
bool Shapes(const CFilter& filter) {
  if (!graph::IsActive(filter)) return false;
  return filter.IsSection() || (!filter.BandOff() && !filter.AllOff());
}

// Paper only: the single filters of the edited channel under its sum, the
// bands dashed, the crossover sections dash-dotted, at the sum's x positions.
void PaintFilterCurves(QPainter& p, const GraphCurveSet& curves, int channel) {
  const ChannelCurve& curve = curves.Channel(channel);
  const PlotRect& plot = curves.Plot();
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setClipRect(graph::ToQRect(plot).adjusted(0, 0, 1, 1));
  p.setBrush(Qt::NoBrush);
  CurvePointsF points{};
  for (int f = 0; f < curve.FilterCount(); ++f) {
    const CFilter& filter = curve.Filter(f);
    if (!Shapes(filter)) continue;
    p.setPen(PrintCurvePen(filter.IsSection() ? PrintCurve::Section : PrintCurve::Band));
    for (int i = 0; i < kFrequencyPoints; ++i) {
      points[i].X = curve.SumPoints()[i].X;
      points[i].Y =
          static_cast<float>(GainToY(filter.Response()[i], plot.Height(), curves.DecibelSpan()) + plot.Top);
    }
    StrokeWithin(p, points, plot.Top - 2, plot.Bottom + 2);
  }
  p.restore();
}

uint8_t OtherChannels(const GraphView& view) {
  return static_cast<uint8_t>(view.ShownMask & ~(1u << view.Channel));
}

void PaintHandle(QPainter& p, const QRect& handle, const QString& number, bool selected, bool focused,
                 const Palette& colours) {
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF face = QRectF(handle).adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(selected ? skin::kAccent.lighter(130) : colours.HandleEdge, selected && focused ? 2 : 1));
  p.setBrush(selected ? skin::kAccent : colours.HandleFace);
  p.drawRoundedRect(face, 3, 3);
  p.setPen(selected ? skin::kTextLight : colours.HandleText);
  p.drawText(handle, Qt::AlignCenter, number);
}

void PaintLabel(QPainter& p, const CFilter& filter, const QRect& handle, const PlotRect& plot) {
  const QRect box = graph::LabelRect(filter, handle, plot);
  const QString text = graph::LabelText(filter);
  const QRect used =
      p.fontMetrics().boundingRect(box, Qt::AlignLeft | Qt::AlignTop, text).adjusted(-3, -1, 3, 1);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(Qt::NoPen);
  p.setBrush(kLabelBackdrop);
  p.drawRoundedRect(used, 3, 3);
  p.setPen(skin::kTextLight);
  p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

QString HandleCaption(const CFilter& filter) {
  switch (filter.Kind()) {
    case FilterKind::HighPass:
      return QStringLiteral("H");
    case FilterKind::LowPass:
      return QStringLiteral("L");
    default:
      return QString::number(filter.BandNumber());
  }
}

void PaintHandles(QPainter& p, const GraphCurveSet& curves, const GraphView& view) {
  const Palette& colours = PaletteFor(view.Style);
  const ChannelCurve& curve = curves.Channel(view.Channel);
  const PlotRect& plot = curves.Plot();
  const int span = curves.DecibelSpan();
  p.setFont(skin::ControlFont(10, true));
  for (int f = 0; f < curve.FilterCount(); ++f) {
    const CFilter& filter = curve.Filter(f);
    if (f != view.SelectedFilter && graph::IsActive(filter))
      PaintHandle(p, graph::HandleRect(filter, plot, span), HandleCaption(filter), false, false, colours);
  }
  if (view.SelectedFilter < 0 || view.SelectedFilter >= curve.FilterCount()) return;
  const CFilter& selected = curve.Filter(view.SelectedFilter);
  if (!graph::IsActive(selected)) return;
  const QRect handle = graph::HandleRect(selected, plot, span);
  if (selected.IsBand()) {
    p.setPen(QPen(colours.HandleEdge, 1));
    p.setBrush(skin::kAccent.darker(140));
    for (bool right : {false, true})
      p.drawRect(graph::WidthHandleRect(selected, right, plot, span).adjusted(0, 0, -1, -1));
  }
  PaintHandle(p, handle, HandleCaption(selected), true, view.Focused, colours);
  p.setFont(skin::ControlFont(11));
  PaintLabel(p, selected, handle, plot);
}

// Everything after the filled filter and the other channels' curves.
void PaintEditedChannel(QPainter& p, const GraphCurveSet& curves, const GraphView& view) {
  if (view.Style == GraphStyle::Print) PaintFilterCurves(p, curves, view.Channel);
  PaintSums(p, curves, static_cast<uint8_t>(1u << view.Channel), view.Style);
  PaintHandles(p, curves, view);
  if (view.Focused) {
    p.setRenderHint(QPainter::Antialiasing, false);
    QColor ring = skin::kAccent;
    ring.setAlpha(160);
    p.setPen(QPen(ring, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(QPoint(0, 0), curves.ClientSize()).adjusted(0, 0, -1, -1));
  }
}

}  // namespace

QPen PrintCurvePen(PrintCurve curve) {
  if (curve == PrintCurve::Sum)
    return QPen(QColor(15, 15, 15), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  QPen pen(QColor(70, 70, 70), 1.1, Qt::CustomDashLine, Qt::FlatCap, Qt::RoundJoin);
  pen.setDashPattern(curve == PrintCurve::Section ? QList<qreal>{7, 2.5, 1.5, 2.5} : QList<qreal>{4, 2.5});
  return pen;
}

void PaintResponseGraph(QPainter& painter, const QRect& rect, const GraphCurveSet& curves,
                        const GraphView& view) {
  painter.save();
  painter.translate(rect.topLeft());
  painter.setClipRect(QRect(QPoint(0, 0), rect.size()));
  PaintBackground(painter, curves, view.Style);
  PaintFilledFilter(painter, curves, view);
  PaintSums(painter, curves, OtherChannels(view), view.Style);
  PaintEditedChannel(painter, curves, view);
  painter.restore();
}

void PaintChannelResponse(QPainter& painter, const QRect& rect, ParameterStore& store, bool output,
                          int channel, uint8_t shownMask, int decibelSpan, GraphStyle style) {
  auto curves = std::make_unique<GraphCurveSet>();
  curves->Attach(store, output);
  curves->SetClientSize(rect.size(), decibelSpan);
  GraphView view;
  view.Channel = channel;
  view.ShownMask = shownMask;
  view.Style = style;
  PaintResponseGraph(painter, rect, *curves, view);
}

void GraphFrame::Invalidate() {
  background_key_ = {};
  others_key_ = {};
}

void GraphFrame::Prepare(QImage& image, const QSize& pixels, qreal ratio) {
  if (image.size() != pixels || image.devicePixelRatio() != ratio) {
    image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
  }
}

void GraphFrame::Render(const GraphCurveSet& curves, const GraphView& view, qreal pixelRatio) {
  const QSize pixels = (QSizeF(curves.ClientSize()) * pixelRatio).toSize();
  if (pixels.isEmpty()) {
    frame_ = QImage();
    return;
  }
  LayerKey key{pixels, pixelRatio, curves.DecibelSpan()};
  key.Style = view.Style;
  if (!(background_key_ == key)) {
    Prepare(background_, pixels, pixelRatio);
    QPainter p(&background_);
    PaintBackground(p, curves, view.Style);
    background_key_ = key;
  }
  key.Channel = view.Channel;
  key.Mask = OtherChannels(view);
  for (int c = 0; c < kChannelSlots; ++c)
    if ((key.Mask >> c & 1) != 0) key.Generations[c] = curves.Generation(c);
  if (key.Mask != 0 && !(others_key_ == key)) {
    Prepare(others_, pixels, pixelRatio);
    others_.fill(Qt::transparent);
    QPainter p(&others_);
    PaintSums(p, curves, key.Mask, view.Style);
    others_key_ = key;
  }

  Prepare(frame_, pixels, pixelRatio);
  QPainter p(&frame_);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(0, 0, background_);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  PaintFilledFilter(p, curves, view);
  if (key.Mask != 0) {
    // Only the plot holds curves; the rest of the layer is clear.
    const QRect plot = graph::ToQRect(curves.Plot()).adjusted(0, 0, 1, 1);
    p.drawImage(plot, others_,
                QRectF(QPointF(plot.topLeft()) * pixelRatio, QSizeF(plot.size()) * pixelRatio));
  }
  PaintEditedChannel(p, curves, view);
}

}  // namespace veyra
