#include "device_commands.hpp"

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "admin/channel_copy.hpp"
#include "admin/security_lock.hpp"
#include "admin/system_settings.hpp"
#include "check_commands.hpp"
#include "files/group_diff.hpp"
#include "files/store_files.hpp"
#include "info_report.hpp"
#include "params/param_table.hpp"
#include "source_file.hpp"
#include "state/text_format.hpp"
#include "sync/changed_groups.hpp"
#include "sync/connection.hpp"
#include "sync/programs.hpp"

namespace veyra::ctl {

namespace {

// A file that is to go to the device is read before connecting, so that a
// missing file costs no connection; its bytes are applied after it.
std::string KindName(FileKind kind) {
  switch (kind) {
    case FileKind::Settings:
      return "a settings file (.dat)";
    case FileKind::Preset:
      return "a program file (.preset)";
    case FileKind::Bank:
      return "a bank file (.dama)";
  }
  return {};
}

struct FileBytes {
  std::string Path;
  std::vector<std::byte> Data;
};

// The program loads whatever it is given, but a bank or program file sent as
// live settings (or the other way round) would put nonsense into a running
// processor: a file that is plainly of another kind is refused. A file of no
// known kind loads as the program loads it, with a note when its size is off.
int ReadWhole(const Console& console, const std::string& path, FileKind kind, FileBytes& file) {
  const std::optional<FileKind> found = FileKindOf(path);
  if (found && *found != kind) {
    return console.Usage("\"" + path + "\" is " + KindName(*found) + ", not " + KindName(kind));
  }
  const size_t size = kind == FileKind::Settings ? kSettingsFileBytes : kBankFileBytes;
  file.Path = path;
  if (std::string error = ReadFileBytes(path, size, file.Data); !error.empty()) return console.Failure(error);
  return kExitOk;
}

void NoteLoad(const Console& console, LoadResult result, const std::string& path) {
  result.Path = path;
  console.Note(LoadNotice(result));
}

// The check runs on the file as it would load into a fresh store, before
// anything connects: a refused file costs no connection and sends nothing.
int CheckBeforeSending(const Console& console, const FileBytes& file, FileKind kind, bool force) {
  const auto scratch = std::make_unique<ParameterStore>();
  InitialiseStore(*scratch);
  if (kind == FileKind::Settings) {
    ReadSettingsData(*scratch, file.Data);
    return RefuseOutOfRange(console, file.Path, CheckLiveSettings(*scratch), force);
  }
  ReadBankData(*scratch, file.Data);
  return RefuseOutOfRange(console, file.Path, CheckAllPrograms(*scratch), force);
}

int Saved(const Console& console, const SaveResult& result) {
  return result.ok() ? kExitOk : console.Failure(result.Error);
}

int LockCommand(const Console& console, const GlobalOptions& global, const std::string& password,
                bool locking) {
  return Connected(console, global, [&](DeviceSession& session) {
    ParameterStore& store = session.Store();
    const LockResult result =
        locking ? LockDevice(store, session.Link(), password) : UnlockDevice(store, session.Link(), password);
    if (!result.ok()) return console.Failure(result.Message);
    console.Note(result.Message);
    return kExitOk;
  });
}

void PrintSettings(const Console& console, const SystemSettings& system) {
  console.Out() << "BackLight: " << BackLightText(system.BackLight != 0 ? 1 : 0) << "\n"
                << "Temperature: " << TemperatureText(system.Temperature) << "\n"
                << "DeviceID: " << static_cast<int>(system.DeviceIdSetting) << "\n";
}

}  // namespace

int RunInfo(const Console& console, const GlobalOptions& global, const InfoOptions& options) {
  return Connected(console, global, [&](DeviceSession& session) {
    console.Out() << (options.Json ? InfoJson(session.Store()) : InfoText(session.Store()));
    return kExitOk;
  });
}

int RunPull(const Console& console, const GlobalOptions& global, const PullOptions& options) {
  return Connected(console, global, [&](DeviceSession& session) {
    ParameterStore& store = session.Store();
    // The main window's refresh after connecting writes the band counts into
    // the records, and the settings file carries them.
    UpdateBandCountWords(store);
    if (const int status = Saved(console, WriteSettingsFile(store, options.Settings)); status != kExitOk) {
      return status;
    }
    if (options.Presets.empty()) return kExitOk;
    return Saved(console, WriteBankFile(store, options.Presets));
  });
}

int RunPush(const Console& console, const GlobalOptions& global, const std::string& file, bool force) {
  FileBytes bytes;
  if (const int status = ReadWhole(console, file, FileKind::Settings, bytes); status != kExitOk)
    return status;
  if (const int status = CheckBeforeSending(console, bytes, FileKind::Settings, force); status != kExitOk)
    return status;
  return Connected(console, global, [&](DeviceSession& session) {
    NoteLoad(console, ReadSettingsData(session.Store(), bytes.Data), file);
    ProgressLine progress(console, "Sending");
    return session.Outcome(DownloadLiveSettings(session.Store(), session.Link(), progress.Control()),
                           "sending the settings", true);
  });
}

int RunApply(const Console& console, const GlobalOptions& global, const ApplyOptions& options) {
  FileBytes bytes;
  if (const int status = ReadWhole(console, options.File, FileKind::Settings, bytes); status != kExitOk)
    return status;
  if (const int status = CheckBeforeSending(console, bytes, FileKind::Settings, options.Force);
      status != kExitOk)
    return status;
  return Connected(console, global, [&](DeviceSession& session) {
    ParameterStore& store = session.Store();
    const LiveChannels device = LiveChannelsOf(store);
    // The file loads over what the device reported, as push loads it; only
    // its live channels go anywhere.
    const auto file = std::make_unique<ParameterStore>(store);
    NoteLoad(console, ReadSettingsData(*file, bytes.Data), options.File);
    const LiveChannels wanted = LiveChannelsOf(*file);
    const std::vector<MessageAddress> changed = ChangedGroups(device, wanted, store.CurrentModel);
    const size_t writes = WritesFor(changed).size();
    if (options.DryRun) {
      for (const GroupChange& group : DescribeChangedGroups(store, device, wanted, changed)) {
        console.Out() << GroupChangeText(group) << '\n';
        for (const SettingChange& field : group.Fields) console.Out() << "  " << ChangeText(field) << '\n';
      }
      console.Out() << Format("%zu message%s would be sent\n", writes, writes == 1 ? "" : "s");
      return kExitOk;
    }
    PutLiveChannels(store, wanted);
    const SyncResult result = SendChangedGroups(store, session.Link(), device);
    const int sent = result.Exchanges + result.Unanswered;
    console.Out() << Format("%d message%s sent\n", sent, sent == 1 ? "" : "s");
    return session.Outcome(result, "sending the differences", true);
  });
}

int RunBackup(const Console& console, const GlobalOptions& global, const std::string& file) {
  return Connected(console, global, [&](DeviceSession& session) {
    ProgressLine progress(console, "Download All");
    const SyncResult result = DownloadAllPresets(session.Store(), session.Link(), progress.Control());
    if (const int status = session.Outcome(result, "Download All"); status != kExitOk) return status;
    if (const int status = Saved(console, WriteBankFile(session.Store(), file)); status != kExitOk)
      return status;
    console.Note(result.Message);
    return kExitOk;
  });
}

int RunRestore(const Console& console, const GlobalOptions& global, const std::string& file, bool force) {
  FileBytes bytes;
  if (const int status = ReadWhole(console, file, FileKind::Bank, bytes); status != kExitOk) return status;
  if (const int status = CheckBeforeSending(console, bytes, FileKind::Bank, force); status != kExitOk)
    return status;
  return Connected(console, global, [&](DeviceSession& session) {
    NoteLoad(console, ReadBankData(session.Store(), bytes.Data), file);
    ProgressLine progress(console, "Upload All");
    const SyncResult result = UploadAllPresets(session.Store(), session.Link(), progress.Control());
    if (const int status = session.Outcome(result, "Upload All"); status != kExitOk) return status;
    console.Note(result.Message);
    return kExitOk;
  });
}

int RunRecall(const Console& console, const GlobalOptions& global, int program) {
  return Connected(console, global, [&](DeviceSession& session) {
    const SyncResult result = RecallPresetFromDevice(session.Store(), session.Link(), program);
    if (const int status = session.Outcome(result, "the recall"); status != kExitOk) return status;
    console.Note(result.Message);
    return kExitOk;
  });
}

int RunReset(const Console& console, const GlobalOptions& global) {
  return Connected(console, global, [&](DeviceSession& session) {
    return session.Outcome(FactoryReset(session.Store(), session.Link()), "the factory reset", true);
  });
}

}  // namespace veyra::ctl

