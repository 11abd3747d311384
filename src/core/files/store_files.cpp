#include "store_files.hpp"

#include <array>
#include <cstring>
#include <type_traits>

#include "state/text_format.hpp"

namespace veyra {
namespace fs = std::filesystem;

namespace {

// A file is a sequence of store records; each layout below lists them in file
// order as byte views, writable or read-only with the store.
template <class T>
auto ViewBytes(std::span<T> records) {
  if constexpr (std::is_const_v<T>) {
    return std::as_bytes(records);
  } else {
    return std::as_writable_bytes(records);
  }
}

template <class T>
auto AsBytes(T& object) {
  return ViewBytes(std::span(&object, 1));
}

template <class Store>
auto SettingsLayout(Store& store) {
  return std::array{AsBytes(store.Inputs), AsBytes(store.Outputs), AsBytes(store.System),
                    AsBytes(store.InputGroups), AsBytes(store.OutputGroups)};
}

// The program index is not kept in the store: it is written from the program
// number and read into a scratch word that nobody looks at.
template <class Slot, class Index>
auto PresetLayout(Slot& slot, Index& index) {
  return std::array{AsBytes(index), AsBytes(slot.Name), AsBytes(slot.Inputs), AsBytes(slot.Outputs)};
}

// Programs 1..30 lie next to each other in the store, program 1 first.
template <class Store>
auto BankLayout(Store& store) {
  return std::array{ViewBytes(std::span(&store.Presets[1], kPresetCount))};
}

template <size_t N>
std::vector<std::byte> Concatenate(const std::array<std::span<const std::byte>, N>& layout) {
  std::vector<std::byte> bytes;
  for (const auto& part : layout) bytes.insert(bytes.end(), part.begin(), part.end());
  return bytes;
}

// Spreads data over the records in file order; a short file stops part-way.
template <size_t N>
LoadResult Distribute(const std::array<std::span<std::byte>, N>& layout, std::span<const std::byte> data) {
  LoadResult result;
  for (const auto& part : layout) result.BytesExpected += part.size();
  size_t at = 0;
  for (const auto& part : layout) {
    const size_t n = std::min(part.size(), data.size() - at);
    if (n > 0) std::memcpy(part.data(), data.data() + at, n);
    at += n;
  }
  result.BytesRead = at;
  result.TrailingData = data.size() > result.BytesExpected;
  return result;
}

bool ValidProgram(int program) {
  return program >= 1 && program <= kPresetCount;
}

std::string ProgramError(int program) {
  return Format("There is no program %d; programs are numbered 1 to %d.", program, kPresetCount);
}

template <class ReadData>
LoadResult Load(const fs::path& path, size_t expected, ReadData readData) {
  std::vector<std::byte> data;
  LoadResult result;
  result.Error = ReadFileBytes(path, expected, data);
  if (result.ok()) result = readData(data);
  result.Path = PathText(path);
  result.BytesExpected = expected;
  return result;
}

}  // namespace

// ---- Settings file ----------------------------------------------------------

std::vector<std::byte> SettingsFileBytes(const ParameterStore& store) {
  return Concatenate(SettingsLayout(store));
}

LoadResult ReadSettingsData(ParameterStore& store, std::span<const std::byte> data) {
  return Distribute(SettingsLayout(store), data);
}

SaveResult WriteSettingsFile(const ParameterStore& store, const fs::path& path, const SaveOptions& options) {
  return SaveFileReplacing(path, SettingsFileBytes(store), options);
}

LoadResult ReadSettingsFile(ParameterStore& store, const fs::path& path) {
  return Load(path, kSettingsFileBytes,
              [&](std::span<const std::byte> data) { return ReadSettingsData(store, data); });
}

// ---- Program file -------------------------------------------------------------

std::vector<std::byte> PresetFileBytes(const ParameterStore& store, int program) {
  if (!ValidProgram(program)) return {};
  const uint32_t index = static_cast<uint32_t>(program - 1);
  return Concatenate(PresetLayout(store.Presets[program], index));
}

LoadResult ReadPresetData(ParameterStore& store, int program, std::span<const std::byte> data) {
  if (!ValidProgram(program)) {
    LoadResult result;
    result.Error = ProgramError(program);
    result.BytesExpected = kPresetFileBytes;
    return result;
  }
  uint32_t ignoredIndex = 0;
  return Distribute(PresetLayout(store.Presets[program], ignoredIndex), data);
}

SaveResult WritePresetFile(const ParameterStore& store, int program, const fs::path& path,
                           const SaveOptions& options) {
  if (!ValidProgram(program)) return {ProgramError(program)};
  return SaveFileReplacing(path, PresetFileBytes(store, program), options);
}

LoadResult ReadPresetFile(ParameterStore& store, int program, const fs::path& path) {
  if (!ValidProgram(program)) return ReadPresetData(store, program, {});
  return Load(path, kPresetFileBytes,
              [&](std::span<const std::byte> data) { return ReadPresetData(store, program, data); });
}

// ---- Bank file ----------------------------------------------------------------

std::vector<std::byte> BankFileBytes(const ParameterStore& store) {
  return Concatenate(BankLayout(store));
}

LoadResult ReadBankData(ParameterStore& store, std::span<const std::byte> data) {
  return Distribute(BankLayout(store), data);
}

SaveResult WriteBankFile(const ParameterStore& store, const fs::path& path, const SaveOptions& options) {
  return SaveFileReplacing(path, BankFileBytes(store), options);
}

LoadResult ReadBankFile(ParameterStore& store, const fs::path& path) {
  return Load(path, kBankFileBytes,
              [&](std::span<const std::byte> data) { return ReadBankData(store, data); });
}

}  // namespace veyra
