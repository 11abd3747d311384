// The ten-segment level meter of every channel panel: ten two-state skinned
// buttons side by side, two pixels apart; the meter poll puts the first
// `level` of them down.
#pragma once

#include <QWidget>
#include <array>

namespace veyra {

class SkinButton;

class LevelMeter : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSegments = 10;
  static constexpr int kGap = 2;

  explicit LevelMeter(QWidget* parent = nullptr);

  // The channel's level byte, clamped to 0..10: 0 an empty meter, 10 a full one.
  void ShowMeterLevel(int level);
  int Level() const { return level_; }
  SkinButton* Segment(int k) const { return segments_[static_cast<size_t>(k)]; }
  // The width of a meter of segments `segment` pixels wide.
  static int WidthFor(int segment) { return kSegments * segment + (kSegments - 1) * kGap; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::array<SkinButton*, kSegments> segments_{};
  int level_ = 0;
};

}  // namespace veyra
