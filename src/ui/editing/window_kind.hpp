// The windows that edit the store, named for the editing context, the
// editor registry and the main window's commands alike.
#pragma once

namespace veyra {

// The windows the program opens modally over the main window.
enum class WindowKind {
  DataView,
  CopyDialog,
  SystemSetting,
  Security,
  ProgramDialog,
  InputGroupEditor,
  OutputGroupEditor,
  MicLineEditor,
  InputEqEditor,
  DelayEditor,
  CompressorEditor,
  InputGainEditor,
  OutputEqEditor,
  OutputGainEditor,
  LimiterEditor,
  SystemResponse,
};
inline constexpr int kWindowKinds = 16;

}  // namespace veyra
