#include "models.hpp"

#include <array>
#include <cctype>

namespace veyra {

namespace {
constexpr std::array<ModelInfo, 3> kModels{{
    {1, "Sistel", "Sistel", "sistel", 2, 4},
    {2, "Merial", "Merial", "merial", 3, 6},
    {3, "Orvane", "Orvane", "orvane", 4, 8},
}};

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}
}  // namespace

std::span<const ModelInfo> Models() { return kModels; }

const ModelInfo* FindModel(int model) {
  for (const auto& m : kModels)
    if (m.Model == model) return &m;
  return nullptr;
}

std::optional<int> ModelFromDeviceCode(std::string_view code) {
  const auto end = code.find('\0');
  if (end != std::string_view::npos) code = code.substr(0, end);
  for (const auto& m : kModels)
    if (code == m.DeviceCode) return m.Model;
  return std::nullopt;
}

std::optional<int> ModelFromCliName(std::string_view name) {
  for (const auto& m : kModels)
    if (EqualsIgnoreCase(name, m.CliName)) return m.Model;
  return std::nullopt;
}

}  // namespace veyra
