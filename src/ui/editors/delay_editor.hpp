// The delay editor ("Delay"): a panel for every channel of the model at once,
// the inputs under "Input" and the outputs under "Output", whichever strip
// opened it. Every change is stored and sent at once; there is nothing to
// apply or cancel.
#pragma once

#include <vector>

#include "editing/editor_dialog.hpp"
#include "groups/channel_kind.hpp"

class QWidget;

namespace veyra {

class DelayPanel;
class SkinLabel;

class DelayEditor : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kLeft = 10;
  static constexpr int kPitch = 112;      // panels 112 pixels apart
  static constexpr int kInputTop = 34;    // under the "Input" caption
  static constexpr int kOutputTop = 238;  // under the "Output" caption

  explicit DelayEditor(EditContext& context, QWidget* parent = nullptr);

  DelayPanel* Panel(ChannelKind kind, int channel) const;

 protected:
  void Reload() override;

 private:
  void FollowPolarity(ChannelKind kind, int channel);

  std::vector<DelayPanel*> inputs_;
  std::vector<DelayPanel*> outputs_;
};

QDialog* MakeDelayEditor(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
