// The one in-memory mirror of the device. Plain data: copy it, compare it,
// hand it to a worker thread as a private copy. Values are raw wire codes.
#pragma once

#include <cstdint>
#include <functional>
#include <type_traits>

#include "records.hpp"

namespace veyra {

struct ParameterStore {
  // Zero-filled, model 1, device id 1, offline (see ResetStore). The store is
  // about a quarter of a megabyte: keep it on the heap or in static storage.
  ParameterStore();

  InputChannel Inputs[kChannelSlots];
  OutputChannel Outputs[kChannelSlots];
  PresetSlot Presets[kPresetCount + 1];  // [1..30]; [0] is unused so that Presets[n] is program n
  ModelBank ModelBanks[5];               // [1..4] by model number; [0] is unused
  SystemSettings System;
  ChannelGroup InputGroups[kChannelSlots];   // groups 1..8
  ChannelGroup OutputGroups[kChannelSlots];  // groups 1..8

  // Selection state.
  int32_t CurrentModel;
  int32_t InputCount;
  int32_t OutputCount;
  uint8_t DeviceId;
  uint8_t Online;

  PresetSlot& Preset(int n) { return Presets[n]; }
  const PresetSlot& Preset(int n) const { return Presets[n]; }
};
static_assert(std::is_trivially_copyable_v<ParameterStore>, "the store is copied byte for byte");

// A zero-filled store with the initial selection state (model 1, device id 1, offline).
void ResetStore(ParameterStore& store);

// The one-time fill when the program starts: temperature, preset names,
// model banks, live records and group records.
void InitialiseStore(ParameterStore& store);

// Sets the live records to the factory defaults. Names, group numbers and the
// bytes the factory defaults do not name keep their values.
void ApplyFactoryDefaults(ParameterStore& store);
void ApplyFactoryDefaults(InputChannel& in);
void ApplyFactoryDefaults(OutputChannel& out);

// Saves the live records into the current model's bank and loads the new
// model's bank. Returns false (and changes nothing) when newModel is already
// selected or is not a known model; onRebuild runs after a switch so that the
// windows can be rebuilt for the new channel counts.
bool SwitchModel(ParameterStore& store, int newModel, const std::function<void()>& onRebuild = {});

// How many of the first six bands have a gain other than 0 dB.
int CountActiveBands(const EqBand (&bands)[kBandRecords]);

// Writes the band counts into each channel's editor word, as the main window's
// refresh does; the settings file carries them.
void UpdateBandCountWords(ParameterStore& store);

}  // namespace veyra
