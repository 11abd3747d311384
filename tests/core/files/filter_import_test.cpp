// Choosing between the literal copy and the fit, and the line that reports it.
#include "files/filter_import.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace veyra {
namespace {

std::string Peaks(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i)
    text += "Filter " + std::to_string(i) + ": ON PK Fc " + std::to_string(40 * i * i) + " Hz Gain " +
            std::to_string(i % 2 == 0 ? 3 : -4) + " dB Q " + std::to_string(1 + i % 3) + "\n";
  return text;
}

TEST(FilterImport, ModesChooseTheCopyOrTheFitAndReportIt) {
  struct Case {
    int filters;
    ImportMode mode;
    bool fitted;
    const char* report;  // the start of the line, or the refusal
  };
  const Case cases[] = {
      {10, ImportMode::Auto, true, "10 filters fitted into "},
      {10, ImportMode::Fit, true, "10 filters fitted into "},
      {10, ImportMode::Literal, false, "line 7: more than 6 active filters"},
      {6, ImportMode::Auto, false, "6 filters copied into 6 bands: "},
      {1, ImportMode::Literal, false, "1 filter copied into 1 band: "},
      {3, ImportMode::Fit, true, "3 filters fitted into "},
  };
  for (const Case& c : cases) {
    const EqImport import = ReadFilterText(Peaks(c.filters));
    ASSERT_TRUE(import.ok()) << import.Error;
    const EqImportChoice choice = ChooseImport(import, c.mode);
    const std::string& text = choice.ok() ? choice.Report : choice.Error;
    EXPECT_EQ(text.rfind(c.report, 0), 0u) << c.filters << ": " << text;
    EXPECT_EQ(choice.Fitted, c.fitted && choice.ok()) << c.filters;
    if (!choice.ok()) {
      EXPECT_TRUE(choice.Bands.empty());
      continue;
    }
    EXPECT_NE(text.find(" dB RMS from the file's response over 20 Hz-20 kHz"), std::string::npos) << text;
    if (c.fitted) {
      EXPECT_LE(choice.RmsDb, choice.LiteralRmsDb);
      EXPECT_NE(text.find(c.filters > 6 ? "(the first six copied: " : "(copied as they are: "),
                std::string::npos)
          << text;
    } else {
      EXPECT_EQ(choice.Bands, import.Bands);
      EXPECT_EQ(choice.RmsDb, choice.LiteralRmsDb);
    }
  }
}

TEST(FilterImport, TheReportedErrorIsTheResponsesDifference) {
  const EqImport import = ReadFilterText("Filter 1: ON PK Fc 1000 Hz Gain -6 dB Q 1.41\n");
  const EqImportChoice copy = ChooseImport(import, ImportMode::Auto);
  ResponseArray file, copied;
  FileResponse(import, file);
  BandsResponse(copy.Bands, copied);
  EXPECT_DOUBLE_EQ(copy.RmsDb, RmsErrorDb(file, copied));
  EXPECT_GT(copy.RmsDb, 0.1);  // the copy takes the Q's width as the processor's: twice as wide
  char shown[32];
  std::snprintf(shown, sizeof shown, ": %0.2f dB RMS", copy.RmsDb);
  EXPECT_NE(copy.Report.find(shown), std::string::npos) << copy.Report;
}

}  // namespace
}  // namespace veyra
