#include "strips/channel_panel.hpp"

#include <QPainter>

#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/edit_context.hpp"
#include "strips/block_buttons.hpp"
#include "strips/channel_actions.hpp"
#include "strips/channel_switches.hpp"
#include "strips/gain_control.hpp"
#include "strips/group_selector.hpp"
#include "strips/level_meter.hpp"
#include "strips/name_entry.hpp"
#include "strips/routing_buttons.hpp"
#include "strips/strip_style.hpp"

namespace veyra {

ChannelPanel::ChannelPanel(ChannelActions& actions, const PanelTraits& traits, int channel, QWidget* parent)
    : QWidget(parent),
      actions_(actions),
      traits_(traits),
      channel_(channel),
      caption_(new SkinLabel(ChannelCaption(traits.Kind, channel), this)),
      // The strips' name is their field 1 (field 0 is the gain), the row panels' field 0.
      name_(new NameEntry(actions, traits.Kind, channel,
                          traits.Row ? NameEntry::Refusal::Silent : NameEntry::Refusal::Tell,
                          traits.Row ? 0 : 1, this)),
      blocks_(new BlockButtons(actions, traits, channel, this)),
      switches_(new ChannelSwitches(actions, traits, channel, this)),
      routing_(new RoutingButtons(actions, traits.Kind, channel, this)),
      meter_(new LevelMeter(this)) {
  setObjectName(QString("%1%2%3")
                    .arg(traits.Kind == ChannelKind::Input ? "In" : "Out")
                    .arg(traits.Row ? "Row" : "Strip")
                    .arg(channel + 1));
  caption_->SetFont("Arial", 18, true);
  caption_->SetTextColor(skin::kTextLight);
  caption_->SetAlignment(Qt::AlignCenter);
  caption_->setAttribute(Qt::WA_TransparentForMouseEvents);
  if (!traits.Row) {
    gain_ = new GainControl(actions, traits.Kind, channel, this);
    group_ = new GroupSelector(actions, traits.Kind, channel, this);
  }
}

void ChannelPanel::Refresh(const ParameterStore& store) {
  name_->Show(store);
  blocks_->Show(store);
  switches_->Show(store);
  routing_->Show(store);
  if (gain_) gain_->Show(store);
  if (group_) group_->Show(store);
  blocks_->EnableControls(actions_.Context().ControlsEnabled());
}

void ChannelPanel::EnableControls(bool enabled) {
  name_->setEnabled(enabled);
  blocks_->EnableControls(enabled);
  switches_->setEnabled(enabled);
  routing_->setEnabled(enabled);
  if (gain_) gain_->setEnabled(enabled);
  if (group_) group_->setEnabled(enabled);
  update();
}

void ChannelPanel::ShowMeterLevel(int level) {
  meter_->ShowMeterLevel(level);
}

void ChannelPanel::SetRoutingCount(int count) {
  routing_->SetShownCount(count);
}

void ChannelPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QColor mark = traits_.Kind == ChannelKind::Input ? InputColour(channel_) : strip_style::kOutputMark;
  strip_style::PaintPanel(painter, QRectF(rect()).adjusted(3, 3, -3, -3), mark, traits_.Row);
}

}  // namespace veyra
