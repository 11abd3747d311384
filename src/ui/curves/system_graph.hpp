// SystemGraph: the System response window's plot control. It paints an
// input's paths and their sum (magnitude above, phase or group delay below)
// and follows the pointer with a readout of every path at its frequency.
#pragma once

#include <QImage>
#include <QWidget>

#include "curves/system_plot.hpp"

namespace veyra {

class SystemGraph : public QWidget {
  Q_OBJECT

 public:
  SystemGraph(const SystemResponse& system, QWidget* parent = nullptr);

  void SetLower(LowerPlot lower);
  LowerPlot Lower() const { return picture_.Lower; }
  // The system changed: paint it again.
  void Redraw();
  // The grid index under the pointer, -1 while it is outside the plots.
  int PointerIndex() const { return picture_.PointerIndex; }
  void SetPointerIndex(int index);
  // "1000 Hz  OUT 1 -6.02 dB -180.0°  ...  Sum 0.00 dB 0.0°" at an index.
  QString ReadoutText(int index) const;
  const QImage& Frame() const { return frame_.Image(); }

 signals:
  void pointerMoved(int index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  const SystemResponse& system_;
  SystemPicture picture_;
  SystemFrame frame_;
};

}  // namespace veyra
