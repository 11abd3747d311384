#include "admin/system_settings.hpp"

#include <algorithm>

#include "state/text_format.hpp"

namespace veyra {

const char* BackLightText(int index) {
  return index == 0 ? "keep on" : "30s";
}

std::string TemperatureText(int degrees) {
  return Format("%d℃", degrees);
}

SystemChoice CurrentSystemChoice(const ParameterStore& store) {
  SystemChoice choice;
  choice.BackLight = store.System.BackLight != 0 ? 1 : 0;
  choice.Temperature = std::min<int>(store.System.Temperature, kMaxTemperature);
  choice.DeviceId = std::clamp<int>(store.DeviceId, 1, kMaxDeviceIdSetting) - 1;
  return choice;
}

bool StoreSystemChoice(ParameterStore& store, const SystemChoice& choice) {
  if (store.System.LockState != 0) return false;
  store.System.BackLight = choice.BackLight != 0 ? kBackLightTimed : 0;
  store.System.Temperature = static_cast<uint8_t>(std::clamp(choice.Temperature, 0, kMaxTemperature));
  store.System.DeviceIdSetting =
      static_cast<uint8_t>(std::clamp(choice.DeviceId, 0, kMaxDeviceIdSetting - 1) + 1);
  return true;
}

int SendSystemSettings(ParameterStore& store, DeviceLink& link) {
  int answered = 0;
  for (const uint8_t item : kSystemSettingItems) {
    if (!SendFrame(store, link, WriteCommand, store.DeviceId, 0, item, SystemBlock, 0)) break;
    ++answered;
  }
  return answered;
}

}  // namespace veyra
