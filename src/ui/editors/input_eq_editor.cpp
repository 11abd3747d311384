#include "editors/input_eq_editor.hpp"

#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "editors/parts/entry_field.hpp"
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

// After the bands' frequency, width and gain fields (0..29).
constexpr int kGateFieldNumber = 30;
constexpr int kFieldWidth = 90;

}  // namespace

InputEqEditor::InputEqEditor(EditContext& context, int channel, QWidget* parent)
    : EqEditorBase(context, kSpec, channel, parent) {
  const ParamDescriptor& gate = *FindParam(ChannelKind::Input, "gate");
  gate_ = new ModeSlider(context, gate, channel, "Noisegate", this);
  const QRect area = ExtrasArea();
  gate_->setGeometry(area.left(), area.top(), area.width(), 48);
  gate_->SetMode(gate, channel, "-120dB", "0dB");
  gateField_ = MakeEntryField(context, gate, channel, kGateFieldNumber, this, this);
  const int y = area.top() + 48 + 6;
  gateField_->Field()->setGeometry(area.right() + 1 - kFieldWidth, y, kFieldWidth, 22);
  auto* caption = new SkinLabel("Threshold", this);
  caption->SetFont("Arial", 11);
  caption->SetTextColor(skin::kTextLight);
  caption->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
  caption->setGeometry(area.left(), y, area.width() - kFieldWidth - 6, 22);
  Reload();
}

void InputEqEditor::ReloadExtras() {
  gate_->Reload();
  if (gateField_) gateField_->Reload();
}

void InputEqEditor::ExtrasChannelChanged() {
  gate_->SetChannel(Channel());
  gateField_->SetChannel(Channel());
}

QDialog* MakeInputEqEditor(EditContext& context, int channel, QWidget* parent) {
  return new InputEqEditor(context, channel, parent);
}

}  // namespace veyra
