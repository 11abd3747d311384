// The device-wide settings of the System Setting dialog: backlight,
// temperature and the device id the device keeps, how the dialog's lists
// show them, and the three messages that carry them. The dialog and the
// command-line tool share these rules.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/device_link.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

inline constexpr char kWriteDataErrorText[] = "Write Data eror.";
// Not one of the device's own texts: OK while offline says what it did.
inline constexpr char kSettingsOfflineText[] =
    "The device is offline; the settings are kept in the program and nothing was sent.";

inline constexpr int kBackLightChoices = 2;     // "keep on", "30s"
inline constexpr uint8_t kBackLightTimed = 30;  // seconds, what "30s" stores
inline constexpr int kMaxTemperature = 50;      // degrees Celsius, 0..50
inline constexpr int kMaxDeviceIdSetting = 50;  // 1..50

// The order in which OK sends them.
inline constexpr std::array<uint8_t, 3> kSystemSettingItems{SystemItem::BackLight, SystemItem::DeviceId,
                                                            SystemItem::Temperature};

// The three lists' selections.
struct SystemChoice {
  int BackLight = 0;    // 0 "keep on", 1 "30s"
  int Temperature = 0;  // 0..50, the degrees themselves
  int DeviceId = 0;     // 0..49 for ids 1..50
};

// "keep on" / "30s"
const char* BackLightText(int index);
// "25℃" (UTF-8)
std::string TemperatureText(int degrees);

// What the dialog opens on: any non-zero backlight shows as "30s"; the
// temperature as stored (limited to the list); the device id list starts at
// the program's DeviceId, so that OK stores the id the program talks to.
SystemChoice CurrentSystemChoice(const ParameterStore& store);

// OK's store step: BackLight 0 or exactly 30, Temperature, DeviceIdSetting =
// selection + 1. False, changing nothing, while the lock is set.
bool StoreSystemChoice(ParameterStore& store, const SystemChoice& choice);

// Sends the three settings messages in order; the first one that is not
// answered stops the others. Returns how many were answered (3: all).
int SendSystemSettings(ParameterStore& store, DeviceLink& link);

}  // namespace veyra
