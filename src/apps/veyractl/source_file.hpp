// The file a file-only command reads: a settings file (.dat), a program file
// (.preset) or a bank file (.dama), loaded into a freshly initialised store,
// and which of the store's records hold what the command is to look at.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "console.hpp"
#include "state/parameter_store.hpp"

namespace veyra::ctl {

enum class FileKind { Settings, Preset, Bank };

// By the extension (.dat, .preset, .dama, in any case); for another extension
// by the size of the file, when it is exactly that of one kind.
std::optional<FileKind> FileKindOf(const std::filesystem::path& path);

struct SourceFile {
  std::unique_ptr<ParameterStore> Store;
  FileKind Kind = FileKind::Settings;
  // 0: the live records (a settings file); 1..30: that program's records. A
  // program file lands in program 1, whatever program it was saved from.
  int Source = 0;

  InputChannel* Inputs() const;
  OutputChannel* Outputs() const;
};

// Loads path. program (1..30) picks a program of a bank file (program 1 when
// not given) and is a usage error for the other kinds. A file that loads but
// is short or long gives a note on the console. Returns the exit status.
int LoadSourceFile(const Console& console, const std::string& path, std::optional<int> program,
                   SourceFile& loaded);

}  // namespace veyra::ctl
