// veyractl report as the operator runs it: the report of a settings or bank
// file, its paper and model, and command lines that must write nothing.
#include <gtest/gtest.h>

#include "files/store_files.hpp"
#include "state/device_text.hpp"
#include "ui/pdf_tools.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

class VeyractlReport : public VeyractlTest {
 protected:
  void SetUp() override {
    if (!HavePdfTools()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are needed";
    InitialiseStore(s);
    SetFieldBytes(s.Inputs[0].Name, "Kick");
    // A settings file pulled from a Sistel names its model.
    SetFieldBytes(s.System.ModelCode, "Sistel");
    ASSERT_TRUE(WriteSettingsFile(s, dir_ / "live.dat").ok());
    for (int p = 1; p <= 3; ++p) {
      std::copy(std::begin(s.Inputs), std::end(s.Inputs), s.Presets[p].Inputs);
      std::copy(std::begin(s.Outputs), std::end(s.Outputs), s.Presets[p].Outputs);
    }
    SetFieldBytes(s.Presets[3].Name, "Theatre");
    SetFieldBytes(s.Presets[3].Inputs[1].Name, "Snare");
    ASSERT_TRUE(WriteBankFile(s, dir_ / "bank.dama").ok());
  }
};

TEST_F(VeyractlReport, ReportsTheChosenProgramOfABank) {
  const ToolRun run = Run({"report", Path("bank.dama"), Path("bank.pdf"), "--program", "3"});
  ASSERT_EQ(run.Exit, 0) << run.Err;
  EXPECT_NE(run.Err.find("pages) to"), std::string::npos) << run.Err;
  const std::vector<std::string> lines = PdfLines(dir_ / "bank.pdf");
  for (const auto& line : std::vector<std::vector<std::string>>{{"Settings", "Program from file bank.dama"},
                                                                {"Program", "3 Theatre"},
                                                                {"Model", "Orvane"},
                                                                {"Input B Snare"},
                                                                {"Output 8"}})
    EXPECT_NE(LineWith(lines, line), "") << line.back();
  EXPECT_EQ(LineWith(lines, {"Firmware"}), "");
}

TEST_F(VeyractlReport, PaperAndModel) {
  struct Case {
    std::vector<std::string> Options;
    const char* Size;
    const char* Model;
  };
  for (const Case& c : {Case{{}, "595 x 842 pts (A4)", "Sistel (2 inputs, 4 outputs)"},
                        Case{{"--paper", "letter"}, "612 x 792 pts (letter)", "Sistel"},
                        Case{{"--paper", "A4", "--model", "merial"}, "595 x 842 pts (A4)", "Merial"}}) {
    std::vector<std::string> args{"report", Path("live.dat"), Path("live.pdf")};
    args.insert(args.end(), c.Options.begin(), c.Options.end());
    const ToolRun run = Run(args);
    ASSERT_EQ(run.Exit, 0) << run.Err;
    EXPECT_EQ(PdfInfo(dir_ / "live.pdf").PageSize, c.Size);
    const std::vector<std::string> lines = PdfLines(dir_ / "live.pdf");
    EXPECT_NE(LineWith(lines, {"Model", c.Model}), "") << c.Model;
    EXPECT_NE(LineWith(lines, {"Settings from file live.dat"}), "");
  }
}

TEST_F(VeyractlReport, AWrongCommandLineOrFileWritesNothing) {
  struct Case {
    std::vector<std::string> Args;
    int Exit;
  };
  const std::string out = Path("keep.pdf");
  const std::vector<Case> cases{
      {{"report", Path("live.dat"), out, "--paper", "a5"}, 2},
      {{"report", Path("live.dat"), out, "--program", "2"}, 2},  // one set of records
      {{"report", Path("live.dat"), Path("keep.txt")}, 2},
      {{"report", Path("absent.dat"), out}, 1},
  };
  WriteAll(out, {std::byte{'o'}, std::byte{'l'}, std::byte{'d'}});
  const size_t files = dir_.Count();
  for (const Case& c : cases) {
    const ToolRun run = Run(c.Args);
    EXPECT_EQ(run.Exit, c.Exit) << c.Args.back() << run.Err;
    EXPECT_FALSE(run.Err.empty()) << c.Args.back();
    EXPECT_EQ(ReadAll(out).size(), 3u) << c.Args.back();
    EXPECT_EQ(dir_.Count(), files) << c.Args.back();
  }
}

}  // namespace
}  // namespace veyra::testing
