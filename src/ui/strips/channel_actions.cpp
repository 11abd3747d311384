#include "strips/channel_actions.hpp"

#include <algorithm>

#include "groups/copy_to_group.hpp"
#include "link/messages.hpp"
#include "mainwin/device_session.hpp"
#include "mainwin/main_window.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

constexpr uint8_t kLevelGroup = 1;  // InputGroup::Level and OutputGroup::Level
constexpr uint8_t kNameGroup = 0;
static_assert(InputGroup::Level == kLevelGroup && OutputGroup::Level == kLevelGroup);
static_assert(InputGroup::Name == kNameGroup && OutputGroup::Name == kNameGroup);

}  // namespace

const ParameterStore& ChannelActions::Store() const {
  return window_.Store();
}

bool ChannelActions::Locked() const {
  return window_.Store().System.LockState != 0;
}

void ChannelActions::SendLevel(ChannelKind kind, int channel) {
  window_.Session().SendWrite(0, static_cast<uint8_t>(channel), BlockOf(kind), kLevelGroup);
}

void ChannelActions::SendName(ChannelKind kind, int channel) {
  window_.Session().SendWrite(0, static_cast<uint8_t>(channel), BlockOf(kind), kNameGroup);
}

void ChannelActions::CommitGain(ChannelKind kind, int channel, int code) {
  ParameterStore& store = window_.Store();
  code = std::clamp(code, kChannelGainMin, kChannelGainMax);
  WithChannel(store, kind, channel, [code](auto& c) { c.Gain = static_cast<uint16_t>(code); });
  SendLevel(kind, channel);
  for (int j : CopyToGroup(store, kind, channel, GroupLink::Gain, GainField(kind))) SendLevel(kind, j);
  window_.RefreshMainWindow();
}

void ChannelActions::FlipPolarity(ChannelKind kind, int channel, bool wasDown) {
  ParameterStore& store = window_.Store();
  WithChannel(store, kind, channel, [wasDown](auto& c) { c.Polarity = wasDown ? 0 : 1; });
  SendLevel(kind, channel);
  for (int j : CopyToGroup(store, kind, channel, GroupLink::Polarity, PolarityField(kind)))
    SendLevel(kind, j);
  window_.RefreshMainWindow();
}

void ChannelActions::FlipMute(ChannelKind kind, int channel, bool wasDown) {
  ParameterStore& store = window_.Store();
  WithChannel(store, kind, channel, [wasDown](auto& c) { c.Mute = wasDown ? 1 : 0; });
  SendLevel(kind, channel);
  for (int j : CopyToGroup(store, kind, channel, GroupLink::Mute, MuteField(kind))) SendLevel(kind, j);
  window_.RefreshMainWindow();
}

DeviceTextError ChannelActions::SetName(ChannelKind kind, int channel, const QString& text) {
  const EncodedDeviceText encoded = EncodeDeviceText(text.toStdString(), kNameBytes);
  if (!encoded.ok()) return encoded.Error;
  StoreName(kind, channel, encoded.Bytes);
  return DeviceTextError::None;
}

void ChannelActions::StoreName(ChannelKind kind, int channel, std::string_view bytes) {
  if (bytes.size() > kNameBytes) return;  // the name area holds 8 bytes and a terminator
  WithChannel(window_.Store(), kind, channel, [bytes](auto& c) { SetFieldBytes(c.Name, bytes); });
  SendName(kind, channel);
  window_.RefreshMainWindow();
}

void ChannelActions::SetGroup(ChannelKind kind, int channel, int group) {
  if (group < 0 || group > kChannelSlots) return;
  WithChannel(window_.Store(), kind, channel,
              [group](auto& c) { c.GroupNumber = static_cast<uint32_t>(group); });
  window_.RefreshMainWindow();
}

void ChannelActions::FlipRoute(ChannelKind kind, int channel, int button, bool wasDown) {
  ParameterStore& store = window_.Store();
  const bool inputSide = kind == ChannelKind::Input;
  const int output = inputSide ? button : channel;
  const int input = inputSide ? channel : button;
  store.Outputs[output].Routing[input] = wasDown ? 0 : 1;
  SendLevel(ChannelKind::Output, output);
  if (!inputSide) {
    for (int j : CopyToGroup(store, ChannelKind::Output, output, GroupLink::Mix, RoutingField(input)))
      SendLevel(ChannelKind::Output, j);
  }
  window_.RefreshMainWindow();
}

}  // namespace veyra
