#include "files/data_table.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "state/device_text.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

std::unique_ptr<ParameterStore> InitialisedStore(int model = 1) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  SwitchModel(*store, model);
  return store;
}

// Row captions in table order, for a model with the given number of inputs.
std::vector<std::string> Captions(int inputs) {
  std::vector<std::string> captions{"Gain", "Name", "Pol", "Delay", "Thesh", "Attk", "Rels", "Ratio"};
  for (int b = 1; b <= 6; ++b) {
    for (const char* row : {"EQTP ", "EQLV ", "EQFQ ", "EQW  "}) captions.push_back(row + std::to_string(b));
  }
  for (const char* row :
       {"XOVR Ty LO", "XOVR Frq LO", "XOVR Slp LO", "XOVR Ty HI", "XOVR Frq HI", "XOVR Slp HI"}) {
    captions.push_back(row);
  }
  for (int i = 1; i <= inputs; ++i) captions.push_back("Src In " + std::to_string(i));
  return captions;
}

const std::vector<std::string>& RowOf(const DataTable& table, const std::string& caption) {
  for (const auto& row : table.Rows) {
    if (row[0] == caption) return row;
  }
  static const std::vector<std::string> none;
  ADD_FAILURE() << "no row " << caption;
  return none;
}

TEST(DataTable, ShapeFollowsTheModel) {
  struct Case {
    int model;
    std::vector<std::string> header;
  };
  for (const Case& c :
       {Case{1, {"", "IN A", "IN B", "OUT 1", "OUT 2", "OUT 3", "OUT 4"}},
        Case{2, {"", "IN A", "IN B", "IN C", "OUT 1", "OUT 2", "OUT 3", "OUT 4", "OUT 5", "OUT 6"}},
        Case{3,
             {"", "IN A", "IN B", "IN C", "IN D", "OUT 1", "OUT 2", "OUT 3", "OUT 4", "OUT 5", "OUT 6",
              "OUT 7", "OUT 8"}}}) {
    SCOPED_TRACE(c.model);
    const auto store = InitialisedStore(c.model);
    const int inputs = c.model + 1;
    const DataTable table = BuildDataTable(*store);
    EXPECT_EQ(table.Header, c.header);
    EXPECT_EQ(table.InputCount, inputs);
    std::vector<std::string> captions;
    for (const auto& row : table.Rows) {
      captions.push_back(row[0]);
      EXPECT_EQ(row.size(), c.header.size()) << row[0];
    }
    EXPECT_EQ(captions, Captions(inputs));
    // The model can also be named instead of taken from the store.
    EXPECT_EQ(BuildDataTable(*InitialisedStore(1), {.Model = c.model}).Rows.size(), captions.size());
  }
}

TEST(DataTable, FactoryValues) {
  const auto store = InitialisedStore(1);
  const DataTable table = BuildDataTable(*store);
  using Row = std::vector<std::string>;
  const std::pair<const char*, Row> expected[] = {
      {"Gain", {"Gain", "0.0dB", "0.0dB", "0.0dB", "0.0dB", "0.0dB", "0.0dB"}},
      {"Name", {"Name", "IN A", "IN B", "OUT 1", "OUT 2", "OUT 3", "OUT 4"}},
      {"Pol", {"Pol", "Pol +", "Pol +", "Pol +", "Pol +", "Pol +", "Pol +"}},
      {"Delay", {"Delay", "0.000ms", "0.000ms", "0.000ms", "0.000ms", "0.000ms", "0.000ms"}},
      {"Thesh", {"Thesh", "", "", "0.0dB", "0.0dB", "0.0dB", "0.0dB"}},
      {"Attk", {"Attk", "", "", "0.3ms", "0.3ms", "0.3ms", "0.3ms"}},
      {"Rels", {"Rels", "", "", "X2", "X2", "X2", "X2"}},
      {"Ratio", {"Ratio", "--", "--", "--", "--", "--", "--"}},
      {"EQTP 1", {"EQTP 1", "PEQ", "PEQ", "PEQ", "PEQ", "PEQ", "PEQ"}},
      {"EQFQ 1", {"EQFQ 1", "200Hz", "200Hz", "80Hz", "80Hz", "80Hz", "80Hz"}},
      {"EQFQ 6", {"EQFQ 6", "8000Hz", "8000Hz", "2000Hz", "2000Hz", "2000Hz", "2000Hz"}},
      {"EQW  3", {"EQW  3", "0.30oct", "0.30oct", "0.30oct", "0.30oct", "0.30oct", "0.30oct"}},
      {"XOVR Ty LO", {"XOVR Ty LO", "", "", "BUTT", "BUTT", "BUTT", "BUTT"}},
      {"XOVR Frq LO", {"XOVR Frq LO", "", "", "30000Hz", "30000Hz", "30000Hz", "30000Hz"}},
      {"XOVR Slp HI", {"XOVR Slp HI", "", "", "12dB", "12dB", "12dB", "12dB"}},
      {"XOVR Frq HI", {"XOVR Frq HI", "", "", "10Hz", "10Hz", "10Hz", "10Hz"}},
      {"Src In 2", {"Src In 2", "", "", "OFF", "OFF", "OFF", "OFF"}},
  };
  for (const auto& [caption, row] : expected) EXPECT_EQ(RowOf(table, caption), row);
}

