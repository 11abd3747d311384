#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include "shell/application_shell.hpp"
#include "shell/gdiplus_guard.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

struct LayerHooks {
  int starts = 0;
  int stops = 0;
  LayerHooks() {
    GdiplusGuard::SetPlatformHooks([this] { ++starts; }, [this] { ++stops; });
  }
  ~LayerHooks() { GdiplusGuard::SetPlatformHooks({}, {}); }
};

TEST(GdiplusGuard, StartsOncePerProcessCountsEveryUserAndOnlyTheStarterStops) {
  LayerHooks hooks;
  EXPECT_EQ(GdiplusGuard::ProcessName(), QString("GDIPlusInitID=%1").arg(getpid(), 0, 16).toStdString());
  const int before = GdiplusGuard::Users();
  {
    GdiplusGuard starter;
    GdiplusGuard other;
    starter.Start();
    other.Start();  // already started in this process: counted only
    other.Start();  // a guard counts once
    EXPECT_TRUE(starter.Started() && !other.Started());
    EXPECT_EQ(GdiplusGuard::Users(), before + 2);
    starter.Stop();  // another user remains: the layer keeps running
    other.Stop();    // the last user, but not the starter: still running
    other.Stop();    // nothing left to give back
    EXPECT_EQ(GdiplusGuard::Users(), before);
    EXPECT_TRUE(GdiplusGuard::LayerRunning());
    starter.Start();  // the starter comes back as a user and, leaving last, stops it
    EXPECT_EQ(hooks.starts * 10 + hooks.stops, 10);
    starter.Stop();
    EXPECT_EQ(hooks.stops, 1);
    EXPECT_FALSE(GdiplusGuard::LayerRunning());
  }
  {
    GdiplusGuard scoped(true);  // auto-start: started at construction, stopped at destruction
    EXPECT_EQ(hooks.starts, 2);
  }
  EXPECT_EQ(hooks.stops, 2);
}

TEST(InstallArialFont, RegistersTheFileBesideTheProgramOrNothing) {
  QTemporaryDir empty;
  EXPECT_EQ(InstallArialFont(empty.path(), false), FontInstall::Missing);

  QTemporaryDir broken;
  QFile junk(broken.filePath("arial.ttf"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("not a font");
  junk.close();
  EXPECT_EQ(InstallArialFont(broken.path(), false), FontInstall::Failed);

  const QString liberation = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
  if (!QFile::exists(liberation)) GTEST_SKIP() << "no font file to install";
  QTemporaryDir good;
  ASSERT_TRUE(QFile::copy(liberation, good.filePath("arial.ttf")));
  EXPECT_EQ(InstallArialFont(good.path(), false), FontInstall::Installed);
}

TEST(ApplicationShell, RunsTheMainWindowUntilItClosesAndTakesAScreenshot) {
  QTemporaryDir dir;
  const QString shot = dir.filePath("main.png");
  ApplicationShell shell(*qApp);
  shell.Store().CurrentModel = 3;
  const int result = shell.Run(
      [&](ParameterStore& store) {
        EXPECT_EQ(&store, &shell.Store());
        auto window = std::make_unique<QWidget>();
        window->resize(320, 200);
        return window;
      },
      shot);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(MainWindowPointer(), nullptr) << "the pointer is cleared when the window is gone";
  EXPECT_EQ(shell.Store().CurrentModel, 1);
  EXPECT_EQ(QImage(shot).size(), QSize(320, 200));

  // A screenshot that cannot be written fails the run.
  EXPECT_EQ(
      shell.Run([](ParameterStore&) { return std::make_unique<QWidget>(); }, dir.filePath("no/such/dir.png")),
      1);
}

}  // namespace
}  // namespace veyra
