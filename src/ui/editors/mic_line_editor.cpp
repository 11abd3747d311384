#include "editors/mic_line_editor.hpp"

#include "controls/skin_slider.hpp"
#include "editing/channel_name.hpp"
#include "editing/edit_context.hpp"
#include "editors/parts/slider_column.hpp"

namespace veyra {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr int kMic = 1;  // mic.line: 1 microphone, 0 line

SliderColumnLook MicColumnLook() {
  SliderColumnLook look;
  look.Width = MicLineEditor::kColumnPitch - 10;
  look.FaderHeight = 300;
  look.ReadoutAboveFader = true;
  return look;
}

}  // namespace

MicLineEditor::MicLineEditor(EditContext& context, QWidget* parent) : EditorDialog(context, "MIC", parent) {
  const ParamDescriptor* level = FindParam(kIn, "mic.level");
  const ParamDescriptor* micLine = FindParam(kIn, "mic.line");
  const SliderColumnLook look = MicColumnLook();
  for (int ch = 0; ch < kChannelSlots; ++ch) {
    auto* column = new SliderColumn(context, *level, ch, QString(), look, this);
    column->Fader().Slider()->SetId(1248 + ch);
    column->Fader().SetLive(true);  // the linked members' faders follow while it moves
    column->AddToggle(*micLine, kMic, "MIC", "MIC");
    column->AddToggle(*micLine, 1 - kMic, "LINE", "LINE");
    columns_.push_back(column);
  }
  Reload();
}

int MicLineEditor::VisibleColumns() {
  return std::clamp(Context().ChannelCount(kIn), 1, kChannelSlots);
}

void MicLineEditor::Reload() {
  const ParameterStore& store = Context().Store();
  const ParamDescriptor* micLine = FindParam(kIn, "mic.line");
  for (int ch = 0; ch < kChannelSlots; ++ch)
    columns_[static_cast<size_t>(ch)]->SetCaption(ChannelNameText(store, kIn, ch));
  setFixedSize(ShowChannelColumns(columns_, VisibleColumns(), kLeft, kColumnPitch));
  // A line input has no microphone gain to set.
  for (int ch = 0; ch < kChannelSlots; ++ch)
    columns_[static_cast<size_t>(ch)]->Fader().Slider()->setEnabled(ReadCode(store, *micLine, ch) == kMic);
}

QDialog* MakeMicLineEditor(EditContext& context, int, QWidget* parent) {
  return new MicLineEditor(context, parent);
}

}  // namespace veyra
