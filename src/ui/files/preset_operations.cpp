#include "files/preset_operations.hpp"

#include <QApplication>
#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

#include "controls/message_box.hpp"
#include "editing/ab_comparison.hpp"
#include "editing/edit_context.hpp"
#include "editing/load_question.hpp"
#include "editing/prompts.hpp"
#include "files/store_files.hpp"
#include "link/device_link.hpp"
#include "state/text_format.hpp"
#include "sync/programs.hpp"

namespace veyra {
namespace {

bool IsTransfer(PresetOperation operation) {
  return operation == PresetOperation::DownloadAll || operation == PresetOperation::UploadAll;
}

// The operations whose end replaces or rewrites what an edit starts from.
bool IsWholesale(PresetOperation operation) {
  return operation == PresetOperation::RecallFromDevice || operation == PresetOperation::RecallFromFile ||
         operation == PresetOperation::UploadAll;
}

std::filesystem::path FilePath(const QString& path) {
  return std::filesystem::path(path.toStdU16String());
}

// The device part of an operation on the job's copy of the store, then the
// file it writes; runs on the link thread.
PresetOutcome RunOperation(PresetOperation operation, int program, const std::optional<std::string>& name,
                           const std::filesystem::path& path, ParameterStore& work, DeviceLink& link,
                           const SyncControl& control) {
  PresetOutcome outcome;
  outcome.Operation = operation;
  outcome.Program = IsTransfer(operation) ? 0 : program;
  const std::optional<std::string_view> nameView =
      name ? std::optional<std::string_view>(*name) : std::optional<std::string_view>();
  switch (operation) {
    case PresetOperation::SaveToDevice:
    case PresetOperation::SaveToFile:
      outcome.Result = SavePresetToDevice(work, link, program, nameView, control);
      break;
    case PresetOperation::RecallFromDevice:
      outcome.Result = RecallPresetFromDevice(work, link, program, control);
      break;
    case PresetOperation::RecallFromFile:
      outcome.Result = RecallPresetFromFile(work, link, program, control);
      break;
    case PresetOperation::DownloadAll:
      outcome.Result = DownloadAllPresets(work, link, control);
      break;
    case PresetOperation::UploadAll:
      outcome.Result = UploadAllPresets(work, link, control);
      break;
  }
  // A file only after the whole device part: a download that stopped half-way
  // must not leave a bank that looks complete.
  if (outcome.Result.ok()) {
    if (operation == PresetOperation::SaveToFile) {
      outcome.FileError = WritePresetFile(work, program, path).Error;
    } else if (operation == PresetOperation::DownloadAll) {
      outcome.FileError = WriteBankFile(work, path).Error;
    }
  }
  return outcome;
}

}  // namespace

struct PresetOperations::Job {
  PresetOperation Operation;
  int Program;
  std::optional<std::string> Name;
  std::filesystem::path Path;
  std::shared_ptr<ParameterStore> Work;
  std::shared_ptr<std::atomic<bool>> Cancel;
};

PresetOperations::PresetOperations(EditContext& context) : QObject(&context), context_(context) {
  setObjectName("PresetOperations");
}

PresetOperations& PresetOperations::Of(EditContext& context) {
  if (auto* existing = context.findChild<PresetOperations*>("PresetOperations", Qt::FindDirectChildrenOnly))
    return *existing;
  return *new PresetOperations(context);
}

bool PresetOperations::SaveToDevice(int program, const std::string& name) {
  return Start(PresetOperation::SaveToDevice, program, name, {});
}

bool PresetOperations::RecallFromDevice(int program) {
  if (!busy_ && !context_.Comparison().ConfirmEnd(Owner())) return false;
  return Start(PresetOperation::RecallFromDevice, program, std::nullopt, {});
}

bool PresetOperations::SaveToFile(int program, const std::string& name, const QString& path) {
  return Start(PresetOperation::SaveToFile, program, name, path);
}

bool PresetOperations::RecallFromFile(int program, const QString& path) {
  if (!busy_ && !context_.Comparison().ConfirmEnd(Owner())) return false;
  return Start(PresetOperation::RecallFromFile, program, std::nullopt, path);
}

bool PresetOperations::DownloadAll(const QString& path) {
  return Start(PresetOperation::DownloadAll, 0, std::nullopt, path);
}

bool PresetOperations::UploadAll(const QString& path) {
  return Start(PresetOperation::UploadAll, 0, std::nullopt, path);
}

void PresetOperations::Cancel() {
  if (busy_ && cancel_ && IsTransfer(running_)) cancel_->store(true);
}

QWidget* PresetOperations::Owner() const {
  return owner_ ? owner_.data() : QApplication::activeWindow();
}

bool PresetOperations::ReadFile(PresetOperation operation, int program, const QString& path) {
  ParameterStore& store = context_.Store();
  // Into a copy first, so that a file that fails the check and is not wanted
  // changes nothing.
  const auto read = std::make_unique<ParameterStore>(store);
  const bool one = operation == PresetOperation::RecallFromFile;
  const LoadResult loaded =
      one ? ReadPresetFile(*read, program, FilePath(path)) : ReadBankFile(*read, FilePath(path));
  if (!loaded.ok()) {
    context_.Prompts().Ask(Owner(), QString::fromStdString(loaded.Error), "Warning",
                           kStyleOk | kIconExclamation);
    return false;
  }
  const std::vector<RangeFinding> findings = one ? CheckProgram(*read, program) : CheckAllPrograms(*read);
  if (!AcceptFileCheck(context_.Prompts(), Owner(), path, findings, "program file")) return false;
  store = *read;
  const std::string notice = LoadNotice(loaded);
  if (!notice.empty()) context_.Prompts().Notice(Owner(), QString::fromStdString(notice));
  return true;
}

bool PresetOperations::Start(PresetOperation operation, int program, std::optional<std::string> name,
                             const QString& path) {
  if (busy_ || context_.Locked()) return false;
  if (!IsTransfer(operation) && (program < 1 || program > kPresetCount)) return false;
  if (IsWholesale(operation) && context_.OperationRunning()) {
    context_.Prompts().Notice(Owner(), context_.RunningOperation() + "\nTry again when it has ended.");
    return false;
  }
  busy_ = true;  // also while a file is read and its notice shown
  running_ = operation;
  program_ = IsTransfer(operation) ? 0 : program;
  emit busyChanged(true);
  const bool reads = operation == PresetOperation::RecallFromFile || operation == PresetOperation::UploadAll;
  if (reads && !ReadFile(operation, program, path)) {
    busy_ = false;
    emit busyChanged(false);
    return false;
  }
  savePoint_ = context_.SavePoint();
  if (IsWholesale(operation)) {
    operation_ = context_.BeginOperation(operation == PresetOperation::UploadAll
                                             ? QString("Uploading all programs ...")
                                             : QString("Recalling program %1 ...").arg(program));
  }

  auto job = std::make_shared<Job>(Job{operation, program, std::move(name), FilePath(path),
                                       std::make_shared<ParameterStore>(context_.Store()),
                                       std::make_shared<std::atomic<bool>>(false)});
  cancel_ = job->Cancel;
  EditContext* context = &context_;
  QPointer<PresetOperations> self(this);
  const bool queued = context_.RunDeviceJob([job, context, self](DeviceLink& link) {
    SyncControl control;
    control.Cancel = job->Cancel.get();
    if (IsTransfer(job->Operation)) {
      control.Progress = [context, self](int done, int total) {
        context->PostToWindow([self, done, total] {
          if (self && self->busy_) emit self->progress(done, total);
        });
      };
    }
    PresetOutcome outcome =
        RunOperation(job->Operation, job->Program, job->Name, job->Path, *job->Work, link, control);
    context->PostToWindow([self, job, outcome = std::move(outcome)]() mutable {
      if (self) self->Finish(*job->Work, std::move(outcome));
    });
  });
  if (!queued) {
    busy_ = false;
    cancel_.reset();
    context_.EndOperation(std::exchange(operation_, 0));
    emit busyChanged(false);
    if (reads) context_.Refresh();  // the file is in the store all the same
    context_.Prompts().Notice(Owner(), "The device link is busy; try again.");
    return false;
  }
  return true;
}

bool PresetOperations::TakeResult(const ParameterStore& work, const PresetOutcome& outcome) {
  ParameterStore& store = context_.Store();
  // A connection or a model switch replaced the store meanwhile: the copy
  // describes a device and channel counts that are no longer there.
  if (store.CurrentModel != work.CurrentModel || store.InputCount != work.InputCount ||
      store.OutputCount != work.OutputCount)
    return false;
  const SyncStatus status = outcome.Result.Status;
  const int p = outcome.Program;
  switch (outcome.Operation) {
    case PresetOperation::SaveToDevice:
    case PresetOperation::SaveToFile:
      if (status == SyncStatus::Locked || status == SyncStatus::BadProgram) return false;
      // Offline the program changes for the file alone; online it follows what
      // the device now holds, whatever happened to the file.
      if (status == SyncStatus::Offline && !outcome.FileError.empty()) return false;
      store.Presets[p] = work.Presets[p];
      if ((status == SyncStatus::Success || status == SyncStatus::Offline) && outcome.FileError.empty())
        context_.MarkSaved(savePoint_);  // the live settings as they were are kept in the program
      return true;
    case PresetOperation::RecallFromDevice:
    case PresetOperation::RecallFromFile:
      if (!outcome.Result.ok()) return false;
      for (int i = 0; i < store.InputCount; ++i) store.Inputs[i] = work.Inputs[i];
      for (int j = 0; j < store.OutputCount; ++j) store.Outputs[j] = work.Outputs[j];
      store.Presets[p] = work.Presets[p];
      store.System.CurrentProgram = work.System.CurrentProgram;
      // The live settings were replaced wholesale: nothing before can be undone.
      context_.ClearHistory();
      return true;
    case PresetOperation::DownloadAll:
      // The programs read are kept even when their file could not be written:
      // reading them took minutes, and the operator may save them elsewhere.
      if (status != SyncStatus::Success) return false;
      for (int q = 1; q <= kPresetCount; ++q) store.Presets[q] = work.Presets[q];
      return true;
    case PresetOperation::UploadAll:
      return false;  // the programs were read from the file before sending
  }
  return false;
}

QString PresetOperations::StoppedAnsweringText(const PresetOutcome& outcome, int channelsPerProgram) {
  const int channels = std::max(1, channelsPerProgram);
  const int answered = outcome.Result.Exchanges;
  switch (outcome.Operation) {
    case PresetOperation::DownloadAll:
      // One answered exchange per channel.
      return QString::fromStdString(Format("The device stopped answering at program %d; no file was written.",
                                           std::min(kPresetCount, answered / channels + 1)));
    case PresetOperation::UploadAll: {
      // The name and then each channel, per program.
      const int complete = std::min(kPresetCount, answered / (channels + 1));
      return QString::fromStdString(
          Format("The device stopped answering at program %d; %d of %d programs reached the device.",
                 std::min(kPresetCount, complete + 1), complete, kPresetCount));
    }
    default:
      return QString::fromStdString(Format("The device stopped answering at program %d.", outcome.Program));
  }
}

QString PresetOperations::TextFor(const PresetOutcome& outcome, int channelsPerProgram) const {
  const SyncResult& result = outcome.Result;
  if (!outcome.FileError.empty()) return QString::fromStdString(outcome.FileError);
  switch (result.Status) {
    case SyncStatus::Success:
    case SyncStatus::Offline:
      return QString::fromStdString(result.Message);
    case SyncStatus::NoReply:
      return StoppedAnsweringText(outcome, channelsPerProgram);
    case SyncStatus::Cancelled:
      if (outcome.Operation == PresetOperation::DownloadAll)
        return "Download cancelled; no file was written and no program changed.";
      return QString::fromStdString(Format("Upload cancelled: %d of %d programs reached the device.",
                                           result.Exchanges / (std::max(1, channelsPerProgram) + 1),
                                           kPresetCount));
    default:
      return {};
  }
}

void PresetOperations::Finish(const ParameterStore& work, PresetOutcome outcome) {
  busy_ = false;
  cancel_.reset();
  outcome.StoreChanged = TakeResult(work, outcome);
  context_.EndOperation(std::exchange(operation_, 0));
  context_.Refresh();  // RefreshMainWindow, and with it the open dialogs
  outcome.Text = TextFor(outcome, work.InputCount + work.OutputCount);
  emit busyChanged(false);
  emit finished(outcome);
  if (outcome.Text.isEmpty()) return;
  if (outcome.Operation == PresetOperation::DownloadAll && outcome.StoreChanged &&
      !outcome.FileError.empty()) {
    SaveBankElsewhere(outcome.Text);
  } else if (!outcome.FileError.empty()) {
    context_.Prompts().Ask(Owner(), outcome.Text, "Warning", kStyleOk | kIconExclamation);
  } else {
    context_.Prompts().Notice(Owner(), outcome.Text);
  }
}

void PresetOperations::SaveBankElsewhere(QString failure) {
  // Until a file takes them, or the operator lets it be: the programs stay
  // in the store (and in a settings file saved later) either way.
  for (;;) {
    const QString question =
        failure + "\nThe 30 programs read are kept in the program. Save them to another file?";
    if (context_.Prompts().Ask(Owner(), question, "Warning", kStyleYesNo | kIconExclamation) != kResultYes)
      return;
    const QString path = context_.Prompts().ProgramFilePath(Owner(), ProgramFileKind::Bank, true);
    if (path.isEmpty()) return;
    const SaveResult saved = WriteBankFile(context_.Store(), FilePath(path));
    if (saved.ok()) {
      context_.Prompts().Notice(Owner(), "Save successfully.");
      return;
    }
    failure = QString::fromStdString(saved.Error);
  }
}

}  // namespace veyra
