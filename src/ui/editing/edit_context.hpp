// EditContext: what the strips and the editors may reach of the program, in
// one narrow object the main window owns and wires. Through it they read the
// store, make changes, open other editors, ask the operator and follow the
// refresh; none of them includes the main window.
//
// Every change an operator makes goes through Apply (or one of the helpers
// built on it), which
//   1. writes the store,
//   2. repeats the change on the linked members of the channel's group,
//   3. queues the messages of the groups that carry it (sent while online),
//   4. refreshes the main window (and with it every open editor), and
//   5. records one undoable step: the before and after images of exactly the
//      records it touched and the addresses it sent.
// Undo and redo put the images back and send the same addresses again, so
// the processor follows. Consecutive changes of one control merge into one
// step; whatever replaces the store wholesale clears the history.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "editing/refresh_scope.hpp"
#include "editing/window_kind.hpp"
#include "groups/channel_kind.hpp"
#include "groups/copy_to_group.hpp"
#include "link/messages.hpp"
#include "params/param_change.hpp"

class QUndoGroup;
class QUndoStack;
class QAction;
class QWidget;

namespace veyra {

class AbComparison;
class DeviceLink;
class MainWindowPrompts;
struct ParamDescriptor;

// One message address: (slot, block, channel, group).
using SendAddress = MessageAddress;

// A change of one channel's fields, repeated on the linked members of its group.
struct ChannelEdit {
  ChannelKind Kind = ChannelKind::Input;
  int Channel = 0;
  QString Label;                               // names the step: "Output 3 limiter threshold"
  QString MergeKey;                            // consecutive edits with the same key merge; empty: never
  std::function<void(ParameterStore&)> Write;  // writes the edited channel
  std::vector<uint8_t> Groups;                 // sent for the channel, then for each member
  std::optional<GroupLink> Link;               // none: not repeated on the group
  std::vector<FieldSpan> LinkFields;           // what the members receive
};

class EditContext : public QObject {
  Q_OBJECT

 public:
  // Steps kept for undo.
  static constexpr int kHistoryLimit = 500;
  // Changes of one control closer together than this merge into one step.
  static constexpr int kMergeWindowMs = 1500;

  // What the owner provides.
  struct Hooks {
    // Queues one write built from the store now; false while offline.
    std::function<bool(const SendAddress&)> Send;
    std::function<void(const RefreshScope&)> Refresh;        // RefreshMainWindow
    std::function<void(WindowKind kind, int channel)> Open;  // opens an editor modally
    std::function<bool(WindowKind kind)> CanOpen;            // the program has that window
    // Queues a device job on the link thread behind the writes queued before
    // it, with the meter poll held off while it runs; false when not queued.
    std::function<bool(std::function<void(DeviceLink&)>)> RunDeviceJob;
    std::function<void(bool enabled)> EnableControls;  // EnableChannelControls of the window
  };

  EditContext(ParameterStore& store, MainWindowPrompts& prompts, QObject* parent = nullptr);
  ~EditContext() override;

  void SetHooks(Hooks hooks);

  ParameterStore& Store() { return store_; }
  const ParameterStore& Store() const { return store_; }
  MainWindowPrompts& Prompts() { return prompts_; }
  int ChannelCount(ChannelKind kind) const;
  bool Locked() const;
  bool Online() const;
  // EnableChannelControls: the channel panels' controls follow the lock.
  bool ControlsEnabled() const { return controlsEnabled_; }
  void SetControlsEnabled(bool enabled);

  // ---- Device operations of the program and administration dialogs ---------
  // The job runs on the link thread with the device link: it must not touch
  // the store or any widget there; it works on copies it took along and hands
  // its result back with PostToWindow. Dialogs never wait for it.
  bool RunDeviceJob(std::function<void(DeviceLink& link)> job);
  // Runs fn on the window's thread later (callable from any thread). Results
  // posted here still arrive when the dialog that started the job has closed.
  void PostToWindow(std::function<void()> fn);
  // EnableChannelControls of the main window (after a lock or an unlock).
  void EnableChannelControls(bool enabled);

  // ---- Windows ------------------------------------------------------------
  void OpenEditor(WindowKind kind, int channel);
  bool CanOpen(WindowKind kind) const;

