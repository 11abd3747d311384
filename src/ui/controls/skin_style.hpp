// The look shared by every skinned control: the program's colours, its fonts
// and the face painter of all button kinds, so that every window looks alike.
#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRectF>

class QPainter;

namespace veyra::skin {

// Window fills and the dialog colour.
inline const QColor kShellSide{99, 110, 116};
inline const QColor kShellBody{53, 64, 70};
inline const QColor kDialogBackground{193, 210, 240};
inline const QColor kGrid{100, 100, 100};
inline const QColor kCurveFill{68, 86, 98};

// The accent: focused entry fields, lit buttons, hot arrows.
inline const QColor kAccent{2, 166, 227};

// Control faces.
inline const QColor kFaceUp{72, 84, 91};
inline const QColor kFaceDown = kAccent;
inline const QColor kFaceAlert{214, 58, 52};   // e.g. a lit mute button
inline const QColor kFaceAmber{232, 160, 32};  // e.g. a lit polarity button
inline const QColor kOutline{17, 21, 24};
inline const QColor kWell{16, 21, 24};  // readout windows and fader grooves
inline const QColor kTextLight{240, 244, 246};
inline const QColor kTextDim{160, 170, 176};
inline const QColor kTextDisabled{118, 127, 132};

// "Arial" (controls and graphs), falling back to its metric twin and to a
// font with the Chinese captions.
QFont ControlFont(int pixelHeight, bool bold = false);
// "Microsoft MHei" (image button captions), with the same fallbacks.
QFont ImageCaptionFont(int pixelHeight);

// The wheel rule of every control: the delta is added to a counter clamped to
// -120..+120; a full notch (+120 or -120) gives +1 or -1, anything else 0, and
// the counter is cleared after every message, so smaller deltas never add up.
int WheelNotch(int& counter, const QPoint& angleDelta);

struct FaceState {
  bool lit = false;      // the owner's down state
  bool hot = false;      // pointer over the control
  bool pressed = false;  // mouse button held on it
  bool enabled = true;
  bool focused = false;
};

// A rounded, softly lit face in the given base colour.
void PaintButtonFace(QPainter& painter, const QRectF& rect, const QColor& base, const FaceState& state);
// A recessed dark window (readouts, grooves, lists).
void PaintWell(QPainter& painter, const QRectF& rect, qreal radius = 3);
// A small dialog's fill: the dialog colour, with its buttons on a slightly
// darker strip from buttonStripTop down, under a fine rule.
void PaintDialogBackground(QPainter& painter, const QRect& rect, int buttonStripTop);
// Caption text for a face: mnemonic underlines shown, elided to the rectangle.
void PaintCaption(QPainter& painter, const QRectF& rect, const QString& text, const QColor& colour,
                  int alignment = Qt::AlignCenter);

}  // namespace veyra::skin
