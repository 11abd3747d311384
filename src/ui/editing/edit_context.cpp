#include "editing/edit_context.hpp"

#include <QAction>
#include <QUndoGroup>
#include <QUndoStack>
#include <algorithm>

#include "editing/ab_comparison.hpp"
#include "editing/undo_step.hpp"
#include "params/param_table.hpp"

namespace veyra {

EditContext::EditContext(ParameterStore& store, MainWindowPrompts& prompts, QObject* parent)
    : QObject(parent),
      store_(store),
      prompts_(prompts),
      histories_(new QUndoGroup(this)),
      history_(new QUndoStack(this)),
      comparison_(new AbComparison(*this)) {
  history_->setUndoLimit(kHistoryLimit);
  histories_->addStack(history_);
  histories_->setActiveStack(history_);
  // Counts every change of the shown settings' history, a switch of A/B sides too.
  connect(histories_, &QUndoGroup::indexChanged, this, [this] { ++historySerial_; });
  connect(histories_, &QUndoGroup::activeStackChanged, this, [this] { ++historySerial_; });
}

EditContext::~EditContext() = default;

void EditContext::SetHooks(Hooks hooks) {
  hooks_ = std::move(hooks);
}

int EditContext::ChannelCount(ChannelKind kind) const {
  return veyra::ChannelCount(store_, kind);
}

bool EditContext::Locked() const {
  return store_.System.LockState != 0;
}

bool EditContext::Online() const {
  return store_.Online != 0;
}

void EditContext::SetControlsEnabled(bool enabled) {
  controlsEnabled_ = enabled;
  emit controlsEnabledChanged(enabled);
}

bool EditContext::RunDeviceJob(std::function<void(DeviceLink& link)> job) {
  return hooks_.RunDeviceJob && hooks_.RunDeviceJob(std::move(job));
}

void EditContext::PostToWindow(std::function<void()> fn) {
  QMetaObject::invokeMethod(this, std::move(fn), Qt::QueuedConnection);
}

void EditContext::EnableChannelControls(bool enabled) {
  if (hooks_.EnableControls) {
    hooks_.EnableControls(enabled);
  } else {
    SetControlsEnabled(enabled);
  }
}

void EditContext::OpenEditor(WindowKind kind, int channel) {
  if (hooks_.Open) hooks_.Open(kind, channel);
}

bool EditContext::CanOpen(WindowKind kind) const {
  return hooks_.CanOpen && hooks_.CanOpen(kind);
}

void EditContext::Refresh(const RefreshScope& scope) {
  if (hooks_.Refresh) {
    hooks_.Refresh(scope);
  } else {
    NotifyRefreshed(scope);
  }
}

void EditContext::NotifyRefreshed(const RefreshScope& scope) {
  scope_ = scope;
  emit refreshed();
  scope_ = RefreshScope::All();
}

void EditContext::SendAll(const std::vector<SendAddress>& addresses) {
  // A write built now would reach the device after the running operation and
  // undo what it brings.
  if (!hooks_.Send || OperationRunning()) return;
  for (const SendAddress& address : addresses) hooks_.Send(address);
}

bool EditContext::Apply(const QString& label, const QString& mergeKey,
                        const std::function<void(ParameterStore&, ChangeLog&)>& apply) {
  // A change made while an undo refreshes the editors (a control answering
  // its new value) is not a change of the operator's.
  if (applying_) return false;
  applying_ = true;
  if (OperationRunning()) {
    Refresh();  // the control that moved shows the store's value again
    applying_ = false;
    return false;
  }
  const EditableRecords before = EditableRecords::From(store_);
  ChangeLog log;
  apply(store_, log);
  std::vector<RecordImage> images = ChangedRecords(before, store_);
  // Messages go out even when the store already held the value: the operator
  // asked for it, and a device that missed the last write catches up.
  SendAll(log.Addresses());
  const bool recorded = !images.empty();
  // Nothing changed: the control that moved may still show a value the
  // store does not hold, and which one is not known here.
  const RefreshScope scope = recorded ? RefreshScope::Of(images) : RefreshScope::All();
  if (recorded) {
    const QString key = mergeKey.isEmpty() ? mergeKey : mergeKey + '#' + QString::number(mergeGeneration_);
    const int steps = history_->count();
    history_->push(new UndoStep(*this, label, key, std::move(images), log.Addresses()));
    // Merged into the step the settings were saved at: they differ from the save now.
    if (history_->count() == steps && history_->isClean()) history_->resetClean();
  }
  Refresh(scope);
  applying_ = false;
  return recorded;
}

bool EditContext::Apply(const ChannelEdit& edit) {
  return Apply(edit.Label, edit.MergeKey, [&edit](ParameterStore& store, ChangeLog& log) {
    edit.Write(store);
    LinkAndSend(store, edit.Kind, edit.Channel, edit.Groups, edit.Link, edit.LinkFields, log);
  });
}

bool EditContext::SetParam(const ParamDescriptor& param, int channel, int code, const QString& mergeKey) {
  return Apply(QString::fromStdString(ParamLabel(param, channel)), mergeKey,
               [&param, channel, code](ParameterStore& store, ChangeLog& log) {
                 ChangeParam(store, param, channel, code, log);
               });
}

bool EditContext::Write(const QString& label, const std::function<void(ParameterStore&)>& write) {
  return Apply(label, {}, [&write](ParameterStore& store, ChangeLog&) { write(store); });
}

void EditContext::EndMerge() {
  ++mergeGeneration_;  // the keys of later changes differ from the running one's
}

void EditContext::AddHistory(QUndoStack& stack) {
  // The new history starts from the settings shown: unsaved when they are.
  if (!history_->isClean()) stack.resetClean();
  histories_->addStack(&stack);
}

void EditContext::UseHistory(QUndoStack& stack) {
  histories_->addStack(&stack);
  history_ = &stack;
  histories_->setActiveStack(history_);
}

void EditContext::EndGesture() {
  gesture_ = false;
  EndMerge();
}

void EditContext::ClearHistory() {
  comparison_->End();
  history_->clear();
}

QAction* EditContext::MakeUndoAction(QObject* parent) {
  QAction* action = histories_->createUndoAction(parent, "Undo");
  action->setShortcuts(QKeySequence::Undo);
  std::erase_if(undoActions_, [](const QPointer<QAction>& a) { return a.isNull(); });
  undoActions_.emplace_back(action);
  if (OperationRunning()) action->setEnabled(false);
  return action;
}

QAction* EditContext::MakeRedoAction(QObject* parent) {
  QAction* action = histories_->createRedoAction(parent, "Redo");
  action->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  std::erase_if(redoActions_, [](const QPointer<QAction>& a) { return a.isNull(); });
  redoActions_.emplace_back(action);
  if (OperationRunning()) action->setEnabled(false);
  return action;
}

int EditContext::BeginOperation(const QString& what) {
  const int token = nextOperation_++;
  operations_.emplace_back(token, what);
  EndMerge();  // a drag under way does not go on into the operation
  UpdateHistoryActions();
  emit operationChanged(what);
  return token;
}

void EditContext::EndOperation(int token) {
  const size_t before = operations_.size();
  std::erase_if(operations_, [token](const auto& op) { return op.first == token; });
  if (operations_.size() == before) return;
  UpdateHistoryActions();
  emit operationChanged(RunningOperation());
}

QString EditContext::RunningOperation() const {
  return operations_.empty() ? QString() : operations_.back().second;
}

void EditContext::UpdateHistoryActions() {
  // The stack enables its actions whenever it changes; while an operation
  // runs it does not change, so holding them off here lasts until the end.
  const bool idle = !OperationRunning();
  for (const QPointer<QAction>& action : undoActions_)
    if (action) action->setEnabled(idle && history_->canUndo());
  for (const QPointer<QAction>& action : redoActions_)
    if (action) action->setEnabled(idle && history_->canRedo());
}

bool EditContext::UnsavedChanges() const {
  return !history_->isClean();
}

void EditContext::MarkSaved() {
  history_->setClean();
  // The other side of an A/B comparison is not what was saved.
  for (QUndoStack* stack : histories_->stacks())
    if (stack != history_) stack->resetClean();
  EndMerge();  // the next change is a step of its own, after the save
}

int EditContext::SavePoint() {
  EndMerge();  // nothing merges into the step the save starts from
  return historySerial_;
}

void EditContext::MarkSaved(int savePoint) {
  if (savePoint == historySerial_) MarkSaved();
}

}  // namespace veyra
