// What tells the four channel panel kinds apart: their kind of channel, their
// block buttons and readouts, and their captions. The panels themselves are
// the same code for inputs and outputs.
#pragma once

#include <QColor>
#include <QString>
#include <optional>
#include <span>

#include "groups/channel_kind.hpp"
#include "editing/window_kind.hpp"

namespace veyra {

// What a block button's readout shows.
enum class Readout {
  BandCount,   // EQ bands in use
  Delay,       // "%0.3f" / "%d"
  Compressor,  // threshold "%0.1f"
  MicLine,     // "OFF" or the mic gain "%0.1f"
  Gain,        // "%0.1f"
  GainOrOff,   // "%0.1f" with "OFF" at the minimum (row panels)
  Limiter,     // threshold "%0.1f"
  Crossover,   // "NONE", "HP", "LP", "BP"
  Sources,     // the letters of the inputs the output takes
};

struct BlockTraits {
  const char* Caption;
  int Id;
  std::optional<WindowKind> Editor;  // none: the button has no action
  Readout Shows;
};

struct PanelTraits {
  ChannelKind Kind;
  bool Row;  // a row panel of the matrix view (else a strip of the mixer view)
  std::span<const BlockTraits> Blocks;
  const char* PolarityUp;  // Polarity 0
  const char* PolarityDown;
  const char* MuteUp;  // Mute 1: the signal passes
  const char* MuteDown;
  const char* SelectCaption;  // over the routing buttons
  const char* GroupCaption;   // over the group selector
  const char* SideTitle;      // the head strip's title
};

const PanelTraits& InputStripTraits();
const PanelTraits& OutputStripTraits();
const PanelTraits& InputRowTraits();
const PanelTraits& OutputRowTraits();
const PanelTraits& StripTraits(ChannelKind kind);
const PanelTraits& RowTraits(ChannelKind kind);

inline constexpr int kRoutingButtons = 8;
inline constexpr int kFirstRoutingId = 1010;

// "A".."H" for inputs, "1".."8" for outputs.
QString ChannelCaption(ChannelKind kind, int channel);
// The caption of routing button k: the channel of the other kind.
QString RoutingCaption(ChannelKind kind, int button);
// The colour of input i: its routing lines in the matrix view, its strip's mark.
QColor InputColour(int input);

}  // namespace veyra
