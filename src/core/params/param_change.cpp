#include "params/param_change.hpp"

#include <algorithm>

#include "link/device_link.hpp"
#include "link/frame.hpp"
#include "params/eq_bands.hpp"
#include "params/param_table.hpp"
#include "state/device_text.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

constexpr uint8_t kNameGroup = 0;
static_assert(InputGroup::Name == kNameGroup && OutputGroup::Name == kNameGroup);

bool IsBandType(const ParamDescriptor& param) {
  return param.Band != 0 && param.Name.size() > 5 && param.Name.ends_with(".type");
}

// kHighPass or kLowPass for a crossover section's frequency, else -1.
int SectionOfFrequency(const ParamDescriptor& param) {
  if (param.Kind != ChannelKind::Output) return -1;
  if (param.Name == "xover.hp.freq") return kHighPass;
  if (param.Name == "xover.lp.freq") return kLowPass;
  return -1;
}

int Clamped(int hertz) {
  return std::clamp(hertz, kFrequencyMin, kFrequencyMax);
}

}  // namespace

std::string_view ChangeLimitText(ChangeLimit limit, bool raised) {
  switch (limit) {
    case ChangeLimit::None:
      return {};
    case ChangeLimit::Range:
      return raised ? "the lowest" : "the highest";
    case ChangeLimit::LowPass:
      return "the low-pass frequency";
    case ChangeLimit::HighPass:
      return "the high-pass frequency";
    case ChangeLimit::LowShelf:
      return "a low shelf's highest";
    case ChangeLimit::HighShelf:
      return "a high shelf's lowest";
  }
  return {};
}

int SectionLimitedFrequency(const ParameterStore& store, int channel, int section, int hertz) {
  if (channel < 0 || channel >= kChannelSlots) return hertz;
  const auto& crossover = store.Outputs[channel].Crossover;
  // A record from an old file may hold a frequency off the scale; the rule
  // compares what the editors draw.
  if (section == kHighPass) return std::min(hertz, Clamped(crossover[kLowPass].Freq));
  return std::max(hertz, Clamped(crossover[kHighPass].Freq));
}

ChangeLimit LimitBand(ParameterStore& store, ChannelKind kind, int channel, int band) {
  if (channel < 0 || channel >= kChannelSlots || band < 1 || band > kBandRecords) return ChangeLimit::None;
  EqBand& record = BandRecord(store, kind, channel, band);
  const int limited = ShelfLimitedFrequency(record.Type, record.Freq);
  if (limited == record.Freq) return ChangeLimit::None;
  const bool low = record.Type == static_cast<int>(EqType::LowShelf);
  record.Freq = static_cast<uint16_t>(limited);
  return low ? ChangeLimit::LowShelf : ChangeLimit::HighShelf;
}

ChangeLimit LimitSection(ParameterStore& store, int channel, int section) {
  if (channel < 0 || channel >= kChannelSlots || (section != kHighPass && section != kLowPass))
    return ChangeLimit::None;
  FilterSection& record = store.Outputs[channel].Crossover[section];
  const int limited = SectionLimitedFrequency(store, channel, section, record.Freq);
  if (limited == record.Freq) return ChangeLimit::None;
  record.Freq = static_cast<uint16_t>(limited);
  return section == kHighPass ? ChangeLimit::LowPass : ChangeLimit::HighPass;
}

std::vector<uint8_t> LimitChannelFilters(ParameterStore& store, ChannelKind kind, int channel) {
  std::vector<uint8_t> groups;
  if (channel < 0 || channel >= kChannelSlots) return groups;
  for (int band = 1; band <= kEditorBands; ++band)
    if (LimitBand(store, kind, channel, band) != ChangeLimit::None) groups.push_back(BandGroup(kind, band));
  if (kind == ChannelKind::Output && LimitSection(store, channel, kHighPass) != ChangeLimit::None)
    groups.push_back(OutputGroup::Crossover);
  return groups;
}

void BandWritten(ParameterStore& store, ChannelKind kind, int channel, int band, ChangeLog& log, bool links) {
  if (channel < 0 || channel >= kChannelSlots || band < 1 || band > kEditorBands) return;
  LimitBand(store, kind, channel, band);
  const uint8_t group = BandGroup(kind, band);
  LinkAndSend(store, kind, channel, std::span<const uint8_t>(&group, 1),
              links ? std::optional(GroupLink::Eq) : std::nullopt, BandLinkFields(kind, band), log);
}

void SectionWritten(ParameterStore& store, int channel, int section, ChangeLog& log, bool links) {
  const ParamDescriptor* param =
      FindParam(ChannelKind::Output, section == kHighPass ? "xover.hp.freq" : "xover.lp.freq");
  if (channel < 0 || channel >= kChannelSlots || !param) return;
  LimitSection(store, channel, section);
  const uint8_t group = param->Group;
  const std::vector<int> members =
      LinkAndSend(store, ChannelKind::Output, channel, std::span<const uint8_t>(&group, 1),
                  links ? param->Link : std::nullopt, param->LinkFields, log);
  // A member takes the section as it is; its own other section may stand in the way.
  for (const int member : members) LimitSection(store, member, section);
}

