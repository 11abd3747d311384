#include "strips/channel_actions.hpp"

#include "editing/channel_name.hpp"
#include "editing/edit_context.hpp"
#include "params/param_table.hpp"

namespace veyra {
namespace {

QString Label(ChannelKind kind, int channel, const char* what) {
  return QString::fromStdString(ChannelLabel(kind, channel)) + ' ' + what;
}

}  // namespace

const ParameterStore& ChannelActions::Store() const {
  return context_.Store();
}

bool ChannelActions::Locked() const {
  return context_.Locked();
}

void ChannelActions::SetParam(ChannelKind kind, const char* name, int channel, int code, const QString& mergeKey) {
  if (const ParamDescriptor* param = FindParam(kind, name)) context_.SetParam(*param, channel, code, mergeKey);
}

void ChannelActions::FlipPolarity(ChannelKind kind, int channel, bool wasDown) {
  SetParam(kind, "polarity", channel, wasDown ? 0 : 1);
}

void ChannelActions::FlipMute(ChannelKind kind, int channel, bool wasDown) {
  // The store's Mute is 1 while the signal passes: a button that was down unmutes.
  SetParam(kind, "mute", channel, wasDown ? 1 : 0);
}

DeviceTextError ChannelActions::SetName(ChannelKind kind, int channel, const QString& text) {
  return SetChannelName(context_, kind, channel, text);
}

void ChannelActions::StoreName(ChannelKind kind, int channel, std::string_view bytes) {
  StoreChannelName(context_, kind, channel, bytes);
}

void ChannelActions::SetGroup(ChannelKind kind, int channel, int group) {
  if (group < 0 || group > kChannelSlots) return;
  context_.Write(Label(kind, channel, "group"), [=](ParameterStore& store) {
    WithChannel(store, kind, channel, [group](auto& c) { c.GroupNumber = static_cast<uint32_t>(group); });
  });
}

void ChannelActions::FlipRoute(ChannelKind kind, int channel, int button, bool wasDown) {
  const bool inputSide = kind == ChannelKind::Input;
  const int output = inputSide ? button : channel;
  const int input = inputSide ? channel : button;
  const std::string name = std::string("route.") + static_cast<char>('a' + input);
  const ParamDescriptor* param = FindParam(ChannelKind::Output, name);
  if (!param) return;
  if (inputSide) {
    // An input's button sets one output's flag; the outputs' group link (LinkMix)
    // belongs to the output side's buttons.
    ParamDescriptor unlinked = *param;
    unlinked.Link.reset();
    context_.SetParam(unlinked, output, wasDown ? 0 : 1);
  } else {
    context_.SetParam(*param, output, wasDown ? 0 : 1);
  }
}

}  // namespace veyra
