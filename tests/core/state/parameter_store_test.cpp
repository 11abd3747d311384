#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "state/parameter_store.hpp"

namespace veyra {
namespace {

// Reads a little-endian field straight from a record's bytes, so that a wrong
// member offset shows up as a wrong value here.
template <typename Record>
unsigned RawU16(const Record& r, size_t offset) {
  const auto* b = reinterpret_cast<const uint8_t*>(&r);
  return b[offset] | (b[offset + 1] << 8);
}
template <typename Record>
unsigned RawU8(const Record& r, size_t offset) {
  return reinterpret_cast<const uint8_t*>(&r)[offset];
}
template <typename Record>
std::string RawText(const Record& r, size_t offset) {
  return reinterpret_cast<const char*>(&r) + offset;
}

class StoreTest : public ::testing::Test {
 protected:
  std::unique_ptr<ParameterStore> store = std::make_unique<ParameterStore>();
};

TEST_F(StoreTest, StartsZeroFilledWithTheInitialSelection) {
  EXPECT_EQ(store->CurrentModel, 1);
  EXPECT_EQ(store->InputCount, 2);
  EXPECT_EQ(store->OutputCount, 4);
  EXPECT_EQ(store->DeviceId, 1);
  EXPECT_EQ(store->Online, 0);
  const auto* b = reinterpret_cast<const uint8_t*>(&store->Inputs);
  for (size_t i = 0; i < sizeof store->Inputs; ++i) ASSERT_EQ(b[i], 0) << i;
}

TEST_F(StoreTest, InitialiseFillsLiveRecordsAtTheirFileOffsets) {
  InitialiseStore(*store);
  EXPECT_EQ(store->System.Temperature, 28);
  EXPECT_EQ(RawU8(store->System, 205), 28u);
  EXPECT_EQ(store->System.CurrentProgram, 0);

  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const InputChannel& in = store->Inputs[i];
    EXPECT_EQ(RawText(in, 510), std::string("IN ") + char('A' + i));
    EXPECT_EQ(RawU16(in, 454), 600u);  // gain
    EXPECT_EQ(RawU8(in, 452), 0u);     // muted
    EXPECT_EQ(RawU16(in, 500), 300u);  // compressor threshold
    EXPECT_EQ(RawU16(in, 508), 999u);  // ratio
    for (size_t k = 0; k < 8; ++k) EXPECT_EQ(RawU8(in, 484 + k), 100u);
    const unsigned freqs[8] = {200, 500, 1250, 2000, 5000, 8000, 12500, 20000};
    for (size_t b = 0; b < 8; ++b) {
      EXPECT_EQ(RawU16(in, 10 * b), freqs[b]);
      EXPECT_EQ(RawU16(in, 10 * b + 2), 600u);
      EXPECT_EQ(RawU16(in, 10 * b + 4), 25u);
    }

    const OutputChannel& out = store->Outputs[i];
    EXPECT_EQ(RawText(out, 304), "OUT " + std::to_string(i + 1));
    EXPECT_EQ(RawU16(out, 228), 600u);
    const unsigned ofreqs[10] = {80, 200, 500, 800, 1250, 2000, 5000, 8000, 12500, 20000};
    for (size_t b = 0; b < 10; ++b) EXPECT_EQ(RawU16(out, 10 * b), ofreqs[b]);
    for (size_t k = 244; k < 252; ++k) EXPECT_EQ(RawU8(out, k), 1u) << k;
    for (size_t k = 252; k < 260; ++k) EXPECT_EQ(RawU8(out, k), 0u) << k;
    // High-pass 10 Hz, low-pass 30000 Hz, Butterworth, 12 dB.
    EXPECT_EQ(RawU16(out, 278), 10u);
    EXPECT_EQ(RawU8(out, 280), 2u);
    EXPECT_EQ(RawU8(out, 281), 0u);
    EXPECT_EQ(RawU16(out, 282), 30000u);
    EXPECT_EQ(RawU8(out, 284), 2u);
    EXPECT_EQ(RawU16(out, 286), 300u);  // limiter threshold
    EXPECT_EQ(RawU16(out, 294), 999u);
    EXPECT_EQ(RawU16(out, 296), 300u);
    EXPECT_EQ(RawU16(out, 298), 0u);
    EXPECT_EQ(RawU16(out, 300), 1u);

    EXPECT_EQ(RawU16(store->InputGroups[i], 0), 9u);
    EXPECT_EQ(RawU16(store->OutputGroups[i], 0), unsigned(i + 1));
    EXPECT_EQ(store->OutputGroups[i].Name[0], 0);
  }
}

TEST_F(StoreTest, InitialiseNamesPresetsAndFillsEveryModelBank) {
  InitialiseStore(*store);
  for (int n = 1; n <= 30; ++n) EXPECT_EQ(RawText(store->Presets[n], 6688), "Preset " + std::to_string(n));
  for (int m = 1; m <= 4; ++m) {
    const ModelBank& bank = store->ModelBanks[m];
    EXPECT_STREQ(bank.Inputs[7].Name, "IN H");
    EXPECT_STREQ(bank.Outputs[7].Name, "OUT 8");
    EXPECT_EQ(bank.Outputs[0].Crossover[kLowPass].Freq, 30000);
    // The bytes 244..251 are set in the live records only.
    EXPECT_EQ(bank.Outputs[0].Bytes244[0], 0);
  }
}

TEST_F(StoreTest, FactoryDefaultsKeepNamesGroupsAndUnnamedBytes) {
  InitialiseStore(*store);
  InputChannel& in = store->Inputs[1];
  std::strcpy(in.Name, "Vocal");
  in.GroupNumber = 3;
  in.LevelExtra = 77;
  in.InputFilter[0] = {123, 1, 2};
  in.NoiseGate[0] = 9;
  in.NoiseGate[6] = 40;
  in.InputGroup4Words[1] = 55;
  in.Gain = 300;
  in.Mute = 1;
  in.Bands[9].Freq = 4321;
  OutputChannel& out = store->Outputs[2];
  std::strcpy(out.Name, "Sub");
  out.GroupNumber = 2;
  out.Routing[0] = 1;
  out.Byte276 = 5;
  out.Bytes244[3] = 7;
  out.Crossover[kHighPass].Freq = 90;
  out.OutputGroup3Byte = 4;

  ApplyFactoryDefaults(*store);

  EXPECT_STREQ(in.Name, "Vocal");
  EXPECT_EQ(in.GroupNumber, 3u);
  EXPECT_EQ(in.LevelExtra, 77);
  EXPECT_EQ(in.InputFilter[0].Freq, 123);
  EXPECT_EQ(in.NoiseGate[0], 9);
  EXPECT_EQ(in.NoiseGate[6], 0);  // the threshold is a default
  EXPECT_EQ(in.InputGroup4Words[1], 55);
  EXPECT_EQ(in.Gain, 600);
  EXPECT_EQ(in.Mute, 0);
  EXPECT_EQ(in.Bands[9].Freq, 4321);  // input bands 9 and 10 are the editor's
  EXPECT_STREQ(out.Name, "Sub");
  EXPECT_EQ(out.GroupNumber, 2u);
  EXPECT_EQ(out.Routing[0], 0);
  EXPECT_EQ(out.Byte276, 0);
  EXPECT_EQ(out.Bytes244[3], 7);
  EXPECT_EQ(out.Crossover[kHighPass].Freq, 10);
  EXPECT_EQ(out.OutputGroup3Byte, 4);
  EXPECT_EQ(out.Bands[8].Freq, 12500);
}

TEST_F(StoreTest, SwitchModelThereAndBackRestoresTheLiveRecordsExactly) {
  InitialiseStore(*store);
  store->Inputs[0].Gain = 456;
  store->Outputs[3].Routing[1] = 1;
  std::strcpy(store->Outputs[3].Name, "Fill");
  auto before = std::make_unique<ParameterStore>(*store);

  int rebuilds = 0;
  ASSERT_TRUE(SwitchModel(*store, 3, [&] { ++rebuilds; }));
  EXPECT_EQ(store->CurrentModel, 3);
  EXPECT_EQ(store->InputCount, 4);
  EXPECT_EQ(store->OutputCount, 8);
  EXPECT_EQ(store->Inputs[0].Gain, 600);  // model 3's bank
  store->Inputs[0].Gain = 111;            // an edit on model 3

  ASSERT_TRUE(SwitchModel(*store, 1, [&] { ++rebuilds; }));
  EXPECT_EQ(rebuilds, 2);
  EXPECT_EQ(std::memcmp(store->Inputs, before->Inputs, sizeof store->Inputs), 0);
  EXPECT_EQ(std::memcmp(store->Outputs, before->Outputs, sizeof store->Outputs), 0);
  EXPECT_EQ(store->ModelBanks[3].Inputs[0].Gain, 111);

  ASSERT_TRUE(SwitchModel(*store, 2));
  EXPECT_EQ(store->InputCount, 3);
  EXPECT_EQ(store->OutputCount, 6);
}

TEST_F(StoreTest, SwitchModelToTheSameOrAnUnknownModelDoesNothing) {
  InitialiseStore(*store);
  store->Inputs[0].Gain = 456;
  bool called = false;
  EXPECT_FALSE(SwitchModel(*store, 1, [&] { called = true; }));
  EXPECT_FALSE(SwitchModel(*store, 0, [&] { called = true; }));
  EXPECT_FALSE(SwitchModel(*store, 7, [&] { called = true; }));
  EXPECT_FALSE(called);
  EXPECT_EQ(store->CurrentModel, 1);
  EXPECT_EQ(store->Inputs[0].Gain, 456);
}

TEST_F(StoreTest, BandCountWordsCountTheFirstSixBandsAwayFromZeroDb) {
  InitialiseStore(*store);
  store->Outputs[0].Bands[0].Gain = 601;
  store->Outputs[0].Bands[5].Gain = 300;
  store->Outputs[0].Bands[6].Gain = 700;  // band 7 is not counted
  store->Inputs[7].Bands[2].Gain = 599;
  UpdateBandCountWords(*store);
  EXPECT_EQ(RawU16(store->Outputs[0], 152), 2u);
  EXPECT_EQ(RawU16(store->Inputs[7], 436), 1u);
  EXPECT_EQ(store->Outputs[1].EqEditorWord, 0u);
}

}  // namespace
}  // namespace veyra
