// The device models. Everything that varies between models lives in this one table.
#pragma once

#include <optional>
#include <span>
#include <string_view>

namespace veyra {

struct ModelInfo {
  int Model;                    // CurrentModel value
  std::string_view Name;        // selector text
  std::string_view DeviceCode;  // model code the device reports
  std::string_view CliName;     // lower-case name used in addresses and options
  int InputCount;
  int OutputCount;
};

// Models 1..3 in selector order.
std::span<const ModelInfo> Models();

// nullptr when the model number is not in the table.
const ModelInfo* FindModel(int model);

// Matches the device's 8-byte model code as a text (up to its first zero).
std::optional<int> ModelFromDeviceCode(std::string_view code);

// "sistel", "merial", "orvane" (case-insensitive).
std::optional<int> ModelFromCliName(std::string_view name);

}  // namespace veyra
