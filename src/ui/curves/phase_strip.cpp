#include "curves/phase_strip.hpp"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "controls/skin_style.hpp"
#include "curves/channel_curve.hpp"
#include "curves/graph_layout.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

PhaseStrip::PhaseStrip(const ParameterStore& store, QWidget* parent) : QWidget(parent), store_(store) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  response_.fill(1.0);
}

void PhaseStrip::ShowChannel(ChannelKind kind, int channel) {
  kind_ = kind;
  channel_ = channel >= 0 && channel < kChannelSlots ? channel : 0;
  Reload();
}

void PhaseStrip::Reload() {
  if (kind_ == ChannelKind::Input)
    FilterResponse(store_.Inputs[channel_], response_);
  else
    FilterResponse(store_.Outputs[channel_], response_);
  update();
}

void PhaseStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), skin::kShellBody);
  // The response graph's plot margins, less its room for the frequency labels.
  const PlotRect plot = graph::PlotFor(QSize(width(), height() + graph::kBottomMargin - 4));
  const QRect area = graph::ToQRect(plot);
  p.fillRect(area, QColor(20, 26, 30));
  p.setPen(QPen(skin::kGrid, 1));
  for (int f : graph::kGridFrequencies) {
    const int x = graph::FrequencyX(f, plot);
    p.drawLine(x, plot.Top, x, plot.Bottom);
  }
  const auto yOf = [&](double degrees) { return plot.Top + (180 - degrees) / 360 * plot.Height(); };
  p.setFont(skin::ControlFont(10));
  for (int d = -180; d <= 180; d += 90) {
    const int y = static_cast<int>(yOf(d));
    p.setPen(QPen(skin::kGrid, 1));
    p.drawLine(plot.Left, y, plot.Right, y);
    p.setPen(skin::kTextDim);
    p.drawText(QRect(0, y - 7, plot.Left - 3, 14), Qt::AlignRight | Qt::AlignVCenter, QString::number(d));
  }
  p.drawText(QRect(plot.Left + 4, plot.Top + 1, 60, 14), Qt::AlignLeft, "Phase");
  const ChannelColour colour =
      kind_ == ChannelKind::Input ? InputChannelColour(channel_) : OutputChannelColour(channel_);
  QPainterPath path;
  double last = 0;
  for (int i = 0; i < kFrequencyPoints; ++i) {
    const double degrees = PhaseDegrees(response_[i]);
    const QPointF at(plot.Left + FrequencyToX(FrequencyTable[i], plot.Width()), yOf(degrees));
    if (i == 0 || std::abs(degrees - last) > 180)
      path.moveTo(at);
    else
      path.lineTo(at);
    last = degrees;
  }
  p.setRenderHint(QPainter::Antialiasing);
  p.setClipRect(area);
  p.setPen(QPen(QColor::fromRgba(colour.Argb), 1.6));
  p.drawPath(path);
}

}  // namespace veyra
