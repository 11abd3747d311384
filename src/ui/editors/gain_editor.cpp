#include "editors/gain_editor.hpp"

#include "controls/skin_slider.hpp"
#include "controls/value_entry_field.hpp"
#include "editing/edit_context.hpp"
#include "editors/parts/slider_column.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

SliderColumnLook GainColumnLook() {
  SliderColumnLook look;
  look.Width = GainEditor::kColumnPitch - 10;
  look.FaderHeight = 260;
  look.ReadoutAboveFader = true;
  look.EntryLast = true;
  return look;
}

// The editors show every gain in dB, also the lowest (the strips call it OFF).
QString EditorGainText(int code) {
  return QString::fromStdString(GainText(code));
}

}  // namespace

GainEditor::GainEditor(EditContext& context, ChannelKind kind, QWidget* parent)
    : EditorDialog(context, kind == ChannelKind::Input ? "Input Gain Control" : "Output Gain Control",
                   parent),
      kind_(kind) {
  const ParamDescriptor* gain = FindParam(kind, "gain");
  const ParamDescriptor* polarity = FindParam(kind, "polarity");
  const ParamDescriptor* mute = FindParam(kind, "mute");
  const SliderColumnLook look = GainColumnLook();
  for (int ch = 0; ch < kChannelSlots; ++ch) {
    auto* column = new SliderColumn(context, *gain, ch, ColumnCaption(kind, ch), look, this);
    column->Fader().Slider()->SetId(1248 + ch);
    column->AddToggle(*polarity, 1, "POL+", "POL-");
    column->AddToggle(*mute, 0, "MUTE", "MUTED");
    column->AddEntryField(ch);
    column->SetReadoutText(EditorGainText);
    column->SetEntryText(EditorGainText);
    // While the thumb moves the entry field follows the readout; nothing is stored yet.
    connect(column, &SliderColumn::codeShown, column, [column](int code) {
      ValueEntryField* field = column->Entry()->Field();
      if (!(field->hasFocus() && field->isModified())) field->setText(EditorGainText(code));
    });
    columns_.push_back(column);
  }
  Reload();
}

QString GainEditor::ColumnCaption(ChannelKind kind, int channel) {
  return kind == ChannelKind::Input ? QString("In %1").arg(QChar('A' + channel))
                                    : QString("OUT %1").arg(channel + 1);
}

int GainEditor::VisibleColumns() {
  return std::clamp(Context().ChannelCount(kind_), 1, kChannelSlots);
}

void GainEditor::Reload() {
  // Narrowed to the model's columns.
  setFixedSize(ShowChannelColumns(columns_, VisibleColumns(), kLeft, kColumnPitch));
}

QDialog* MakeInputGainEditor(EditContext& context, int, QWidget* parent) {
  return new GainEditor(context, ChannelKind::Input, parent);
}

QDialog* MakeOutputGainEditor(EditContext& context, int, QWidget* parent) {
  return new GainEditor(context, ChannelKind::Output, parent);
}

}  // namespace veyra
