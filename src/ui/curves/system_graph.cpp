#include "curves/system_graph.hpp"

#include <QMouseEvent>
#include <QPainter>

#include "state/text_format.hpp"

namespace veyra {

SystemGraph::SystemGraph(const SystemResponse& system, QWidget* parent) : QWidget(parent), system_(system) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void SystemGraph::SetLower(LowerPlot lower) {
  picture_.Lower = lower;
  Redraw();
}

void SystemGraph::SetPointerIndex(int index) {
  if (index == picture_.PointerIndex) return;
  picture_.PointerIndex = index;
  Redraw();
  emit pointerMoved(index);
}

void SystemGraph::Redraw() {
  frame_.Render(size(), devicePixelRatioF(), system_, picture_);
  update();
}

QString SystemGraph::ReadoutText(int index) const {
  if (index < 0 || index >= kFrequencyPoints) return {};
  QString text = QString::fromStdString(Format("%g Hz", FrequencyTable[index]));
  const auto add = [&](const QString& name, const Complex& h) {
    text += QString::fromStdString(
                Format("   %s %.2f dB %.1f", name.toStdString().c_str(), MagnitudeDb(h), PhaseDegrees(h))) +
            QChar(0x00B0);
  };
  for (int k = 0; k < kChannelSlots; ++k)
    if (system_.Present(k)) add(QString("OUT %1").arg(k + 1), system_.Path(k)[index]);
  if (system_.PresentCount() > 0) add("Sum", system_.Sum()[index]);
  return text;
}

void SystemGraph::paintEvent(QPaintEvent*) {
  if (frame_.Image().devicePixelRatio() != devicePixelRatioF()) Redraw();
  QPainter painter(this);
  painter.drawImage(0, 0, frame_.Image());
}

void SystemGraph::resizeEvent(QResizeEvent*) {
  Redraw();
}

void SystemGraph::mouseMoveEvent(QMouseEvent* event) {
  const int x = event->position().toPoint().x();
  SetPointerIndex(GridIndexAt(x, MagnitudePlot(rect())));
}

void SystemGraph::leaveEvent(QEvent*) {
  SetPointerIndex(-1);
}

}  // namespace veyra
