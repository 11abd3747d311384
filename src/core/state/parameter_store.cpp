#include "parameter_store.hpp"

#include <cstdio>
#include <cstring>

#include "models.hpp"

namespace veyra {

namespace {

constexpr uint16_t kInputBandFreqs[8] = {200, 500, 1250, 2000, 5000, 8000, 12500, 20000};
constexpr uint16_t kOutputBandFreqs[10] = {80, 200, 500, 800, 1250, 2000, 5000, 8000, 12500, 20000};

void SetBandDefaults(EqBand& band, uint16_t freq) {
  band.Freq = freq;
  band.Gain = 600;
  band.Width = 25;
  band.BandOff = 0;
  band.ShelfSlope = 0;
  band.Type = 0;
}

void SetName(char* dst, size_t size, const char* fmt, int value) {
  std::memset(dst, 0, size);
  std::snprintf(dst, size, fmt, value);
}

// The defaults a model bank's input record gets at start-up.
void InitialiseInput(InputChannel& in, int index) {
  ApplyFactoryDefaults(in);
  in.EqEditorWord = 0;
  in.GroupNumber = 0;
  SetName(in.Name, sizeof in.Name, "IN %c", 'A' + index);
}

void InitialiseOutput(OutputChannel& out, int index) {
  ApplyFactoryDefaults(out);
  out.GroupNumber = 0;
  SetName(out.Name, sizeof out.Name, "OUT %d", index + 1);
}

}  // namespace

ParameterStore::ParameterStore() { ResetStore(*this); }

void ResetStore(ParameterStore& store) {
  std::memset(static_cast<void*>(&store), 0, sizeof store);
  store.CurrentModel = 1;
  store.InputCount = 2;
  store.OutputCount = 4;
  store.DeviceId = 1;
  store.Online = 0;
}

void ApplyFactoryDefaults(InputChannel& in) {
  for (int b = 0; b < 8; ++b) SetBandDefaults(in.Bands[b], kInputBandFreqs[b]);
  in.MicEditorByte = 0;
  in.MicEditorWord = 0;
  in.Mute = 0;
  in.Polarity = 0;
  in.Gain = 600;
  in.Delay = 0;
  in.NoiseGate[kNoiseGateThresholdByte] = 0;
  std::memset(in.InputMix, 0, sizeof in.InputMix);
  std::memset(in.MicEditorLevels, 100, sizeof in.MicEditorLevels);
  in.Threshold = 300;
  in.Attack = 0;
  in.Release = 0;
  in.Ratio = 999;
}

void ApplyFactoryDefaults(OutputChannel& out) {
  for (int b = 0; b < kBandRecords; ++b) SetBandDefaults(out.Bands[b], kOutputBandFreqs[b]);
  out.EqEditorWord = 0;
  out.Mute = 0;
  out.Polarity = 0;
  out.Gain = 600;
  out.Delay = 0;
  std::memset(out.Routing, 0, sizeof out.Routing);
  out.Byte276 = 0;
  out.Crossover[kHighPass] = {10, 2, 0};
  out.Crossover[kLowPass] = {30000, 2, 0};
  out.Threshold = 300;
  out.Attack = 0;
  out.Release = 0;
  out.Ratio = 999;
  out.OutputGroup3Words[0] = 300;
  out.OutputGroup3Words[1] = 0;
  out.OutputGroup3Words[2] = 1;
}

void ApplyFactoryDefaults(ParameterStore& store) {
  for (auto& in : store.Inputs) ApplyFactoryDefaults(in);
  for (auto& out : store.Outputs) ApplyFactoryDefaults(out);
}

void InitialiseStore(ParameterStore& store) {
  store.System.Temperature = 28;
  store.System.CurrentProgram = 0;

  for (int n = 1; n <= kPresetCount; ++n) {
    PresetSlot& p = store.Presets[n];
    SetName(p.Name, sizeof p.Name, "Preset %d", n);
    for (auto& in : p.Inputs) in.GroupNumber = 0;
    for (auto& out : p.Outputs) out.GroupNumber = 0;
  }

  for (int model = 1; model <= 4; ++model) {
    ModelBank& bank = store.ModelBanks[model];
    for (int i = 0; i < kChannelSlots; ++i) {
      InitialiseInput(bank.Inputs[i], i);
      InitialiseOutput(bank.Outputs[i], i);
    }
  }

  for (int i = 0; i < kChannelSlots; ++i) {
    InputChannel& in = store.Inputs[i];
    InitialiseInput(in, i);
    ChannelGroup& g = store.InputGroups[i];
    g = ChannelGroup{};
    g.Word0 = 9;
  }
  for (int i = 0; i < kChannelSlots; ++i) {
    OutputChannel& out = store.Outputs[i];
    InitialiseOutput(out, i);
    std::memset(out.Bytes244, 1, sizeof out.Bytes244);
    std::memset(out.Bytes252, 0, sizeof out.Bytes252);
    ChannelGroup& g = store.OutputGroups[i];
    g = ChannelGroup{};
    g.Word0 = static_cast<uint32_t>(i + 1);
  }
}

bool SwitchModel(ParameterStore& store, int newModel, const std::function<void()>& onRebuild) {
  const ModelInfo* info = FindModel(newModel);
  if (info == nullptr || newModel == store.CurrentModel) return false;
  if (FindModel(store.CurrentModel) != nullptr) {
    ModelBank& saved = store.ModelBanks[store.CurrentModel];
    std::memcpy(saved.Inputs, store.Inputs, sizeof store.Inputs);
    std::memcpy(saved.Outputs, store.Outputs, sizeof store.Outputs);
  }
  const ModelBank& next = store.ModelBanks[newModel];
  std::memcpy(store.Inputs, next.Inputs, sizeof store.Inputs);
  std::memcpy(store.Outputs, next.Outputs, sizeof store.Outputs);
  store.CurrentModel = newModel;
  store.InputCount = info->InputCount;
  store.OutputCount = info->OutputCount;
  if (onRebuild) onRebuild();
  return true;
}

int CountActiveBands(const EqBand (&bands)[kBandRecords]) {
  int count = 0;
  for (int b = 0; b < 6; ++b)
    if (bands[b].Gain != 600) ++count;
  return count;
}

void UpdateBandCountWords(ParameterStore& store) {
  for (int i = 0; i < kChannelSlots; ++i) {
    store.Outputs[i].EqEditorWord = static_cast<uint32_t>(CountActiveBands(store.Outputs[i].Bands));
    store.Inputs[i].EqEditorWord = static_cast<uint32_t>(CountActiveBands(store.Inputs[i].Bands));
  }
}

}  // namespace veyra
