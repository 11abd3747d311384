// The gain editors: "Input Gain Control" and "Output Gain Control" show one
// column per channel of the model (caption, gain readout, fader, polarity and
// mute buttons, typed gain). The two differ only in the channel kind and
// their captions, so one dialog serves both.
#pragma once

#include <vector>

#include "editing/editor_dialog.hpp"
#include "groups/channel_kind.hpp"

class QWidget;

namespace veyra {

class SliderColumn;

class GainEditor : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kColumnPitch = 80;  // columns 80 pixels apart from x = 10
  static constexpr int kLeft = 10;

  GainEditor(EditContext& context, ChannelKind kind, QWidget* parent = nullptr);

  ChannelKind Kind() const { return kind_; }
  // Columns of every channel slot; those beyond the model's count are hidden.
  SliderColumn* Column(int channel) const { return columns_.at(static_cast<size_t>(channel)); }
  int VisibleColumns();

  // "In A".."In H" or "OUT 1".."OUT 8".
  static QString ColumnCaption(ChannelKind kind, int channel);

 protected:
  void Reload() override;

 private:
  ChannelKind kind_;
  std::vector<SliderColumn*> columns_;
};

QDialog* MakeInputGainEditor(EditContext& context, int channel, QWidget* parent);
QDialog* MakeOutputGainEditor(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
