#include "admin/channel_copy.hpp"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "params/param_change.hpp"

namespace veyra {

namespace {

bool IsSlot(int channel) {
  return channel >= 0 && channel < kChannelSlots;
}

void CopyBands(EqBand (&to)[kBandRecords], const EqBand (&from)[kBandRecords]) {
  for (int b = 0; b < kCopiedBands; ++b) {
    to[b].Freq = from[b].Freq;
    to[b].Gain = from[b].Gain;
    to[b].Width = from[b].Width;
    to[b].ShelfSlope = from[b].ShelfSlope;
    to[b].Type = from[b].Type;
  }
}

template <typename T, size_t N>
void CopyArray(T (&to)[N], const T (&from)[N]) {
  std::copy(std::begin(from), std::end(from), std::begin(to));
}

}  // namespace

void CopyInputSettings(ParameterStore& store, int source, int target) {
  if (!IsSlot(source) || !IsSlot(target)) return;
  // Through a copy of the source, so that source and target may be the same.
  const InputChannel s = store.Inputs[source];
  InputChannel& t = store.Inputs[target];
  CopyBands(t.Bands, s.Bands);
  CopyArray(t.InputFilter, s.InputFilter);
  t.Mute = s.Mute;
  t.Polarity = s.Polarity;
  t.Delay = s.Delay;
  t.Gain = s.Gain;
  t.LevelExtra = s.LevelExtra;
  CopyArray(t.InputMix, s.InputMix);
  CopyArray(t.MicEditorLevels, s.MicEditorLevels);
  for (const int byte : {1, 2, kNoiseGateThresholdByte}) t.NoiseGate[byte] = s.NoiseGate[byte];
  CopyArray(t.InputGroup4Words, s.InputGroup4Words);
  CopyArray(t.InputGroup4Bytes, s.InputGroup4Bytes);
  t.Threshold = s.Threshold;
  t.Attack = s.Attack;
  t.Release = s.Release;
  t.Ratio = s.Ratio;
  for (OutputChannel& out : store.Outputs) out.Routing[target] = out.Routing[source];
  // A source from an old file may break the filter rule; the copy keeps it (the whole channel is sent).
  LimitChannelFilters(store, ChannelKind::Input, target);
}

void CopyOutputSettings(ParameterStore& store, int source, int target) {
  if (!IsSlot(source) || !IsSlot(target)) return;
  const OutputChannel s = store.Outputs[source];
  OutputChannel& t = store.Outputs[target];
  CopyBands(t.Bands, s.Bands);
  CopyArray(t.Crossover, s.Crossover);
  t.Mute = s.Mute;
  t.Polarity = s.Polarity;
  t.Delay = s.Delay;
  t.RoutingScratch = s.RoutingScratch;
  t.Gain = s.Gain;
  std::copy(s.Routing, s.Routing + 4, t.Routing);  // inputs A..D
  CopyArray(t.OutputGroup3Words, s.OutputGroup3Words);
  t.OutputGroup3Byte = s.OutputGroup3Byte;
  t.Threshold = s.Threshold;
  t.Attack = s.Attack;
  t.Release = s.Release;
  t.Ratio = s.Ratio;
  LimitChannelFilters(store, ChannelKind::Output, target);
}

std::vector<CopyMessage> CopyInputMessages(const ParameterStore& store, int target) {
  std::vector<CopyMessage> messages{{InputBlock, static_cast<uint8_t>(target), AllGroups}};
  const int outputs = std::clamp<int>(store.OutputCount, 0, kChannelSlots);
  for (int k = 0; k < outputs; ++k)
    messages.push_back({OutputBlock, static_cast<uint8_t>(k), OutputGroup::Level});
  return messages;
}

std::vector<CopyMessage> CopyOutputMessages(int target) {
  return {{OutputBlock, static_cast<uint8_t>(target), AllGroups}};
}

SyncResult SendCopyMessages(ParameterStore& store, DeviceLink& link,
                            const std::vector<CopyMessage>& messages) {
  std::vector<MessageAddress> addresses;
  for (const CopyMessage& m : messages) addresses.push_back({0, m.Block, m.Channel, m.Group});
  return SendWrites(store, link, addresses);
}

}  // namespace veyra
