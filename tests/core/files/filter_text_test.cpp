// Filter text import and export: what each filter kind becomes, what is
// skipped, clamped or refused, and that an export imports to the same codes.
#include "files/filter_text.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "params/eq_bands.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

constexpr int kPk = 0, kLs = 1, kHs = 2;

TEST(FilterText, EveryFilterKindBecomesTheNearestBand) {
  struct Case {
    const char* line;
    ImportedBand band;
  };
  const Case cases[] = {
      // Q 1.554 is 0.9087 octave: width code 86.
      {"Filter  1: ON  PK       Fc   321.0 Hz  Gain  -1.90 dB  Q  1.554", {321, 581, 86, 0, kPk}},
      {"Filter: ON PK Fc 100 Hz Gain -3.0 dB Q 1.41", {100, 570, 95, 0, kPk}},
      {"Filter 3: ON PK Fc 1000 Hz Gain 2 dB BW Oct 0.5", {1000, 620, 45, 0, kPk}},
      {"Filter 4: ON LS 6dB Fc 80 Hz Gain 3.0 dB", {80, 630, 25, 0, kLs}},
      {"Filter 4: ON LS 12dB Fc 80 Hz Gain 3.0 dB", {80, 630, 25, 1, kLs}},
      {"Filter 5: ON LS Fc 80 Hz Gain -6 dB", {80, 540, 25, 1, kLs}},
      {"Filter 7: ON LSC Fc 105 Hz Gain 6.5 dB Q 0.70", {105, 665, 25, 1, kLs}},
      {"Filter 8: ON HSC Fc 9000 Hz Gain 4 dB Q 0.4", {9000, 640, 25, 0, kHs}},
  };
  for (const Case& c : cases) {
    const EqImport import = ReadFilterText(c.line);
    ASSERT_TRUE(import.ok()) << c.line << ": " << import.Error;
    ASSERT_EQ(import.Bands.size(), 1u) << c.line;
    EXPECT_EQ(import.Bands[0], c.band) << c.line;
    EXPECT_TRUE(import.Notices.empty()) << c.line << ": " << import.Notices.front();
  }
}

TEST(FilterText, HeaderDisabledAndEmptyFiltersAreSkippedInFileOrder) {
  const EqImport import = ReadFilterText(
      "\xEF\xBB\xBF"
      "Filter Settings file\r\n\r\nRoom EQ V5.20\r\nDated: 09-02-2021 16:28:20\r\nNotes:living room\r\n"
      "Equaliser: Generic\r\n"
      "Filter  1: ON  PK       Fc   200 Hz  Gain  -1.0 dB  Q  4.8\r\n"
      "Filter  2: OFF PK       Fc   300 Hz  Gain  -2.0 dB  Q  1.0\r\n"
      "Filter  3: ON  None\r\n"
      "Filter  4:\r\n"
      "# a comment\r\n"
      "Filter  5: OFF XYZ whatever\r\n"
      "Filter  6: ON  PK       Fc   400 Hz  Gain  -3.0 dB  Q  4.8\r\n");
  ASSERT_TRUE(import.ok()) << import.Error;
  ASSERT_EQ(import.Bands.size(), 2u);
  EXPECT_EQ(import.Bands[0].Freq, 200);
  EXPECT_EQ(import.Bands[1].Freq, 400);
}

TEST(FilterText, OutOfRangeValuesAreClampedAndListed) {
  const EqImport import = ReadFilterText(
      "Preamp: -4.5 dB\n"
      "Filter 1: ON PK Fc 5 Hz Gain 20 dB Q 100\n"
      "Filter 2: ON PK Fc 45000 Hz Gain -40 dB Q 0.1\n"
      "Filter 3: ON LS 24dB Fc 5000 Hz Gain 1 dB\n"
      "Filter 4: ON HS 12dB Fc 100 Hz Gain 1 dB\n");
  ASSERT_TRUE(import.ok()) << import.Error;
  ASSERT_EQ(import.Bands.size(), 4u);
  EXPECT_EQ(import.Bands[0], (ImportedBand{10, 750, 0, 0, kPk}));
  EXPECT_EQ(import.Bands[1], (ImportedBand{30000, 300, 295, 0, kPk}));
  EXPECT_EQ(import.Bands[2], (ImportedBand{2000, 610, 25, 1, kLs}));  // at most 2000 Hz
  EXPECT_EQ(import.Bands[3], (ImportedBand{2000, 610, 25, 1, kHs}));  // at least 2000 Hz
  // The preamp concerns the file; three values each of bands 1 and 2, the
  // slope and the two shelf frequencies concern the copy.
  ASSERT_EQ(import.Notices.size(), 1u);
  EXPECT_NE(import.Notices.front().find("line 1: preamp -4.5 dB"), std::string::npos);
  EXPECT_EQ(import.CopyNotices.size(), 9u);
}

