// veyractl system on files with known alignments, and on the demo device.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "files/store_files.hpp"
#include "state/scales.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

std::vector<std::string> Split(const std::string& text, char by) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, by)) {
    if (!part.empty() && part.back() == '\r') part.pop_back();
    parts.push_back(part);
  }
  return parts;
}

class VeyractlSystem : public VeyractlTest {
 protected:
  // Input A feeds a low-pass on output 1 and a high-pass on output 2 (24 dB
  // L-R at 1 kHz); output 3 takes A but is muted; output 4 does not take A.
  void SetUp() override {
    InitialiseStore(s);
    ApplyFactoryDefaults(s);
    s.Inputs[0].Mute = 1;
    for (int k = 0; k < 4; ++k) {
      s.Outputs[k].Mute = 1;
      s.Outputs[k].Routing[0] = k < 3 ? 1 : 0;
    }
    s.Outputs[2].Mute = 0;
    s.Outputs[0].Crossover[kLowPass] = {1000, 0, 2};
    s.Outputs[1].Crossover[kHighPass] = {1000, 0, 2};
    ASSERT_TRUE(WriteSettingsFile(s, dir_ / "lr.dat").ok());
    s.Outputs[1].Polarity = 1;
    ASSERT_TRUE(WriteSettingsFile(s, dir_ / "inverted.dat").ok());
    // Two full-range twins, one half a period of 1 kHz later.
    s.Outputs[1].Polarity = 0;
    s.Outputs[0].Crossover[kLowPass] = {30000, 0, 2};
    s.Outputs[1].Crossover[kHighPass] = {10, 0, 2};
    s.Outputs[1].Delay = 24;
    ASSERT_TRUE(WriteSettingsFile(s, dir_ / "delayed.dat").ok());
  }

  // The CSV's rows by column name; checks the shape on the way.
  std::vector<std::vector<double>> Rows(const ToolRun& run, const std::string& header) {
    const std::vector<std::string> lines = Split(run.Out, '\n');
    EXPECT_EQ(lines.size(), 1u + kFrequencyPoints);
    EXPECT_EQ(lines.at(0), header);
    std::vector<std::vector<double>> rows;
    for (size_t i = 1; i < lines.size(); ++i) {
      std::vector<double> row;
      for (const std::string& cell : Split(lines[i], ',')) row.push_back(std::stod(cell));
      rows.push_back(row);
    }
    return rows;
  }
};

TEST_F(VeyractlSystem, CsvSumsTheAlignmentsAndNamesTheAbsentPaths) {
  const std::string header = "freq,out1_db,out1_deg,out2_db,out2_deg,sum_db,sum_deg";
  const ToolRun lr = Run({"system", Path("lr.dat"), "--input", "A", "--csv", "--model", "orvane"});
  ASSERT_EQ(lr.Exit, 0) << lr.Err;
  EXPECT_NE(lr.Err.find("output 3 left out: muted"), std::string::npos) << lr.Err;
  EXPECT_NE(lr.Err.find("output 4 left out: not routed from input A"), std::string::npos) << lr.Err;
  const auto rows = Rows(lr, header);
  for (int i = 0; i < kFrequencyPoints; ++i) {
    ASSERT_EQ(rows[i][0], FrequencyTable[i]);
    for (int c : {2, 4, 6}) {
      ASSERT_GT(rows[i][c], -180.0);
      ASSERT_LE(rows[i][c], 180.0);
    }
    if (FrequencyTable[i] >= 20 && FrequencyTable[i] <= 20000) {
      EXPECT_NEAR(rows[i][5], 0.0, 0.1) << rows[i][0];
    }
  }
  EXPECT_NEAR(rows[150][1], -6.0, 0.2);  // the low-pass at its corner

  const ToolRun inverted = Run({"system", Path("inverted.dat"), "--input", "a", "--csv"});
  ASSERT_EQ(inverted.Exit, 0) << inverted.Err;
  EXPECT_LT(Rows(inverted, header)[150][5], -40.0);

  const ToolRun delayed = Run({"system", Path("delayed.dat"), "--input", "A", "--csv"});
  ASSERT_EQ(delayed.Exit, 0) << delayed.Err;
  const auto d = Rows(delayed, header);
  EXPECT_LT(d[150][5], -100.0);
  // 0.5 ms at 1 kHz is half a turn behind: -180 is written +180.
  EXPECT_NEAR(std::abs(d[150][4]), 180.0, 1e-6);
  EXPECT_NEAR(d[174][5], 20 * std::log10(2.0), 1e-6);  // in phase again at 2 kHz

  // --outputs narrows the columns; an absent one is still named.
  const ToolRun only = Run({"system", Path("lr.dat"), "--input", "A", "--outputs", "2,3", "--csv"});
  ASSERT_EQ(only.Exit, 0) << only.Err;
  Rows(only, "freq,out2_db,out2_deg,sum_db,sum_deg");
  EXPECT_NE(only.Err.find("output 3"), std::string::npos);
  EXPECT_EQ(only.Err.find("output 4"), std::string::npos);
}

TEST_F(VeyractlSystem, TextTableRefusalsAndTheDevice) {
  const ToolRun text = Run({"system", Path("lr.dat"), "--input", "A"});
  ASSERT_EQ(text.Exit, 0) << text.Err;
  EXPECT_NE(text.Out.find("Sum dB"), std::string::npos);
  EXPECT_NE(text.Out.find("OUT 2 dB"), std::string::npos);

  struct Refusal {
    std::vector<std::string> Args;
    int Exit;
    const char* Says;
  } const refusals[] = {
      {{"system", Path("lr.dat"), "--input", "D", "--model", "sistel"}, 2, "inputs A..B"},
      {{"system", Path("lr.dat"), "--input", "A", "--outputs", "6", "--model", "sistel"}, 2, "outputs 1..4"},
      {{"system", "--input", "A"}, 2, "--device"},
      {{"system", Path("lr.dat"), "--input", "A", "--outputs", "4"}, 1, "reaches none"},
  };
  for (const Refusal& r : refusals) {
    const ToolRun run = Run(r.Args);
    EXPECT_EQ(run.Exit, r.Exit) << r.Says;
    EXPECT_NE(run.Err.find(r.Says), std::string::npos) << run.Err;
  }
  EXPECT_EQ(Run("sim:orvane,fast", {"system", Path("lr.dat"), "--input", "A"}).Exit, 2);

  // The demo device's live settings: every column pair a present output.
  const ToolRun live = Run("sim:orvane,fast", {"system", "--input", "A", "--csv"});
  ASSERT_EQ(live.Exit, 0) << live.Err;
  const std::vector<std::string> lines = Split(live.Out, '\n');
  ASSERT_EQ(lines.size(), 1u + kFrequencyPoints);
  EXPECT_EQ(lines[0].rfind("freq,out", 0), 0u) << lines[0];
  EXPECT_EQ(lines[0].substr(lines[0].size() - 15), ",sum_db,sum_deg") << lines[0];
}

}  // namespace
}  // namespace veyra::testing
