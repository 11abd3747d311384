#include "files/data_table.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "state/device_text.hpp"

namespace veyra {
namespace {

using Row = std::vector<std::string>;

std::unique_ptr<ParameterStore> InitialisedStore(int model = 1) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  SwitchModel(*store, model);
  return store;
}

const Row& RowOf(const DataTable& table, const std::string& caption) {
  for (const auto& row : table.Rows) {
    if (row[0] == caption) return row;
  }
  static const Row none;
  ADD_FAILURE() << "no row " << caption;
  return none;
}

TEST(DataTable, ShapeFollowsTheModel) {
  Row captions{"Gain", "Name", "Pol", "Delay", "Thesh", "Attk", "Rels", "Ratio"};
  for (const char* band : {"1", "2", "3", "4", "5", "6"}) {
    for (const char* row : {"EQTP ", "EQLV ", "EQFQ ", "EQW  "}) captions.push_back(row + std::string(band));
  }
  for (const char* row : {"XOVR Ty LO", "XOVR Frq LO", "XOVR Slp LO", "XOVR Ty HI", "XOVR Frq HI",
                          "XOVR Slp HI", "Src In 1", "Src In 2"}) {
    captions.push_back(row);
  }
  const DataTable sistel = BuildDataTable(*InitialisedStore(1));
  EXPECT_EQ(sistel.Header, (Row{"", "IN A", "IN B", "OUT 1", "OUT 2", "OUT 3", "OUT 4"}));
  Row shown;
  for (const Row& row : sistel.Rows) shown.push_back(row.at(0));
  EXPECT_EQ(shown, captions);

  const DataTable orvane = BuildDataTable(*InitialisedStore(3));
  EXPECT_EQ(orvane.Header.size(), 13u);
  EXPECT_EQ(orvane.Header[4], "IN D");
  EXPECT_EQ(orvane.Header[12], "OUT 8");
  EXPECT_EQ(orvane.Rows.back()[0], "Src In 4");
  for (const Row& row : orvane.Rows) EXPECT_EQ(row.size(), 13u);
  EXPECT_EQ(BuildDataTable(*InitialisedStore(1), {.Model = 2}).Header.size(), 10u);
}

// One change to input 1 or output 1 of the live records and the cells it shows;
// no change shows the values after start-up.
TEST(DataTable, CellTexts) {
  using Change = std::function<void(InputChannel&, OutputChannel&)>;
  const Change none = [](InputChannel&, OutputChannel&) {};
  const struct {
    const char* caption;
    Change change;
    const char* input;
    const char* output;
  } cases[] = {
      {"Gain", [](auto& in, auto& out) { in.Gain = 601, out.Gain = 0; }, "0.1dB", "-60.0dB"},
      {"Name", none, "IN A", "OUT 1"},
      {"Pol", [](auto& in, auto&) { in.Polarity = 7; }, "Pol -", "Pol +"},
      {"Delay", [](auto&, auto& out) { out.Delay = 0x10030; }, "0.000ms", "1.000ms"},
      {"Thesh", [](auto&, auto& out) { out.Threshold = 255; }, "", "-4.5dB"},
      {"Attk", [](auto&, auto& out) { out.Attack = 7; }, "", "1ms"},
      {"Rels", [](auto&, auto& out) { out.Release = 6; }, "", ""},
      {"Ratio", [](auto& in, auto& out) { in.Ratio = 3, out.Ratio = 3; }, "--", "--"},
      {"EQTP 2", [](auto& in, auto&) { in.Bands[1].Type = 3; }, "", "PEQ"},
      {"EQW  2",
       [](auto& in, auto& out) { in.Bands[1].Type = 1, out.Bands[1].Type = 2, out.Bands[1].ShelfSlope = 1; },
       "6oct", "12oct"},
      {"EQW  2", [](auto& in, auto& out) { in.Bands[1].Type = 3, out.Bands[1].Width = 295; }, "", "3.00oct"},
      {"EQLV 6", [](auto& in, auto& out) { in.Bands[5].Gain = 750, out.Bands[5].Gain = 300; }, "15.0dB",
       "-30.0dB"},
      {"EQFQ 6", none, "8000Hz", "2000Hz"},
      {"XOVR Ty HI", [](auto&, auto& out) { out.Crossover[kHighPass].CrossoverType = 0; }, "", "L-R"},
      {"XOVR Frq LO", [](auto&, auto& out) { out.Crossover[kHighPass].Freq = 125; }, "", "30000Hz"},
      {"XOVR Frq HI", [](auto&, auto& out) { out.Crossover[kHighPass].Freq = 125; }, "", "125Hz"},
      {"XOVR Slp LO", [](auto&, auto& out) { out.Crossover[kLowPass].CrossoverSlope = 6; }, "", "48dB"},
      {"XOVR Slp HI", [](auto&, auto& out) { out.Crossover[kHighPass].CrossoverSlope = 7; }, "", ""},
      {"Src In 2", [](auto&, auto& out) { out.Routing[1] = 1; }, "", "ON"},
      {"Src In 1", [](auto&, auto& out) { out.Routing[1] = 1; }, "", "OFF"},
  };
  for (const auto& c : cases) {
    auto store = InitialisedStore(1);
    c.change(store->Inputs[0], store->Outputs[0]);
    const DataTable table = BuildDataTable(*store);
    const Row& row = RowOf(table, c.caption);
    ASSERT_EQ(row.size(), 7u);
    EXPECT_EQ(row[1] + "|" + row[3], std::string(c.input) + "|" + c.output) << c.caption;
  }
}

TEST(DataTable, ProgramsAndNames) {
  auto store = InitialisedStore(1);
  ASSERT_TRUE(SetFieldBytes(store->Inputs[0].Name, EncodeDeviceText("低音", kNameBytes).Bytes));
  ASSERT_TRUE(SetFieldBytes(store->Inputs[1].Name, "Kick"));
  store->Presets[4].Inputs[0] = store->Inputs[1];
  store->Presets[4].Outputs[3].Gain = 700;
  ASSERT_TRUE(SetFieldBytes(store->Presets[4].Name, ""));

  const DataTable live = BuildDataTable(*store);
  EXPECT_EQ(Row(live.Header.begin() + 1, live.Header.begin() + 3), (Row{"低音", "Kick"}));
  EXPECT_EQ(RowOf(live, "Name")[2], "Kick");
  // A program's own names head its table unless the caller gives others.
  const DataTable own = BuildDataTable(*store, {.Source = 4});
  EXPECT_EQ(own.Header[1], "Kick");
  EXPECT_EQ(RowOf(own, "Gain")[6], "10.0dB");
  const DataTable headed = BuildDataTable(*store, {.Source = 4, .HeaderInputs = store->Inputs});
  EXPECT_EQ(headed.Header[1], "低音");
  EXPECT_EQ(headed.Rows, own.Rows);

  const Row sources = DataSourceNames(*store);
  ASSERT_EQ(sources.size(), 31u);
  EXPECT_EQ(sources[0], "Default");
  EXPECT_EQ(sources[4], "");  // an empty name is still an entry
  EXPECT_EQ(sources[30], "Preset 30");
}

TEST(DataTable, RatioIsDashesForEverySourceAndUnknownSourcesAreEmpty) {
  auto store = InitialisedStore(3);
  Row dashes(13, "--");
  dashes[0] = "Ratio";
  for (int source = 0; source <= kPresetCount; ++source) {
    store->Presets[source % kPresetCount + 1].Outputs[source % 8].Ratio = static_cast<uint16_t>(source);
    EXPECT_EQ(RowOf(BuildDataTable(*store, {.Source = source}), "Ratio"), dashes) << source;
  }
  for (const DataTableOptions options : {DataTableOptions{.Source = -1}, {.Source = 31}, {.Model = 4}}) {
    const DataTable table = BuildDataTable(*store, options);
    EXPECT_TRUE(table.Header.empty() && table.Rows.empty());
  }
}

}  // namespace
}  // namespace veyra
