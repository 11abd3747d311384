#include "editors/input_eq_editor.hpp"

#include "editors/parts/mode_slider.hpp"
#include "params/param_table.hpp"

namespace veyra {
namespace {

QString Caption(int channel) {
  return QString("Input EQ %1").arg(QChar('A' + channel));
}

QString RowCaption(int channel) {
  return QString("EQ %1").arg(QChar('A' + channel));
}

const EqEditorSpec kSpec{ChannelKind::Input, Caption, RowCaption, "RESET ALL"};

}  // namespace

InputEqEditor::InputEqEditor(EditContext& context, int channel, QWidget* parent)
    : EqEditorBase(context, kSpec, channel, parent) {
  const ParamDescriptor& gate = *FindParam(ChannelKind::Input, "gate");
  gate_ = new ModeSlider(context, gate, channel, "Noisegate", this);
  const QRect area = ExtrasArea();
  gate_->setGeometry(area.left(), area.top(), area.width(), 48);
  gate_->SetMode(gate, channel, "-120dB", "0dB");
  Reload();
}

void InputEqEditor::ReloadExtras() {
  gate_->Reload();
}

void InputEqEditor::ExtrasChannelChanged() {
  gate_->SetChannel(Channel());
}

QDialog* MakeInputEqEditor(EditContext& context, int channel, QWidget* parent) {
  return new InputEqEditor(context, channel, parent);
}

}  // namespace veyra
