// The command ids of the main window and the tables that dispatch them: the
// menu bar, the toolbar, the side buttons, and the function keys that open
// editors. A window that is not part of the program yet is simply not
// registered (MainWindow::SetWindowOpener): its command then does nothing
// after its lock test.
#pragma once

#include <Qt>
#include <array>

#include "editing/window_kind.hpp"

namespace veyra {

enum Command : int {
  kCmdOpenFile = 32771,
  kCmdSaveFile = 32772,
  kCmdData = 32773,
  kCmdConnect = 32775,
  kCmdDisconnect = 32776,
  kCmdProgram = 32777,
  kCmdCopy = 32778,
  kCmdInterface = 32779,
  kCmdExit = 32780,
  kCmdResetAll = 32785,
  kCmdSecurity = 32787,
  kCmdAbout = 32788,
  // File > Export report: the installation report (PDF).
  kCmdExportReport = 32800,
  // Toolbar.
  kToolOpen = 1001,
  kToolSave = 1002,
  kToolProgram = 1003,
  kToolConnect = 1004,
  kToolDisconnect = 1005,
  // Side and view buttons.
  kButtonMatrix = 1264,
  kButtonMixer = 1265,
  kButtonInputGroup = 1266,
  kButtonOutputGroup = 1267,
  kButtonMixButton = 1268,
  kButtonInputSide = 1340,
  kButtonOutputSide = 1341,
  kConnectionIndicator = 1342,
  kModelSelector = 1339,
  // The system menu's about entry.
  kSystemAbout = 16,
};


// A command that opens a window: refused while LockState is set when
// lockTest is, followed by RefreshMainWindow when refresh is.
struct WindowCommand {
  int Id;
  WindowKind Kind;
  bool LockTest;
  bool Refresh;
};
inline constexpr std::array<WindowCommand, 7> kWindowCommands{{
    {kCmdData, WindowKind::DataView, false, false},
    {kCmdCopy, WindowKind::CopyDialog, true, true},
    {kCmdInterface, WindowKind::SystemSetting, false, false},
    {kCmdSecurity, WindowKind::Security, false, false},
    {kCmdProgram, WindowKind::ProgramDialog, true, true},
    {kButtonInputGroup, WindowKind::InputGroupEditor, false, true},
    {kButtonOutputGroup, WindowKind::OutputGroupEditor, false, true},
}};

// The function keys: each does nothing while LockState is set; onlyModel,
// when not 0, is the one model on which the key works.
struct FunctionKey {
  int Key;
  WindowKind Kind;
  int OnlyModel;
};
inline constexpr std::array<FunctionKey, 8> kFunctionKeys{{
    {Qt::Key_F1, WindowKind::MicLineEditor, 4},
    {Qt::Key_F2, WindowKind::InputEqEditor, 0},
    {Qt::Key_F3, WindowKind::DelayEditor, 0},
    {Qt::Key_F4, WindowKind::CompressorEditor, 4},
    {Qt::Key_F5, WindowKind::InputGainEditor, 0},
    {Qt::Key_F6, WindowKind::OutputEqEditor, 0},
    {Qt::Key_F7, WindowKind::OutputGainEditor, 0},
    {Qt::Key_F8, WindowKind::LimiterEditor, 0},
}};

// Keys that never reach the window's controls: Enter and Escape must not end
// the main window.
inline constexpr std::array<int, 5> kSwallowedKeys{Qt::Key_F9, Qt::Key_F10, Qt::Key_Return, Qt::Key_Enter,
                                                   Qt::Key_Escape};

}  // namespace veyra
