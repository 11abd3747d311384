// EditorDialog: what every editor dialog has in common. It edits through the
// editing context, keeps no copy of a parameter (it re-reads the store on
// every refresh, also after an undo or a new connection), and carries the
// Undo and Redo keys (Ctrl+Z; Ctrl+Shift+Z and Ctrl+Y), also on its context
// menu, with texts that name the step.
#pragma once

#include <QDialog>

#include "editing/refresh_scope.hpp"

namespace veyra {

class EditContext;

class EditorDialog : public QDialog {
  Q_OBJECT

 public:
  EditorDialog(EditContext& context, const QString& caption, QWidget* parent = nullptr);

  EditContext& Context() { return context_; }
  QAction* UndoAction() const { return undo_; }
  QAction* RedoAction() const { return redo_; }

 protected:
  // Rewrites every control from the store. Called on every refresh; the
  // dialog calls it once itself when it has built its controls.
  virtual void Reload() {}
  // Called on every refresh with its scope; a dialog that can tell what it
  // shows of the scope's channels rewrites only that, the rest reload all.
  virtual void Refreshed(const RefreshScope& scope) {
    static_cast<void>(scope);
    Reload();
  }
  void paintEvent(QPaintEvent* event) override;

 private:
  EditContext& context_;
  QAction* undo_;
  QAction* redo_;
};

}  // namespace veyra
