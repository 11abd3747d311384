// One channel's panel in the delay editor: its number and name, the delay as
// time, metres and feet, the delay spin control, and the polarity and mute
// buttons. Every control is bound to the channel's parameter.
#pragma once

#include <QWidget>

#include "groups/channel_kind.hpp"

namespace veyra {

class BoundField;
class BoundToggle;
class ChannelNameField;
class EditContext;
class ParamBinding;
class SkinLabel;
class SkinSpinValue;

class DelayPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 110;
  static constexpr int kHeight = 160;
  static constexpr int kDelayControlId = 1000;

  DelayPanel(EditContext& context, ChannelKind kind, int channel, QWidget* parent);

  ChannelKind Kind() const { return kind_; }
  int Channel() const { return channel_; }
  void Reload();

  ChannelNameField* Name() const { return name_; }
  BoundField* Time() const { return time_; }
  BoundField* Metres() const { return metres_; }
  BoundField* Feet() const { return feet_; }
  SkinSpinValue* DelayControl() const { return spin_; }
  BoundToggle* Polarity() const { return polarity_; }
  BoundToggle* Mute() const { return mute_; }

  // Captions of the polarity button: the panel's own ("POL +"/"POL -"), or
  // those of a panel whose polarity followed a linked channel's ("Pol +"/"Pol -").
  void SetFollowerCaptions(bool follower);

 signals:
  // After the operator's own polarity click has been stored.
  void polarityClicked(int channel);

 private:
  BoundField* AddDelayField(int number, int y);

  EditContext& context_;
  ChannelKind kind_;
  int channel_;
  SkinLabel* number_;
  ChannelNameField* name_;
  BoundField* time_;
  BoundField* metres_;
  BoundField* feet_;
  SkinSpinValue* spin_;
  ParamBinding* spinBinding_;
  BoundToggle* polarity_;
  BoundToggle* mute_;
};

}  // namespace veyra
