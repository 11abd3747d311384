#include "response_table.hpp"

#include <cmath>

#include "curves/channel_curve.hpp"
#include "state/scales.hpp"
#include "state/text_format.hpp"
#include "text_table.hpp"

namespace veyra::ctl {

namespace {

ResponseTable FromCurve(const ChannelCurve& curve) {
  ResponseTable table;
  table.Header.emplace_back("freq");
  for (int b = 1; b <= ChannelCurve::kBandFilters; ++b) table.Header.push_back(Format("band%d", b));
  if (curve.IsOutput()) {
    table.Header.emplace_back("hp");
    table.Header.emplace_back("lp");
  }
  table.Header.emplace_back("sum");
  table.Rows.reserve(kFrequencyPoints);
  for (int i = 0; i < kFrequencyPoints; ++i) {
    std::vector<double>& row = table.Rows.emplace_back();
    row.push_back(FrequencyTable[i]);
    for (int f = 0; f < curve.FilterCount(); ++f) row.push_back(curve.Filter(f).Response()[i]);
    row.push_back(curve.SumDb()[i]);
  }
  return table;
}

template <typename FormatLevel>
std::vector<std::vector<std::string>> Cells(const ResponseTable& table, FormatLevel format) {
  std::vector<std::vector<std::string>> grid{table.Header};
  for (const auto& values : table.Rows) {
    std::vector<std::string>& cells = grid.emplace_back();
    cells.push_back(Format("%g", values[0]));
    for (size_t c = 1; c < values.size(); ++c) cells.push_back(format(values[c]));
  }
  return grid;
}

// The curve works on the record it is attached to; a copy keeps the caller's
// records untouched (the band-off flags follow the gains as the editors set them).
template <typename Record>
ResponseTable Compute(const Record& channel, int channelIndex, void (ChannelCurve::*attach)(Record&, int)) {
  Record record = channel;
  ChannelCurve curve;
  (curve.*attach)(record, channelIndex);
  curve.ComputeAll(true);
  return FromCurve(curve);
}

}  // namespace

ResponseTable BuildResponseTable(const InputChannel& channel, int channelIndex) {
  return Compute(channel, channelIndex, &ChannelCurve::AttachInput);
}

ResponseTable BuildResponseTable(const OutputChannel& channel, int channelIndex) {
  return Compute(channel, channelIndex, &ChannelCurve::AttachOutput);
}

std::string ResponseCsv(const ResponseTable& table) {
  // No cell needs quoting: the header names and the numbers hold no comma.
  std::string csv;
  for (const auto& row : Cells(table, [](double db) { return Format("%.17g", db); })) {
    for (size_t c = 0; c < row.size(); ++c) csv += (c > 0 ? "," : "") + row[c];
    csv += "\r\n";
  }
  return csv;
}

std::string ResponseText(const ResponseTable& table) {
  // Rounding noise below the shown precision would print as "-0.00".
  const auto level = [](double db) { return Format("%.2f", std::fabs(db) < 0.005 ? 0.0 : db); };
  return AlignedText(Cells(table, level), std::vector<bool>(table.Header.size(), true));
}

}  // namespace veyra::ctl
