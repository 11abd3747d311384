// The response of one channel at the 276 grid frequencies: each filter's
// magnitude (bands 1..6, then for an output the high-pass and the low-pass
// sections) and the channel sum, in dB, computed by the same ChannelCurve the
// editors draw.
#pragma once

#include <string>
#include <vector>

#include "state/records.hpp"

namespace veyra::ctl {

struct ResponseTable {
  std::vector<std::string> Header;        // freq, band1..band6[, hp, lp], sum
  std::vector<std::vector<double>> Rows;  // Rows[i][0] is FrequencyTable[i], then the columns in header order
};

ResponseTable BuildResponseTable(const InputChannel& channel, int channelIndex);
ResponseTable BuildResponseTable(const OutputChannel& channel, int channelIndex);

// CSV (RFC 4180): the header row, then one row per frequency; the frequency
// written with %g as the grid shows it, every level with %.17g so that the
// values read back exactly.
std::string ResponseCsv(const ResponseTable& table);
// For the terminal: the same columns, levels to 0.01 dB.
std::string ResponseText(const ResponseTable& table);

}  // namespace veyra::ctl