TEST(FilterText, RefusalsNameTheLine) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"Filter 1: ON PK Fc 1 Hz Gain 0 dB Q 1\nFilter 2: ON LP Fc 80 Hz\n", "line 2: the processor has no \"LP\""},
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 1\nFilter 2: ON PK Fc 1O0 Hz Gain -3 dB Q 1\n", "line 2: cannot read"},
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB\n", "line 1: cannot read"},  // no width
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 0\n", "line 1: cannot read"},
      {"Filter 1: MAYBE PK Fc 100 Hz Gain -3 dB Q 1\n", "line 1: cannot read"},
      {"Filter 1: ON PK Fc 100 Hz Gain -3 dB Q 1\nChannel: L\n", "line 2: cannot read \"Channel: L\""},
      {"Preamp: loud\n", "line 1: cannot read"},
      {"just some text\n", "no filter lines"},
      {"", "no filter lines"},
  };
  for (const Case& c : cases) {
    const EqImport import = ReadFilterText(c.text);
    EXPECT_FALSE(import.ok()) << c.text;
    EXPECT_NE(import.Error.find(c.error), std::string::npos) << c.text << " -> " << import.Error;
    EXPECT_TRUE(import.Bands.empty());
  }
}

TEST(FilterText, MoreThanSixFiltersAreReadAndTheCopyRefusedAtTheSeventh) {
  std::string text;
  for (int i = 1; i <= 7; ++i)
    text += "Filter " + std::to_string(i) + ": ON PK Fc " + std::to_string(100 * i) + " Hz Gain -1 dB Q 1\n";
  const EqImport seven = ReadFilterText(text);
  ASSERT_TRUE(seven.ok()) << seven.Error;
  EXPECT_EQ(seven.Filters.size(), 7u);
  EXPECT_EQ(seven.Bands.size(), 6u);
  EXPECT_EQ(seven.Filters.back().Filter.Hz, 700);
  EXPECT_NE(LiteralRefusal(seven).find("line 7: more than 6 active filters"), std::string::npos);
  // Six active ones and a disabled seventh are a copy.
  text.replace(text.rfind("ON"), 2, "OFF");
  EXPECT_EQ(LiteralRefusal(ReadFilterText(text)), "");
}

TEST(FilterText, EachFilterKeepsTheShapeItsProgramDesigned) {
  struct Case {
    const char* line;
    TargetFilter filter;
  };
  constexpr TargetShape kPeak = TargetShape::Peaking, kLow = TargetShape::LowShelf,
                        kHigh = TargetShape::HighShelf;
  const Case cases[] = {
      {"Filter 1: ON PK Fc 321.0 Hz Gain -1.90 dB Q 1.554", {kPeak, 321, -1.9, 1.554, false}},
      // One octave between the half-gain points is Q 1/(2 sinh(ln 2 / 2)) = 1.4142.
      {"Filter: ON PK Fc 1000 Hz Gain 2 dB BW Oct 1", {kPeak, 1000, 2, 1.41421, false}},
      {"Filter 1: ON LSC Fc 105 Hz Gain 6.0 dB Q 0.70", {kLow, 105, 6, 0.70, false}},
      {"Filter 2: ON LSQ Fc 60 Hz Gain 4 dB Q 0.9", {kLow, 60, 4, 0.9, false}},
      {"Filter 3: ON HSQ Fc 9500 Hz Gain -4.0 dB Q 0.60", {kHigh, 9500, -4, 0.6, false}},
      {"Filter 4: ON HSC Fc 10000 Hz Gain -3 dB", {kHigh, 10000, -3, kShelfQ, false}},
      {"Filter 5: ON LS Fc 80 Hz Gain 3 dB", {kLow, 80, 3, kShelfQ, false}},
      {"Filter 6: ON LS 12dB Fc 80 Hz Gain 3 dB", {kLow, 80, 3, kShelfQ, false}},
      {"Filter 7: ON HS 6dB Fc 8000 Hz Gain -2.5 dB", {kHigh, 8000, -2.5, kShelfQ, true}},
      {"Filter 8: ON LSC 6 dB Fc 200 Hz Gain 3 dB Q 2", {kLow, 200, 3, kShelfQ, true}},
  };
  for (const Case& c : cases) {
    const EqImport import = ReadFilterText(c.line);
    ASSERT_TRUE(import.ok()) << c.line << ": " << import.Error;
    ASSERT_EQ(import.Filters.size(), 1u) << c.line;
    const TargetFilter& f = import.Filters[0].Filter;
    EXPECT_EQ(f.Shape, c.filter.Shape) << c.line;
    EXPECT_DOUBLE_EQ(f.Hz, c.filter.Hz) << c.line;
    EXPECT_DOUBLE_EQ(f.GainDb, c.filter.GainDb) << c.line;
    EXPECT_NEAR(f.Q, c.filter.Q, 1e-5) << c.line;
    EXPECT_EQ(f.FirstOrder, c.filter.FirstOrder) << c.line;
  }
}

