// PresetOperations: the program operations of the Program dialog, one at a
// time per main window. Each runs on the link thread through the editing
// context on a private copy of the store; its result comes back to the
// window's thread, where the records the operation stands for are taken into
// the store, the main window refreshes and the operator is told.
//
// It belongs to the editing context, not to the dialog: an operation started
// from a dialog that closes meanwhile still finishes, still reaches the store
// and the main window, and a dialog opened again sees that it is busy.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "sync/sync_result.hpp"

class QWidget;

namespace veyra {

class EditContext;
struct ParameterStore;

enum class PresetOperation {
  SaveToDevice,
  RecallFromDevice,
  SaveToFile,
  RecallFromFile,
  DownloadAll,
  UploadAll
};

// What an operation came to, as the window's thread sees it at the end.
struct PresetOutcome {
  PresetOperation Operation = PresetOperation::SaveToDevice;
  int Program = 0;  // 1..30; 0 for the all-programs transfers
  SyncResult Result;
  std::string FileError;      // the file could not be written (the device part may have worked)
  bool StoreChanged = false;  // records were taken into the window's store
  QString Text;               // what the operator was told; empty: nothing
};

class PresetOperations : public QObject {
  Q_OBJECT

 public:
  // The operations of this context, made on first use.
  static PresetOperations& Of(EditContext& context);

  // PresetOperationBusy: an operation is running; nothing else starts.
  bool Busy() const { return busy_; }
  // The operation running (meaningful while Busy).
  PresetOperation Running() const { return running_; }
  int RunningProgram() const { return program_; }  // 1..30; 0 for the all-programs transfers
  // Where notices and file errors appear; the main window once it is gone.
  void SetOwner(QWidget* owner) { owner_ = owner; }

  // Each returns false when nothing was started: busy, the lock is set,
  // another wholesale operation runs (a connection, a download of the live
  // settings), or the file could not be read (the operator was told; the
  // store is as it was). A recall and Upload All hold the channels' editing
  // off while they run.
  // name: the program's new name in device text, at most 16 bytes.
  bool SaveToDevice(int program, const std::string& name);
  bool RecallFromDevice(int program);
  bool SaveToFile(int program, const std::string& name, const QString& path);
  // Reads the file into the program first (whatever program it was saved from).
  bool RecallFromFile(int program, const QString& path);
  // The file is written only after all 30 programs were read.
  bool DownloadAll(const QString& path);
  // Reads the file into the 30 programs first.
  bool UploadAll(const QString& path);

  // Asks the running all-programs transfer to stop before its next exchange.
  void Cancel();

  // The texts beyond the success messages.
  static QString StoppedAnsweringText(const PresetOutcome& outcome, int channelsPerProgram);

 signals:
  void busyChanged(bool busy);
  // Channels done out of total of an all-programs transfer.
  void progress(int done, int total);
  // After the store was updated and the main window refreshed, before the
  // operator is told.
  void finished(const veyra::PresetOutcome& outcome);

 private:
  explicit PresetOperations(EditContext& context);

  struct Job;
  bool Start(PresetOperation operation, int program, std::optional<std::string> name, const QString& path);
  void Finish(const ParameterStore& work, PresetOutcome outcome);
  bool TakeResult(const ParameterStore& work, const PresetOutcome& outcome);
  QString TextFor(const PresetOutcome& outcome, int channelsPerProgram) const;
  bool ReadFile(PresetOperation operation, int program, const QString& path);
  QWidget* Owner() const;
  void SaveBankElsewhere(QString failure);

  EditContext& context_;
  QPointer<QWidget> owner_;
  bool busy_ = false;
  PresetOperation running_ = PresetOperation::SaveToDevice;
  int program_ = 0;
  std::shared_ptr<std::atomic<bool>> cancel_;
  int operation_ = 0;  // the editing context's token while a recall or an upload runs
  int savePoint_ = 0;  // the live settings a save took
};

}  // namespace veyra

Q_DECLARE_METATYPE(veyra::PresetOutcome)
