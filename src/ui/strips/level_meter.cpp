#include "strips/level_meter.hpp"

#include <algorithm>

#include "controls/skin_button.hpp"

namespace veyra {
namespace {

// Green up to the seventh segment, amber for the eighth and ninth, red at the top.
QColor LitColour(int k) {
  return k >= 9 ? QColor(236, 70, 60) : k >= 7 ? QColor(244, 188, 40) : QColor(72, 204, 98);
}

}  // namespace

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  for (int k = 0; k < kSegments; ++k) {
    auto* segment = new SkinButton(this);
    segment->setFocusPolicy(Qt::NoFocus);
    segment->setAttribute(Qt::WA_TransparentForMouseEvents);
    segment->SetFaceColors(LitColour(k).darker(360), LitColour(k));
    segments_[static_cast<size_t>(k)] = segment;
  }
}

void LevelMeter::ShowMeterLevel(int level) {
  level_ = std::clamp(level, 0, kSegments);
  for (SkinButton* segment : segments_) segment->SetDown(0);
  for (int k = 0; k < level_; ++k) segments_[static_cast<size_t>(k)]->SetDown(1);
}

void LevelMeter::resizeEvent(QResizeEvent*) {
  const int segment = std::max(1, (width() - (kSegments - 1) * kGap) / kSegments);
  const int left = (width() - WidthFor(segment)) / 2;  // centred in the meter's place
  for (int k = 0; k < kSegments; ++k)
    segments_[static_cast<size_t>(k)]->setGeometry(left + k * (segment + kGap), 0, segment, height());
}

}  // namespace veyra