// One change to input 1 or output 1 of the live records, and the cell it shows.
TEST(DataTable, CellTexts) {
  struct Case {
    const char* caption;
    std::function<void(InputChannel&, OutputChannel&)> change;
    const char* input;
    const char* output;
  };
  const Case cases[] = {
      {"Gain",
       [](InputChannel& in, OutputChannel& out) {
         in.Gain = 601;
         out.Gain = 0;
       },
       "0.1dB", "-60.0dB"},
      {"Pol", [](InputChannel& in, OutputChannel&) { in.Polarity = 7; }, "Pol -", "Pol +"},
      {"Delay",
       [](InputChannel& in, OutputChannel& out) {
         in.Delay = 480;
         out.Delay = 481;
       },
       "10.000ms", "11ms"},
      {"Delay", [](InputChannel&, OutputChannel& out) { out.Delay = 0x10030; }, "0.000ms", "1.000ms"},
      {"Thesh",
       [](InputChannel& in, OutputChannel& out) {
         in.Threshold = 0;
         out.Threshold = 0;
       },
       "", "-30.0dB"},
      {"Thesh", [](InputChannel&, OutputChannel& out) { out.Threshold = 500; }, "", "20.0dB"},
      {"Thesh", [](InputChannel&, OutputChannel& out) { out.Threshold = 255; }, "", "-4.5dB"},
      {"Attk", [](InputChannel&, OutputChannel& out) { out.Attack = 6; }, "", "0.9ms"},
      {"Attk", [](InputChannel&, OutputChannel& out) { out.Attack = 7; }, "", "1ms"},
      {"Attk", [](InputChannel&, OutputChannel& out) { out.Attack = 106; }, "", "100ms"},
      {"Rels", [](InputChannel&, OutputChannel& out) { out.Release = 4; }, "", "X16"},
      {"Rels", [](InputChannel&, OutputChannel& out) { out.Release = 5; }, "", "X32"},
      {"Rels", [](InputChannel&, OutputChannel& out) { out.Release = 6; }, "", ""},
      {"Ratio",
       [](InputChannel& in, OutputChannel& out) {
         in.Ratio = 3;
         out.Ratio = 3;
       },
       "--", "--"},
      {"EQTP 2",
       [](InputChannel& in, OutputChannel& out) {
         in.Bands[1].Type = 1;
         out.Bands[1].Type = 2;
       },
       "LSHLF", "HSHLF"},
      {"EQTP 2", [](InputChannel& in, OutputChannel&) { in.Bands[1].Type = 3; }, "", "PEQ"},
      {"EQW  2",
       [](InputChannel& in, OutputChannel& out) {
         in.Bands[1].Type = 1;
         out.Bands[1].Type = 2;
         out.Bands[1].ShelfSlope = 1;
       },
       "6oct", "12oct"},
      {"EQW  2",
       [](InputChannel& in, OutputChannel& out) {
         in.Bands[1].Type = 3;
         out.Bands[1].Width = 295;
       },
       "", "3.00oct"},
      {"EQW  2",
       [](InputChannel& in, OutputChannel&) {
         in.Bands[1].Type = 2;
         in.Bands[1].ShelfSlope = 2;
       },
       "", "0.30oct"},
      {"EQLV 6",
       [](InputChannel& in, OutputChannel& out) {
         in.Bands[5].Gain = 750;
         out.Bands[5].Gain = 300;
       },
       "15.0dB", "-30.0dB"},
      {"EQFQ 6", [](InputChannel& in, OutputChannel&) { in.Bands[5].Freq = 30000; }, "30000Hz", "2000Hz"},
      {"XOVR Ty HI", [](InputChannel&, OutputChannel& out) { out.Crossover[kHighPass].CrossoverType = 0; },
       "", "L-R"},
      {"XOVR Ty LO", [](InputChannel&, OutputChannel& out) { out.Crossover[kLowPass].CrossoverType = 1; }, "",
       "BESL"},
      {"XOVR Ty LO", [](InputChannel&, OutputChannel& out) { out.Crossover[kLowPass].CrossoverType = 3; }, "",
       ""},
      {"XOVR Slp LO", [](InputChannel&, OutputChannel& out) { out.Crossover[kLowPass].CrossoverSlope = 6; },
       "", "48dB"},
      {"XOVR Slp HI", [](InputChannel&, OutputChannel& out) { out.Crossover[kHighPass].CrossoverSlope = 7; },
       "", ""},
      {"XOVR Frq HI", [](InputChannel&, OutputChannel& out) { out.Crossover[kHighPass].Freq = 125; }, "",
       "125Hz"},
      {"XOVR Frq LO", [](InputChannel&, OutputChannel& out) { out.Crossover[kHighPass].Freq = 125; }, "",
       "30000Hz"},
      {"Src In 2", [](InputChannel&, OutputChannel& out) { out.Routing[1] = 1; }, "", "ON"},
      {"Src In 1", [](InputChannel&, OutputChannel& out) { out.Routing[1] = 1; }, "", "OFF"},
  };
  for (const Case& c : cases) {
    auto store = InitialisedStore(1);
    c.change(store->Inputs[0], store->Outputs[0]);
    const DataTable table = BuildDataTable(*store);
    const auto& row = RowOf(table, c.caption);
    ASSERT_EQ(row.size(), 7u);
    EXPECT_EQ(row[1], c.input) << c.caption;
    EXPECT_EQ(row[3], c.output) << c.caption;
  }
}

