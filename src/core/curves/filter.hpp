// CFilter: the response of one EQ band or crossover section, computed from its
// record in the parameter store. The object points at the record and never
// owns it; the store must outlive it (it lives for the whole run).
#pragma once

#include <array>

#include "curves/filter_design.hpp"
#include "curves/plot_axes.hpp"
#include "state/records.hpp"

namespace veyra {

enum class FilterKind : int {
  Peaking = 0,
  LowShelf = 1,
  HighShelf = 2,
  HighPass = 3,
  LowPass = 4,
};

using CurvePoints = std::array<CurvePoint, kFrequencyPoints>;

class CFilter {
 public:
  // A detached filter is flat and has no record.
  CFilter() = default;

  // bandNumber is the number shown in the band's label (1..6).
  void AttachBand(EqBand& band, int bandNumber);
  // kind is FilterKind::HighPass or FilterKind::LowPass (any other kind
  // counts as the high-pass).
  void AttachSection(FilterSection& section, FilterKind kind);

  // A band's kind follows its record's EqType (0 peaking, 1 low shelf,
  // 2 high shelf), so an editor that changes the type only recomputes. A type
  // the editors never store reads as peaking and draws flat.
  FilterKind Kind() const;
  bool IsBand() const { return band_ != nullptr; }
  bool IsSection() const { return section_ != nullptr; }
  EqBand* Band() const { return band_; }
  FilterSection* Section() const { return section_; }
  int BandNumber() const { return band_number_; }
  int GroupNumber() const { return group_number_; }
  void SetGroupNumber(int group) { group_number_ = group; }

  // Bypass flags of a band: while either is set the band's gain counts as
  // 0 dB. Band-off follows a gain code of 600 whenever the gain is taken from
  // the record; all-off belongs to the editors.
  bool BandOff() const { return band_off_; }
  bool AllOff() const { return all_off_; }
  void SetBandOff(bool off) { band_off_ = off; }
  void SetAllOff(bool off) { all_off_ = off; }

  // The band's gain from its record (0.0 dB while bypassed) and its bandwidth.
  double GainDb() const;
  double WidthOctaves() const;

  // The values the gain and width readouts show while a handle is dragged.
  // ComputeResponse(true) takes them from the record again.
  double CurrentGain() const { return current_gain_; }
  double CurrentWidth() const { return current_width_; }
  void SetCurrentGain(double gainDb) { current_gain_ = gainDb; }
  void SetCurrentWidth(double octaves) { current_width_ = octaves; }

  // Recomputes the 276 response values from the record, then the curve y
  // positions. With updateGain set, a band first takes its gain from the
  // record again: code 600 sets band-off, any other code clears both flags.
  // Allocates nothing.
  void ComputeResponse(bool updateGain);

  // Takes the plot size (W = right - left, H = bottom - top) and the decibel
  // span, computes the curve x positions and the 0 dB line, then calls
  // ComputeResponse(true). Positions are in the graph control's coordinates,
  // with the plot at (35, 10).
  void SetPlotRect(const PlotRect& rect, int decibelSpan = kDefaultDecibelSpan);

  // Magnitude in dB at FrequencyTable[i].
  const ResponseArray& Response() const { return response_; }
  const CurvePoints& Points() const { return points_; }
  int ZeroDbY() const { return zero_db_y_; }
  int PlotWidth() const { return width_; }
  int PlotHeight() const { return height_; }
  int DecibelSpan() const { return decibel_span_; }

 private:
  SectionDesign Design() const;

  EqBand* band_ = nullptr;
  FilterSection* section_ = nullptr;
  FilterKind section_kind_ = FilterKind::HighPass;
  int band_number_ = 0;
  int group_number_ = 0;
  bool band_off_ = false;
  bool all_off_ = false;
  double current_gain_ = 0;
  double current_width_ = 0;
  int width_ = 0;
  int height_ = 0;
  int decibel_span_ = kDefaultDecibelSpan;
  int zero_db_y_ = kPlotTopOffset;
  ResponseArray response_{};
  CurvePoints points_{};
};

}  // namespace veyra
