// A panel's polarity and mute buttons. Their captions come from the panel
// kind; a click flips the stored value (the buttons never toggle themselves).
#pragma once

#include <QWidget>

#include "groups/channel_kind.hpp"

namespace veyra {

class ChannelActions;
class SkinButton;
struct PanelTraits;

class ChannelSwitches : public QWidget {
  Q_OBJECT

 public:
  ChannelSwitches(ChannelActions& actions, const PanelTraits& traits, int channel, QWidget* parent);

  void Show(const ParameterStore& store);
  // Side by side (strips) or one above the other (row panels).
  void SetStacked(bool stacked);
  SkinButton* Polarity() const { return polarity_; }
  SkinButton* Mute() const { return mute_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  ChannelActions& actions_;
  const PanelTraits& traits_;
  int channel_;
  bool stacked_ = false;
  SkinButton* polarity_;
  SkinButton* mute_;
};

}  // namespace veyra
