// show, export and response run as the operator runs them, on files written
// from a store with known values; and the command line's usage errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/files/test_files.hpp"
#include "csv_reader.hpp"
#include "files/store_files.hpp"
#include "response_table.hpp"
#include "state/device_text.hpp"
#include "state/scales.hpp"
#include "tool_process.hpp"

namespace veyra::testing {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  const std::vector<std::byte> bytes = ReadAll(path);
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

class VeyractlFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    store_ = std::make_unique<ParameterStore>();
    InitialiseStore(*store_);
    ParameterStore& s = *store_;
    SetFieldBytes(s.Inputs[0].Name, "Kick");
    s.Inputs[0].Gain = 720;  // +12 dB
    s.Inputs[1].Polarity = 1;
    SetFieldBytes(s.Outputs[0].Name, "L,R \"x\"");  // needs quoting
    s.Outputs[0].Routing[1] = 1;
    s.Outputs[2].Delay = 48;  // 1 ms
    // Input A band 1: +12 dB peak at 1000 Hz; output 1: 24 dB L-R high-pass at 1000 Hz.
    s.Inputs[0].Bands[0] = {1000, 720, 50, 0, 0, 0, 0};
    s.Outputs[0].Crossover[kHighPass] = {1000, 0, 2};
    s.Outputs[1].Crossover[kHighPass] = {1000, 2, 2};  // Butterworth
    ASSERT_TRUE(WriteSettingsFile(s, dir_ / "live.dat").ok());

    // The initialised programs hold zeros; give two of them the live records.
    for (int p : {3, 5}) {
      std::copy(std::begin(s.Inputs), std::end(s.Inputs), s.Presets[p].Inputs);
      std::copy(std::begin(s.Outputs), std::end(s.Outputs), s.Presets[p].Outputs);
    }
    SetFieldBytes(s.Presets[5].Inputs[0].Name, "Sub");
    s.Presets[5].Outputs[3].Gain = 500;  // -10 dB
    ASSERT_TRUE(WriteBankFile(s, dir_ / "bank.dama").ok());
    SetFieldBytes(s.Presets[3].Inputs[2].Name, "Vox");
    ASSERT_TRUE(WritePresetFile(s, 3, dir_ / "three.preset").ok());
  }

  ToolRun Run(const std::vector<std::string>& args) { return RunVeyractl(args, dir_ / ""); }
  std::string Path(const char* name) { return (dir_ / name).string(); }

  ScratchDir dir_;
  std::unique_ptr<ParameterStore> store_;
};

