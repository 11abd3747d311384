#include "curves/transfer_curve_view.hpp"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "controls/skin_style.hpp"

namespace veyra {
namespace {

// Room for the level labels and the axis captions around the plot.
constexpr int kLeftMargin = 46;
constexpr int kRightMargin = 14;
constexpr int kTopMargin = 12;
constexpr int kBottomMargin = 40;
constexpr int kLabelSteps = 8;  // nine labels per axis, one eighth of the range apart

const QColor kPlotFill{22, 28, 32};

double OutputAt(const TransferSegments& s, double input) {
  const double atKnee = s.KneeDb + s.OffsetDb;
  if (input <= s.KneeDb) return atKnee + s.SlopeBelow * (input - s.KneeDb);
  const double threshold = std::max(s.ThresholdDb, s.KneeDb);
  if (input <= threshold) return atKnee + s.SlopeBetween * (input - s.KneeDb);
  return atKnee + s.SlopeBetween * (threshold - s.KneeDb) + s.SlopeAbove * (input - threshold);
}

void AddPoint(std::vector<QPointF>& points, const QPointF& p) {
  if (points.empty() || points.back() != p) points.push_back(p);
}

}  // namespace

std::vector<QPointF> TransferCurvePoints(const TransferSegments& segments) {
  // The corners of the line inside the input range, left to right.
  std::vector<double> inputs = {kTransferMinDb, kTransferMaxDb};
  for (const double corner : {segments.KneeDb, std::max(segments.ThresholdDb, segments.KneeDb)})
    if (corner > kTransferMinDb && corner < kTransferMaxDb) inputs.push_back(corner);
  std::sort(inputs.begin(), inputs.end());
  inputs.erase(std::unique(inputs.begin(), inputs.end()), inputs.end());

  std::vector<QPointF> points;
  for (size_t i = 0; i + 1 < inputs.size(); ++i) {
    const QPointF a(inputs[i], OutputAt(segments, inputs[i]));
    const QPointF b(inputs[i + 1], OutputAt(segments, inputs[i + 1]));
    // The part of the segment whose output lies inside the plot.
    double from = 0.0, to = 1.0;
    const double rise = b.y() - a.y();
    if (rise == 0.0) {
      if (a.y() < kTransferMinDb || a.y() > kTransferMaxDb) continue;
    } else {
      double low = (kTransferMinDb - a.y()) / rise, high = (kTransferMaxDb - a.y()) / rise;
      if (low > high) std::swap(low, high);
      from = std::max(from, low);
      to = std::min(to, high);
      if (from > to) continue;
    }
    AddPoint(points, a + (b - a) * from);
    AddPoint(points, a + (b - a) * to);
  }
  return points;
}

TransferCurveView::TransferCurveView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TransferCurveView::SetCurves(std::vector<TransferCurve> curves) {
  curves_ = std::move(curves);
  stale_ = true;
  update();
}

QRect TransferCurveView::PlotRect() const {
  return QRect(kLeftMargin, kTopMargin, std::max(1, width() - kLeftMargin - kRightMargin),
               std::max(1, height() - kTopMargin - kBottomMargin));
}

QSize TransferCurveView::sizeHint() const {
  return {380, 340};
}

QPointF TransferCurveView::ToPixel(const QPointF& levelDb) const {
  const QRectF plot = PlotRect();
  const double span = kTransferMaxDb - kTransferMinDb;
  return {plot.left() + plot.width() * (levelDb.x() - kTransferMinDb) / span,
          plot.bottom() - plot.height() * (levelDb.y() - kTransferMinDb) / span};
}

void TransferCurveView::resizeEvent(QResizeEvent*) {
  stale_ = true;
}

void TransferCurveView::paintEvent(QPaintEvent*) {
  if (stale_ || frame_.size() != size() * devicePixelRatioF()) Render();
  QPainter(this).drawPixmap(0, 0, frame_);
}

void TransferCurveView::Render() {
  frame_ = QPixmap(size() * devicePixelRatioF());
  frame_.setDevicePixelRatio(devicePixelRatioF());
  frame_.fill(skin::kShellBody);
  QPainter painter(&frame_);
  const QRect plot = PlotRect();
  painter.fillRect(plot, kPlotFill);

  // Grid and labels: the same nine levels on both axes.
  painter.setFont(skin::ControlFont(11));
  const QFontMetrics metrics(painter.font());
  for (int step = 0; step <= kLabelSteps; ++step) {
    const double level = kTransferMinDb + step * (kTransferMaxDb - kTransferMinDb) / kLabelSteps;
    const QPointF at = ToPixel({level, level});
    painter.setPen(QPen(skin::kGrid, 1, step == 0 || step == kLabelSteps ? Qt::SolidLine : Qt::DotLine));
    painter.drawLine(QPointF(at.x(), plot.top()), QPointF(at.x(), plot.bottom()));
    painter.drawLine(QPointF(plot.left(), at.y()), QPointF(plot.right(), at.y()));
    const QString label = QString::number(static_cast<int>(level));
    painter.setPen(skin::kTextDim);
    painter.drawText(QRectF(at.x() - 20, plot.bottom() + 3, 40, metrics.height()), Qt::AlignCenter, label);
    painter.drawText(QRectF(plot.left() - 34, at.y() - metrics.height() / 2.0, 30, metrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, label);
  }
  painter.setPen(skin::kTextLight);
  painter.setFont(skin::ControlFont(11, true));
  painter.drawText(QRectF(plot.left(), plot.bottom() + 3 + metrics.height(), plot.width(), 18),
                   Qt::AlignCenter, "INPUT");
  painter.save();
  painter.translate(12, plot.center().y());
  painter.rotate(-90);
  painter.drawText(QRectF(-plot.height() / 2.0, -9, plot.height(), 18), Qt::AlignCenter, "OUTPUT");
  painter.restore();

  painter.setRenderHint(QPainter::Antialiasing);
  painter.setClipRect(plot);
  for (const TransferCurve& curve : curves_) {
    if (curve.Points.size() < 2) continue;
    QPainterPath path(ToPixel(curve.Points.front()));
    for (size_t i = 1; i < curve.Points.size(); ++i) path.lineTo(ToPixel(curve.Points[i]));
    painter.setPen(QPen(curve.Colour, 2));
    painter.drawPath(path);
  }
  stale_ = false;
}

}  // namespace veyra
