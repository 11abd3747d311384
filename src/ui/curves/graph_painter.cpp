#include "curves/graph_painter.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
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
}

void GraphCurveSet::SetClientSize(const QSize& client, int decibelSpan) {
  client_ = client;
  plot_ = graph::PlotFor(client);
  span_ = decibelSpan;
  for (ChannelCurve& curve : curves_) curve.SetPlotRect(plot_, span_);
}

void GraphCurveSet::ComputeAll() {
  for (ChannelCurve& curve : curves_) curve.ComputeAll(true);
}

void GraphCurveSet::RecomputeFilter(int channel, int filter) {
  ChannelCurve& curve = Channel(channel);
  if (filter < 0 || filter >= curve.FilterCount()) return;
  curve.Filter(filter).ComputeResponse(true);
  curve.SumChannelCurve();
}

namespace {

// The plot's well, a shade darker than the readout windows of the strips so
// the channel colours stand out.
const QColor kPlotFill{20, 26, 30};
const QColor kLabelText = skin::kTextDim;
const QColor kHandleFace = skin::kFaceUp;
const QColor kHandleEdge{190, 200, 206};
const QColor kLabelBackdrop{16, 21, 24, 200};

void PaintBackground(QPainter& p, const GraphCurveSet& curves) {
  const QSize size = curves.ClientSize();
  const PlotRect& plot = curves.Plot();
  p.fillRect(QRect(QPoint(0, 0), size), skin::kShellBody);
  p.fillRect(graph::ToQRect(plot), kPlotFill);

  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(skin::kGrid, 1));
  for (int f : graph::kGridFrequencies) {
    const int x = graph::FrequencyX(f, plot);
    p.drawLine(x, plot.Top, x, plot.Bottom);
  }
  // The decibel rows, dotted so the vertical decade lines stay the grid.
  const int span = curves.DecibelSpan();
  QPen rowPen(skin::kGrid, 1, Qt::DotLine);
  p.setFont(skin::ControlFont(10));
  for (int k = 4; k >= -4; --k) {
    const int y = plot.Top + plot.Height() * (4 - k) / 8;
    p.setPen(k == 0 ? QPen(skin::kGrid, 1) : rowPen);
    p.drawLine(plot.Left, y, plot.Right, y);
    p.setPen(kLabelText);
    p.drawText(QRect(0, y - 8, kPlotLeftOffset - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(span * k / 4));
  }
  p.setPen(QPen(skin::kGrid, 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(graph::ToQRect(plot));
  p.setPen(kLabelText);
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
  for (int i = 0; i < kFrequencyPoints; ++i) polygon[i + 1] = QPoint(filter.Points()[i].X, filter.Points()[i].Y);
  polygon[kFrequencyPoints + 1] = QPoint(plot.Right, filter.ZeroDbY());
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(skin::kCurveFill);
  p.setBrush(skin::kCurveFill);
  p.drawPolygon(polygon);
}

void PaintSum(QPainter& p, const ChannelCurve& curve) {
  const CurvePointsF& points = curve.SumPoints();
  QPolygonF line(kFrequencyPoints);
  for (int i = 0; i < kFrequencyPoints; ++i) line[i] = QPointF(points[i].X, points[i].Y);
  p.setPen(QPen(QColor::fromRgba(curve.Colour().Argb), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(line);
}

void PaintSums(QPainter& p, const GraphCurveSet& curves, const GraphView& view) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  // The plot's inside only: the bass end of a steep filter runs far below.
  p.setClipRect(graph::ToQRect(curves.Plot()).adjusted(0, 0, 1, 1));
  for (int c = 0; c < kChannelSlots; ++c) {
    if (c != view.Channel && (view.ShownMask >> c & 1) != 0) PaintSum(p, curves.Channel(c));
  }
  // The edited channel last, on top of the others.
  PaintSum(p, curves.Channel(view.Channel));
  p.restore();
}

void PaintHandle(QPainter& p, const QRect& handle, const QString& number, bool selected, bool focused) {
  p.setRenderHint(QPainter::Antialiasing, true);
  const QRectF face = QRectF(handle).adjusted(0.5, 0.5, -0.5, -0.5);
  p.setPen(QPen(selected ? skin::kAccent.lighter(130) : kHandleEdge, selected && focused ? 2 : 1));
  p.setBrush(selected ? skin::kAccent : kHandleFace);
  p.drawRoundedRect(face, 3, 3);
  p.setPen(skin::kTextLight);
  p.drawText(handle, Qt::AlignCenter, number);
}

void PaintLabel(QPainter& p, const CFilter& filter, const QRect& handle, const PlotRect& plot) {
  const QRect box = graph::LabelRect(filter, handle, plot);
  const QString text = graph::LabelText(filter);
  const QRect used = p.fontMetrics().boundingRect(box, Qt::AlignLeft | Qt::AlignTop, text).adjusted(-3, -1, 3, 1);
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
  const ChannelCurve& curve = curves.Channel(view.Channel);
  const PlotRect& plot = curves.Plot();
  const int span = curves.DecibelSpan();
  p.setFont(skin::ControlFont(10, true));
  for (int f = 0; f < curve.FilterCount(); ++f) {
    const CFilter& filter = curve.Filter(f);
    if (f != view.SelectedFilter && graph::IsActive(filter))
      PaintHandle(p, graph::HandleRect(filter, plot, span), HandleCaption(filter), false, false);
  }
  if (view.SelectedFilter < 0 || view.SelectedFilter >= curve.FilterCount()) return;
  const CFilter& selected = curve.Filter(view.SelectedFilter);
  if (!graph::IsActive(selected)) return;
  const QRect handle = graph::HandleRect(selected, plot, span);
  if (selected.IsBand()) {
    p.setPen(QPen(kHandleEdge, 1));
    p.setBrush(skin::kAccent.darker(140));
    for (bool right : {false, true}) p.drawRect(graph::WidthHandleRect(selected, right, plot, span).adjusted(0, 0, -1, -1));
  }
  PaintHandle(p, handle, HandleCaption(selected), true, view.Focused);
  p.setFont(skin::ControlFont(11));
  PaintLabel(p, selected, handle, plot);
}

void PaintForeground(QPainter& p, const GraphCurveSet& curves, const GraphView& view) {
  PaintFilledFilter(p, curves, view);
  PaintSums(p, curves, view);
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

void PaintResponseGraph(QPainter& painter, const QRect& rect, const GraphCurveSet& curves,
                        const GraphView& view) {
  painter.save();
  painter.translate(rect.topLeft());
  painter.setClipRect(QRect(QPoint(0, 0), rect.size()));
  PaintBackground(painter, curves);
  PaintForeground(painter, curves, view);
  painter.restore();
}

void PaintChannelResponse(QPainter& painter, const QRect& rect, ParameterStore& store, bool output, int channel,
                          uint8_t shownMask, int decibelSpan) {
  auto curves = std::make_unique<GraphCurveSet>();
  curves->Attach(store, output);
  curves->SetClientSize(rect.size(), decibelSpan);
  GraphView view;
  view.Channel = channel;
  view.ShownMask = shownMask;
  PaintResponseGraph(painter, rect, *curves, view);
}

void GraphFrame::Render(const GraphCurveSet& curves, const GraphView& view, qreal pixelRatio) {
  const QSize size = curves.ClientSize();
  const QSize pixels = (QSizeF(size) * pixelRatio).toSize();
  if (pixels.isEmpty()) {
    frame_ = QImage();
    return;
  }
  if (background_.size() != pixels || background_.devicePixelRatio() != pixelRatio ||
      background_span_ != curves.DecibelSpan()) {
    background_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    background_.setDevicePixelRatio(pixelRatio);
    background_span_ = curves.DecibelSpan();
    QPainter p(&background_);
    PaintBackground(p, curves);
  }
  if (frame_.size() != pixels || frame_.devicePixelRatio() != pixelRatio) {
    frame_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    frame_.setDevicePixelRatio(pixelRatio);
  }
  QPainter p(&frame_);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(0, 0, background_);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  PaintForeground(p, curves, view);
}

}  // namespace veyra
