#include "shell/application_shell.hpp"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>

#include "controls/skin_style.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

QPointer<QWidget> gMainWindow;

// Ends the run when the main window is closed or hidden for good (a dialog's
// done() hides it without a close event), whatever other windows are open.
class QuitWhenClosed : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Close || event->type() == QEvent::Hide) {
      QPointer<QWidget> window = qobject_cast<QWidget*>(watched);
      QTimer::singleShot(0, this, [window] {
        if (window && !window->isVisible()) QCoreApplication::quit();
      });
    }
    return false;
  }
};

}  // namespace

void ApplyDialogColours(QApplication& app) {
  if (QStyle* fusion = QStyleFactory::create("Fusion")) app.setStyle(fusion);
  QPalette colours = app.palette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    colours.setColor(group, QPalette::Window, skin::kDialogBackground);
    colours.setColor(group, QPalette::WindowText, Qt::black);
    colours.setColor(group, QPalette::Text, Qt::black);
    colours.setColor(group, QPalette::Base, Qt::white);
    colours.setColor(group, QPalette::Button, skin::kDialogBackground.lighter(108));
    colours.setColor(group, QPalette::ButtonText, Qt::black);
    colours.setColor(group, QPalette::Highlight, skin::kAccent);
    colours.setColor(group, QPalette::HighlightedText, Qt::white);
  }
  app.setPalette(colours);
  app.setFont(skin::ControlFont(12));
}

FontInstall InstallArialFont(const QString& folder, bool showNotice) {
  const QString dir = folder.isEmpty() ? QCoreApplication::applicationDirPath() : folder;
  const QString path = QDir(dir).filePath("arial.ttf");
  if (!QFileInfo::exists(path)) return FontInstall::Missing;
  if (QFontDatabase::addApplicationFont(path) < 0) {
    if (showNotice) QMessageBox::information(nullptr, QString::fromUtf8("提示"), QString::fromUtf8("失败！"));
    return FontInstall::Failed;
  }
  return FontInstall::Installed;
}

QWidget* MainWindowPointer() {
  return gMainWindow;
}

ApplicationShell::ApplicationShell(QApplication& app)
    : app_(app), store_(std::make_unique<ParameterStore>()) {}

ApplicationShell::~ApplicationShell() = default;

int ApplicationShell::Run(const MainWindowFactory& factory, const QString& screenshotPath) {
  guard_.Start();
  ApplyDialogColours(app_);
  store_->CurrentModel = 1;

  std::unique_ptr<QWidget> window = factory(*store_);
  if (!window) return 1;
  gMainWindow = window.get();
  int result = 0;
  if (!screenshotPath.isEmpty()) {
    QTimer::singleShot(0, window.get(), [&result, &screenshotPath, w = window.get()] {
      if (!w->grab().save(screenshotPath, "PNG")) result = 1;
      w->close();
    });
  }
  QuitWhenClosed quitWhenClosed;
  window->installEventFilter(&quitWhenClosed);
  window->show();
  const int loop = app_.exec();
  gMainWindow = nullptr;
  window.reset();
  return result != 0 ? result : loop;
}

}  // namespace veyra
