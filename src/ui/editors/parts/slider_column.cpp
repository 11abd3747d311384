#include "editors/parts/slider_column.hpp"

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "editors/parts/entry_field.hpp"

namespace veyra {

SliderColumn::SliderColumn(EditContext& context, const ParamDescriptor& param, int channel, const QString& caption,
                           const SliderColumnLook& look, QWidget* parent)
    : QWidget(parent), look_(look) {
  caption_ = new SkinLabel(caption, this);
  caption_->SetFont("Arial", 12, true);
  caption_->SetTextColor(skin::kTextLight);
  caption_->SetAlignment(Qt::AlignCenter);
  readout_ = new SkinLabel(this);
  readout_->SetFont("Arial", 12);
  readout_->SetTextColor(skin::kTextLight);
  readout_->SetBackground(skin::kWell);
  readout_->SetAlignment(Qt::AlignCenter);
  auto* slider = new SkinSlider(this);
  slider->SetVertical(true);
  fader_ = new BoundSlider(context, param, channel, slider, true);
  connect(fader_, &BoundSlider::codeShown, this, [this](int code, const QString& text) {
    readout_->SetText(text);
    emit codeShown(code);
  });
  setFixedWidth(look_.Width);
}

SliderColumn::~SliderColumn() = default;

ValueEntryField* SliderColumn::AddEntryField(int fieldNumber) {
  entry_ =
      MakeEntryField(fader_->Context(), fader_->Param(), fader_->Channel(), fieldNumber, this, this, {}, 12);
  resizeEvent(nullptr);
  return entry_->Field();
}

SkinButton* SliderColumn::AddToggle(const ParamDescriptor& param, int downCode, const QString& upCaption,
                                    const QString& downCaption) {
  auto* button = new SkinButton(upCaption, this);
  button->setFont(skin::ControlFont(11, true));
  toggles_.push_back(new BoundToggle(fader_->Context(), param, fader_->Channel(), button, downCode, upCaption,
                                     downCaption));
  resizeEvent(nullptr);
  return button;
}

void SliderColumn::SetChannel(int channel) {
  fader_->SetChannel(channel);
  if (entry_) entry_->SetChannel(channel);
  for (BoundToggle* toggle : toggles_) toggle->SetChannel(channel);
}

void SliderColumn::SetCaption(const QString& caption) {
  caption_->SetText(caption);
}

void SliderColumn::SetReadoutText(CodeText text) {
  fader_->SetText(std::move(text));
}

void SliderColumn::SetEntryText(CodeText text) {
  if (entry_) entry_->SetText(std::move(text));
}

void SliderColumn::Reload() {
  fader_->Reload();
  if (entry_) entry_->Reload();
  for (BoundToggle* toggle : toggles_) toggle->Reload();
}

void SliderColumn::resizeEvent(QResizeEvent*) {
  const int w = width();
  int y = 0;
  caption_->setGeometry(0, y, w, look_.CaptionHeight);
  y += look_.CaptionHeight + 4;
  const int faderWidth = std::min(w, 40);
  if (look_.ReadoutAboveFader) {
    readout_->setGeometry(2, y, w - 4, look_.ReadoutHeight);
    y += look_.ReadoutHeight + 4;
    fader_->Slider()->setGeometry((w - faderWidth) / 2, y, faderWidth, look_.FaderHeight);
    y += look_.FaderHeight + 4;
  } else {
    fader_->Slider()->setGeometry((w - faderWidth) / 2, y, faderWidth, look_.FaderHeight);
    y += look_.FaderHeight + 4;
    readout_->setGeometry(2, y, w - 4, look_.ReadoutHeight);
    y += look_.ReadoutHeight + 4;
  }
  const auto placeEntry = [&] {
    if (!entry_) return;
    entry_->Field()->setGeometry(2, y, w - 4, look_.EntryHeight);
    y += look_.EntryHeight + 4;
  };
  if (!look_.EntryLast) placeEntry();
  for (BoundToggle* toggle : toggles_) {
    toggle->Button()->setGeometry(2, y, w - 4, look_.ButtonHeight);
    y += look_.ButtonHeight + 4;
  }
  if (look_.EntryLast) placeEntry();
  setMinimumHeight(y);
}

QSize ShowChannelColumns(const std::vector<SliderColumn*>& columns, int count, int left, int pitch) {
  int height = 0;
  int shown = 0;
  for (size_t i = 0; i < columns.size(); ++i) {
    SliderColumn* column = columns[i];
    const bool visible = static_cast<int>(i) < count;
    column->setVisible(visible);
    column->Reload();
    column->setGeometry(left + pitch * static_cast<int>(i), left, column->width(), column->minimumHeight());
    if (!visible) continue;
    ++shown;
    height = std::max(height, column->minimumHeight());
  }
  return {shown * pitch + 2 * left, height + 2 * left};
}

}  // namespace veyra
