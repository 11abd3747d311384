// Sending only what differs: two sets of live channels compared group by
// group, and the writes that bring a device holding the one to the other.
//
// A parameter group is compared by the 8 bytes it puts on the wire, so a
// field no message carries (the mic settings, the limiter's ratio, the
// editor words) never makes a group differ, and two records that differ only
// there send nothing.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "link/device_link.hpp"
#include "link/messages.hpp"
#include "sync/sync_result.hpp"

namespace veyra {

// The live channel records of one set of settings (a side of a comparison,
// the device, a file).
struct LiveChannels {
  InputChannel Inputs[kChannelSlots];
  OutputChannel Outputs[kChannelSlots];
};

LiveChannels LiveChannelsOf(const ParameterStore& store);
void PutLiveChannels(ParameterStore& store, const LiveChannels& live);

// The groups whose payload differs between from and to, as the write
// addresses of the live settings (slot 0): the inputs, then the outputs, of
// the model's channels (1..3; an unknown model compares none), each
// channel's groups in ascending order. Equal settings give none.
std::vector<MessageAddress> ChangedGroups(const LiveChannels& from, const LiveChannels& to, int model);

// Whether the editors send the group on its own. The input mix, the input
// words of group 4, the input filter and the output words of group 3 reach a
// processor only inside whole channels.
bool SentAlone(uint8_t block, uint8_t group);

// The writes that carry changed groups (from ChangedGroups): each group as
// its own message, except a channel with a group that is not sent alone,
// which goes as one whole-channel message (group AllGroups) at the place of
// its first changed group and carries its other changed groups with it.
std::vector<MessageAddress> WritesFor(std::span<const MessageAddress> changed);

// The device holds from; the store's live records hold what it is to hold.
// While online, sends exactly the writes of the groups that differ (built
// from the store, one exchange after another, as SendWrites does); offline
// nothing is sent (status Offline). Exchanges counts the answered writes; an
// unanswered one does not stop the others (Unanswered counts them, the
// status is then NoReply), a device that went away does.
SyncResult SendChangedGroups(ParameterStore& store, DeviceLink& link, const LiveChannels& from,
                             const SyncControl& control = {});

}  // namespace veyra