namespace veyra::ctl {

int RunLock(const Console& console, const GlobalOptions& global, const std::string& password) {
  return LockCommand(console, global, password, true);
}

int RunUnlock(const Console& console, const GlobalOptions& global, const std::string& password) {
  return LockCommand(console, global, password, false);
}

int RunSettings(const Console& console, const GlobalOptions& global, const SettingsOptions& options) {
  return Connected(console, global, [&](DeviceSession& session) {
    ParameterStore& store = session.Store();
    if (!options.BackLight && !options.Temperature) {
      PrintSettings(console, store.System);
      return kExitOk;
    }
    SystemChoice choice = CurrentSystemChoice(store);
    if (options.BackLight) choice.BackLight = *options.BackLight == "on" ? 0 : 1;
    if (options.Temperature) choice.Temperature = *options.Temperature;
    // What is not given keeps the device's value exactly, even a backlight
    // time the dialog would show (and store) as "30s".
    const uint8_t backLight = store.System.BackLight;
    if (!StoreSystemChoice(store, choice)) {
      SyncResult locked;
      locked.Status = SyncStatus::Locked;
      return session.Outcome(locked, "changing the settings");
    }
    if (!options.BackLight) store.System.BackLight = backLight;
    if (SendSystemSettings(store, session.Link()) < static_cast<int>(kSystemSettingItems.size()))
      return console.Failure(kWriteDataErrorText);
    PrintSettings(console, store.System);
    return kExitOk;
  });
}

int RunCopy(const Console& console, const GlobalOptions& global, const CopyOptions& options) {
  const bool input = options.Kind == "input";
  return Connected(console, global, [&](DeviceSession& session) {
    ParameterStore& store = session.Store();
    const int count = input ? store.InputCount : store.OutputCount;
    const ChannelKind kind = input ? ChannelKind::Input : ChannelKind::Output;
    const int source = ChannelFromWord(options.Source, kind, count);
    const int target = ChannelFromWord(options.Target, kind, count);
    if (source < 0 || target < 0) {
      return console.Usage(Format("%s %s: this device's %ss are %s", options.Kind.c_str(),
                                  (source < 0 ? options.Source : options.Target).c_str(),
                                  options.Kind.c_str(), ChannelWords(kind, count).c_str()));
    }
    if (store.System.LockState != 0) {
      SyncResult locked;
      locked.Status = SyncStatus::Locked;
      return session.Outcome(locked, "the copy");
    }
    if (input) {
      CopyInputSettings(store, source, target);
    } else {
      CopyOutputSettings(store, source, target);
    }
    const std::vector<CopyMessage> messages =
        input ? CopyInputMessages(store, target) : CopyOutputMessages(target);
    return session.Outcome(SendCopyMessages(store, session.Link(), messages), "the copy", true);
  });
}

}  // namespace veyra::ctl
