// The files that hold parts of the store, byte for byte:
//
//   settings ".dat"  7362 bytes: the 8 live input records, the 8 live output
//                    records, the system block, the input and the output groups;
//   program ".preset" 6708 bytes: u32 0-based program index, 16-byte name,
//                    the program's 8 input and 8 output records;
//   bank ".dama"     30 x 6704 bytes: programs 1..30 exactly as in the store.
//
// None has a header or a checksum. Loading takes the bytes as they are: a short
// file overwrites only the bytes it holds (the rest of the store keeps its
// values), extra bytes at the end are ignored, and the result says which of
// these happened. A file that cannot be opened or read changes nothing.
// Loading only reads the store's records; sending them to the device and
// refreshing the windows is the caller's business.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <vector>

#include "file_io.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

inline constexpr size_t kPresetFileBytes =
    4 + kPresetNameBytes + sizeof(PresetSlot::Inputs) + sizeof(PresetSlot::Outputs);
inline constexpr size_t kBankFileBytes = sizeof(PresetSlot) * kPresetCount;
static_assert(kPresetFileBytes == 6708 && kBankFileBytes == 201120);

// ---- Settings file ----------------------------------------------------------
std::vector<std::byte> SettingsFileBytes(const ParameterStore& store);
LoadResult ReadSettingsData(ParameterStore& store, std::span<const std::byte> data);
SaveResult WriteSettingsFile(const ParameterStore& store, const std::filesystem::path& path,
                             const SaveOptions& options = {});
LoadResult ReadSettingsFile(ParameterStore& store, const std::filesystem::path& path);

// ---- Program file (program = 1..30) -------------------------------------------
// The file records the program's index; on loading it is ignored and the data
// goes to the program the caller names.
std::vector<std::byte> PresetFileBytes(const ParameterStore& store, int program);
LoadResult ReadPresetData(ParameterStore& store, int program, std::span<const std::byte> data);
SaveResult WritePresetFile(const ParameterStore& store, int program, const std::filesystem::path& path,
                           const SaveOptions& options = {});
LoadResult ReadPresetFile(ParameterStore& store, int program, const std::filesystem::path& path);

// ---- Bank file ----------------------------------------------------------------
std::vector<std::byte> BankFileBytes(const ParameterStore& store);
LoadResult ReadBankData(ParameterStore& store, std::span<const std::byte> data);
SaveResult WriteBankFile(const ParameterStore& store, const std::filesystem::path& path,
                         const SaveOptions& options = {});
LoadResult ReadBankFile(ParameterStore& store, const std::filesystem::path& path);

}  // namespace veyra
