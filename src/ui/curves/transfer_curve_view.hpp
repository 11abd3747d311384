// TransferCurveView: output level against input level, the plot of the
// compressor and limiter editors. Both axes run from -60 dB to +20 dB. The
// editor hands it the curves to draw (the edited channel's and those of the
// other channels the operator chose to see), each as its points in dB; what
// it shows can be read back from Curves() without looking at pixels.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointF>
#include <QWidget>
#include <vector>

namespace veyra {

inline constexpr double kTransferMinDb = -60.0;
inline constexpr double kTransferMaxDb = 20.0;

// A dynamics block's curve: slopeBelow up to the knee, slopeBetween from the
// knee to the threshold, slopeAbove beyond it, through (knee, knee + offset).
// The compressor and limiter use unity up to the threshold and 1 / ratio above.
struct TransferSegments {
  double KneeDb = -50.0;
  double ThresholdDb = 0.0;
  double SlopeBelow = 1.0;
  double SlopeBetween = 1.0;
  double SlopeAbove = 1.0;
  double OffsetDb = 0.0;
};

// The polyline of the curve from the left edge of the plot to the right one
// (input -60..+20 dB), clipped to the plot's output range. The curve rises
// everywhere (no slope is negative), so clipping never splits it.
std::vector<QPointF> TransferCurvePoints(const TransferSegments& segments);

struct TransferCurve {
  int Channel = 0;
  QColor Colour;
  std::vector<QPointF> Points;  // x input dB, y output dB
};

class TransferCurveView : public QWidget {
  Q_OBJECT

 public:
  explicit TransferCurveView(QWidget* parent = nullptr);

  // The curves to draw, the last on top (the editor puts the edited one last).
  void SetCurves(std::vector<TransferCurve> curves);
  const std::vector<TransferCurve>& Curves() const { return curves_; }
  // Where the plot lies in the control (inside the labels and captions).
  QRect PlotRect() const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Render();
  QPointF ToPixel(const QPointF& levelDb) const;

  std::vector<TransferCurve> curves_;
  QPixmap frame_;  // the whole plot, drawn once per change and copied on every paint
  bool stale_ = true;
};

}  // namespace veyra
