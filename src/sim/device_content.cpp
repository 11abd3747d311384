#include "sim/device_content.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string_view>

#include "sim/random.hpp"
#include "state/device_text.hpp"
#include "state/models.hpp"
#include "state/scales.hpp"
#include "state/text_format.hpp"

namespace veyra::sim {
namespace {

constexpr std::array<std::string_view, 8> kInputNames = {"Vocal", "Guitar", "Keys",     "Bass",
                                                         "Kick",  "Snare",  "Playback", "Spare"};
constexpr std::array<std::string_view, 8> kOutputNames = {"Main L", "Main R", "Sub L", "Sub R",
                                                          "Fill",   "Delay",  "Mon 1", "Mon 2"};
// One of them is exactly 16 bytes, which leaves no terminator in the record.
constexpr std::array<std::string_view, 10> kProgramNames = {
    "Main PA", "Monitor Mix", "Speech",    "Band Night",       "DJ Set",
    "Church",  "Theatre",     "Rehearsal", "Conference Hall1", "Outdoor"};

constexpr int kMeterInputs = 4;  // the meter reply carries inputs A..D

void SetName(char* field, size_t size, std::string_view text) {
  std::memset(field, 0, size);
  std::memcpy(field, text.data(), std::min(size, text.size()));
}

void VaryBands(EqBand* bands, int count, Random& r) {
  for (int n = 0; n < 2; ++n) {
    EqBand& b = bands[r.Below(count)];
    b.Gain = static_cast<uint16_t>(r.Between(450, 720));
    b.Width = static_cast<uint16_t>(r.Between(5, 120));
    b.Type = static_cast<uint8_t>(r.Below(3));
    b.ShelfSlope = static_cast<uint8_t>(r.Below(2));
  }
}

void FillInput(InputChannel& in, int index, Random& r, bool live) {
  ApplyFactoryDefaults(in);
  const std::string name = live ? std::string(kInputNames[index]) : Format("IN %c", 'A' + index);
  SetName(in.Name, sizeof in.Name, name);
  in.Mute = r.Chance(90) ? 1 : 0;
  in.Polarity = r.Chance(10) ? 1 : 0;
  in.Gain = static_cast<uint16_t>(r.Between(480, 660));
  in.Delay = static_cast<uint16_t>(r.Chance(30) ? r.Between(1, 480) : 0);
  in.LevelExtra = static_cast<uint16_t>(r.Below(4));
  in.InputFilter[0] = {static_cast<uint16_t>(r.Between(20, 80)), static_cast<uint8_t>(r.Below(3)), 1};
  in.InputFilter[1] = {static_cast<uint16_t>(r.Between(12000, 20000)), static_cast<uint8_t>(r.Below(3)), 1};
  for (auto& b : in.NoiseGate) b = static_cast<uint8_t>(r.Below(4));
  in.NoiseGate[kNoiseGateThresholdByte] = static_cast<uint8_t>(r.Below(60));
  for (int j = 0; j < kChannelSlots; ++j) in.InputMix[j] = (j % 4 == index % 4) ? 1 : 0;
  in.InputGroup4Words[0] = static_cast<uint16_t>(r.Below(1000));
  in.InputGroup4Bytes[0] = static_cast<uint8_t>(r.Below(2));
  in.Threshold = static_cast<uint16_t>(r.Between(200, 300));
  in.Attack = static_cast<uint16_t>(r.Between(1, 100));
  in.Release = static_cast<uint16_t>(r.Between(10, 500));
  in.Ratio = static_cast<uint16_t>(r.Below(7));  // 1:1 .. 1:64
  VaryBands(in.Bands, 8, r);
}

void FillOutput(OutputChannel& out, int index, int inputs, Random& r, bool live) {
  ApplyFactoryDefaults(out);
  const std::string name = live ? std::string(kOutputNames[index]) : Format("OUT %d", index + 1);
  SetName(out.Name, sizeof out.Name, name);
  out.Mute = r.Chance(90) ? 1 : 0;
  out.Polarity = r.Chance(10) ? 1 : 0;
  out.Gain = static_cast<uint16_t>(r.Between(540, 620));
  out.Delay = static_cast<uint32_t>(r.Chance(40) ? r.Between(1, 600) : 0);  // up to 130 ms
  std::memset(out.Routing, 0, sizeof out.Routing);
  out.Routing[index % std::min(inputs, 4)] = 1;
  if (r.Chance(30)) out.Routing[r.Below(std::min(inputs, 4))] = 1;
  const bool sub = index % 4 >= 2;
  out.Crossover[kHighPass] = {static_cast<uint16_t>(sub ? r.Between(25, 35) : r.Between(80, 120)),
                              static_cast<uint8_t>(r.Below(3)), static_cast<uint8_t>(r.Between(1, 6))};
  out.Crossover[kLowPass] = {static_cast<uint16_t>(sub ? r.Between(80, 120) : kFrequencyMax),
                             static_cast<uint8_t>(r.Below(3)), static_cast<uint8_t>(r.Between(1, 6))};
  out.Threshold = static_cast<uint16_t>(r.Between(220, 300));
  out.Attack = static_cast<uint16_t>(r.Between(1, 50));
  out.Release = static_cast<uint16_t>(r.Below(6));  // a multiple of the attack time, x2 .. x32
  out.OutputGroup3Words[1] = static_cast<uint16_t>(r.Below(100));
  out.OutputGroup3Byte = static_cast<uint8_t>(r.Below(2));
  VaryBands(out.Bands, 9, r);
}

// A programme-like level in dB full scale for input i at time t: a slow swell,
// beats that decay, and a little grain that changes every 50 ms.
double SignalDb(uint64_t seed, int input, double tMs) {
  const double phase = static_cast<double>(Mix(seed, 100 + input) % 1000) / 1000.0 * 2 * std::numbers::pi;
  const double swell = 6.0 * std::sin(2 * std::numbers::pi * tMs / (4000.0 + 700.0 * input) + phase);
  const double beatMs = 300.0 + 60.0 * input;
  const double sinceBeat = std::fmod(tMs, beatMs);
  const double beat = 9.0 * std::exp(-sinceBeat / 120.0);
  const auto grainIndex = static_cast<uint64_t>(tMs / 50.0);
  const double grain = static_cast<double>(Mix(Mix(seed, input), grainIndex) % 400) / 100.0 - 2.0;
  return -22.0 + swell + beat + grain;
}

uint8_t Segments(double db) {
  return static_cast<uint8_t>(std::clamp(std::lround((db + 40.0) / 4.0), 0L, 10L));
}

}  // namespace

void FillDevice(ParameterStore& memory, const SimOptions& options) {
  ResetStore(memory);
  const ModelInfo* info = FindModel(options.Model);
  if (info == nullptr) info = FindModel(3);
  memory.CurrentModel = info->Model;
  memory.InputCount = info->InputCount;
  memory.OutputCount = info->OutputCount;
  Random r(options.Seed);

  for (int i = 0; i < kChannelSlots; ++i) FillInput(memory.Inputs[i], i, r, true);
  for (int j = 0; j < kChannelSlots; ++j) FillOutput(memory.Outputs[j], j, info->InputCount, r, true);
  for (int p = 1; p <= kPresetCount; ++p) {
    PresetSlot& slot = memory.Preset(p);
    for (int i = 0; i < kChannelSlots; ++i) FillInput(slot.Inputs[i], i, r, false);
    for (int j = 0; j < kChannelSlots; ++j) FillOutput(slot.Outputs[j], j, info->InputCount, r, false);
    const std::string name = p <= static_cast<int>(kProgramNames.size())
                                 ? std::string(kProgramNames[static_cast<size_t>(p - 1)])
                                 : Format("Preset %d", p);
    SetName(slot.Name, sizeof slot.Name, name);
  }

  SystemSettings& sys = memory.System;
  const std::string_view code = options.ModelCode.empty() ? info->DeviceCode : options.ModelCode;
  SetName(sys.ModelCode, sizeof sys.ModelCode, code);
  SetName(sys.VersionText1, sizeof sys.VersionText1 - 1,
          Format("Veyra QL %d%d DSP V2.%02d", info->InputCount, info->OutputCount, r.Between(10, 40)));
  SetName(sys.VersionText2, sizeof sys.VersionText2 - 1,
          Format("Build 2025-%02d-%02d", r.Between(1, 12), r.Between(1, 28)));
  SetName(sys.LockPassword, sizeof sys.LockPassword, "000000");
  sys.LockState = 0;
  if (options.Locked) {
    std::memset(sys.LockPassword, 0, sizeof sys.LockPassword);
    std::memcpy(sys.LockPassword, options.LockPassword.data(),
                std::min(options.LockPassword.size(), sizeof sys.LockPassword));
    sys.LockState = 1;
  }
  sys.BackLight = static_cast<uint8_t>(r.Between(1, 3));
  sys.DeviceIdSetting = memory.DeviceId = 1;
  sys.Temperature = static_cast<uint8_t>(r.Between(18, 32));
  sys.CurrentProgram = static_cast<uint8_t>(r.Between(1, 10));
  UpdateMeters(memory, options.Seed, Micros(0));
}

void UpdateMeters(ParameterStore& memory, uint64_t seed, Micros now) {
  SystemSettings& sys = memory.System;
  const double tMs = static_cast<double>(now.count()) / 1000.0;
  double inputDb[kMeterInputs];
  for (int i = 0; i < kMeterInputs; ++i) {
    const InputChannel& in = memory.Inputs[i];
    const bool passes = i < memory.InputCount && in.Mute != 0;
    inputDb[i] = passes ? SignalDb(seed, i, tMs) + GainDb(in.Gain) : -200.0;
    sys.InputMeters[i] = Segments(inputDb[i]);
  }
  for (int j = 0; j < kChannelSlots; ++j) {
    const OutputChannel& out = memory.Outputs[j];
    double db = -200.0;
    for (int i = 0; i < kMeterInputs; ++i) {
      if (out.Routing[i] != 0) db = std::max(db, inputDb[i]);
    }
    const bool passes = j < memory.OutputCount && out.Mute != 0;
    sys.OutputMeters[j] = passes ? Segments(db + GainDb(out.Gain)) : 0;
  }
}

}  // namespace veyra::sim
