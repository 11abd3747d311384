#include "curves/complex_response.hpp"

#include <cmath>
#include <numbers>

#include "state/scales.hpp"

namespace veyra {

namespace {


template <typename Channel>
void MultiplyBands(const Channel& channel, ComplexArray& h) {
  for (int b = 0; b < 6; ++b) MultiplyResponse(DesignBandRecord(channel.Bands[b]), h);
}

}  // namespace

SectionDesign DesignBandRecord(const EqBand& band) {
  if (band.BandOff == 1 || band.Gain == kGainZero) return {};
  switch (band.Type) {
    case static_cast<uint8_t>(EqType::Peaking):
      return DesignPeaking(band.Freq, GainDb(band.Gain), WidthOctaves(band.Width));
    case static_cast<uint8_t>(EqType::LowShelf):
    case static_cast<uint8_t>(EqType::HighShelf):
      return DesignShelf(band.Type, band.ShelfSlope, band.Freq, GainDb(band.Gain));
    default:
      return {};
  }
}

SectionDesign DesignSectionRecord(const FilterSection& section, bool highPass) {
  return DesignCrossover(highPass, section.CrossoverType, section.CrossoverSlope, section.Freq);
}

void MultiplyResponse(const SectionDesign& design, ComplexArray& h) {
  // e^{jw} N(e^{jw}) and e^{jw} D(e^{jw}) share the factor e^{jw}, so their
  // ratio is the part's response; only the grid's cos and sin are needed, as
  // for the magnitudes.
  const GridTrig& trig = GridAngles();
  for (int k = 0; k < design.Count; ++k) {
    const Biquad& p = design.Parts[k];
    for (int i = 0; i < kFrequencyPoints; ++i) {
      const double c = trig.Cos[i], s = trig.Sin[i];
      const Complex num((p.B0 + p.B2) * c + p.B1, (p.B0 - p.B2) * s);
      const Complex den((1 + p.A2) * c + p.A1, (1 - p.A2) * s);
      h[i] *= num / den;
    }
  }
}

void FilterResponse(const InputChannel& channel, ComplexArray& h) {
  h.fill(1.0);
  MultiplyBands(channel, h);
}

void FilterResponse(const OutputChannel& channel, ComplexArray& h) {
  h.fill(1.0);
  MultiplyBands(channel, h);
  MultiplyResponse(DesignSectionRecord(channel.Crossover[kHighPass], true), h);
  MultiplyResponse(DesignSectionRecord(channel.Crossover[kLowPass], false), h);
}

double ChannelFactor(uint16_t gainCode, uint8_t polarity) {
  const double gain = std::pow(10.0, GainDb(gainCode) / 20);
  return polarity != 0 ? -gain : gain;
}

double DelaySeconds(int delayCode) {
  return DelayMs(delayCode) * 1e-3;
}

void MultiplyDelay(double seconds, ComplexArray& h) {
  if (seconds == 0) return;
  for (int i = 0; i < kFrequencyPoints; ++i)
    h[i] *= std::polar(1.0, -2 * std::numbers::pi * FrequencyTable[i] * seconds);
}

void ChainResponse(const InputChannel& channel, ComplexArray& h) {
  FilterResponse(channel, h);
  const double factor = ChannelFactor(channel.Gain, channel.Polarity);
  for (Complex& v : h) v *= factor;
  MultiplyDelay(DelaySeconds(channel.Delay), h);
}

void ChainResponse(const OutputChannel& channel, ComplexArray& h) {
  FilterResponse(channel, h);
  const double factor = ChannelFactor(channel.Gain, channel.Polarity);
  for (Complex& v : h) v *= factor;
  // Only the low 16 bits of the output's delay word reach the processor.
  MultiplyDelay(DelaySeconds(static_cast<int>(channel.Delay & 0xFFFFu)), h);
}

double MagnitudeDb(const Complex& h) {
  return 20 * std::log10(std::abs(h));
}

double PhaseDegrees(const Complex& h) {
  // atan2 gives [-pi, pi]; -pi (and the rounding at either end) turn into +180.
  const double degrees = std::atan2(h.imag(), h.real()) * (180 / std::numbers::pi);
  return degrees <= -180 || degrees > 180 ? 180.0 : degrees;
}

void GroupDelayMs(const ComplexArray& h, ResponseArray& ms) {
  for (int i = 0; i + 1 < kFrequencyPoints; ++i) {
    // The phase step between neighbours, taken as the angle of their ratio,
    // is already unwrapped as long as it stays under half a turn.
    const double step = std::arg(h[i + 1] * std::conj(h[i]));
    const double df = FrequencyTable[i + 1] - FrequencyTable[i];
    ms[i] = -step / (2 * std::numbers::pi * df) * 1e3;
  }
  ms[kFrequencyPoints - 1] = ms[kFrequencyPoints - 2];
}

}  // namespace veyra
