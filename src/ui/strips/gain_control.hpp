// A strip's gain fader with its entry field below: the fader runs 0..560 with
// the position 800 - code (top = +20 dB), the field shows the gain text
// ("OFF" at the bottom) and takes a typed gain in dB.
#pragma once

#include <QWidget>
#include <optional>

#include "groups/channel_kind.hpp"

namespace veyra {

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
  // The gain a typed text stands for: a decimal number of dB (clamped), "OFF"
  // for the minimum; nothing for a text that is neither.
  static std::optional<int> TypedGain(const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Entered();

  ChannelActions& actions_;
  ChannelKind kind_;
  int channel_;
  SkinSlider* fader_;
  ValueEntryField* entry_;
};

}  // namespace veyra
