#include "params/param_change.hpp"

#include <algorithm>

#include "link/device_link.hpp"
#include "link/frame.hpp"
#include "params/eq_bands.hpp"
#include "params/param_table.hpp"
#include "state/device_text.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

constexpr uint8_t kNameGroup = 0;
static_assert(InputGroup::Name == kNameGroup && OutputGroup::Name == kNameGroup);

bool IsBandType(const ParamDescriptor& param) {
  return param.Band != 0 && param.Name.size() > 5 && param.Name.ends_with(".type");
}

}  // namespace

void ChangeLog::Send(ChannelKind kind, int channel, uint8_t group) {
  Send({0, BlockOf(kind), static_cast<uint8_t>(channel), group});
}

void ChangeLog::Send(const MessageAddress& address) {
  if (std::find(addresses_.begin(), addresses_.end(), address) == addresses_.end())
    addresses_.push_back(address);
}

void LinkAndSend(ParameterStore& store, ChannelKind kind, int channel, std::span<const uint8_t> groups,
                 std::optional<GroupLink> link, std::span<const FieldSpan> fields, ChangeLog& log) {
  for (const uint8_t group : groups) log.Send(kind, channel, group);
  if (!link) return;
  for (const int member : CopyToGroup(store, kind, channel, *link, fields))
    for (const uint8_t group : groups) log.Send(kind, member, group);
}

void ChangeParam(ParameterStore& store, const ParamDescriptor& param, int channel, int code, ChangeLog& log,
                 bool links) {
  if (channel < 0 || channel >= kChannelSlots) return;
  // A type change brings a shelf into its frequency range; choosing the type
  // a band already has changes nothing, as in the editors.
  if (IsBandType(param) && code != ReadCode(store, param, channel)) {
    SetBandType(store, param.Kind, channel, param.Band, std::clamp(code, param.Min, param.Max));
  } else {
    WriteCode(store, param, channel, code);
  }
  std::vector<uint8_t> groups;
  if (param.Group != kNotSent) groups.push_back(param.Group);
  const std::vector<FieldSpan> own{param.Field};
  LinkAndSend(store, param.Kind, channel, groups, links ? param.Link : std::nullopt,
              param.LinkFields.empty() ? own : param.LinkFields, log);
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
