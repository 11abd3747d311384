// The changes the channel panels make, each following the one pattern of
// the program: write the store, send the channel's message while online,
// repeat the change on the linked members of the channel's group (sending
// theirs), then refresh the main window. Strips and row panels of both kinds
// share these.
#pragma once

#include <QString>
#include <string_view>

#include "groups/channel_kind.hpp"
#include "state/device_text.hpp"

namespace veyra {

class MainWindow;

class ChannelActions {
 public:
  explicit ChannelActions(MainWindow& window) : window_(window) {}

  MainWindow& Window() { return window_; }
  const ParameterStore& Store() const;
  bool Locked() const;

  // Gain code (clamped to the faders' range), Level message, LinkGain.
  void CommitGain(ChannelKind kind, int channel, int code);
  // New Polarity 1 when the button was up, 0 when down; Level, LinkPolarity.
  void FlipPolarity(ChannelKind kind, int channel, bool wasDown);
  // New Mute 0 (muted) when the button was up, 1 when down; Level, LinkMute.
  void FlipMute(ChannelKind kind, int channel, bool wasDown);
  // A typed name: stored and sent when it fits the 8-byte name, else refused
  // (the error says why) and the store keeps the old one.
  DeviceTextError SetName(ChannelKind kind, int channel, const QString& text);
  // A name already in device text (the Set Name dialog's).
  void StoreName(ChannelKind kind, int channel, std::string_view bytes);
  // GroupNumber; groups live in the program only, so nothing is sent.
  void SetGroup(ChannelKind kind, int channel, int group);
  // The routing button of a panel of the kind: button k of channel i stands
  // for output k's flag for input i (input side) or output i's flag for
  // input k (output side). The flag is cleared when the button was down, set
  // when it was up; the output's Level message is sent, and on the output
  // side the flag is repeated on the outputs linked by LinkMix.
  void FlipRoute(ChannelKind kind, int channel, int button, bool wasDown);

 private:
  void SendLevel(ChannelKind kind, int channel);
  void SendName(ChannelKind kind, int channel);

  MainWindow& window_;
};

}  // namespace veyra
