// veyra: the control application for Veyra QL loudspeaker processors.
//
//   veyra [--device ADDRESS] [--view VIEW] [--open NAME[:CHANNEL] [--import FILE.txt]]
//         [--screenshot FILE.png]
//
// --device connects at start (usb, usb:PATH, tcp:HOST:PORT, sim:MODEL[,...]).
// --screenshot saves the main window once it is up (after the connection
// sequence and the first meter reading when a device is given) and exits;
// such a run shows no dialog and does not watch for processors.
// --view opens the window on a routing view: inputs (the default), outputs,
// matrix or lines.
// --open NAME[:CHANNEL] opens an editor once the window is up (and connected);
// with --screenshot the picture is of that editor's dialog.
// --import FILE.txt, with an EQ editor opened, imports the filter text file
// as its "Import…" does; with --screenshot the picture is of the import's
// preview once its fit is there.
#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "controls/skin_button.hpp"
#include "mainwin/device_session.hpp"
#include "editing/prompts.hpp"
#include "editors/eq_import_dialog.hpp"
#include "editors/parts/eq_editor_base.hpp"
#include "mainwin/editor_registry.hpp"
#include "mainwin/main_window.hpp"
#include "shell/application_shell.hpp"
#include "sim/sim_transport.hpp"

namespace {

// Longest wait for the first meter reading before the picture is taken anyway.
constexpr int kMeterWaitMs = 2500;
// Longest wait for an import preview's fit before its picture is taken anyway.
constexpr int kPreviewWaitMs = 10000;

// Runs then once the window is up: at once without a device, else after the
// connection sequence (and, for a picture, the first meter reading, so the
// picture shows levels).
void WhenReady(veyra::MainWindow* window, bool connecting, bool waitForMeters, std::function<void()> then) {
  if (!connecting) {
    QTimer::singleShot(0, window, then);
    return;
  }
  QObject::connect(window, &veyra::MainWindow::connectionDone, window, [=](bool online) {
    if (!online || !waitForMeters) {
      QTimer::singleShot(0, window, then);
      return;
    }
    auto once = std::make_shared<bool>(false);
    auto fire = [once, then] {
      if (*once) return;
      *once = true;
      then();
    };
    QObject::connect(&window->Session(), &veyra::DeviceSession::metersUpdated, window, fire);
    QTimer::singleShot(kMeterWaitMs, window, fire);
  });
}

// Saves a picture of the widget; false when the file cannot be written.
bool SavePicture(QWidget& widget, const QString& path) {
  if (widget.grab().save(path, "PNG")) return true;
  std::fprintf(stderr, "veyra: cannot write %s\n", path.toLocal8Bit().constData());
  return false;
}

// Starts the EQ editor's import of the file; the preview it opens, or
// nullptr (the file was refused, or the dialog is no EQ editor).
veyra::EqImportDialog* StartImport(QWidget* dialog, const QString& file) {
  auto* editor = qobject_cast<veyra::EqEditorBase*>(dialog);
  if (editor == nullptr) {
    std::fprintf(stderr, "veyra: --import needs an EQ editor (--open input-eq:A or output-eq:1)\n");
    return nullptr;
  }
  if (!editor->ImportFile(file)) return nullptr;
  return editor->findChild<veyra::EqImportDialog*>();
}

// Opens the requested editor over the window: modally for the operator, or
// shown just long enough for its picture (or its import preview's).
void OpenRequestedEditor(veyra::MainWindow& window, const veyra::EditorRequest& request,
                         const QString& picture, const QString& import, int& result) {
  if (picture.isEmpty()) {
    if (!import.isEmpty())
      QTimer::singleShot(0, &window, [import] { StartImport(QApplication::activeModalWidget(), import); });
    window.OpenEditor(request.Editor->Kind, request.Channel);
    return;
  }
  QDialog* dialog = request.Editor->Make(window.Context(), request.Channel, &window);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->show();
  QApplication::processEvents();
  QWidget* shown = dialog;
  if (!import.isEmpty()) {
    veyra::EqImportDialog* preview = StartImport(dialog, import);
    if (preview != nullptr) {
      QEventLoop wait;
      QObject::connect(preview, &veyra::EqImportDialog::ready, &wait, &QEventLoop::quit);
      QTimer::singleShot(kPreviewWaitMs, &wait, &QEventLoop::quit);
      if (!preview->Ready()) wait.exec();
      QApplication::processEvents();
      shown = preview;
    } else {
      result = 1;
    }
  }
  if (!SavePicture(*shown, picture)) result = 1;
  dialog->close();
  window.CloseWithoutQuestion();
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
  const QCommandLineOption open(
      "open", "Open an editor once the window is up, e.g. input-eq:A, output-eq:3, limiter:1, program.",
      "NAME[:CHANNEL]");
  const QCommandLineOption importFile(
      "import", "With --open on an EQ editor: import this filter text file as its Import… does.", "FILE.txt");
  options.addOption(device);
  options.addOption(importFile);
  options.addOption(view);
  options.addOption(open);
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
  veyra::EditorRequest editor;
  if (options.isSet(open)) {
    editor = veyra::ParseEditorRequest(options.value(open).toStdString());
    if (!editor.Editor) {
      std::fprintf(stderr, "veyra: %s\n", editor.Error.c_str());
      return 2;
    }
  }
  const QString importPath = options.value(importFile);
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
    if (editor.Editor) {
      WhenReady(shown, !address.isEmpty(), !picture.isEmpty(),
                [shown, editor, picture, importPath, &pictureResult] {
                  OpenRequestedEditor(*shown, editor, picture, importPath, pictureResult);
                });
    } else if (!picture.isEmpty()) {
      WhenReady(shown, !address.isEmpty(), true, [shown, picture, &pictureResult] {
        if (!SavePicture(*shown, picture)) pictureResult = 1;
        shown->CloseWithoutQuestion();
      });
    }
    if (!address.isEmpty()) QTimer::singleShot(0, shown, [shown, address] { shown->ConnectTo(address); });
    return window;
  });
  return pictureResult != 0 ? pictureResult : result;
}
