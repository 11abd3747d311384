#include "filter.hpp"

#include "curves/complex_response.hpp"

namespace veyra {

void CFilter::AttachBand(EqBand& band, int bandNumber) {
  band_ = &band;
  section_ = nullptr;
  band_number_ = bandNumber;
}

void CFilter::AttachSection(FilterSection& section, FilterKind kind) {
  section_ = &section;
  band_ = nullptr;
  section_kind_ = kind == FilterKind::LowPass ? FilterKind::LowPass : FilterKind::HighPass;
  band_number_ = 0;
}

FilterKind CFilter::Kind() const {
  if (section_ != nullptr) return section_kind_;
  if (band_ != nullptr && band_->Type == static_cast<uint8_t>(EqType::LowShelf)) return FilterKind::LowShelf;
  if (band_ != nullptr && band_->Type == static_cast<uint8_t>(EqType::HighShelf))
    return FilterKind::HighShelf;
  return FilterKind::Peaking;
}

double CFilter::GainDb() const {
  if (band_ == nullptr || band_off_ || all_off_) return 0.0;
  return veyra::GainDb(band_->Gain);
}

double CFilter::WidthOctaves() const {
  return band_ == nullptr ? 0.0 : veyra::WidthOctaves(band_->Width);
}

SectionDesign CFilter::Design() const {
  if (section_ != nullptr) return DesignSectionRecord(*section_, section_kind_ == FilterKind::HighPass);
  // Byte 6 set to 1 switches a band out of the curves whatever its gain.
  if (band_ == nullptr || band_off_ || all_off_) return {};
  return DesignBandRecord(*band_);
}

void CFilter::ComputeResponse(bool updateGain) {
  if (updateGain && band_ != nullptr) {
    if (band_->Gain == kGainZero) {
      band_off_ = true;
    } else {
      band_off_ = false;
      all_off_ = false;
    }
    current_gain_ = GainDb();
    current_width_ = WidthOctaves();
  }
  EvaluateResponse(Design(), response_);
  for (int i = 0; i < kFrequencyPoints; ++i) {
    points_[i].Y = TruncatePixel(GainToY(response_[i], height_, decibel_span_) + kPlotTopOffset);
  }
}

void CFilter::SetPlotRect(const PlotRect& rect, int decibelSpan) {
  width_ = rect.Width();
  height_ = rect.Height();
  decibel_span_ = decibelSpan > 0 ? decibelSpan : kDefaultDecibelSpan;
  for (int i = 0; i < kFrequencyPoints; ++i) {
    points_[i].X = TruncatePixel(FrequencyToX(FrequencyTable[i], width_)) + kPlotLeftOffset;
  }
  zero_db_y_ = TruncatePixel(GainToY(0, height_, decibel_span_) + kPlotTopOffset);
  ComputeResponse(true);
}

}  // namespace veyra
