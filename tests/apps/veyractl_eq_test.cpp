// import-eq and export-eq as the operator runs them.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace veyra::testing
