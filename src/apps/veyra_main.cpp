// veyra: the control application for Veyra QL loudspeaker processors.
#include <QApplication>
#include <QCommandLineParser>

#include "shell/application_shell.hpp"
#include "shell/placeholder_window.hpp"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("veyra");
  QApplication::setApplicationVersion(VEYRA_VERSION);
  QApplication::setApplicationDisplayName("Veyra QL Series Loudspeaker Control System");
  QApplication::setDesktopFileName("veyra");

  QCommandLineParser options;
  options.setApplicationDescription("Sets up Veyra QL loudspeaker processors over USB.");
  options.addHelpOption();
  options.addVersionOption();
  const QCommandLineOption screenshot(
      "screenshot", "Save the main window as a PNG image once it is up, then exit.", "FILE.png");
  options.addOption(screenshot);
  options.process(app);

  veyra::ApplicationShell shell(app);
  return shell.Run(
      [](veyra::ParameterStore& store) { return std::make_unique<veyra::PlaceholderMainWindow>(store); },
      options.value(screenshot));
}
