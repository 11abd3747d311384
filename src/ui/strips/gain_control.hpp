// A strip's gain fader with its entry field below, both bound to the channel's
// gain parameter: the fader runs 0..560 with the position 800 - code (top =
// +20 dB), the field shows the gain text ("OFF" at the bottom) and takes a
// typed gain in dB by the parameter's rule.
#pragma once

#include <QWidget>

#include "groups/channel_kind.hpp"

namespace veyra {

class BoundField;
class BoundSlider;
class ChannelActions;
class SkinSlider;
class ValueEntryField;

class GainControl : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kFaderId = 1248;
  static constexpr int kEntryHeight = 22;
  static constexpr int kGap = 4;

  GainControl(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent);

  void Show(const ParameterStore& store);
  SkinSlider* Fader() const { return fader_; }
  ValueEntryField* Entry() const { return entry_; }

  // Range, margins and thumb of every gain fader, so that a scale drawn beside
  // one (the head strip's) lines up with its thumb.
  static void ConfigureFader(SkinSlider& fader);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  SkinSlider* fader_;
  ValueEntryField* entry_;
  BoundSlider* boundFader_;
  BoundField* boundEntry_;
};

}  // namespace veyra
