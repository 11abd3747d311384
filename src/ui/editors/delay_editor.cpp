#include "editors/delay_editor.hpp"

#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/edit_context.hpp"
#include "editors/delay_panel.hpp"

namespace veyra {
namespace {

SkinLabel* RowCaption(const QString& text, int y, QWidget* parent) {
  auto* caption = new SkinLabel(text, parent);
  caption->SetFont("Arial", 16);
  caption->SetTextColor(skin::kTextLight);
  caption->setGeometry(10, y, 150, 24);
  return caption;
}

}  // namespace

DelayEditor::DelayEditor(EditContext& context, QWidget* parent) : EditorDialog(context, "Delay", parent) {
  RowCaption("Input", 10, this);
  RowCaption("Output", 210, this);
  for (const ChannelKind kind : {ChannelKind::Input, ChannelKind::Output}) {
    const bool input = kind == ChannelKind::Input;
    for (int ch = 0; ch < kChannelSlots; ++ch) {
      auto* panel = new DelayPanel(context, kind, ch, this);
      panel->move(kLeft + kPitch * ch, input ? kInputTop : kOutputTop);
      connect(panel, &DelayPanel::polarityClicked, this,
              [this, kind](int channel) { FollowPolarity(kind, channel); });
      (input ? inputs_ : outputs_).push_back(panel);
    }
  }
  Reload();
}

DelayPanel* DelayEditor::Panel(ChannelKind kind, int channel) const {
  return (kind == ChannelKind::Input ? inputs_ : outputs_).at(static_cast<size_t>(channel));
}

void DelayEditor::FollowPolarity(ChannelKind kind, int channel) {
  // The linked members' buttons say in their own case that they followed.
  for (const int member : LinkedChannels(Context().Store(), kind, channel, GroupLink::Polarity))
    Panel(kind, member)->SetFollowerCaptions(true);
}

void DelayEditor::Reload() {
  int widest = 1;
  for (const ChannelKind kind : {ChannelKind::Input, ChannelKind::Output}) {
    const int count = std::clamp(Context().ChannelCount(kind), 1, kChannelSlots);
    widest = std::max(widest, count);
    for (int ch = 0; ch < kChannelSlots; ++ch) {
      DelayPanel* panel = Panel(kind, ch);
      panel->setVisible(ch < count);
      panel->Reload();
    }
  }
  setFixedSize(kLeft + kPitch * widest - (kPitch - DelayPanel::kWidth) + kLeft,
               kOutputTop + DelayPanel::kHeight + kLeft);
}

QDialog* MakeDelayEditor(EditContext& context, int, QWidget* parent) {
  return new DelayEditor(context, parent);
}

}  // namespace veyra
