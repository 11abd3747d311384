// veyra: the control application for Veyra QL loudspeaker processors.
//
//   veyra [--device ADDRESS] [--view VIEW] [--screenshot FILE.png]
//
// --device connects at start (usb, usb:PATH, tcp:HOST:PORT, sim:MODEL[,...]).
// --screenshot saves the main window once it is up (after the connection
// sequence and the first meter reading when a device is given) and exits;
// such a run shows no dialog and does not watch for processors.
// --view opens the window on a routing view: inputs (the default), outputs,
// matrix or lines.
#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "controls/skin_button.hpp"
#include "mainwin/device_session.hpp"
#include "mainwin/main_prompts.hpp"
#include "mainwin/main_window.hpp"
#include "shell/application_shell.hpp"
#include "sim/sim_transport.hpp"

namespace {

// Longest wait for the first meter reading before the picture is taken anyway.
constexpr int kMeterWaitMs = 2500;

void TakePictureWhenReady(veyra::MainWindow* window, const QString& path, bool connecting, int& result) {
  auto shoot = [window, path, &result] {
    if (!window->grab().save(path, "PNG")) {
      std::fprintf(stderr, "veyra: cannot write %s\n", path.toLocal8Bit().constData());
      result = 1;
    }
    window->CloseWithoutQuestion();
  };
  if (!connecting) {
    QTimer::singleShot(0, window, shoot);
    return;
  }
  QObject::connect(window, &veyra::MainWindow::connectionDone, window, [window, shoot](bool online) {
    if (!online) {
      QTimer::singleShot(0, window, shoot);
      return;
    }
    // Online: let the first meter reading arrive, so the picture shows levels.
    auto once = std::make_shared<bool>(false);
    auto fire = [once, shoot] {
      if (*once) return;
      *once = true;
      shoot();
    };
    QObject::connect(&window->Session(), &veyra::DeviceSession::metersUpdated, window, fire);
    QTimer::singleShot(kMeterWaitMs, window, fire);
  });
}

// Presses the window's buttons that lead to the view; false for an unknown name.
bool ChooseView(veyra::MainWindow& window, const QString& view) {
  auto press = [&window](int id) { window.Button(id)->click(); };
  if (view.isEmpty() || view == "inputs") return true;
  if (view == "outputs") {
    press(veyra::kButtonOutputSide);
  } else if (view == "matrix") {
    press(veyra::kButtonMatrix);
  } else if (view == "lines") {
    press(veyra::kButtonMixButton);  // routing lines, in the matrix view
  } else {
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("veyra");
  QApplication::setApplicationVersion(VEYRA_VERSION);
  QApplication::setApplicationDisplayName(veyra::MainWindow::kCaption);
  QApplication::setDesktopFileName("veyra");

  QCommandLineParser options;
  options.setApplicationDescription("Sets up Veyra QL loudspeaker processors over USB.");
  options.addHelpOption();
  options.addVersionOption();
  const QCommandLineOption device(
      "device",
      "Connect at start to ADDRESS: usb, usb:PATH, tcp:HOST:PORT or sim:sistel|merial|orvane[,option...].",
      "ADDRESS");
  const QCommandLineOption screenshot(
      "screenshot", "Save the main window as a PNG image once it is up, then exit.", "FILE.png");
  const QCommandLineOption view(
      "view", "Open on a routing view: inputs (the mixer view's inputs), outputs, matrix or lines.", "VIEW");
  options.addOption(device);
  options.addOption(view);
  options.addOption(screenshot);
  options.process(app);

  veyra::RegisterSimulatorTransport();
  const QString address = options.value(device);
  const QString picture = options.value(screenshot);
  const QString shownView = options.value(view);
  if (!shownView.isEmpty() && !QStringList{"inputs", "outputs", "matrix", "lines"}.contains(shownView)) {
    std::fprintf(stderr, "veyra: unknown view %s (inputs, outputs, matrix or lines)\n",
                 shownView.toLocal8Bit().constData());
    return 2;
  }
  int pictureResult = 0;

  veyra::ApplicationShell shell(app);
  const int result = shell.Run([&](veyra::ParameterStore& store) {
    veyra::MainWindow::Options windowOptions;
    if (!picture.isEmpty()) {
      windowOptions.Prompts = std::make_unique<veyra::UnattendedPrompts>();
      windowOptions.WatchDevices = false;
    }
    auto window = std::make_unique<veyra::MainWindow>(store, std::move(windowOptions));
    veyra::MainWindow* shown = window.get();
    // A connection that finds another model rebuilds the window on the mixer
    // view, so the view is chosen once the connection has ended.
    if (address.isEmpty()) {
      ChooseView(*shown, shownView);
    } else {
      auto chosen = std::make_shared<bool>(false);
      QObject::connect(shown, &veyra::MainWindow::connectionDone, shown, [shown, shownView, chosen](bool) {
        if (*chosen) return;
        *chosen = true;
        ChooseView(*shown, shownView);
      });
    }
    if (!picture.isEmpty()) TakePictureWhenReady(shown, picture, !address.isEmpty(), pictureResult);
    if (!address.isEmpty()) QTimer::singleShot(0, shown, [shown, address] { shown->ConnectTo(address); });
    return window;
  });
  return pictureResult != 0 ? pictureResult : result;
}
