// The strips of the mixer view: InputStrip and OutputStrip (one per channel,
// 100 pixels wide), and the head strip that leads the row of strips
// (130 pixels wide), the strip's second layout: it carries the captions of
// the strips' sections and the gain scale instead of controls.
#pragma once

#include <QWidget>

#include "strips/channel_panel.hpp"

namespace veyra {

class SkinSlider;

// Where a strip's sections sit, top to bottom; the head strip's captions
// follow the same lines.
struct StripLayout {
  static constexpr int kWidth = 100;
  static constexpr int kHeadWidth = 130;
  static constexpr int kHeight = 550;
  static constexpr int kCaptionTop = 12, kCaptionHeight = 26;
  static constexpr int kNameTop = 44, kNameHeight = 22;
  static constexpr int kBlocksTop = 76, kBlockRow = 22, kBlockRows = 6;
  static constexpr int kRoutingTop = 232, kRoutingHeight = 42;
  static constexpr int kMeterTop = 284, kMeterHeight = 10;
  static constexpr int kGainTop = 304, kGainHeight = 168;
  static constexpr int kSwitchesTop = 482, kSwitchesHeight = 24;
  static constexpr int kGroupTop = 514, kGroupHeight = 24;
  static constexpr int kInset = 9;  // left and right, inside the frame
};

class ChannelStrip : public ChannelPanel {
  Q_OBJECT

 public:
  ChannelStrip(ChannelActions& actions, ChannelKind kind, int channel, QWidget* parent);

 protected:
  void resizeEvent(QResizeEvent* event) override;
};

class StripHead : public QWidget {
  Q_OBJECT

 public:
  StripHead(ChannelKind kind, QWidget* parent);

  // The model's channel count of the kind, shown under the title.
  void SetChannelCount(int count);
  ChannelKind Kind() const { return kind_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ChannelKind kind_;
  int count_ = 0;
  SkinSlider* scale_;  // not shown: the strips' fader geometry, for the scale
};

}  // namespace veyra
