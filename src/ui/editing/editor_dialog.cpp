#include "editing/editor_dialog.hpp"

#include <QAction>
#include <QPainter>

#include "controls/skin_style.hpp"
#include "editing/edit_context.hpp"

namespace veyra {

EditorDialog::EditorDialog(EditContext& context, const QString& caption, QWidget* parent)
    : QDialog(parent), context_(context), undo_(context.MakeUndoAction(this)), redo_(context.MakeRedoAction(this)) {
  setWindowTitle(caption);
  addAction(undo_);
  addAction(redo_);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(&context_, &EditContext::refreshed, this, [this] { Refreshed(context_.Scope()); });
}

void EditorDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), skin::kShellBody);
}

}  // namespace veyra
