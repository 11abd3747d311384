// The program (preset) operations with the device. program is 1..30. Every
// operation does nothing but return Locked while the front-panel lock is
// set. While offline each works on the store alone and returns Offline with
// its success text; while online it sends as below, stops silently at the
// first frame that stays unanswered (NoReply, no text) and restarts the
// meter poll at 100 ms, also after a failure.
#pragma once

#include <optional>
#include <string_view>

#include "link/device_link.hpp"
#include "sync/sync_result.hpp"

namespace veyra {

// Save Preset to Device. name (raw device bytes, see EncodeDeviceText) first
// replaces the program's name; more than 16 bytes are cut. Online: the
// program's name, then each input and each output, each copied from the
// live records into the program just before it is sent. "Save Successfully."
SyncResult SavePresetToDevice(ParameterStore& store, DeviceLink& link, int program,
                              std::optional<std::string_view> name = std::nullopt,
                              const SyncControl& control = {});

// Recall Preset from Device. CurrentProgram becomes program. Online: the
// current-program message, then for each input and each output the program's
// channel is read from the device, copied into the live records and sent
// back as live settings; all on a copy of the store. "Recall Successfully."
SyncResult RecallPresetFromDevice(ParameterStore& store, DeviceLink& link, int program,
                                  const SyncControl& control = {});

// The device half of Recall Preset from File: the file was already read into
// the program's slot. CurrentProgram becomes program and the program goes
// into the live records. Online: the current-program message, the program's
// name, then for each input and each output the channel twice, into the
// stored program and as live settings. "Recall Successfully."
SyncResult RecallPresetFromFile(ParameterStore& store, DeviceLink& link, int program,
                                const SyncControl& control = {});

// Download All from Device: every channel of the model of all 30 programs,
// each with up to 3 attempts 30 ms apart; progress per channel out of
// 30 x (inputs + outputs). Done on a copy of the store, so after a failure
// the programs are as they were (and no file should be written). Offline the
// store's programs are what there is. "Save successfully."
SyncResult DownloadAllPresets(ParameterStore& store, DeviceLink& link, const SyncControl& control = {});

// Upload All from PC: the 30 programs (already loaded from the file) go to
// the device: per program its name (one attempt), then each channel of the
// model with up to 3 attempts 30 ms apart; progress per channel.
// "Upload successfully."
SyncResult UploadAllPresets(ParameterStore& store, DeviceLink& link, const SyncControl& control = {});

}  // namespace veyra
