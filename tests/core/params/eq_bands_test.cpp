// The band operations of both EQ editors: RESET, type changes, BYPASS through
// the saved-gain slots, and which message groups carry which band.
#include "params/eq_bands.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "files/store_files.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

class EqBands : public ::testing::Test {
 protected:
  void SetUp() override { InitialiseStore(s); }
  std::unique_ptr<ParameterStore> store_ = std::make_unique<ParameterStore>();
  ParameterStore& s = *store_;
};

TEST_F(EqBands, GroupsOfTheFirstAndLastBand) {
  EXPECT_EQ(BandGroup(kIn, 1), 7);
  EXPECT_EQ(BandGroup(kIn, 6), 12);
  EXPECT_EQ(BandGroup(kOut, 1), 5);
  EXPECT_EQ(BandGroup(kOut, 6), 10);
}

TEST_F(EqBands, ResetKeepsTheFrequency) {
  for (const ChannelKind kind : {kIn, kOut}) {
    BandRecord(s, kind, 1, 3) = {4321, 700, 200, 1, 1, 2, 0};
    ResetBand(s, kind, 1, 3);
    const EqBand& band = BandRecord(s, kind, 1, 3);
    EXPECT_EQ(band.Freq, 4321);
    EXPECT_EQ(band.Gain, 600);
    EXPECT_EQ(band.Width, 25);
    EXPECT_EQ(band.Type, 0);
    EXPECT_EQ(band.ShelfSlope, 0);
  }
}

TEST_F(EqBands, TypeChangesClearByteSixAndWriteTheShelfLimitBack) {
  struct Case {
    int type, freq, expected;
  };
  for (const Case c : {Case{1, 5000, 2000}, Case{1, 500, 500}, Case{2, 500, 2000}, Case{0, 25000, 25000}}) {
    EqBand& band = BandRecord(s, kOut, 0, 2);
    band.Freq = static_cast<uint16_t>(c.freq);
    band.BandOff = 1;
    SetBandType(s, kOut, 0, 2, c.type);
    EXPECT_EQ(band.Type, c.type);
    EXPECT_EQ(band.Freq, c.expected) << c.type << " " << c.freq;
    EXPECT_EQ(band.BandOff, 0);
  }
}

TEST_F(EqBands, BypassSavesAndRestoresTheGainAndSurvivesTheSettingsFile) {
  for (const ChannelKind kind : {kIn, kOut}) {
    EqBand& band = BandRecord(s, kind, 2, 4);
    band.Gain = 655;
    EXPECT_FALSE(BandBypassed(s, kind, 2, 4));
    BypassBand(s, kind, 2, 4);
    EXPECT_EQ(band.Gain, 600);
    EXPECT_TRUE(BandBypassed(s, kind, 2, 4));
    // Saved and loaded again, the band is still bypassed with its gain kept.
    auto loaded = std::make_unique<ParameterStore>();
    InitialiseStore(*loaded);
    ASSERT_TRUE(ReadSettingsData(*loaded, SettingsFileBytes(s)).complete());
    EXPECT_TRUE(BandBypassed(*loaded, kind, 2, 4));
    RestoreBand(*loaded, kind, 2, 4);
    EXPECT_EQ(BandRecord(*loaded, kind, 2, 4).Gain, 655);
    EXPECT_FALSE(BandBypassed(*loaded, kind, 2, 4));
    EXPECT_EQ(SavedGain(*loaded, kind, 2, 4), 600);
    // A gain set anew ends the bypass: BYPASS off must not bring 655 back.
    band.Gain = 610;
    EXPECT_FALSE(BandBypassed(s, kind, 2, 4));
    RestoreBand(s, kind, 2, 4);
    EXPECT_EQ(band.Gain, 610);
  }
  // The slots lie in the editor-side bytes after the band records, clear of
  // the output editor words at 152 and 156.
  EXPECT_EQ(SavedGainField(kOut, 1).Offset, 100u);
  EXPECT_EQ(SavedGainField(kOut, 10).Offset + 4, 140u);
}

TEST_F(EqBands, ANeverEditedSlotIsNotABypass) {
  // Zero-filled records (an old settings file) hold 0 in the slot.
  EXPECT_FALSE(BandBypassed(s, kIn, 0, 1));
  RestoreBand(s, kIn, 0, 1);
  EXPECT_EQ(BandRecord(s, kIn, 0, 1).Gain, 600);
}

}  // namespace
}  // namespace veyra
