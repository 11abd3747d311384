// ChannelCurve: the filter objects of one channel and the channel's summed
// response. Input channels have six band objects; output channels add the
// crossover's high-pass and low-pass sections.
#pragma once

#include <array>
#include <cstdint>

#include "curves/filter.hpp"

namespace veyra {

struct RgbColour {
  uint8_t Red = 0, Green = 0, Blue = 0;
  friend bool operator==(const RgbColour&, const RgbColour&) = default;
};

// A channel's drawing colour: as ARGB (0xAARRGGBB) and the same colour
// without its alpha byte.
struct ChannelColour {
  uint32_t Argb = 0;
  RgbColour Rgb;
};

// Colours by channel index 0..7; inputs and outputs differ at 6 and 7. An
// index outside 0..7 gets the colour of index 0.
ChannelColour InputChannelColour(int channelIndex);
ChannelColour OutputChannelColour(int channelIndex);

using CurvePointsF = std::array<CurvePointF, kFrequencyPoints>;

class ChannelCurve {
 public:
  static constexpr int kBandFilters = 6;
  static constexpr int kMaxFilters = kBandFilters + 2;
  static constexpr int kHighPassIndex = kBandFilters;
  static constexpr int kLowPassIndex = kBandFilters + 1;

  ChannelCurve() = default;

  // Points the filter objects at the channel's first six band records (and,
  // for an output, at its two crossover sections) and picks the colour by
  // channel index. The records must outlive the curve.
  void AttachInput(InputChannel& channel, int channelIndex);
  void AttachOutput(OutputChannel& channel, int channelIndex);

  bool IsOutput() const { return is_output_; }
  int ChannelIndex() const { return channel_index_; }
  const ChannelColour& Colour() const { return colour_; }

  // 6 for an input channel, 8 for an output channel; 0 before attaching.
  int FilterCount() const { return filter_count_; }
  CFilter& Filter(int index) { return filters_[index]; }
  const CFilter& Filter(int index) const { return filters_[index]; }
  // nullptr for an input channel.
  CFilter* HighPass() { return is_output_ ? &filters_[kHighPassIndex] : nullptr; }
  CFilter* LowPass() { return is_output_ ? &filters_[kLowPassIndex] : nullptr; }

  // Gives every filter the plot size and span (each recomputes) and sums.
  void SetPlotRect(const PlotRect& rect, int decibelSpan = kDefaultDecibelSpan);

  // ComputeResponse on every filter, then SumChannelCurve.
  void ComputeAll(bool updateGain = true);

  // Adds the filters' responses at every grid point and converts the sum to
  // curve positions. Uses the responses as they are; allocates nothing.
  void SumChannelCurve();

  // The summed response in dB at FrequencyTable[i], and its curve positions.
  const ResponseArray& SumDb() const { return sum_db_; }
  const CurvePointsF& SumPoints() const { return sum_points_; }

 private:
  void Attach(bool isOutput, int channelIndex, EqBand* bands);

  std::array<CFilter, kMaxFilters> filters_{};
  int filter_count_ = 0;
  bool is_output_ = false;
  int channel_index_ = 0;
  ChannelColour colour_{};
  int width_ = 0;
  int height_ = 0;
  int decibel_span_ = kDefaultDecibelSpan;
  ResponseArray sum_db_{};
  CurvePointsF sum_points_{};
};

}  // namespace veyra
