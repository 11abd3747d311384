#include "data_table.hpp"

#include <type_traits>

#include "state/device_text.hpp"
#include "state/models.hpp"
#include "state/scales.hpp"
#include "state/text_format.hpp"

namespace veyra {

namespace {

inline constexpr int kTableBands = 6;  // the table lists the first six EQ bands

std::string BandWidthText(const EqBand& band) {
  switch (static_cast<EqType>(band.Type)) {
    case EqType::Peaking:
      return WidthTableText(band.Width);
    case EqType::LowShelf:
    case EqType::HighShelf:
      return ShelfSlopeTableText(band.ShelfSlope);
  }
  return {};
}

// Appends rows to the table: a caption, then one cell per input and one per
// output. A side given as nullptr has no value for this row (empty cells).
class RowWriter {
 public:
  RowWriter(DataTable& table, std::span<const InputChannel> inputs, std::span<const OutputChannel> outputs)
      : table_(table), inputs_(inputs), outputs_(outputs) {}

  template <class InputCell, class OutputCell>
  void Row(std::string caption, InputCell inputCell, OutputCell outputCell) {
    std::vector<std::string>& row = table_.Rows.emplace_back();
    row.reserve(1 + inputs_.size() + outputs_.size());
    row.push_back(std::move(caption));
    Cells(row, inputs_, inputCell);
    Cells(row, outputs_, outputCell);
  }

  // A row with the same rule for inputs and outputs.
  template <class Cell>
  void Both(std::string caption, Cell cell) {
    Row(std::move(caption), cell, cell);
  }

 private:
  template <class Channel, class Cell>
  static void Cells(std::vector<std::string>& row, std::span<const Channel> channels, Cell cell) {
    for (const Channel& channel : channels) {
      if constexpr (std::is_null_pointer_v<Cell>) {
        row.emplace_back();
      } else {
        row.push_back(cell(channel));
      }
    }
  }

  DataTable& table_;
  std::span<const InputChannel> inputs_;
  std::span<const OutputChannel> outputs_;
};

void ChannelRows(RowWriter& rows) {
  rows.Both("Gain", [](const auto& ch) { return GainTableText(ch.Gain); });
  rows.Both("Name", [](const auto& ch) { return DecodeField(ch.Name); });
  rows.Both("Pol", [](const auto& ch) { return std::string(ch.Polarity != 0 ? "Pol -" : "Pol +"); });
  // Only the low 16 bits of an output's delay word reach the device.
  rows.Both("Delay", [](const auto& ch) { return DelayText(static_cast<uint16_t>(ch.Delay)); });
  rows.Row("Thesh", nullptr, [](const OutputChannel& ch) { return ThresholdTableText(ch.Threshold); });
  rows.Row("Attk", nullptr, [](const OutputChannel& ch) { return AttackText(ch.Attack); });
  rows.Row("Rels", nullptr, [](const OutputChannel& ch) { return LimiterReleaseTableText(ch.Release); });
  rows.Both("Ratio", [](const auto&) { return std::string("--"); });
}

void EqRows(RowWriter& rows) {
  for (int b = 0; b < kTableBands; ++b) {
    rows.Both(Format("EQTP %d", b + 1), [b](const auto& ch) { return EqTypeText(ch.Bands[b].Type); });
    rows.Both(Format("EQLV %d", b + 1), [b](const auto& ch) { return GainTableText(ch.Bands[b].Gain); });
    rows.Both(Format("EQFQ %d", b + 1), [b](const auto& ch) { return FrequencyText(ch.Bands[b].Freq); });
    rows.Both(Format("EQW  %d", b + 1), [b](const auto& ch) { return BandWidthText(ch.Bands[b]); });
  }
}

void CrossoverRows(RowWriter& rows) {
  struct Section {
    const char* suffix;
    int index;
  };
  for (const Section s : {Section{"LO", kLowPass}, Section{"HI", kHighPass}}) {
    const int i = s.index;
    rows.Row(Format("XOVR Ty %s", s.suffix), nullptr,
             [i](const OutputChannel& ch) { return CrossoverTypeText(ch.Crossover[i].CrossoverType); });
    rows.Row(Format("XOVR Frq %s", s.suffix), nullptr,
             [i](const OutputChannel& ch) { return FrequencyText(ch.Crossover[i].Freq); });
    rows.Row(Format("XOVR Slp %s", s.suffix), nullptr,
             [i](const OutputChannel& ch) { return CrossoverSlopeText(ch.Crossover[i].CrossoverSlope); });
  }
}

void RoutingRows(RowWriter& rows, int inputCount) {
  for (int in = 0; in < inputCount; ++in) {
    rows.Row(Format("Src In %d", in + 1), nullptr,
             [in](const OutputChannel& ch) { return std::string(ch.Routing[in] != 0 ? "ON" : "OFF"); });
  }
}

}  // namespace

DataTable BuildDataTable(const ParameterStore& store, const DataTableOptions& options) {
  DataTable table;
  const ModelInfo* model = FindModel(options.Model != 0 ? options.Model : store.CurrentModel);
  if (!model || options.Source < kLiveSource || options.Source > kPresetCount) return table;
  table.InputCount = model->InputCount;
  table.OutputCount = model->OutputCount;

  const bool live = options.Source == kLiveSource;
  const std::span<const InputChannel> inputs =
      std::span(live ? store.Inputs : store.Presets[options.Source].Inputs).first(table.InputCount);
  const std::span<const OutputChannel> outputs =
      std::span(live ? store.Outputs : store.Presets[options.Source].Outputs).first(table.OutputCount);

  const std::span<const InputChannel> headerInputs =
      options.HeaderInputs.size() >= inputs.size() ? options.HeaderInputs : inputs;
  table.Header.emplace_back();
  for (int in = 0; in < table.InputCount; ++in) table.Header.push_back(DecodeField(headerInputs[in].Name));
  for (int out = 0; out < table.OutputCount; ++out) table.Header.push_back(Format("OUT %d", out + 1));

  RowWriter rows(table, inputs, outputs);
  ChannelRows(rows);
  EqRows(rows);
  CrossoverRows(rows);
  RoutingRows(rows, table.InputCount);
  return table;
}

std::vector<std::string> DataSourceNames(const ParameterStore& store) {
  std::vector<std::string> names{"Default"};
  for (int p = 1; p <= kPresetCount; ++p) names.push_back(DecodeField(store.Presets[p].Name));
  return names;
}

}  // namespace veyra
