#include "eq_commands.hpp"

#include <cctype>
#include <memory>

#include "files/filter_import.hpp"
#include "files/filter_text.hpp"
#include "files/store_files.hpp"
#include "params/param_table.hpp"
#include "source_file.hpp"

namespace veyra::ctl {
namespace {

constexpr size_t kMaxFilterFile = 1 << 20;

struct Channel {
  ChannelKind Kind = ChannelKind::Input;
  int Index = 0;
  std::string Label;
};

Channel ChannelOf(const EqFileOptions& options) {
  if (!options.Input.empty()) {
    const int index = std::toupper(static_cast<unsigned char>(options.Input[0])) - 'A';
    return {ChannelKind::Input, index, ChannelLabel(ChannelKind::Input, index)};
  }
  return {ChannelKind::Output, options.Output - 1, ChannelLabel(ChannelKind::Output, options.Output - 1)};
}

// The settings file, complete: a file that is short, long or not a settings
// file is not rewritten (the rewrite would fill or cut it silently).
int LoadSettings(const Console& console, const std::string& path, bool forRewrite, ParameterStore& store) {
  if (FileKindOf(path) != FileKind::Settings) {
    SourceFile probe;
    if (const int status = LoadSourceFile(console, path, std::nullopt, probe); status != kExitOk) return status;
    return console.Usage("\"" + path + "\" is not a settings file (.dat)");
  }
  InitialiseStore(store);
  const LoadResult result = ReadSettingsFile(store, path);
  if (!result.ok()) return console.Failure(result.Error);
  if (forRewrite && !result.complete())
    return console.Failure(LoadNotice(result) + " Not rewritten.");
  if (!forRewrite && !result.complete()) console.Note(LoadNotice(result));
  return kExitOk;
}

}  // namespace

int RunImportEq(const Console& console, const EqFileOptions& options) {
  std::vector<std::byte> bytes;
  if (std::string error = ReadFileBytes(options.Filters, kMaxFilterFile, bytes); !error.empty())
    return console.Failure(error);
  if (bytes.size() > kMaxFilterFile)
    return console.Failure("\"" + options.Filters + "\" is too large for a filter list");
  const EqImport import =
      ReadFilterText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (!import.ok()) return console.Failure(options.Filters + ": " + import.Error + "; nothing changed");
  const ImportMode mode = options.Fit       ? ImportMode::Fit
                          : options.Literal ? ImportMode::Literal
                                            : ImportMode::Auto;
  if (mode == ImportMode::Literal) {
    if (const std::string refusal = LiteralRefusal(import); !refusal.empty())
      return console.Failure(options.Filters + ": " + refusal + "; nothing changed");
  }
  auto store = std::make_unique<ParameterStore>();
  if (const int status = LoadSettings(console, options.Settings, true, *store); status != kExitOk)
    return status;
  const EqImportChoice choice = ChooseImport(import, mode);
  const Channel channel = ChannelOf(options);
  ApplyEqImport(*store, channel.Kind, channel.Index, choice.Bands);
  if (const SaveResult saved = WriteSettingsFile(*store, options.Settings); !saved.ok())
    return console.Failure(saved.Error);
  for (const std::string& notice : import.Notices) console.Note(options.Filters + ": " + notice);
  if (!choice.Fitted)
    for (const std::string& notice : import.CopyNotices) console.Note(options.Filters + ": " + notice);
  console.Note(choice.Report);
  console.Note("EQ bands 1..6 of " + channel.Label + " in \"" + options.Settings + "\" rewritten");
  return kExitOk;
}

int RunExportEq(const Console& console, const EqFileOptions& options) {
  auto store = std::make_unique<ParameterStore>();
  if (const int status = LoadSettings(console, options.Settings, false, *store); status != kExitOk) return status;
  const Channel channel = ChannelOf(options);
  console.Out() << WriteFilterText(*store, channel.Kind, channel.Index);
  return kExitOk;
}

}  // namespace veyra::ctl
