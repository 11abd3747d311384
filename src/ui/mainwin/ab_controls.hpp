// The main window's controls of the A/B comparison: Edit > Compare A/B,
// Switch A/B (F9), Copy A to B (Ctrl+F9), Keep A and Keep B; the toolbar
// button that shows A and B with the live side lit (a click starts the
// comparison, then switches); the live side in the status strip and the
// window title.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace veyra {

class AbComparison;
class EditContext;
class PngButton;
class StatusArea;

class AbControls : public QObject {
  Q_OBJECT

 public:
  AbControls(QMainWindow& window, EditContext& context, QMenu& edit, QWidget& toolbar, StatusArea& status,
             const QString& caption);

  QAction* StartAction() const { return start_; }
  QAction* SwitchAction() const { return switch_; }
  QAction* CopyAction() const { return copy_; }
  QAction* KeepAction(bool b) const { return b ? keepB_ : keepA_; }
  PngButton* Button() const { return button_; }

  // Where the button sits in the toolbar: after its last button.
  static constexpr int kButtonX = 8 + 5 * 36 + 40;
  // "A/B: B live", or empty when no comparison runs.
  static QString StatusText(const AbComparison& comparison);
  // The window title without the comparison ("Veyra ... - SERIAL" while a
  // processor is connected); the live side is added to it.
  void SetCaption(const QString& caption);

 private:
  void Update();

  QMainWindow& window_;
  EditContext& context_;
  StatusArea& status_;
  QString caption_;
  QAction* start_;
  QAction* switch_;
  QAction* copy_;
  QAction* keepA_;
  QAction* keepB_;
  PngButton* button_;
};

}  // namespace veyra
