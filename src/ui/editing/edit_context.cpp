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

void EditContext::Refresh() {
  if (hooks_.Refresh) {
    hooks_.Refresh();
  } else {
    emit refreshed();
  }
}

void EditContext::SendAll(const std::vector<SendAddress>& addresses) {
  if (!hooks_.Send) return;
  for (const SendAddress& address : addresses) hooks_.Send(address);
}

bool EditContext::Apply(const QString& label, const QString& mergeKey,
                        const std::function<void(ParameterStore&, ChangeLog&)>& apply) {
  // A change made while an undo refreshes the editors (a control answering
  // its new value) is not a change of the operator's.
  if (applying_) return false;
  applying_ = true;
  const EditableRecords before = EditableRecords::From(store_);
  ChangeLog log;
  apply(store_, log);
  std::vector<RecordImage> images = ChangedRecords(before, store_);
  // Messages go out even when the store already held the value: the operator
  // asked for it, and a device that missed the last write catches up.
  SendAll(log.Addresses());
  const bool recorded = !images.empty();
  if (recorded) {
    const QString key = mergeKey.isEmpty() ? mergeKey : mergeKey + '#' + QString::number(mergeGeneration_);
    history_->push(new UndoStep(*this, label, key, std::move(images), log.Addresses()));
  }
  Refresh();
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
  return action;
}

QAction* EditContext::MakeRedoAction(QObject* parent) {
  QAction* action = histories_->createRedoAction(parent, "Redo");
  action->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  return action;
}

}  // namespace veyra
