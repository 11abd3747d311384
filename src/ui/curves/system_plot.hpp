// Painting of an input's system response: the magnitude of every present
// path (thin, in its output's colour) and of their sum (thick) on top, and
// below it on the same frequency axis the phase (wrapped) or the group delay.
// Used by the System response window and the printed report.
#pragma once

#include <QImage>
#include <QRect>

#include "curves/graph_painter.hpp"
#include "curves/system_response.hpp"

class QPainter;

namespace veyra {

enum class LowerPlot { Phase, GroupDelay };

struct SystemPicture {
  GraphStyle Style = GraphStyle::Screen;
  LowerPlot Lower = LowerPlot::Phase;
  int PointerIndex = -1;  // grid index of the pointer's line, -1 none
};

// The magnitude axis: +12 dB at the top, -36 dB at the bottom.
inline constexpr double kSystemTopDb = 12;
inline constexpr double kSystemBottomDb = -36;

// The two plots inside rect (the magnitude takes three fifths), in the same
// coordinates as rect.
QRect MagnitudePlot(const QRect& rect);
QRect LowerPlotRect(const QRect& rect);
// The grid index nearest to x on a plot; -1 outside it.
int GridIndexAt(int x, const QRect& plot);

void PaintSystemResponse(QPainter& painter, const QRect& rect, const SystemResponse& system,
                         const SystemPicture& picture);

// The grid and labels alone, and the curves alone over them.
void PaintSystemBackground(QPainter& painter, const QRect& rect, const SystemResponse& system,
                           const SystemPicture& picture);
void PaintSystemCurves(QPainter& painter, const QRect& rect, const SystemResponse& system,
                       const SystemPicture& picture);

// The window's off-screen frame: the grid and labels are kept until the size,
// the pixel ratio, the style or the lower plot's range changes; a frame after
// an edit paints only the curves over them.
class SystemFrame {
 public:
  void Render(const QSize& size, qreal ratio, const SystemResponse& system, const SystemPicture& picture);
  const QImage& Image() const { return frame_; }

 private:
  struct Key {
    QSize Pixels;
    qreal Ratio = 0;
    GraphStyle Style = GraphStyle::Screen;
    LowerPlot Lower = LowerPlot::Phase;
    double Top = 0, Bottom = 0, Step = 0;
    bool operator==(const Key&) const = default;
  };
  Key key_;
  QImage background_;
  QImage frame_;
};

// The colour of an output's path in a style.
QColor PathColour(int output, GraphStyle style);

}  // namespace veyra