TEST(DataTable, ProgramsAndNames) {
  auto store = InitialisedStore(1);
  ASSERT_TRUE(SetFieldBytes(store->Inputs[1].Name, "Kick"));
  const EncodedDeviceText bass = EncodeDeviceText("低音", kNameBytes);
  ASSERT_TRUE(bass.ok());
  ASSERT_TRUE(SetFieldBytes(store->Inputs[0].Name, bass.Bytes));
  store->Presets[4].Inputs[0] = store->Inputs[1];
  store->Presets[4].Outputs[3] = store->Outputs[0];
  store->Presets[4].Outputs[3].Gain = 700;
  ASSERT_TRUE(SetFieldBytes(store->Presets[4].Name, ""));

  const DataTable live = BuildDataTable(*store);
  EXPECT_EQ(live.Header[1], "低音");
  EXPECT_EQ(live.Header[2], "Kick");
  EXPECT_EQ(RowOf(live, "Name")[2], "Kick");

  // A program's table heads its columns with the names it is given.
  const DataTable own = BuildDataTable(*store, {.Source = 4});
  EXPECT_EQ(own.Header[1], "Kick");
  EXPECT_EQ(RowOf(own, "Name")[4], "");  // program 4's never-read output 2
  EXPECT_EQ(RowOf(own, "Gain")[6], "10.0dB");
  EXPECT_EQ(RowOf(own, "Name")[6], "OUT 1");
  const DataTable headed = BuildDataTable(*store, {.Source = 4, .HeaderInputs = store->Inputs});
  EXPECT_EQ(headed.Header[1], "低音");
  EXPECT_EQ(RowOf(headed, "Name")[1], "Kick");
  EXPECT_EQ(headed.Rows, own.Rows);

  const auto sources = DataSourceNames(*store);
  ASSERT_EQ(sources.size(), 31u);
  EXPECT_EQ(sources[0], "Default");
  EXPECT_EQ(sources[1], "Preset 1");
  EXPECT_EQ(sources[4], "");  // an empty name is still an entry
  EXPECT_EQ(sources[30], "Preset 30");
}

TEST(DataTable, RatioIsDashesForEverySourceAndUnknownSourcesAreEmpty) {
  auto store = InitialisedStore(3);
  for (int p = 1; p <= kPresetCount; ++p) store->Presets[p].Outputs[p % 8].Ratio = static_cast<uint16_t>(p);
  for (int source = 0; source <= kPresetCount; ++source) {
    const DataTable table = BuildDataTable(*store, {.Source = source});
    std::vector<std::string> expected(13, "--");
    expected[0] = "Ratio";
    EXPECT_EQ(RowOf(table, "Ratio"), expected) << source;
  }
  for (const DataTableOptions options :
       {DataTableOptions{.Source = -1}, DataTableOptions{.Source = 31}, DataTableOptions{.Model = 4}}) {
    const DataTable table = BuildDataTable(*store, options);
    EXPECT_TRUE(table.Header.empty());
    EXPECT_TRUE(table.Rows.empty());
  }
}

TEST(DynamicsScales, TextsAndValues) {
  EXPECT_DOUBLE_EQ(DynamicsThresholdDb(300), 0);
  EXPECT_EQ(ThresholdTableText(301), "0.1dB");
  EXPECT_EQ(ThresholdTableText(1), "-29.9dB");
  EXPECT_DOUBLE_EQ(AttackMs(0), 0.3);
  EXPECT_DOUBLE_EQ(AttackMs(206), 200);
  EXPECT_EQ(AttackText(0), "0.3ms");
  EXPECT_EQ(AttackText(206), "200ms");
  const int multiples[] = {2, 4, 6, 8, 16, 32};
  for (int code = 0; code <= kLimiterReleaseMax; ++code)
    EXPECT_EQ(LimiterReleaseMultiple(code), multiples[code]);
  EXPECT_EQ(LimiterReleaseMultiple(-1), 0);
  EXPECT_EQ(LimiterReleaseTableText(-1), "");
  EXPECT_EQ(GainTableText(750), "15.0dB");
  EXPECT_EQ(GainTableText(599), "-0.1dB");
  EXPECT_EQ(FrequencyText(1000), "1000Hz");
}

}  // namespace
}  // namespace veyra
