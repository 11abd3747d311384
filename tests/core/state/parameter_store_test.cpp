#include "state/parameter_store.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace veyra {
namespace {

// Reads a little-endian field straight from a record's bytes, so that a wrong
// member offset shows up as a wrong value here.
template <typename Record>
unsigned Raw(const Record& r, size_t offset, int bytes = 2) {
  const auto* b = reinterpret_cast<const uint8_t*>(&r);
  return bytes == 1 ? b[offset] : b[offset] | (b[offset + 1] << 8);
}
template <typename Record>
std::string RawText(const Record& r, size_t offset) {
  return reinterpret_cast<const char*>(&r) + offset;
}

struct Field {
  size_t offset;
  int bytes;
  unsigned value;
};

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { InitialiseStore(*store); }
  std::unique_ptr<ParameterStore> store = std::make_unique<ParameterStore>();
};

TEST_F(StoreTest, InitialiseFillsLiveRecordsAtTheirFileOffsets) {
  EXPECT_EQ(Raw(store->System, 205, 1), 28u);  // temperature
  EXPECT_EQ(store->System.CurrentProgram, 0);
  // Gain, mute, compressor threshold and ratio, the editor levels.
  const Field inputFields[] = {{454, 2, 600}, {452, 1, 0},   {500, 2, 300},
                               {508, 2, 999}, {484, 1, 100}, {491, 1, 100}};
  // Gain, routing bytes, high-pass 10 Hz / low-pass 30000 Hz Butterworth 12 dB, limiter words.
  const Field outputFields[] = {{228, 2, 600}, {244, 1, 1},     {252, 1, 0},   {278, 2, 10},
                                {280, 1, 2},   {282, 2, 30000}, {294, 2, 999}, {300, 2, 1}};
  const unsigned inFreqs[8] = {200, 500, 1250, 2000, 5000, 8000, 12500, 20000};
  const unsigned outFreqs[10] = {80, 200, 500, 800, 1250, 2000, 5000, 8000, 12500, 20000};
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    const InputChannel& in = store->Inputs[i];
    const OutputChannel& out = store->Outputs[i];
    EXPECT_EQ(RawText(in, 510), std::string("IN ") + char('A' + i));
    EXPECT_EQ(RawText(out, 304), "OUT " + std::to_string(i + 1));
    for (const Field& f : inputFields) EXPECT_EQ(Raw(in, f.offset, f.bytes), f.value) << "input " << f.offset;
    for (const Field& f : outputFields)
      EXPECT_EQ(Raw(out, f.offset, f.bytes), f.value) << "output " << f.offset;
    for (size_t b = 0; b < 8; ++b) {
      EXPECT_EQ(Raw(in, 10 * b), inFreqs[b]);
      EXPECT_EQ(Raw(in, 10 * b + 2), 600u);
      EXPECT_EQ(Raw(in, 10 * b + 4), 25u);
    }
    for (size_t b = 0; b < 10; ++b) EXPECT_EQ(Raw(out, 10 * b), outFreqs[b]);
    EXPECT_EQ(Raw(store->InputGroups[i], 0), 9u);
    EXPECT_EQ(Raw(store->OutputGroups[i], 0), unsigned(i + 1));
  }
  for (int n : {1, 30}) EXPECT_EQ(RawText(store->Presets[n], 6688), "Preset " + std::to_string(n));
  for (int m = 1; m <= 4; ++m) {
    const ModelBank& bank = store->ModelBanks[m];
    EXPECT_STREQ(bank.Outputs[7].Name, "OUT 8");
    EXPECT_EQ(bank.Outputs[0].Crossover[kLowPass].Freq, 30000);
    EXPECT_EQ(bank.Outputs[0].Bytes244[0], 0);  // set in the live records only
  }
}

// What the defaults leave alone (names, groups, unnamed bytes, the input
// filter, the editor's input bands 9 and 10) survives; the rest is reset.
TEST_F(StoreTest, FactoryDefaultsKeepNamesGroupsAndUnnamedBytes) {
  const auto kept = [](ParameterStore& s) {
    InputChannel& in = s.Inputs[1];
    std::strcpy(in.Name, "Vocal");
    in.GroupNumber = 3;
    in.LevelExtra = 77;
    in.InputFilter[0] = {123, 1, 2};
    in.NoiseGate[0] = 9;
    in.InputGroup4Words[1] = 55;
    in.Bands[9].Freq = 4321;
    OutputChannel& out = s.Outputs[2];
    std::strcpy(out.Name, "Sub");
    out.GroupNumber = 2;
    out.Bytes244[3] = 7;
    out.OutputGroup3Byte = 4;
  };
  auto expected = std::make_unique<ParameterStore>(*store);
  kept(*expected);
  kept(*store);
  InputChannel& in = store->Inputs[1];
  in.NoiseGate[6] = 40;
  in.Gain = 300;
  in.Mute = 1;
  OutputChannel& out = store->Outputs[2];
  out.Routing[0] = 1;
  out.Byte276 = 5;
  out.Crossover[kHighPass].Freq = 90;
  out.Bands[8].Freq = 99;
  ApplyFactoryDefaults(*store);
  EXPECT_EQ(std::memcmp(store->Inputs, expected->Inputs, sizeof store->Inputs), 0);
  EXPECT_EQ(std::memcmp(store->Outputs, expected->Outputs, sizeof store->Outputs), 0);
}

TEST_F(StoreTest, SwitchModelThereAndBackRestoresTheLiveRecordsExactly) {
  store->Inputs[0].Gain = 456;
  std::strcpy(store->Outputs[3].Name, "Fill");
  const auto before = std::make_unique<ParameterStore>(*store);
  int rebuilds = 0;
  ASSERT_TRUE(SwitchModel(*store, 3, [&] { ++rebuilds; }));
  EXPECT_EQ(store->InputCount * 10 + store->OutputCount, 48);
  EXPECT_EQ(store->Inputs[0].Gain, 600);  // model 3's bank
  store->Inputs[0].Gain = 111;
  ASSERT_TRUE(SwitchModel(*store, 1, [&] { ++rebuilds; }));
  EXPECT_EQ(rebuilds, 2);
  EXPECT_EQ(std::memcmp(store->Inputs, before->Inputs, sizeof store->Inputs), 0);
  EXPECT_EQ(std::memcmp(store->Outputs, before->Outputs, sizeof store->Outputs), 0);
  EXPECT_EQ(store->ModelBanks[3].Inputs[0].Gain, 111);
  ASSERT_TRUE(SwitchModel(*store, 2));
  EXPECT_EQ(store->InputCount * 10 + store->OutputCount, 36);

  // The same or an unknown model changes nothing.
  bool called = false;
  for (int model : {2, 0, 7}) EXPECT_FALSE(SwitchModel(*store, model, [&] { called = true; }));
  EXPECT_FALSE(called);
  EXPECT_EQ(store->CurrentModel, 2);
}

TEST_F(StoreTest, BandCountWordsCountTheFirstSixBandsAwayFromZeroDb) {
  store->Outputs[0].Bands[0].Gain = 601;
  store->Outputs[0].Bands[5].Gain = 300;
  store->Outputs[0].Bands[6].Gain = 700;  // band 7 is not counted
  store->Inputs[7].Bands[2].Gain = 599;
  UpdateBandCountWords(*store);
  EXPECT_EQ(Raw(store->Outputs[0], 152), 2u);
  EXPECT_EQ(Raw(store->Inputs[7], 436), 1u);
  EXPECT_EQ(store->Outputs[1].EqEditorWord, 0u);
}

}  // namespace
}  // namespace veyra
