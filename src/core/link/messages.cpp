#include "link/messages.hpp"

#include <algorithm>
#include <cstring>

#include "state/scales.hpp"

namespace veyra {
namespace {

constexpr int kInputWholeGroups = 7;        // groups 0..6 before the bands
constexpr int kOutputWholeGroups = 5;       // groups 0..4 before the bands
constexpr int kTravellingBands = 8;         // bands 1..8 travel singly
constexpr int kOutputWholeBandRecords = 9;  // a whole output channel carries a ninth record
constexpr int kRoutedInputs = 4;            // the routing mask covers inputs A..D

void Put16(GroupPayload& p, size_t at, uint16_t v) {
  p[at] = static_cast<uint8_t>(v & 0xFF);
  p[at + 1] = static_cast<uint8_t>(v >> 8);
}
uint16_t Get16(GroupBytes p, size_t at) {
  return static_cast<uint16_t>(p[at] | (p[at + 1] << 8));
}

GroupPayload BuildName(const char (&name)[kNameBytes + 1]) {
  GroupPayload p{};
  std::memcpy(p.data(), name, kNameBytes);
  return p;
}
void StoreName(char (&name)[kNameBytes + 1], GroupBytes p) {
  std::memcpy(name, p.data(), kNameBytes);
  name[kNameBytes] = '\0';
}

GroupPayload BuildBand(const EqBand& band) {
  GroupPayload p{};
  Put16(p, 0, band.Freq);
  Put16(p, 2, band.Gain);
  Put16(p, 4, band.Width);
  p[6] = band.ShelfSlope;
  p[7] = band.Type;
  return p;
}
void StoreBand(EqBand& band, GroupBytes p) {
  band.Freq = Get16(p, 0);
  band.Gain = Get16(p, 2);
  band.Width = Get16(p, 4);
  band.ShelfSlope = p[6];
  band.Type = p[7];
}

void PutSection(GroupPayload& p, size_t at, const FilterSection& s) {
  Put16(p, at, s.Freq);
  p[at + 2] = s.CrossoverType;
  p[at + 3] = s.CrossoverSlope;
}
void GetSection(FilterSection& s, GroupBytes p, size_t at) {
  s.Freq = Get16(p, at);
  s.CrossoverType = p[at + 2];
  s.CrossoverSlope = p[at + 3];
}

GroupPayload BuildThreeWords(const uint16_t (&words)[3]) {
  GroupPayload p{};
  for (size_t i = 0; i < 3; ++i) Put16(p, 2 * i, words[i]);
  return p;
}
void StoreThreeWords(uint16_t (&words)[3], GroupBytes p) {
  for (size_t i = 0; i < 3; ++i) words[i] = Get16(p, 2 * i);
}

GroupBytes RecordAt(std::span<const uint8_t> payload, int record) {
  return payload.subspan(static_cast<size_t>(record) * kGroupPayloadBytes).first<kGroupPayloadBytes>();
}

void AppendGroup(std::vector<uint8_t>& out, const GroupPayload& p) {
  out.insert(out.end(), p.begin(), p.end());
}

uint16_t ClampFrequency(uint16_t f) {
  return static_cast<uint16_t>(std::clamp<int>(f, kFrequencyMin, kFrequencyMax));
}

// Copies at most the field's size into a field, optionally clearing it first.
void StoreField(void* field, size_t size, std::span<const uint8_t> bytes, bool clearFirst) {
  if (clearFirst) std::memset(field, 0, size);
  std::memcpy(field, bytes.data(), std::min(size, bytes.size()));
}

}  // namespace

GroupPayload BuildInputGroup(const InputChannel& in, uint8_t group) {
  GroupPayload p{};
  switch (group) {
    case InputGroup::Name:
      return BuildName(in.Name);
    case InputGroup::Level:
      p[0] = in.Mute;
      p[1] = in.Polarity;
      Put16(p, 2, in.Delay);
      Put16(p, 4, in.Gain);
      Put16(p, 6, in.LevelExtra);
      return p;
    case InputGroup::NoiseGate:
      std::memcpy(p.data(), in.NoiseGate, sizeof in.NoiseGate);
      return p;
    case InputGroup::InputMix:
      std::memcpy(p.data(), in.InputMix, sizeof in.InputMix);
      return p;
    case InputGroup::InputGroup4:
      p = BuildThreeWords(in.InputGroup4Words);
      p[6] = in.InputGroup4Bytes[0];
      p[7] = in.InputGroup4Bytes[1];
      return p;
    case InputGroup::Compressor:
      Put16(p, 0, in.Threshold);
      Put16(p, 2, in.Attack);
      Put16(p, 4, in.Release);
      p[6] = static_cast<uint8_t>(in.Ratio & 0xFF);
      return p;
    case InputGroup::InputFilter:
      PutSection(p, 0, in.InputFilter[0]);
      PutSection(p, 4, in.InputFilter[1]);
      return p;
    default:
      if (group >= InputGroup::Band1 && group <= InputGroup::Band8)
        return BuildBand(in.Bands[group - InputGroup::Band1]);
      return p;
  }
}

void StoreInputGroup(InputChannel& in, uint8_t group, GroupBytes p) {
  switch (group) {
    case InputGroup::Name:
      StoreName(in.Name, p);
      break;
    case InputGroup::Level:
      in.Mute = p[0];
      in.Polarity = p[1];
      in.Delay = Get16(p, 2);
      in.Gain = Get16(p, 4);
      in.LevelExtra = Get16(p, 6);
      break;
    case InputGroup::NoiseGate:
      std::memcpy(in.NoiseGate, p.data(), sizeof in.NoiseGate);
      break;
    case InputGroup::InputMix:
      std::memcpy(in.InputMix, p.data(), sizeof in.InputMix);
      break;
    case InputGroup::InputGroup4:
      StoreThreeWords(in.InputGroup4Words, p);
      in.InputGroup4Bytes[0] = p[6];
      in.InputGroup4Bytes[1] = p[7];
      break;
    case InputGroup::Compressor:
      in.Threshold = Get16(p, 0);
      in.Attack = Get16(p, 2);
      in.Release = Get16(p, 4);
      in.Ratio = p[6];
      break;
    case InputGroup::InputFilter:
      GetSection(in.InputFilter[0], p, 0);
      GetSection(in.InputFilter[1], p, 4);
      break;
    default:
      if (group >= InputGroup::Band1 && group <= InputGroup::Band8)
        StoreBand(in.Bands[group - InputGroup::Band1], p);
      break;
  }
}

GroupPayload BuildOutputGroup(const OutputChannel& out, uint8_t group) {
  GroupPayload p{};
  switch (group) {
    case OutputGroup::Name:
      return BuildName(out.Name);
    case OutputGroup::Level:
      p[0] = out.Mute;
      p[1] = out.Polarity;
      Put16(p, 2, static_cast<uint16_t>(out.Delay & 0xFFFF));
      Put16(p, 4, out.Gain);
      for (int i = 0; i < kRoutedInputs; ++i) {
        if (out.Routing[i] != 0) p[7] |= static_cast<uint8_t>(1u << i);
      }
      return p;
    case OutputGroup::Limiter:
      Put16(p, 0, out.Threshold);
      Put16(p, 2, out.Attack);
      Put16(p, 4, out.Release);
      return p;
    case OutputGroup::OutputGroup3:
      p = BuildThreeWords(out.OutputGroup3Words);
      p[6] = out.OutputGroup3Byte;
      return p;
    case OutputGroup::Crossover:
      PutSection(p, 0, out.Crossover[kHighPass]);
      PutSection(p, 4, out.Crossover[kLowPass]);
      return p;
    default:
      if (group >= OutputGroup::Band1 && group <= OutputGroup::Band8) {
        return BuildBand(out.Bands[group - OutputGroup::Band1]);
      }
      return p;
  }
}

void StoreOutputGroup(OutputChannel& out, uint8_t group, GroupBytes p) {
  switch (group) {
    case OutputGroup::Name:
      StoreName(out.Name, p);
      break;
    case OutputGroup::Level:
      out.Mute = p[0];
      out.Polarity = p[1];
      out.Delay = Get16(p, 2);
      out.Gain = Get16(p, 4);
      for (int i = 0; i < kRoutedInputs; ++i) out.Routing[i] = (p[7] >> i) & 1;
      break;
    case OutputGroup::Limiter:
      out.Threshold = Get16(p, 0);
      out.Attack = Get16(p, 2);
      out.Release = Get16(p, 4);
      break;
    case OutputGroup::OutputGroup3:
      StoreThreeWords(out.OutputGroup3Words, p);
      out.OutputGroup3Byte = p[6];
      break;
    case OutputGroup::Crossover:
      GetSection(out.Crossover[kHighPass], p, 0);
      GetSection(out.Crossover[kLowPass], p, 4);
      break;
    default:
      if (group >= OutputGroup::Band1 && group <= OutputGroup::Band8) {
        StoreBand(out.Bands[group - OutputGroup::Band1], p);
      }
      break;
  }
}

std::vector<uint8_t> BuildInputChannelPayload(const InputChannel& in) {
  std::vector<uint8_t> payload;
  payload.reserve(kInputChannelPayloadBytes);
  for (int g = 0; g < InputGroup::kCount; ++g)
    AppendGroup(payload, BuildInputGroup(in, static_cast<uint8_t>(g)));
  return payload;
}

std::vector<uint8_t> BuildOutputChannelPayload(const OutputChannel& out) {
  std::vector<uint8_t> payload;
  payload.reserve(kOutputChannelPayloadBytes);
  for (int g = 0; g < kOutputWholeGroups; ++g)
    AppendGroup(payload, BuildOutputGroup(out, static_cast<uint8_t>(g)));
  for (int b = 0; b < kOutputWholeBandRecords; ++b) AppendGroup(payload, BuildBand(out.Bands[b]));
  return payload;
}

int StoreInputChannelPayload(InputChannel& in, std::span<const uint8_t> payload) {
  const int records =
      static_cast<int>(std::min<size_t>(payload.size() / kGroupPayloadBytes, InputGroup::kCount));
  for (int r = 0; r < records; ++r) StoreInputGroup(in, static_cast<uint8_t>(r), RecordAt(payload, r));
  static_assert(kInputWholeGroups + kTravellingBands == InputGroup::kCount);
  return records;
}

int StoreOutputChannelPayload(OutputChannel& out, std::span<const uint8_t> payload, NinthBand ninth) {
  const int whole = kOutputWholeGroups + kOutputWholeBandRecords;
  const int records = static_cast<int>(std::min<size_t>(payload.size() / kGroupPayloadBytes, whole));
  int stored = 0;
  for (int r = 0; r < records; ++r) {
    if (r < kOutputWholeGroups) {
      StoreOutputGroup(out, static_cast<uint8_t>(r), RecordAt(payload, r));
    } else if (r < kOutputWholeGroups + kTravellingBands || ninth == NinthBand::Store) {
      StoreBand(out.Bands[r - kOutputWholeGroups], RecordAt(payload, r));
    } else {
      continue;
    }
    ++stored;
  }
  return stored;
}

bool IsWritableSystemItem(uint8_t subItem) {
  switch (subItem) {
    case SystemItem::PresetName:
    case SystemItem::Lock:
    case SystemItem::BackLight:
    case SystemItem::DeviceId:
    case SystemItem::Temperature:
    case SystemItem::CurrentProgram:
      return true;
    default:
      return false;
  }
}

std::optional<std::vector<uint8_t>> BuildSystemItemPayload(const ParameterStore& store, uint8_t subItem,
                                                           uint8_t slot) {
  const SystemSettings& sys = store.System;
  auto bytes = [](const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    return std::vector<uint8_t>(b, b + n);
  };
  switch (subItem) {
    case SystemItem::PresetName:
      if (slot < 1 || slot > kPresetCount) return std::nullopt;
      return bytes(store.Preset(slot).Name, kPresetNameBytes);
    case SystemItem::Meters: {
      std::vector<uint8_t> p = bytes(sys.InputMeters, 4);
      p.insert(p.end(), sys.OutputMeters, sys.OutputMeters + 8);
      return p;
    }
    case SystemItem::ModelCode:
      return bytes(sys.ModelCode, sizeof sys.ModelCode);
    case SystemItem::VersionText1:
      return bytes(sys.VersionText1, strnlen(sys.VersionText1, sizeof sys.VersionText1));
    case SystemItem::VersionText2:
      return bytes(sys.VersionText2, strnlen(sys.VersionText2, sizeof sys.VersionText2));
    case SystemItem::Lock: {
      std::vector<uint8_t> p = bytes(sys.LockPassword, sizeof sys.LockPassword);
      p.push_back(sys.LockState);
      p.push_back(0);
      return p;
    }
    case SystemItem::BackLight:
      return std::vector<uint8_t>{sys.BackLight};
    case SystemItem::DeviceId:
      return std::vector<uint8_t>{sys.DeviceIdSetting};
    case SystemItem::Temperature:
      return std::vector<uint8_t>{sys.Temperature};
    case SystemItem::CurrentProgram:
      return std::vector<uint8_t>{sys.CurrentProgram};
    default:
      return std::nullopt;
  }
}

std::optional<std::vector<uint8_t>> BuildWritePayload(const ParameterStore& store, uint8_t slot,
                                                      uint8_t block, uint8_t channel, uint8_t group) {
  if (block == SystemBlock) {
    if (!IsWritableSystemItem(channel)) return std::nullopt;
    return BuildSystemItemPayload(store, channel, slot);
  }
  if ((block != InputBlock && block != OutputBlock) || slot > kPresetCount || channel >= kChannelSlots) {
    return std::nullopt;
  }
  // A stored program is always written whole, whatever group is named.
  const bool whole = slot != 0 || group == AllGroups;
  if (block == InputBlock) {
    const InputChannel& in = slot == 0 ? store.Inputs[channel] : store.Preset(slot).Inputs[channel];
    if (whole) return BuildInputChannelPayload(in);
    if (group >= InputGroup::kCount) return std::nullopt;
    const GroupPayload p = BuildInputGroup(in, group);
    return std::vector<uint8_t>(p.begin(), p.end());
  }
  const OutputChannel& out = slot == 0 ? store.Outputs[channel] : store.Preset(slot).Outputs[channel];
  if (whole) return BuildOutputChannelPayload(out);
  if (group >= OutputGroup::kCount) return std::nullopt;
  const GroupPayload p = BuildOutputGroup(out, group);
  return std::vector<uint8_t>(p.begin(), p.end());
}

namespace {

ApplyResult ApplySystemItem(ParameterStore& store, uint8_t slot, uint8_t subItem,
                            std::span<const uint8_t> payload) {
  SystemSettings& sys = store.System;
  auto expect = [&](size_t n) { return ApplyResult{!payload.empty(), payload.size() != n}; };
  switch (subItem) {
    case SystemItem::PresetName: {
      if (slot < 1 || slot > kPresetCount) return {};
      StoreField(store.Preset(slot).Name, kPresetNameBytes, payload, true);
      return {true, payload.size() != kPresetNameBytes};
    }
    case SystemItem::Meters: {
      StoreField(sys.InputMeters, 4, payload, false);
      if (payload.size() > 4) StoreField(sys.OutputMeters, 8, payload.subspan(4), false);
      return expect(kMeterPayloadBytes);
    }
    case SystemItem::ModelCode:
      StoreField(sys.ModelCode, sizeof sys.ModelCode, payload, false);
      return expect(sizeof sys.ModelCode);
    case SystemItem::VersionText1:
    case SystemItem::VersionText2: {
      // Keep a terminator so that the field always reads as a text.
      char* field = subItem == SystemItem::VersionText1 ? sys.VersionText1 : sys.VersionText2;
      StoreField(field, sizeof sys.VersionText1 - 1, payload, true);
      field[sizeof sys.VersionText1 - 1] = '\0';
      return {true, payload.size() >= sizeof sys.VersionText1};
    }
    case SystemItem::Lock:
      StoreField(sys.LockPassword, sizeof sys.LockPassword, payload, false);
      if (payload.size() > sizeof sys.LockPassword) sys.LockState = payload[sizeof sys.LockPassword];
      return expect(kLockPayloadBytes);
    case SystemItem::BackLight:
    case SystemItem::DeviceId:
    case SystemItem::Temperature:
    case SystemItem::CurrentProgram: {
      if (payload.empty()) return {false, true};
      const uint8_t v = payload[0];
      if (subItem == SystemItem::BackLight) sys.BackLight = v;
      if (subItem == SystemItem::Temperature) sys.Temperature = v;
      if (subItem == SystemItem::CurrentProgram) sys.CurrentProgram = v;
      if (subItem == SystemItem::DeviceId) sys.DeviceIdSetting = store.DeviceId = v;
      return expect(1);
    }
    default:
      return {};
  }
}

}  // namespace

ApplyResult ApplyDataReply(ParameterStore& store, uint8_t slot, uint8_t block, uint8_t channel,
                           std::span<const uint8_t> payload) {
  if (block == SystemBlock) return ApplySystemItem(store, slot, channel, payload);
  if ((block != InputBlock && block != OutputBlock) || slot > kPresetCount || channel >= kChannelSlots)
    return {};
  if (block == InputBlock) {
    InputChannel& in = slot == 0 ? store.Inputs[channel] : store.Preset(slot).Inputs[channel];
    const int stored = StoreInputChannelPayload(in, payload);
    return {stored > 0, payload.size() != kInputChannelPayloadBytes};
  }
  OutputChannel& out = slot == 0 ? store.Outputs[channel] : store.Preset(slot).Outputs[channel];
  const int stored = StoreOutputChannelPayload(out, payload, NinthBand::Skip);
  if (stored > OutputGroup::Crossover) {
    out.Crossover[kHighPass].Freq = ClampFrequency(out.Crossover[kHighPass].Freq);
    out.Crossover[kLowPass].Freq = ClampFrequency(out.Crossover[kLowPass].Freq);
  }
  return {stored > 0, payload.size() != kOutputChannelPayloadBytes};
}

ParsedReply ParseReply(ParameterStore& store, std::span<const uint8_t> bytes,
                       std::vector<uint8_t>& leftover) {
  const FrameSearch search = FindFrame(bytes);
  // bytes may alias leftover's storage: take the fields before replacing it.
  ParsedReply reply;
  if (!search.Found) {
    std::vector<uint8_t> keep(bytes.begin() + static_cast<std::ptrdiff_t>(search.KeepFrom), bytes.end());
    leftover.swap(keep);
    return reply;
  }
  reply.Fields = search.Fields;
  const FrameFields& f = search.Fields;
  reply.Malformed = !f.LengthMatches();
  switch (f.Command) {
    case AckReply:
      reply.Status = ReplyStatus::Accepted;
      break;
    case IgnoredReply:
      reply.Status = ReplyStatus::Ignored;
      break;
    case DataReply: {
      // Store only what the reply both announces and carries.
      const auto carried = f.Payload.first(std::min<size_t>(f.Payload.size(), f.LengthField));
      const ApplyResult applied = ApplyDataReply(store, f.Slot, f.Block, f.Channel, carried);
      reply.Stored = applied.Stored;
      reply.Malformed = reply.Malformed || applied.Malformed;
      reply.Status = ReplyStatus::Accepted;
      break;
    }
    default:
      reply.Status = ReplyStatus::Accepted;
      break;
  }
  reply.Fields.Payload = {};
  std::vector<uint8_t> rest(bytes.begin() + static_cast<std::ptrdiff_t>(search.End), bytes.end());
  leftover.swap(rest);
  return reply;
}

}  // namespace veyra
