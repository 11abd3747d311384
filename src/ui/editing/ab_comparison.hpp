// AbComparison: two versions of the live settings to switch between by ear.
//
// A comparison starts with both sides holding the live settings, side A
// shown. The store always holds the side shown, so every edit, the refresh,
// a saved settings file and the device see that side; the other side waits
// here with its own undo history. A switch puts the other side's live
// channels into the store and, while online, sends exactly the groups that
// differ (SendChangedGroups on the link thread), so it costs a few writes
// instead of the whole device.
//
// Whatever replaces the settings wholesale (a connection, a file, a recall,
// a model switch, Reset All) clears the history, and that ends the
// comparison; the commands ask first with ConfirmEnd when the sides differ.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "sync/changed_groups.hpp"

class QUndoStack;
class QWidget;

namespace veyra {

class EditContext;

class AbComparison : public QObject {
  Q_OBJECT

 public:
  enum class Side { A, B };

  explicit AbComparison(EditContext& context);
  ~AbComparison() override;

  bool Active() const { return active_; }
  Side Shown() const { return shown_; }
  static QChar Letter(Side side) { return side == Side::A ? 'A' : 'B'; }
  // The sides' live channels differ (in any byte, sent or not).
  bool SidesDiffer() const;

  // Refused (false) while the panel is locked or a comparison runs.
  bool Start();
  // F9: the other side goes live. Refused while locked.
  bool Switch();
  // Ctrl+F9: the other side becomes a copy of the shown one; one step of the
  // other side's history, so that it can be undone there. False when locked
  // or when the sides are equal already.
  bool CopyShownToOther();
  // Keep A / Keep B: that side stays live (switching to it first) and the
  // comparison ends. False when locked and the side is not shown.
  bool Keep(Side side);

  // Before an operation that replaces the settings wholesale: true when it may
  // go on. Asks "End the A/B comparison and keep X?" (X the side shown) when
  // the sides differ; No stops the operation.
  bool ConfirmEnd(QWidget* owner);
  static QString EndQuestion(Side shown);

  // The settings were replaced wholesale (the history was cleared): the other
  // side and its history are dropped.
  void End();

 signals:
  void stateChanged();

 private:
  void ShowOther();

  EditContext& context_;
  bool active_ = false;
  Side shown_ = Side::A;
  std::unique_ptr<LiveChannels> other_;
  QUndoStack* otherHistory_ = nullptr;  // owned by the context's history group while active
};

}  // namespace veyra
