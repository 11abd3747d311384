#include "editors/delay_panel.hpp"

#include <QPainter>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_spin_value.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "editing/channel_name.hpp"
#include "editing/edit_context.hpp"
#include "editing/param_binding.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

constexpr int kFieldX = 5;
constexpr int kFieldWidth = 91;
constexpr int kRowHeight = 16;

SkinButton* PanelButton(QWidget* parent, int id, int y) {
  auto* button = new SkinButton(parent);
  button->setObjectName(QString::number(id));
  button->setFont(skin::ControlFont(11, true));
  button->setGeometry(kFieldX, y, kFieldWidth, kRowHeight);
  return button;
}

}  // namespace

DelayPanel::DelayPanel(EditContext& context, ChannelKind kind, int channel, QWidget* parent)
    : QWidget(parent), context_(context), kind_(kind), channel_(channel) {
  const ParamDescriptor* delay = FindParam(kind, "delay");
  number_ = new SkinLabel(QString::number(channel + 1), this);
  number_->SetFont("Arial", 12, true);
  number_->SetTextColor(skin::kTextLight);
  number_->SetAlignment(Qt::AlignCenter);
  number_->setGeometry(0, 0, 16, kRowHeight);
  name_ = new ChannelNameField(context, kind, channel, ChannelNameField::Refusal::Silent, 0, this);
  name_->setFont(skin::ControlFont(12));
  name_->setGeometry(21, 0, 75, kRowHeight);

  time_ = AddDelayField(1, 18);
  metres_ = AddDelayField(2, 36);
  feet_ = AddDelayField(3, 54);
  for (const auto& [field, unit] :
       {std::pair{metres_, DelayDistance::Metres}, std::pair{feet_, DelayDistance::Feet}}) {
    field->SetText([this, unit](int code) {
      return QString::fromStdString(DelayDistanceText(context_.Store(), unit, code));
    });
    field->SetTyped([this, unit](const QString& typed) {
      return ParseDelayDistance(context_.Store(), unit, typed.toStdString());
    });
  }

  spin_ = new SkinSpinValue(this);
  spin_->SetId(kDelayControlId);
  spin_->SetKind(kKindDelay);
  spin_->SetRange(delay->Min, delay->Max);
  spin_->setGeometry(kFieldX, 75, kFieldWidth, kRowHeight);
  spinBinding_ = new ParamBinding(context, *delay, channel, spin_);
  // Held arrows and wheel notches commit every step; they merge into one undo step.
  connect(spin_, &SkinSpinValue::valueChanged, spinBinding_,
          [this](int, int value) { spinBinding_->Commit(value); });

  polarity_ = new BoundToggle(context, *FindParam(kind, "polarity"), channel, PanelButton(this, 1271, 100), 1,
                              "POL +", "POL -");
  mute_ = new BoundToggle(context, *FindParam(kind, "mute"), channel, PanelButton(this, 1272, 125), 0, "MUTE",
                          "MUTED");
  // Runs after the binding has stored the click.
  connect(polarity_->Button(), &SkinButton::clicked, this, [this] {
    SetFollowerCaptions(false);
    emit polarityClicked(channel_);
  });
  setFixedSize(kWidth, kHeight);
}

BoundField* DelayPanel::AddDelayField(int number, int y) {
  auto* field = new ValueEntryField(this);
  field->Attach(this, number);
  field->setAlignment(Qt::AlignCenter);
  field->setFont(skin::ControlFont(12));
  field->setGeometry(kFieldX, y, kFieldWidth, kRowHeight);
  return new BoundField(context_, *FindParam(kind_, "delay"), channel_, field);
}

void DelayPanel::SetFollowerCaptions(bool follower) {
  if (follower) {
    polarity_->SetCaptions("Pol +", "Pol -");
  } else {
    polarity_->SetCaptions("POL +", "POL -");
  }
  polarity_->Reload();
}

void DelayPanel::Reload() {
  name_->Show(context_.Store());
  time_->Reload();
  metres_->Reload();
  feet_->Reload();
  spin_->SetValue(spinBinding_->Code());
  polarity_->Reload();
  mute_->Reload();
}

}  // namespace veyra
