#include "groups/group_links.hpp"

#include <array>

namespace veyra {
namespace {

constexpr std::array<GroupLinkColumn, 7> kInputColumns{{
    {"MUTE", &ChannelGroup::LinkMute, "mute link"},
    {"GAIN", &ChannelGroup::LinkGain, "gain link"},
    {"EQ", &ChannelGroup::LinkEq, "EQ link"},
    {"POL", &ChannelGroup::LinkPolarity, "polarity link"},
    {"DLY", &ChannelGroup::LinkDelay, "delay link"},
    {"LIMIT", &ChannelGroup::LinkCompressor, "compressor link"},
    {"MIC", &ChannelGroup::LinkMic, "mic/line link"},
}};

constexpr std::array<GroupLinkColumn, 8> kOutputColumns{{
    {"MUTE", &ChannelGroup::LinkMute, "mute link"},
    {"GAIN", &ChannelGroup::LinkGain, "gain link"},
    {"EQ", &ChannelGroup::LinkEq, "EQ link"},
    {"XOVR", &ChannelGroup::LinkCrossover, "crossover link"},
    {"POL", &ChannelGroup::LinkPolarity, "polarity link"},
    {"DLY", &ChannelGroup::LinkDelay, "delay link"},
    {"LIMIT", &ChannelGroup::LinkLimiter, "limiter link"},
    {"MIX", &ChannelGroup::LinkMix, "routing link"},
}};

}  // namespace

std::span<const GroupLinkColumn> GroupLinkColumns(ChannelKind kind) {
  if (kind == ChannelKind::Input) return kInputColumns;
  return kOutputColumns;
}

int ShownGroupLinkColumns(ChannelKind kind, int model) {
  const int all = static_cast<int>(GroupLinkColumns(kind).size());
  return model == kLinkColumnModel ? all : all - 1;
}

std::vector<int> GroupMembers(const ParameterStore& store, ChannelKind kind, uint32_t groupNumber) {
  std::vector<int> members;
  const int count = ChannelCount(store, kind);
  for (int c = 0; c < count && c < kChannelSlots; ++c) {
    const uint32_t number =
        WithChannel(store, kind, c, [](const auto& channel) { return channel.GroupNumber; });
    if (groupNumber != 0 && number == groupNumber) members.push_back(c);
  }
  return members;
}

}  // namespace veyra
