// Feeds arbitrary bytes to the settings, program and bank loaders and builds
// the data table and its comma-separated text from whatever they loaded, then
// runs the file check and the settings diff on it.
//
// Byte 0 chooses: bits 0..1 the loader (0 settings, 1 program, 2 bank, 3 all
// three), bits 2..3 the model, bit 7 whether the rest is repeated up to the
// loader's full size (so that the later records get fuzzed values too, where
// short inputs exercise short files). The rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "files/data_table.hpp"
#include "files/export.hpp"
#include "files/file_check.hpp"
#include "files/settings_diff.hpp"
#include "files/store_files.hpp"

namespace {

using veyra::LoadResult;
using veyra::ParameterStore;

const ParameterStore& StartingStore() {
  static const auto store = [] {
    auto s = std::make_unique<ParameterStore>();
    veyra::InitialiseStore(*s);
    return s;
  }();
  return *store;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::byte> FileFor(std::span<const std::byte> body, bool tile, size_t size) {
  if (!tile || body.empty()) return {body.begin(), body.end()};
  std::vector<std::byte> file(size);
  for (size_t i = 0; i < size; ++i) file[i] = body[i % body.size()];
  return file;
}

// Whatever the file held, the result adds up and the store shows its bytes.
void CheckLoad(const LoadResult& result, std::span<const std::byte> file, const std::vector<std::byte>& image,
               size_t storedFrom) {
  Check(result.ok());
  Check(result.BytesRead == std::min(file.size(), result.BytesExpected));
  Check(result.TrailingData == (file.size() > result.BytesExpected));
  Check(image.size() == result.BytesExpected);
  if (result.BytesRead > storedFrom) {
    Check(std::memcmp(image.data() + storedFrom, file.data() + storedFrom, result.BytesRead - storedFrom) ==
          0);
  }
  Check(veyra::LoadNotice(result).empty() == result.complete());
}

void CheckTable(const ParameterStore& store, int source, int model) {
  const veyra::DataTable table = veyra::BuildDataTable(store, {.Source = source, .Model = model});
  Check(table.Header.size() == static_cast<size_t>(1 + table.InputCount + table.OutputCount));
  for (const auto& row : table.Rows) Check(row.size() == table.Header.size());
  const std::string csv = veyra::CsvText(table);
  Check(csv.size() >= table.Rows.size() * 2);
}

// The check and the diff take whatever was loaded: every finding names its
// field and range, and a set of records never differs from itself.
// One program is judged, not all thirty: the bank check is a loop over it,
// and thirty of them would take most of the fuzzer's time.
void CheckFields(const ParameterStore& store, int program, int model) {
  std::vector<veyra::RangeFinding> findings = veyra::CheckLiveSettings(store);
  const auto more = veyra::CheckProgram(store, program);
  findings.insert(findings.end(), more.begin(), more.end());
  for (const veyra::RangeFinding& finding : findings) {
    Check(!finding.Where.empty() && !finding.Caption.empty() && !finding.Value.empty());
    Check(finding.Allowed.rfind("outside ", 0) == 0 || finding.Allowed.rfind("not one of ", 0) == 0);
  }
  const veyra::RecordSet records = veyra::ModelRecords(store, veyra::kLiveSource, model);
  Check(veyra::DiffRecords(records, records).empty());
  Check(veyra::DiffRecords(veyra::ModelRecords(StartingStore(), program, model), records).size() <=
        veyra::SettingFields(records).size() + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t control = data[0];
  const auto body = std::as_bytes(std::span(data + 1, size - 1));
  const int loader = control & 3;
  const int model = 1 + ((control >> 2) & 3) % 3;
  const bool tile = (control & 0x80) != 0;
  const int program = 1 + static_cast<int>(size % veyra::kPresetCount);

  // Each load comes before the image of the store is taken: the order in
  // which a call's arguments are evaluated is the compiler's choice.
  auto store = std::make_unique<ParameterStore>(StartingStore());
  if (loader == 0 || loader == 3) {
    const auto file = FileFor(body, tile, veyra::kSettingsFileBytes);
    const LoadResult loaded = veyra::ReadSettingsData(*store, file);
    CheckLoad(loaded, file, veyra::SettingsFileBytes(*store), 0);
  }
  if (loader == 1 || loader == 3) {
    const auto file = FileFor(body, tile, veyra::kPresetFileBytes);
    const LoadResult loaded = veyra::ReadPresetData(*store, program, file);
    CheckLoad(loaded, file, veyra::PresetFileBytes(*store, program), 4);
  }
  if (loader == 2 || loader == 3) {
    const auto file = FileFor(body, tile, veyra::kBankFileBytes);
    const LoadResult loaded = veyra::ReadBankData(*store, file);
    CheckLoad(loaded, file, veyra::BankFileBytes(*store), 0);
  }
  CheckTable(*store, veyra::kLiveSource, model);
  CheckTable(*store, program, model);
  CheckFields(*store, program, model);
  return 0;
}
