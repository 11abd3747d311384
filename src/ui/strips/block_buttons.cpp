#include "strips/block_buttons.hpp"

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/edit_context.hpp"
#include "strips/channel_actions.hpp"
#include "strips/channel_texts.hpp"
#include "strips/strip_style.hpp"

namespace veyra {

BlockButtons::BlockButtons(ChannelActions& actions, const PanelTraits& traits, int channel, QWidget* parent)
    : QWidget(parent), actions_(actions), traits_(traits), channel_(channel) {
  for (const BlockTraits& block : traits.Blocks) {
    auto* button = new SkinButton(block.Caption, this);
    button->setObjectName(QString("Block%1").arg(block.Id));
    button->setFont(skin::ControlFont(traits.Row ? 10 : 11, true));
    button->setFocusPolicy(Qt::NoFocus);
    if (block.Editor) {
      const WindowKind editor = *block.Editor;
      connect(button, &SkinButton::clicked, this,
              [this, editor] { actions_.Context().OpenEditor(editor, channel_); });
    }
    buttons_.push_back(button);
    readouts_.push_back(strip_style::MakeReadout(this, traits.Row ? 10 : 11));
  }
}

void BlockButtons::Show(const ParameterStore& store) {
  for (size_t k = 0; k < readouts_.size(); ++k)
    readouts_[k]->SetText(
        QString::fromStdString(ReadoutText(store, traits_.Kind, channel_, traits_.Blocks[k].Shows)));
}

void BlockButtons::EnableControls(bool enabled) {
  for (size_t k = 0; k < buttons_.size(); ++k) {
    const std::optional<WindowKind>& editor = traits_.Blocks[k].Editor;
    buttons_[k]->setEnabled(enabled && editor && actions_.Context().CanOpen(*editor));
  }
}

void BlockButtons::SetColumns(bool columns) {
  columns_ = columns;
  resizeEvent(nullptr);
}

void BlockButtons::resizeEvent(QResizeEvent*) {
  const int n = Count();
  if (n == 0) return;
  if (columns_) {
    const int w = (width() - (n - 1) * kGap) / n;
    const int h = (height() - 2 * kGap) / 2;
    for (int k = 0; k < n; ++k) {
      buttons_[static_cast<size_t>(k)]->setGeometry(k * (w + kGap), 0, w, h + 2);
      readouts_[static_cast<size_t>(k)]->setGeometry(k * (w + kGap), h + 2 * kGap, w,
                                                     height() - h - 2 * kGap);
    }
    return;
  }
  const int h = (height() - (n - 1) * kGap) / n;
  const int buttonWidth = width() * 52 / 100;
  for (int k = 0; k < n; ++k) {
    buttons_[static_cast<size_t>(k)]->setGeometry(0, k * (h + kGap), buttonWidth, h);
    readouts_[static_cast<size_t>(k)]->setGeometry(buttonWidth + kGap, k * (h + kGap),
                                                   width() - buttonWidth - kGap, h);
  }
}

}  // namespace veyra
