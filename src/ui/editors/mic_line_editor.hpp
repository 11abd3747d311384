// The mic/line editor ("MIC"): for every input of the model a column with the
// input's name, the microphone gain fader and readout, and the MIC / LINE
// pair; a line input's fader is disabled. The settings live in the program
// and its settings file only: no message carries them.
#pragma once

#include <vector>

#include "editing/editor_dialog.hpp"

class QWidget;

namespace veyra {

class SliderColumn;

class MicLineEditor : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kColumnPitch = 80;
  static constexpr int kLeft = 10;

  explicit MicLineEditor(EditContext& context, QWidget* parent = nullptr);

  SliderColumn* Column(int input) const { return columns_.at(static_cast<size_t>(input)); }
  int VisibleColumns();

 protected:
  void Reload() override;

 private:
  std::vector<SliderColumn*> columns_;
};

QDialog* MakeMicLineEditor(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
