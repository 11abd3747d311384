// The application shell: the look every window shares, the "Arial" font, the
// one parameter store of the GUI and the run of the main window.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "shell/gdiplus_guard.hpp"

class QApplication;
class QWidget;

namespace veyra {

struct ParameterStore;

// Dialog colours (background RGB(193, 210, 240), black text), the "Arial"
// control font and one widget style on every platform.
void ApplyDialogColours(QApplication& app);

enum class FontInstall { Installed, Missing, Failed };
// Registers "arial.ttf" from the given folder (the program's folder by
// default) for this process only. Nothing is copied into the system's font
// folder and no setting of the machine changes. A missing file is silent and
// the platform's Arial-compatible font is used; a file that cannot be
// registered shows "失败！" when showNotice is set.
FontInstall InstallArialFont(const QString& folder = QString(), bool showNotice = true);

// The running main window, for the dialogs that need an owner.
QWidget* MainWindowPointer();

class ApplicationShell {
 public:
  using MainWindowFactory = std::function<std::unique_ptr<QWidget>(ParameterStore&)>;

  explicit ApplicationShell(QApplication& app);
  ~ApplicationShell();

  ParameterStore& Store() { return *store_; }
  GdiplusGuard& Guard() { return guard_; }

  // Starts the graphics layer, applies the colours, selects model 1, shows the
  // main window and returns when it has closed. With a screenshot path the
  // window is grabbed once it is up, saved as PNG and closed; the result is
  // then 1 when the file could not be written.
  int Run(const MainWindowFactory& factory, const QString& screenshotPath = QString());

 private:
  QApplication& app_;
  GdiplusGuard guard_;  // not auto-started: Run starts it, the process end releases it
  std::unique_ptr<ParameterStore> store_;
};

}  // namespace veyra