TEST(FilterText, CrLfAndLfFilesReadAlike) {
  const std::string lf =
      "Preamp: -6.2 dB\nFilter 1: ON LSC Fc 105 Hz Gain 5.5 dB Q 0.70\nFilter 2: ON PK Fc 63 Hz Gain -4.0 dB "
      "Q 4.00\n";
  std::string crlf;
  for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const EqImport a = ReadFilterText(lf), b = ReadFilterText(crlf);
  ASSERT_TRUE(a.ok() && b.ok()) << a.Error << b.Error;
  EXPECT_EQ(a.Bands, b.Bands);
  ASSERT_EQ(b.Filters.size(), 2u);
  EXPECT_EQ(b.Filters[1].Line, 3);
  EXPECT_EQ(b.Filters[1].Filter.Q, 4.0);
  EXPECT_EQ(a.Notices, b.Notices);
}

TEST(FilterText, ImportFillsBandsInOrderAndResetsTheRest) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  EqBand& leftOver = store->Outputs[2].Bands[4];
  leftOver = {1250, 700, 100, 1, 1, 2, 0};
  ApplyEqImport(*store, ChannelKind::Output, 2, {{100, 570, 96, 0, kPk}, {80, 630, 25, 1, kLs}});
  EXPECT_EQ(store->Outputs[2].Bands[0].Freq, 100);
  EXPECT_EQ(store->Outputs[2].Bands[1].Type, kLs);
  EXPECT_EQ(store->Outputs[2].Bands[1].ShelfSlope, 1);
  // RESET keeps the frequency.
  EXPECT_EQ(leftOver.Freq, 1250);
  EXPECT_EQ(leftOver.Gain, 600);
  EXPECT_EQ(leftOver.Width, 25);
  EXPECT_EQ(leftOver.Type, kPk);
  EXPECT_EQ(leftOver.ShelfSlope, 0);
}

TEST(FilterText, AnExportImportsToTheSameCodes) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  InputChannel& in = store->Inputs[1];
  in.Bands[0] = {10, 300, 0, 0, 0, kPk, 0};
  in.Bands[1] = {30000, 750, 295, 0, 0, kPk, 0};
  in.Bands[2] = {2000, 599, 0, 0, 1, kLs, 0};
  in.Bands[3] = {2000, 601, 0, 0, 0, kHs, 0};
  in.Bands[4] = {321, 581, 85, 0, 0, kPk, 0};
  // Every width code survives the trip through Q.
  for (int width = 0; width <= 295; ++width) {
    in.Bands[5] = {1000, static_cast<uint16_t>(450 + width), static_cast<uint16_t>(width), 0, 0, kPk, 0};
    const EqImport import = ReadFilterText(WriteFilterText(*store, ChannelKind::Input, 1));
    ASSERT_TRUE(import.ok()) << import.Error;
    ASSERT_EQ(import.Bands.size(), 6u);
    EXPECT_TRUE(import.Notices.empty());
    for (int b = 0; b < 6; ++b) {
      const EqBand& band = in.Bands[b];
      const ImportedBand expected{band.Freq, band.Gain, band.Type == kPk ? int{band.Width} : 25, band.ShelfSlope,
                                  band.Type};
      ASSERT_EQ(import.Bands[static_cast<size_t>(b)], expected) << "band " << b + 1 << " width " << width;
    }
  }
  EXPECT_EQ(WriteFilterText(*store, ChannelKind::Input, 1).substr(0, 43),
            "Filter 1: ON PK Fc 10 Hz Gain -30.0 dB Q 28");
}

}  // namespace
}  // namespace veyra
