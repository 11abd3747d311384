#include "channel_curve.hpp"

namespace veyra {

namespace {

constexpr uint32_t kInputArgb[kChannelSlots] = {0xFFFF3333, 0xFF99CCCC, 0xFFFFFFFF, 0xFF0099CC,
                                                0xFFCC3399, 0xFFFFFF00, 0xFF99FF00, 0xFFFF99CC};
constexpr uint32_t kOutputArgb[kChannelSlots] = {0xFFFF3333, 0xFF99CCCC, 0xFFFFFFFF, 0xFF0099CC,
                                                 0xFFCC3399, 0xFFFFFF00, 0xFF7D8000, 0xFF0000FF};

ChannelColour FromArgb(uint32_t argb) {
  return {argb,
          {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8), static_cast<uint8_t>(argb)}};
}

int ColourIndex(int channelIndex) {
  return channelIndex >= 0 && channelIndex < kChannelSlots ? channelIndex : 0;
}

}  // namespace

ChannelColour InputChannelColour(int channelIndex) {
  return FromArgb(kInputArgb[ColourIndex(channelIndex)]);
}
ChannelColour OutputChannelColour(int channelIndex) {
  return FromArgb(kOutputArgb[ColourIndex(channelIndex)]);
}

void ChannelCurve::Attach(bool isOutput, int channelIndex, EqBand* bands) {
  is_output_ = isOutput;
  channel_index_ = channelIndex;
  colour_ = isOutput ? OutputChannelColour(channelIndex) : InputChannelColour(channelIndex);
  for (int b = 0; b < kBandFilters; ++b) filters_[b].AttachBand(bands[b], b + 1);
  filter_count_ = isOutput ? kMaxFilters : kBandFilters;
}

void ChannelCurve::AttachInput(InputChannel& channel, int channelIndex) {
  Attach(false, channelIndex, channel.Bands);
  filters_[kHighPassIndex] = CFilter();
  filters_[kLowPassIndex] = CFilter();
}

void ChannelCurve::AttachOutput(OutputChannel& channel, int channelIndex) {
  Attach(true, channelIndex, channel.Bands);
  filters_[kHighPassIndex].AttachSection(channel.Crossover[kHighPass], FilterKind::HighPass);
  filters_[kLowPassIndex].AttachSection(channel.Crossover[kLowPass], FilterKind::LowPass);
}

void ChannelCurve::SetPlotRect(const PlotRect& rect, int decibelSpan) {
  width_ = rect.Width();
  height_ = rect.Height();
  decibel_span_ = decibelSpan > 0 ? decibelSpan : kDefaultDecibelSpan;
  for (int f = 0; f < filter_count_; ++f) filters_[f].SetPlotRect(rect, decibel_span_);
  SumChannelCurve();
}

void ChannelCurve::ComputeAll(bool updateGain) {
  for (int f = 0; f < filter_count_; ++f) filters_[f].ComputeResponse(updateGain);
  SumChannelCurve();
}

void ChannelCurve::SumChannelCurve() {
  sum_db_.fill(0.0);
  for (int f = 0; f < filter_count_; ++f) {
    const ResponseArray& r = filters_[f].Response();
    for (int i = 0; i < kFrequencyPoints; ++i) sum_db_[i] += r[i];
  }
  // The x positions are the ones every filter of the channel shares, so the
  // sum lines up with the single curves and the grid lines.
  const CurvePoints& shared = filters_[0].Points();
  for (int i = 0; i < kFrequencyPoints; ++i) {
    sum_points_[i].X = static_cast<float>(filter_count_ > 0 ? shared[i].X : kPlotLeftOffset);
    sum_points_[i].Y = static_cast<float>(GainToY(sum_db_[i], height_, decibel_span_) + kPlotTopOffset);
  }
}

}  // namespace veyra