  // ---- The change path ------------------------------------------------------
  // Runs apply on the store, sends what it logged, refreshes and records the
  // step. Returns false (no step recorded) when apply changed no record; what
  // it logged is sent all the same.
  bool Apply(const QString& label, const QString& mergeKey,
             const std::function<void(ParameterStore&, ChangeLog&)>& apply);
  bool Apply(const ChannelEdit& edit);
  // One parameter of the table: the code (limited to its range) is written,
  // its group sent, and the group link applied.
  bool SetParam(const ParamDescriptor& param, int channel, int code, const QString& mergeKey = {});
  // A store write without message or group copy that is still one undo step
  // (group records, names of groups: the program's own data).
  bool Write(const QString& label, const std::function<void(ParameterStore&)>& write);

  // Ends the running merge: the next change starts a step of its own.
  void EndMerge();
  // A drag: its changes of one control merge into one step however long the
  // pointer rests; the end also ends the merge.
  void BeginGesture() { gesture_ = true; }
  void EndGesture();
  bool InGesture() const { return gesture_; }
  // The history of the settings shown (an A/B comparison keeps one per side).
  QUndoStack& History() { return *history_; }
  // Another history the Undo and Redo actions may follow; UseHistory makes a
  // history added so the one they follow and the one changes are recorded in.
  void AddHistory(QUndoStack& stack);
  void UseHistory(QUndoStack& stack);
  // The store was replaced wholesale (a connection, a file, a recall, a reset,
  // a model switch): nothing before it can be undone, and an A/B comparison ends.
  void ClearHistory();
  AbComparison& Comparison() { return *comparison_; }
  // Edit > Undo and Redo for a window: texts name the step, the keys are
  // Ctrl+Z, and Ctrl+Shift+Z and Ctrl+Y.
  QAction* MakeUndoAction(QObject* parent);
  QAction* MakeRedoAction(QObject* parent);

  // ---- Refresh ----------------------------------------------------------------
  // RefreshMainWindow; every open editor re-reads the store on refreshed().
  // A scope narrower than everything names the channels a change rewrote:
  // only what shows them needs to follow.
  void Refresh() { Refresh(RefreshScope::All()); }
  void Refresh(const RefreshScope& scope);
  // Called by the owner after every refresh, whoever started it.
  void NotifyRefreshed(const RefreshScope& scope = RefreshScope::All());
  // The scope of the refresh being announced by refreshed() (everything
  // outside one).
  const RefreshScope& Scope() const { return scope_; }

  // For the undo steps.
  void SendAll(const std::vector<SendAddress>& addresses);

  // ---- Wholesale operations -------------------------------------------------
  // A connection, a recall, Upload All or a download of the live settings is
  // running: it replaces or rewrites what an edit would start from, so while
  // it runs the change path refuses (the controls go back to the store),
  // undo and redo wait and nothing is sent. what names it for the status
  // strip ("Recalling program 6 ..."). Begin returns the token to end it with.
  int BeginOperation(const QString& what);
  void EndOperation(int token);
  bool OperationRunning() const { return !operations_.empty(); }
  QString RunningOperation() const;  // the latest one still running; empty: none

  // ---- Unsaved changes --------------------------------------------------------
  // The live settings hold changes made since the last save (a settings
  // file, a program) or since they were last replaced wholesale (a connection,
  // a file, a recall, a reset). Undoing back to the saved state is no change.
  bool UnsavedChanges() const;
  void MarkSaved();
  // A save that ends later (a program to the device) marks the settings it
  // took at SavePoint(); a change made meanwhile keeps them unsaved.
  int SavePoint();
  void MarkSaved(int savePoint);

 signals:
  void refreshed();
  void controlsEnabledChanged(bool enabled);
  // A wholesale operation began or ended; what: the one running, empty: none.
  void operationChanged(const QString& what);

 private:
  ParameterStore& store_;
  MainWindowPrompts& prompts_;
  Hooks hooks_;
  RefreshScope scope_;
  QUndoGroup* histories_;
  QUndoStack* history_;
  AbComparison* comparison_;
  void UpdateHistoryActions();

  bool controlsEnabled_ = true;
  bool applying_ = false;
  bool gesture_ = false;
  int mergeGeneration_ = 0;
  std::vector<std::pair<int, QString>> operations_;  // token, what
  int nextOperation_ = 1;
  int historySerial_ = 0;  // counts the changes of the history's state
  std::vector<QPointer<QAction>> undoActions_, redoActions_;
};

}  // namespace veyra
