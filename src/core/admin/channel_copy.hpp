// Copying one channel's settings onto another channel of the same kind in the
// live records, and the messages that bring the device along. The Copy dialog
// (through the change path, as one undo step) and the command-line tool use
// the same functions, so they copy and send exactly the same.
#pragma once

#include <vector>

#include "link/device_link.hpp"
#include "state/parameter_store.hpp"
#include "sync/sync_result.hpp"

namespace veyra {

// The first six EQ bands are copied (frequency, gain, width, shelf slope and
// type; a band's off flag and reserved byte stay), the bands beyond stay.
inline constexpr int kCopiedBands = 6;

// Input source onto input target (0..7; they may be the same): the six bands,
// both input filters, mute, polarity, delay, gain, the level extra, the input
// mix, the mic editor levels, noise gate bytes 1, 2 and 6, the five values of
// input group 4, the compressor, and for every output (all eight) the routing
// flag of the target takes the source's. Name, group number and everything
// else stay. Channels outside 0..7 change nothing.
void CopyInputSettings(ParameterStore& store, int source, int target);

// Output source onto output target: the six bands, both crossover sections,
// mute, polarity, the 32-bit delay with the scratch word that follows it,
// gain, the routing flags of inputs A..D (E..H stay), the four values of
// output group 3 and the limiter. Name, group number and the rest stay.
void CopyOutputSettings(ParameterStore& store, int source, int target);

// One message of a copy: live record (slot 0), block, channel, group.
struct CopyMessage {
  uint8_t Block = 0;
  uint8_t Channel = 0;
  uint8_t Group = 0;
  friend bool operator==(const CopyMessage&, const CopyMessage&) = default;
};

// Copy In sends the target input whole, then the level group of every output
// of the model (the group that carries the routing flags). Copy Out sends the
// target output whole.
std::vector<CopyMessage> CopyInputMessages(const ParameterStore& store, int target);
std::vector<CopyMessage> CopyOutputMessages(int target);

// Sends a copy's messages while online; an unanswered one does not stop the
// others (Unanswered counts them). Offline: nothing, status Offline.
SyncResult SendCopyMessages(ParameterStore& store, DeviceLink& link,
                            const std::vector<CopyMessage>& messages);

}  // namespace veyra
