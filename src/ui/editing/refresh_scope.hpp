// What a refresh has to bring back in line with the store: everything, or
// only the channels whose records a change (or its undo) rewrote. A view
// that cannot tell what it shows of those channels refreshes as a whole.
#pragma once
#include <cstdint>
#include <vector>

#include "groups/channel_kind.hpp"

namespace veyra {

struct RecordImage;

struct RefreshScope {
  bool Everything = true;
  uint8_t Inputs = 0;   // bit c: input channel c
  uint8_t Outputs = 0;  // bit c: output channel c

  static RefreshScope All() { return {}; }
  // The channels of the images; a group record among them makes it everything
  // (group lists, links and names of the groups show on every strip).
  static RefreshScope Of(const std::vector<RecordImage>& images);

  uint8_t Mask(ChannelKind kind) const {
    if (Everything) return 0xFF;
    return kind == ChannelKind::Input ? Inputs : Outputs;
  }
  bool Touches(ChannelKind kind, int channel) const {
    return channel >= 0 && channel < 8 && (Mask(kind) >> channel & 1) != 0;
  }
};

}  // namespace veyra
