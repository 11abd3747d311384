// ChannelRows: the "View" and "Control" rows under the EQ and dynamics
// editors. A View button shows or hides a channel's curve beside the edited
// one; the Control buttons choose the edited channel (one is down at a time).
// Buttons of channels beyond the model's count are hidden. Optional colour
// swatches between the rows carry each channel's curve colour.
#pragma once

#include <QColor>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include <cstdint>

namespace veyra {

class SkinButton;
class SkinLabel;

struct ChannelRowsLook {
  // The caption of channel i's buttons: "EQ A", "EQ1", "1".
  std::function<QString(int channel)> ButtonCaption;
  // Swatch colours by channel; none: no swatches.
  std::optional<std::array<QColor, 8>> Swatches;
  int ButtonWidth = 56;
  int ButtonHeight = 24;
  int CaptionWidth = 60;  // "View" and "Control"
  int Gap = 6;
};

class ChannelRows : public QWidget {
  Q_OBJECT

 public:
  ChannelRows(const ChannelRowsLook& look, QWidget* parent = nullptr);

  // Shows the buttons of channels 0..count-1 only.
  void SetChannelCount(int count);
  int ChannelCount() const { return count_; }
  // The edited channel: its Control button down, the others up.
  void SetCurrent(int channel);
  int Current() const { return current_; }
  // Bit i: channel i's curve is shown.
  void SetShown(uint8_t mask);
  uint8_t Shown() const { return shown_; }

  SkinButton* ViewButton(int channel) const { return view_[channel]; }
  SkinButton* ControlButton(int channel) const { return control_[channel]; }
  QSize sizeHint() const override;

 signals:
  void shownChanged(uint8_t mask);
  void currentChosen(int channel);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  ChannelRowsLook look_;
  int count_ = 8;
  int current_ = 0;
  uint8_t shown_ = 0;
  SkinLabel* viewCaption_;
  SkinLabel* controlCaption_;
  std::array<SkinButton*, 8> view_{};
  std::array<SkinButton*, 8> control_{};
};

}  // namespace veyra
