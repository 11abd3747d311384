#include "source_file.hpp"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "files/store_files.hpp"

namespace veyra::ctl {
namespace fs = std::filesystem;

namespace {

std::string LowerExtension(const fs::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return ext;
}

}  // namespace

std::optional<FileKind> FileKindOf(const fs::path& path) {
  const std::string ext = LowerExtension(path);
  if (ext == ".dat") return FileKind::Settings;
  if (ext == ".preset") return FileKind::Preset;
  if (ext == ".dama") return FileKind::Bank;
  std::error_code error;
  const auto size = fs::file_size(path, error);
  if (error) return std::nullopt;
  if (size == kSettingsFileBytes) return FileKind::Settings;
  if (size == kPresetFileBytes) return FileKind::Preset;
  if (size == kBankFileBytes) return FileKind::Bank;
  return std::nullopt;
}

InputChannel* SourceFile::Inputs() const {
  return Source == 0 ? Store->Inputs : Store->Presets[Source].Inputs;
}

OutputChannel* SourceFile::Outputs() const {
  return Source == 0 ? Store->Outputs : Store->Presets[Source].Outputs;
}

int LoadSourceFile(const Console& console, const std::string& path, std::optional<int> program,
                   SourceFile& loaded) {
  const std::optional<FileKind> kind = FileKindOf(path);
  if (!kind) {
    std::error_code error;
    static_cast<void>(fs::file_size(path, error));  // only why it cannot be looked at
    if (error) return console.Failure("Cannot open \"" + path + "\": " + error.message());
    return console.Usage("cannot tell what \"" + path +
                         "\" holds: name it .dat (settings), .preset (one program) or .dama (all programs)");
  }
  if (program && *kind != FileKind::Bank) {
    return console.Usage("--program picks a program of a .dama file; \"" + path +
                         "\" holds one set of records");
  }
  loaded.Store = std::make_unique<ParameterStore>();
  InitialiseStore(*loaded.Store);
  loaded.Kind = *kind;
  LoadResult result;
  switch (*kind) {
    case FileKind::Settings:
      loaded.Source = 0;
      result = ReadSettingsFile(*loaded.Store, path);
      break;
    case FileKind::Preset:
      loaded.Source = 1;
      result = ReadPresetFile(*loaded.Store, loaded.Source, path);
      break;
    case FileKind::Bank:
      loaded.Source = program.value_or(1);
      result = ReadBankFile(*loaded.Store, path);
      break;
  }
  if (!result.ok()) return console.Failure(result.Error);
  console.Note(LoadNotice(result));
  return kExitOk;
}

}  // namespace veyra::ctl
