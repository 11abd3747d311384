// import-eq and export-eq as the operator runs them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "files/store_files.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

class VeyractlEq : public VeyractlTest {
 protected:
  void SetUp() override {
    InitialiseStore(s);
    ASSERT_TRUE(WriteSettingsFile(s, dir_ / "live.dat").ok());
  }
};

TEST_F(VeyractlEq, ImportRewritesTheChannelAndExportPrintsIt) {
  const std::string filters = Write("f.txt",
                                    "Filter Settings file\n"
                                    "Filter  1: ON  PK  Fc 321.0 Hz  Gain  -1.90 dB  Q  1.554\n"
                                    "Filter  2: ON  HS 6dB Fc 9000 Hz Gain 2 dB\n"
                                    "Filter  3: ON  PK  Fc 50000 Hz  Gain  0 dB  Q  1\n");
  const ToolRun run = Run({"import-eq", filters, Path("live.dat"), "--input", "b"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_NE(run.Err.find("line 4: frequency 50000 Hz"), std::string::npos) << run.Err;
  auto loaded = std::make_unique<ParameterStore>();
  ASSERT_TRUE(ReadSettingsFile(*loaded, dir_ / "live.dat").complete());
  EXPECT_EQ(loaded->Inputs[1].Bands[0].Freq, 321);
  EXPECT_EQ(loaded->Inputs[1].Bands[0].Gain, 581);
  EXPECT_EQ(loaded->Inputs[1].Bands[1].Type, 2);
  EXPECT_EQ(loaded->Inputs[1].Bands[2].Freq, 30000);

  const ToolRun exported = Run({"export-eq", Path("live.dat"), "--input", "B"});
  ASSERT_EQ(exported.Exit, 0) << exported.Err;
  EXPECT_EQ(exported.Out.substr(0, 48), "Filter 1: ON PK Fc 321 Hz Gain -1.9 dB Q 1.5594\n");
  EXPECT_NE(exported.Out.find("Filter 2: ON HS 6dB Fc 9000 Hz Gain 2.0 dB\n"), std::string::npos);
}

TEST_F(VeyractlEq, RefusalsLeaveTheSettingsFileUntouched) {
  const auto before = ReadAll(dir_ / "live.dat");
  struct Case {
    std::string filters;
    const char* error;
  };
  const Case cases[] = {
      {Write("lp.txt", "Filter 1: ON LP Fc 80 Hz\n"), "line 1: the processor has no \"LP\""},
      {Path("missing.txt"), "missing.txt"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Run({"import-eq", c.filters, Path("live.dat"), "--output", "1"});
    EXPECT_EQ(run.Exit, 1) << c.filters;
    EXPECT_NE(run.Err.find(c.error), std::string::npos) << run.Err;
    EXPECT_EQ(ReadAll(dir_ / "live.dat"), before);
  }
  // A short settings file is not rewritten either.
  WriteAll(dir_ / "short.dat", std::vector<std::byte>(before.begin(), before.begin() + 1000));
  const std::string ok = Write("ok.txt", "Filter: ON PK Fc 100 Hz Gain -3.0 dB Q 1.41\n");
  EXPECT_EQ(Run({"import-eq", ok, Path("short.dat"), "--output", "1"}).Exit, 1);
  EXPECT_EQ(ReadAll(dir_ / "short.dat").size(), 1000u);
  // Exactly one channel is named.
  EXPECT_EQ(Run({"import-eq", ok, Path("live.dat")}).Exit, 2);
}

TEST_F(VeyractlEq, MoreThanSixFiltersAreFittedUnlessLiteralIsAsked) {
  const std::string filters = Write("room.txt",
                                    "Filter Settings file\r\n"
                                    "Filter  1: ON  PK  Fc  38.5 Hz  Gain  -7.20 dB  Q  6.12\r\n"
                                    "Filter  2: ON  PK  Fc  52.0 Hz  Gain  -4.80 dB  Q  3.90\r\n"
                                    "Filter  3: ON  PK  Fc  67.3 Hz  Gain  -9.50 dB  Q  8.40\r\n"
                                    "Filter  4: ON  PK  Fc  88.0 Hz  Gain   3.50 dB  Q  2.10\r\n"
                                    "Filter  5: ON  PK  Fc 118.0 Hz  Gain  -6.10 dB  Q  5.30\r\n"
                                    "Filter  6: ON  PK  Fc 161.0 Hz  Gain  -3.40 dB  Q  2.80\r\n"
                                    "Filter  7: ON  LS 12dB  Fc 45 Hz  Gain  4.00 dB\r\n"
                                    "Filter  8: ON  HS 6dB  Fc 8000 Hz  Gain  -2.50 dB\r\n");
  const auto before = ReadAll(dir_ / "live.dat");
  const ToolRun literal = Run({"import-eq", filters, Path("live.dat"), "--output", "2", "--literal"});
  EXPECT_EQ(literal.Exit, 1);
  EXPECT_NE(literal.Err.find("line 8: more than 6 active filters"), std::string::npos) << literal.Err;
  EXPECT_EQ(ReadAll(dir_ / "live.dat"), before);
  EXPECT_EQ(Run({"import-eq", filters, Path("live.dat"), "--output", "2", "--literal", "--fit"}).Exit, 2);

  const ToolRun fitted = Run({"import-eq", filters, Path("live.dat"), "--output", "2"});
  ASSERT_EQ(fitted.Exit, 0) << fitted.Err;
  EXPECT_NE(fitted.Err.find("8 filters fitted into 6 bands: "), std::string::npos) << fitted.Err;
  EXPECT_NE(fitted.Err.find(" dB RMS from the file's response over 20 Hz-20 kHz (the first six copied: "),
            std::string::npos)
      << fitted.Err;
  auto loaded = std::make_unique<ParameterStore>();
  ASSERT_TRUE(ReadSettingsFile(*loaded, dir_ / "live.dat").complete());
  // Only the bands of output 2 changed; the crossover is not touched.
  EXPECT_EQ(
      std::memcmp(&loaded->Outputs[1].Crossover, &s.Outputs[1].Crossover, sizeof s.Outputs[1].Crossover), 0);
  EXPECT_EQ(std::memcmp(&loaded->Outputs[0], &s.Outputs[0], sizeof s.Outputs[0]), 0);
  EXPECT_EQ(std::memcmp(&loaded->Inputs, &s.Inputs, sizeof s.Inputs), 0);
  int active = 0;
  for (int b = 0; b < 6; ++b) active += loaded->Outputs[1].Bands[b].Gain != 600;
  EXPECT_EQ(active, 6);

  // Six filters or fewer are fitted when asked.
  const std::string two =
      Write("two.txt", "Filter: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.7\nFilter: ON PK Fc 63 Hz Gain -4 dB Q 4\n");
  const ToolRun asked = Run({"import-eq", two, Path("live.dat"), "--input", "A", "--fit"});
  ASSERT_EQ(asked.Exit, 0) << asked.Err;
  EXPECT_NE(asked.Err.find("2 filters fitted into "), std::string::npos) << asked.Err;
  EXPECT_NE(asked.Err.find("(copied as they are: "), std::string::npos) << asked.Err;
  const ToolRun copied = Run({"import-eq", two, Path("live.dat"), "--input", "A"});
  EXPECT_NE(copied.Err.find("2 filters copied into 2 bands: "), std::string::npos) << copied.Err;
}

}  // namespace
}  // namespace veyra::testing
