// show, export and response run as the operator runs them, on files written
// from a store with known values; and the command line's usage errors (of
// CLI11's own refusals, one stands for all).
#include <gtest/gtest.h>

#include <algorithm>

#include "file_commands.hpp"
#include "files/export.hpp"
#include "files/store_files.hpp"
#include "response_table.hpp"
#include "state/device_text.hpp"
#include "state/scales.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

class VeyractlFiles : public VeyractlTest {
 protected:
  void SetUp() override {
    InitialiseStore(s);
    SetFieldBytes(s.Inputs[0].Name, "Kick");
    s.Inputs[0].Bands[0] = {1000, 720, 50, 0, 0, 0, 0};  // +12 dB peak at 1000 Hz
    SetFieldBytes(s.Outputs[0].Name, "L,R \"x\"");       // needs quoting
    s.Outputs[0].Crossover[kHighPass] = {1000, 0, 2};    // 24 dB L-R high-pass at 1000 Hz
    s.Outputs[1].Crossover[kHighPass] = {1000, 2, 2};    // Butterworth
    ASSERT_TRUE(WriteSettingsFile(s, dir_ / "live.dat").ok());
    // The initialised programs hold zeros; give two of them the live records.
    for (int p : {3, 5}) {
      std::copy(std::begin(s.Inputs), std::end(s.Inputs), s.Presets[p].Inputs);
      std::copy(std::begin(s.Outputs), std::end(s.Outputs), s.Presets[p].Outputs);
    }
    SetFieldBytes(s.Presets[5].Inputs[0].Name, "Sub");
    s.Presets[5].Outputs[3].Gain = 500;
    ASSERT_TRUE(WriteBankFile(s, dir_ / "bank.dama").ok());
    SetFieldBytes(s.Presets[3].Inputs[2].Name, "Vox");
    ASSERT_TRUE(WritePresetFile(s, 3, dir_ / "three.preset").ok());
  }
};

TEST_F(VeyractlFiles, ShowPrintsTheTableOfTheChosenSourceAndModel) {
  struct Case {
    std::vector<std::string> args;
    DataTableOptions table;
  };
  const std::vector<Case> cases{
      {{"show", Path("live.dat"), "--csv"}, {.Model = 3}},
      {{"show", Path("live.dat"), "--csv", "--model", "sistel"}, {.Model = 1}},
      {{"show", Path("bank.dama"), "--csv", "--program", "5"}, {.Source = 5, .Model = 3}},
      {{"show", Path("bank.dama"), "--csv"}, {.Source = 1, .Model = 3}},
      {{"show", Path("three.preset"), "--csv"}, {.Source = 3, .Model = 3}},
  };
  for (const Case& c : cases) {
    const ToolRun run = Run(c.args);
    ASSERT_EQ(run.Exit, 0) << c.args[1] << run.Err;
    EXPECT_EQ(run.Out, ctl::DataTableCsv(BuildDataTable(s, c.table))) << c.args[1] << " " << c.args.back();
  }
  EXPECT_EQ(Run({"show", Path("live.dat"), "--csv"}).Out.substr(0, 23), ",Kick,IN B,IN C,IN D,OU");

  const ToolRun text = Run({"show", Path("live.dat")});
  ASSERT_EQ(text.Exit, 0) << text.Err;
  EXPECT_NE(text.Out.find("Kick"), std::string::npos);
  EXPECT_NE(text.Out.find("12.0dB"), std::string::npos);
}

TEST_F(VeyractlFiles, ExportWritesTheTable) {
  ASSERT_EQ(Run({"export", Path("live.dat"), Path("out.csv")}).Exit, 0);
  EXPECT_EQ(Slurp(dir_ / "out.csv"), CsvText(BuildDataTable(s, {.Model = 3})));
  const ToolRun xlsx = Run({"export", Path("bank.dama"), Path("out.xlsx"), "--program", "5"});
  ASSERT_EQ(xlsx.Exit, 0) << xlsx.Err;
  EXPECT_EQ(Slurp(dir_ / "out.xlsx").substr(0, 2), "PK");  // a zip container
  const ToolRun failed = Run({"export", Path("live.dat"), Path("missing/out.csv")});
  EXPECT_EQ(failed.Exit, 1);
  EXPECT_NE(failed.Err.find("Cannot save"), std::string::npos) << failed.Err;
}

TEST_F(VeyractlFiles, ResponseCsvHasTheCurvesValues) {
  const ToolRun in = Run({"response", Path("live.dat"), "--input", "a", "--csv"});
  ASSERT_EQ(in.Exit, 0) << in.Err;
  EXPECT_EQ(in.Out, ctl::ResponseCsv(ctl::BuildResponseTable(s.Inputs[0], 0)));
  EXPECT_EQ(in.Out.substr(0, 42), "freq,band1,band2,band3,band4,band5,band6,s");
  for (const int output : {1, 2}) {
    const ToolRun out = Run({"response", Path("live.dat"), "--output", std::to_string(output), "--csv"});
    ASSERT_EQ(out.Exit, 0) << out.Err;
    const ctl::ResponseTable table = ctl::BuildResponseTable(s.Outputs[output - 1], output - 1);
    EXPECT_EQ(out.Out, ctl::ResponseCsv(table));
    EXPECT_NEAR(table.Rows[150][7], output == 1 ? -6.02 : -3.01, 0.1);  // the high-pass at 1000 Hz
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
      {{"frobnicate"}, "frobnicate"},
      {{"show", Path("live.dat"), "--program", "3"}, ".dama"},
      {{"show", Path("odd.bin")}, ".preset"},
      {{"export", Path("live.dat"), Path("out.txt")}, ".xlsx"},
      {{"push", Path("bank.dama")}, "not a settings file"},
      {{"--device", "bogus:1", "info"}, "bogus"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Run(c.Args);
    const std::string what = c.Args[0] + " " + c.Args.back();
    EXPECT_EQ(run.Exit, 2) << what << "\n" << run.Err;
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << what << "\n" << run.Err;
    EXPECT_NE(run.Err.find("--help"), std::string::npos) << what << "\n" << run.Err;
    EXPECT_EQ(run.Out, "") << what;
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.txt"));
  const ToolRun help = Run({"pull", "--help"});
  EXPECT_EQ(help.Exit, 0);
  EXPECT_NE(help.Out.find("veyractl pull"), std::string::npos);
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
  EXPECT_NE(shortFile.Err.find("100 bytes read, 7362 expected"), std::string::npos) << shortFile.Err;
  EXPECT_EQ(Run({"--quiet", "show", Path("short.dat"), "--csv"}).Err, "");
}

}  // namespace
}  // namespace veyra::testing
