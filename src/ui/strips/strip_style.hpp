// The look of the channel panels: their frames and the small captions and
// readout windows they share.
#pragma once

#include <QColor>
#include <QRectF>

class QPainter;
class QWidget;

namespace veyra {

class SkinLabel;

namespace strip_style {

inline const QColor kPanelTop{74, 86, 93};
inline const QColor kPanelBottom{57, 67, 73};
inline const QColor kOutputMark{150, 164, 172};

// A panel's raised frame with a coloured mark along its top (strips) or left
// edge (row panels).
void PaintPanel(QPainter& painter, const QRectF& rect, const QColor& mark, bool markOnLeft);

// A caption over a section of a panel (dim, small, bold).
SkinLabel* MakeCaption(const QString& text, QWidget* parent, int pixels = 10,
                       Qt::Alignment alignment = Qt::AlignCenter);
// A readout: light text in a dark recessed window.
SkinLabel* MakeReadout(QWidget* parent, int pixels = 11);

}  // namespace strip_style
}  // namespace veyra
