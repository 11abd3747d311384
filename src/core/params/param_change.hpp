// The change rules every front end shares: what an edit of a parameter
// writes, which linked channels repeat it and which messages carry it. The
// editors run them inside their undoable steps, the command line's set on a
// settings file or a processor, so both send exactly the same messages.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
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
// other members and the same groups sent for each of them.
void LinkAndSend(ParameterStore& store, ChannelKind kind, int channel, std::span<const uint8_t> groups,
                 std::optional<GroupLink> link, std::span<const FieldSpan> fields, ChangeLog& log);

// One parameter of the table set to code (limited to its range). A band's
// type goes through the type-change rule (shelves keep to their frequency
// range). links = false leaves the group's other members alone.
void ChangeParam(ParameterStore& store, const ParamDescriptor& param, int channel, int code, ChangeLog& log,
                 bool links = true);

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