TEST_F(VeyractlFiles, ShowCsvHoldsTheTableTexts) {
  const ToolRun run = Run({"show", Path("live.dat"), "--csv"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  const CsvGrid grid = ParseCsv(run.Out);
  ASSERT_FALSE(grid.empty()) << run.Out;
  const std::vector<std::string> header{"",      "Kick",  "IN B",  "IN C",  "IN D",  "OUT 1", "OUT 2",
                                        "OUT 3", "OUT 4", "OUT 5", "OUT 6", "OUT 7", "OUT 8"};
  EXPECT_EQ(grid[0], header);
  EXPECT_EQ(Cell(grid, "Gain", "Kick"), "12.0dB");
  EXPECT_EQ(Cell(grid, "Gain", "OUT 8"), "0.0dB");
  EXPECT_EQ(Cell(grid, "Pol", "IN B"), "Pol -");
  EXPECT_EQ(Cell(grid, "Pol", "IN C"), "Pol +");
  EXPECT_EQ(Cell(grid, "Name", "OUT 1"), "L,R \"x\"");
  EXPECT_EQ(Cell(grid, "Delay", "OUT 3"), "1.000ms");
  EXPECT_EQ(Cell(grid, "Thesh", "Kick"), "");
  EXPECT_EQ(Cell(grid, "EQFQ 1", "Kick"), "1000Hz");
  EXPECT_EQ(Cell(grid, "XOVR Frq HI", "OUT 1"), "1000Hz");
  EXPECT_EQ(Cell(grid, "Src In 2", "OUT 1"), "ON");
  EXPECT_EQ(Cell(grid, "Src In 1", "OUT 1"), "OFF");
  for (size_t c = 1; c < header.size(); ++c) EXPECT_EQ(Cell(grid, "Ratio", header[c]), "--");
  for (const auto& row : grid) EXPECT_EQ(row.size(), header.size());
  EXPECT_EQ(Cell(grid, "Src In 4", "OUT 1"), "OFF");
  EXPECT_EQ(Cell(grid, "Src In 5", "OUT 1"), "<no row Src In 5>");
}

TEST_F(VeyractlFiles, ShowPicksSourceAndModel) {
  struct Case {
    std::vector<std::string> Args;
    std::vector<std::string> FirstColumns;  // header cells 1.. as far as given
    size_t Columns;
    std::string Caption, Column, Value;
  };
  const std::vector<Case> cases{
      {{"show", Path("live.dat"), "--csv", "--model", "sistel"},
       {"Kick", "IN B", "OUT 1"},
       7,
       "Src In 2",
       "OUT 4",
       "OFF"},
      {{"show", Path("live.dat"), "--csv", "--model", "MERIAL"},
       {"Kick", "IN B", "IN C", "OUT 1"},
       10,
       "Gain",
       "OUT 6",
       "0.0dB"},
      {{"show", Path("bank.dama"), "--csv", "--program", "5"},
       {"Sub", "IN B"},
       13,
       "Gain",
       "OUT 4",
       "-10.0dB"},
      {{"show", Path("bank.dama"), "--csv"}, {"", ""}, 13, "Gain", "OUT 4", "-60.0dB"},  // program 1: zeros
      {{"show", Path("three.preset"), "--csv"}, {"Kick", "IN B", "Vox"}, 13, "Gain", "Kick", "12.0dB"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Run(c.Args);
    ASSERT_EQ(run.Exit, 0) << c.Args[1] << run.Err;
    const CsvGrid grid = ParseCsv(run.Out);
    ASSERT_FALSE(grid.empty());
    EXPECT_EQ(grid[0].size(), c.Columns) << c.Args[1];
    for (size_t i = 0; i < c.FirstColumns.size(); ++i) EXPECT_EQ(grid[0][i + 1], c.FirstColumns[i]);
    EXPECT_EQ(Cell(grid, c.Caption, c.Column), c.Value) << c.Args[1];
  }
}

TEST_F(VeyractlFiles, ShowTextAndExportCarryTheSameCells) {
  const ToolRun text = Run({"show", Path("live.dat")});
  ASSERT_EQ(text.Exit, 0) << text.Err;
  EXPECT_NE(text.Out.find("Kick"), std::string::npos);
  EXPECT_NE(text.Out.find("12.0dB"), std::string::npos);

  const ToolRun csv = Run({"export", Path("live.dat"), Path("out.csv")});
  ASSERT_EQ(csv.Exit, 0) << csv.Err;
  const CsvGrid exported = ParseCsv(ReadText(dir_ / "out.csv"));
  CsvGrid shown = ParseCsv(Run({"show", Path("live.dat"), "--csv"}).Out);
  ASSERT_FALSE(shown.empty());
  shown[0][0] = "Channle";  // the export's corner text
  EXPECT_EQ(exported, shown);

  const ToolRun xlsx = Run({"export", Path("bank.dama"), Path("out.xlsx"), "--program", "5"});
  ASSERT_EQ(xlsx.Exit, 0) << xlsx.Err;
  EXPECT_EQ(ReadText(dir_ / "out.xlsx").substr(0, 2), "PK");  // a zip container

  const ToolRun failed = Run({"export", Path("live.dat"), Path("missing/out.csv")});
  EXPECT_EQ(failed.Exit, 1);
  EXPECT_NE(failed.Err.find("Cannot save"), std::string::npos) << failed.Err;
}

TEST_F(VeyractlFiles, ResponseCsvHasTheCurvesValues) {
  const ToolRun in = Run({"response", Path("live.dat"), "--input", "a", "--csv"});
  ASSERT_EQ(in.Exit, 0) << in.Err;
  const CsvGrid inGrid = ParseCsv(in.Out);
  ASSERT_EQ(inGrid.size(), 1u + kFrequencyPoints);
  EXPECT_EQ(inGrid[0],
            (std::vector<std::string>{"freq", "band1", "band2", "band3", "band4", "band5", "band6", "sum"}));
  EXPECT_EQ(inGrid[1 + 150][0], "1000");  // the grid frequency as %g
  EXPECT_NEAR(std::strtod(inGrid[1 + 150][1].c_str(), nullptr), 12.0, 1e-9);
  EXPECT_EQ(inGrid[1 + 150][2], "0");  // a band at 0 dB is flat

  // The printed levels read back to exactly the computed ones.
  const ctl::ResponseTable direct = ctl::BuildResponseTable(store_->Inputs[0], 0);
  for (int i = 0; i < kFrequencyPoints; ++i) {
    for (size_t c = 1; c < inGrid[0].size(); ++c) {
      ASSERT_EQ(std::strtod(inGrid[1 + i][c].c_str(), nullptr), direct.Rows[i][c]) << i << "," << c;
    }
  }

  struct Case {
    std::string Output;
    double HighPassAt1k;
  };
  for (const Case& c : {Case{"1", -6.02}, Case{"2", -3.01}}) {
    const ToolRun out = Run({"response", Path("live.dat"), "--output", c.Output, "--csv"});
    ASSERT_EQ(out.Exit, 0) << out.Err;
    const CsvGrid grid = ParseCsv(out.Out);
    ASSERT_EQ(grid.size(), 1u + kFrequencyPoints);
    EXPECT_EQ(grid[0].size(), 10u);
    EXPECT_EQ(grid[0][7], "hp");
    EXPECT_EQ(grid[0][8], "lp");
    EXPECT_NEAR(std::strtod(grid[1 + 150][7].c_str(), nullptr), c.HighPassAt1k, 0.1) << c.Output;
    EXPECT_EQ(grid[1 + 150][8], "0");  // low-pass at 30000 Hz is flat
    EXPECT_EQ(grid[1 + 150][9], grid[1 + 150][7]);
  }

  const ToolRun text = Run({"response", Path("bank.dama"), "--output", "8", "--program", "30"});
  ASSERT_EQ(text.Exit, 0) << text.Err;
  EXPECT_EQ(std::count(text.Out.begin(), text.Out.end(), '\n'), 1 + kFrequencyPoints);
}

TEST_F(VeyractlFiles, UsageErrorsExitWithTwoAndSayWhy) {
  WriteAll(dir_ / "odd.bin", std::vector<std::byte>(100));
  struct Case {
    std::vector<std::string> Args;
    std::string Says;
  };
  const std::vector<Case> cases{
      {{}, "subcommand"},
      {{"frobnicate"}, "frobnicate"},
      {{"recall", "31"}, "31"},
      {{"recall"}, "N"},
      {{"pull"}, "--settings"},
      {{"show", Path("live.dat"), "--model", "yamaha"}, "yamaha"},
      {{"show", Path("live.dat"), "--program", "3"}, ".dama"},
      {{"show", Path("bank.dama"), "--program", "0"}, "0"},
      {{"show", Path("odd.bin")}, ".preset"},
      {{"response", Path("live.dat")}, "--input"},
      {{"response", Path("live.dat"), "--input", "A", "--output", "1"}, "--output"},
      {{"response", Path("live.dat"), "--input", "Z"}, "Z"},
      {{"response", Path("live.dat"), "--output", "9"}, "9"},
      {{"export", Path("live.dat"), Path("out.txt")}, ".xlsx"},
      {{"push", Path("bank.dama")}, "not a settings file"},
      {{"restore", Path("live.dat")}, "not a bank file"},
      {{"--device", "bogus:1", "info"}, "bogus"},
      {{"--device", "sim:yamaha", "info"}, "yamaha"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Run(c.Args);
    const std::string what = c.Args.empty() ? "(none)" : c.Args[0] + " " + c.Args.back();
    EXPECT_EQ(run.Exit, 2) << what << "\n" << run.Err;
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << what << "\n" << run.Err;
    EXPECT_NE(run.Err.find("--help"), std::string::npos) << what << "\n" << run.Err;
    EXPECT_EQ(run.Out, "") << what;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.txt"));
}

TEST_F(VeyractlFiles, FileFailuresExitWithOne) {
  WriteAll(dir_ / "short.dat", std::vector<std::byte>(100));
  const ToolRun missing = Run({"show", Path("nothing.dat")});
  EXPECT_EQ(missing.Exit, 1);
  EXPECT_NE(missing.Err.find("Cannot open"), std::string::npos) << missing.Err;
  EXPECT_EQ(missing.Out, "");
  // A short file loads as the program loads it, with a note.
  const ToolRun shortFile = Run({"show", Path("short.dat"), "--csv"});
  EXPECT_EQ(shortFile.Exit, 0);
  EXPECT_NE(shortFile.Err.find("Only 100 of 7362 bytes"), std::string::npos) << shortFile.Err;
  EXPECT_EQ(Run({"--quiet", "show", Path("short.dat"), "--csv"}).Err, "");
}

TEST_F(VeyractlFiles, EveryCommandHasHelp) {
  for (const char* command :
       {"info", "pull", "push", "backup", "restore", "recall", "reset", "show", "export", "response"}) {
    const ToolRun run = Run({command, "--help"});
    EXPECT_EQ(run.Exit, 0) << command;
    EXPECT_NE(run.Out.find(std::string("veyractl ") + command), std::string::npos) << run.Out;
  }
  const ToolRun top = Run({"--help"});
  EXPECT_EQ(top.Exit, 0);
  EXPECT_NE(top.Out.find("tcp:HOST:PORT"), std::string::npos);
}

}  // namespace
}  // namespace veyra::testing
