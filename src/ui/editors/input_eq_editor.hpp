// InputEqEditor: the input EQ editor, the shared EQ editor with the input's
// noise-gate slider and its typed threshold beside the bands.
#pragma once

#include "editors/parts/eq_editor_base.hpp"

namespace veyra {

class InputEqEditor : public EqEditorBase {
  Q_OBJECT

 public:
  InputEqEditor(EditContext& context, int channel, QWidget* parent = nullptr);

  ModeSlider* GateSlider() const { return gate_; }
  BoundField* GateField() const { return gateField_; }

 protected:
  void ReloadExtras() override;
  void ExtrasChannelChanged() override;

 private:
  ModeSlider* gate_ = nullptr;
  BoundField* gateField_ = nullptr;
};

QDialog* MakeInputEqEditor(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
