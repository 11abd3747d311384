// The change rules every front end shares: what an edit of a parameter
// writes, which linked channels repeat it and which messages carry it. The
// editors run them inside their undoable steps, the command line's set on a
// settings file or a processor, so both send exactly the same messages.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "groups/channel_kind.hpp"
#include "groups/copy_to_group.hpp"
#include "link/messages.hpp"
#include "sync/sync_result.hpp"

namespace veyra {

class DeviceLink;
struct ParamDescriptor;

// What a change sends: each address once, in the order first recorded.
class ChangeLog {
 public:
  void Send(ChannelKind kind, int channel, uint8_t group);
  void Send(const MessageAddress& address);
  const std::vector<MessageAddress>& Addresses() const { return addresses_; }

 private:
  std::vector<MessageAddress> addresses_;
};

// After a channel's own fields were written: its groups are sent, and when
// link names a flag the channel's group sets, the fields are copied to the
// other members and the same groups sent for each of them. Returns the
// members that took the copy.
std::vector<int> LinkAndSend(ParameterStore& store, ChannelKind kind, int channel,
                             std::span<const uint8_t> groups, std::optional<GroupLink> link,
                             std::span<const FieldSpan> fields, ChangeLog& log);

// ---- The filter rule ----------------------------------------------------------
// Whatever sets a value (the graph, a slider, a typed field, the wheel and
// keys, a script, a filter import, a copy), a channel keeps to it:
//   - its high-pass frequency is never above its low-pass frequency: a
//     section set past the other stops at the other's frequency;
//   - a low shelf's frequency is at most 2000 Hz, a high shelf's at least
//     2000 Hz, whether the frequency or the type changed.
enum class ChangeLimit : uint8_t {
  None,
  Range,      // beyond the codes the editors can set
  LowPass,    // a high-pass stopped at the low-pass frequency
  HighPass,   // a low-pass stopped at the high-pass frequency
  LowShelf,   // a low shelf kept at or below 2000 Hz
  HighShelf,  // a high shelf kept at or above 2000 Hz
};
// "the highest", "the low-pass frequency", "a low shelf's highest" ...: why a
// value was limited, as the command line says it; empty for None.
std::string_view ChangeLimitText(ChangeLimit limit, bool raised);

// The frequency section (kHighPass or kLowPass) of an output may take.
int SectionLimitedFrequency(const ParameterStore& store, int channel, int section, int hertz);
// Brings band 1..10 of a channel, or a crossover section of an output (that
// section gives way), into the rule; what it changed.
ChangeLimit LimitBand(ParameterStore& store, ChannelKind kind, int channel, int band);
ChangeLimit LimitSection(ParameterStore& store, int channel, int section);
// Brings a whole channel into the rule: bands 1..6 and, for an output, the
// crossover (where the sections cross, the high-pass gives way). Returns the
// message groups whose fields it changed, for the caller to send.
std::vector<uint8_t> LimitChannelFilters(ParameterStore& store, ChannelKind kind, int channel);

// Band 1..6, or crossover section 0/1 of an output, whose fields the caller
// has just written (a graph drag): the rule applied, the band's (the
// crossover's) message sent and the change repeated on linked members,
// which keep the rule too.
void BandWritten(ParameterStore& store, ChannelKind kind, int channel, int band, ChangeLog& log,
                 bool links = true);
void SectionWritten(ParameterStore& store, int channel, int section, ChangeLog& log, bool links = true);

// What a change stored: the code (after its range and the filter rule) and
// what limited it.
struct ParamChange {
  int Code = 0;
  ChangeLimit Limit = ChangeLimit::None;
};

// One parameter of the table set to code (limited to its range and the
// filter rule). links = false leaves the group's other members alone.
ParamChange ChangeParam(ParameterStore& store, const ParamDescriptor& param, int channel, int code,
                        ChangeLog& log, bool links = true);

// BYPASS of band 1..6 switched on or off; nothing happens when it already is.
void ChangeBandBypass(ParameterStore& store, ChannelKind kind, int channel, int band, bool bypassed,
                      ChangeLog& log, bool links = true);

// A channel's name (raw device bytes, at most kNameBytes); names are never
// repeated on a group. False (nothing changed) when the bytes do not fit.
bool ChangeChannelName(ParameterStore& store, ChannelKind kind, int channel, std::string_view bytes,
                       ChangeLog& log);

// Sends writes of the live settings while online, one exchange after
// another; an unanswered one does not stop the others (Unanswered counts
// them) unless the device is gone. Offline: nothing, status Offline.
SyncResult SendWrites(ParameterStore& store, DeviceLink& link, std::span<const MessageAddress> addresses);

}  // namespace veyra
