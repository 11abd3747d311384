#include "strips/channel_strip.hpp"

#include <QPainter>

#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/skin_style.hpp"
#include "state/scales.hpp"
#include "strips/block_buttons.hpp"
#include "strips/channel_switches.hpp"
#include "strips/gain_control.hpp"
#include "strips/group_selector.hpp"
#include "strips/level_meter.hpp"
#include "strips/name_entry.hpp"
#include "strips/routing_buttons.hpp"
#include "strips/strip_style.hpp"

namespace veyra {
namespace {

using L = StripLayout;

// The gain marks of the head strip's scale.
constexpr int kScaleCodes[] = {800, 700, 600, 500, 400, 300, kChannelGainMin};

}  // namespace

ChannelStrip::ChannelStrip(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent)
    : ChannelPanel(actions, StripTraits(kind), channel, parent) {
  resize(L::kWidth, L::kHeight);
}

void ChannelStrip::resizeEvent(QResizeEvent*) {
  const int inner = width() - 2 * L::kInset;
  Caption()->setGeometry(L::kInset, L::kCaptionTop, inner, L::kCaptionHeight);
  Name()->setGeometry(L::kInset, L::kNameTop, inner, L::kNameHeight);
  // A kind with fewer blocks keeps them in the middle of the blocks' place.
  const int pitch = L::kBlockRow + BlockButtons::kGap;
  Blocks()->setGeometry(L::kInset, L::kBlocksTop + (L::kBlockRows - Blocks()->Count()) * pitch / 2, inner,
                        Blocks()->Count() * pitch - BlockButtons::kGap);
  Routing()->setGeometry(L::kInset, L::kRoutingTop, inner, L::kRoutingHeight);
  Meter()->setGeometry(L::kInset, L::kMeterTop, inner, L::kMeterHeight);
  Gain()->setGeometry(L::kInset, L::kGainTop, inner, L::kGainHeight);
  Switches()->setGeometry(L::kInset - 2, L::kSwitchesTop, inner + 4, L::kSwitchesHeight);
  Group()->setGeometry(L::kInset - 2, L::kGroupTop, inner + 4, L::kGroupHeight);
}

StripHead::StripHead(ChannelKind kind, QWidget* parent)
    : QWidget(parent), kind_(kind), scale_(new SkinSlider(this)) {
  setObjectName(kind == ChannelKind::Input ? "InHead" : "OutHead");
  GainControl::ConfigureFader(*scale_);
  scale_->setGeometry(0, 0, 40, L::kGainHeight - GainControl::kEntryHeight - GainControl::kGap);
  scale_->hide();
  resize(L::kHeadWidth, L::kHeight);
}

void StripHead::SetChannelCount(int count) {
  count_ = count;
  update();
}

void StripHead::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const PanelTraits& traits = StripTraits(kind_);
  strip_style::PaintPanel(p, QRectF(rect()).adjusted(3, 3, -3, -3), skin::kAccent, false);
  p.setRenderHint(QPainter::Antialiasing);
  const int right = width() - 12;
  const QRect column(12, 0, right - 12, 0);
  auto caption = [&](int top, int height, const QString& text) {
    p.setFont(skin::ControlFont(10, true));
    p.setPen(skin::kTextDim);
    p.drawText(QRect(column.left(), top, column.width(), height), Qt::AlignRight | Qt::AlignVCenter, text);
  };

  p.setFont(skin::ControlFont(15, true));
  p.setPen(skin::kTextLight);
  p.drawText(QRect(column.left(), L::kCaptionTop - 2, column.width(), L::kCaptionHeight),
             Qt::AlignHCenter | Qt::AlignVCenter, traits.SideTitle);
  p.setFont(skin::ControlFont(10));
  p.setPen(skin::kTextDim);
  p.drawText(QRect(column.left(), L::kCaptionTop + 20, column.width(), 14),
             Qt::AlignHCenter | Qt::AlignVCenter, QString("%1 channels").arg(count_));

  caption(L::kNameTop, L::kNameHeight, "NAME");
  // The blocks: a bracket beside the block rows.
  const int blocksBottom = L::kBlocksTop + L::kBlockRows * (L::kBlockRow + BlockButtons::kGap);
  caption(L::kBlocksTop, blocksBottom - L::kBlocksTop, "PROCESSING");
  caption(L::kRoutingTop, L::kRoutingHeight, traits.SelectCaption);
  caption(L::kMeterTop - 4, L::kMeterHeight + 8, "LEVEL");

  // The gain scale, at the strips' thumb positions.
  p.setFont(skin::ControlFont(10));
  for (int code : kScaleCodes) {
    const int y = L::kGainTop + scale_->PixelFromPos(kChannelGainMax - code);
    const QString text = code == kChannelGainMin ? QString("OFF") : QString::number(GainDb(code), 'f', 0);
    p.setPen(code == kGainZero ? skin::kTextLight : skin::kTextDim);
    p.drawText(QRect(column.left(), y - 7, column.width() - 16, 14), Qt::AlignRight | Qt::AlignVCenter,
               code > kGainZero ? "+" + text : text);
    p.setPen(QPen(skin::kGrid, 1));
    p.drawLine(QPointF(right - 12, y + 0.5), QPointF(right, y + 0.5));
  }
  caption(L::kGainTop + L::kGainHeight - GainControl::kEntryHeight, GainControl::kEntryHeight, "GAIN dB");
  caption(L::kSwitchesTop, L::kSwitchesHeight, "POL / MUTE");
  caption(L::kGroupTop, L::kGroupHeight, traits.GroupCaption);
}

}  // namespace veyra