void ChangeLog::Send(ChannelKind kind, int channel, uint8_t group) {
  Send({0, BlockOf(kind), static_cast<uint8_t>(channel), group});
}

void ChangeLog::Send(const MessageAddress& address) {
  if (std::find(addresses_.begin(), addresses_.end(), address) == addresses_.end())
    addresses_.push_back(address);
}

std::vector<int> LinkAndSend(ParameterStore& store, ChannelKind kind, int channel,
                             std::span<const uint8_t> groups, std::optional<GroupLink> link,
                             std::span<const FieldSpan> fields, ChangeLog& log) {
  for (const uint8_t group : groups) log.Send(kind, channel, group);
  if (!link) return {};
  std::vector<int> members = CopyToGroup(store, kind, channel, *link, fields);
  for (const int member : members)
    for (const uint8_t group : groups) log.Send(kind, member, group);
  return members;
}

ParamChange ChangeParam(ParameterStore& store, const ParamDescriptor& param, int channel, int code,
                        ChangeLog& log, bool links) {
  ParamChange result;
  if (channel < 0 || channel >= kChannelSlots) return result;
  const int inRange = std::clamp(code, param.Min, param.Max);
  if (inRange != code) result.Limit = ChangeLimit::Range;
  ChangeLimit rule = ChangeLimit::None;
  // Choosing the type a band already has changes nothing, as in the editors.
  if (IsBandType(param) && inRange != ReadCode(store, param, channel)) {
    const int before = BandRecord(store, param.Kind, channel, param.Band).Freq;
    SetBandType(store, param.Kind, channel, param.Band, inRange);
    if (BandRecord(store, param.Kind, channel, param.Band).Freq != before)
      rule = inRange == static_cast<int>(EqType::LowShelf) ? ChangeLimit::LowShelf : ChangeLimit::HighShelf;
  } else if (!IsBandType(param)) {
    WriteCode(store, param, channel, inRange);
  }
  const int section = SectionOfFrequency(param);
  if (param.Band != 0 && rule == ChangeLimit::None) rule = LimitBand(store, param.Kind, channel, param.Band);
  if (section >= 0) rule = LimitSection(store, channel, section);
  if (rule != ChangeLimit::None) result.Limit = rule;
  result.Code = ReadCode(store, param, channel);
  std::vector<uint8_t> groups;
  if (param.Group != kNotSent) groups.push_back(param.Group);
  const std::vector<FieldSpan> own{param.Field};
  const std::vector<int> members =
      LinkAndSend(store, param.Kind, channel, groups, links ? param.Link : std::nullopt,
                  param.LinkFields.empty() ? own : param.LinkFields, log);
  if (section >= 0)
    for (const int member : members) LimitSection(store, member, section);
  return result;
}

void ChangeBandBypass(ParameterStore& store, ChannelKind kind, int channel, int band, bool bypassed,
                      ChangeLog& log, bool links) {
  if (channel < 0 || channel >= kChannelSlots || band < 1 || band > kEditorBands) return;
  if (BandBypassed(store, kind, channel, band) == bypassed) return;
  if (bypassed) {
    BypassBand(store, kind, channel, band);
  } else {
    RestoreBand(store, kind, channel, band);
  }
  const uint8_t group = BandGroup(kind, band);
  LinkAndSend(store, kind, channel, std::span<const uint8_t>(&group, 1),
              links ? std::optional(GroupLink::Eq) : std::nullopt, BandLinkFields(kind, band), log);
}

bool ChangeChannelName(ParameterStore& store, ChannelKind kind, int channel, std::string_view bytes,
                       ChangeLog& log) {
  if (bytes.size() > kNameBytes || channel < 0 || channel >= kChannelSlots) return false;
  WithChannel(store, kind, channel, [bytes](auto& c) { SetFieldBytes(c.Name, bytes); });
  log.Send(kind, channel, kNameGroup);
  return true;
}

SyncResult SendWrites(ParameterStore& store, DeviceLink& link, std::span<const MessageAddress> addresses) {
  SyncResult result;
  if (store.Online == 0) {
    result.Status = SyncStatus::Offline;
    return result;
  }
  for (const MessageAddress& a : addresses) {
    if (SendFrame(store, link, WriteCommand, store.DeviceId, a.Slot, a.Channel, a.Block, a.Group)) {
      ++result.Exchanges;
    } else {
      ++result.Unanswered;
      if (link.Removed()) break;
    }
  }
  if (result.Unanswered > 0) result.Status = SyncStatus::NoReply;
  result.RestartPollMs = kPollAfterWritesMs;
  return result;
}

}  // namespace veyra
