// The changes the channel panels make, each through the editing context's
// change path (store, group copy, send, refresh, one undo step) with the
// parameter table's descriptor of what it changes. Strips and row panels of
// both kinds share these.
#pragma once

#include <QString>
#include <string_view>

#include "groups/channel_kind.hpp"
#include "state/device_text.hpp"

namespace veyra {

class EditContext;

class ChannelActions {
 public:
  explicit ChannelActions(EditContext& context) : context_(context) {}

  EditContext& Context() { return context_; }
  const ParameterStore& Store() const;
  bool Locked() const;

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
  void SetParam(ChannelKind kind, const char* name, int channel, int code, const QString& mergeKey = {});

  EditContext& context_;
};

}  // namespace veyra
