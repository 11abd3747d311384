// A panel's block buttons, each with the readout of its block beside it
// (strips: one row per block) or under it (row panels: one column per
// block). A button opens its block's editor on the panel's channel; a block
// whose editor the program does not have yet keeps its button disabled.
#pragma once

#include <QWidget>
#include <vector>

#include "strips/panel_traits.hpp"

namespace veyra {

class ChannelActions;
class SkinButton;
class SkinLabel;

class BlockButtons : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kGap = 3;

  BlockButtons(ChannelActions& actions, const PanelTraits& traits, int channel, QWidget* parent);

  void Show(const ParameterStore& store);
  // Enabled while the controls are (the lock) and the block has an editor;
  // a block without an action (MIX) stays disabled.
  void EnableControls(bool enabled);
  // Columns (row panels) instead of rows (strips).
  void SetColumns(bool columns);
  SkinButton* Button(int k) const { return buttons_[static_cast<size_t>(k)]; }
  SkinLabel* Readout(int k) const { return readouts_[static_cast<size_t>(k)]; }
  int Count() const { return static_cast<int>(buttons_.size()); }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  ChannelActions& actions_;
  const PanelTraits& traits_;
  int channel_;
  bool columns_ = false;
  std::vector<SkinButton*> buttons_;
  std::vector<SkinLabel*> readouts_;
};

}  // namespace veyra
