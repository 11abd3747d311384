// The complex response of the sections behind the curves: the same designs
// the magnitude curves use, evaluated with their phase, and a channel's whole
// small-signal chain (gain, polarity, filters, delay). The system view sums
// these over the outputs an input feeds.
#pragma once

#include <array>
#include <complex>

#include "curves/filter_design.hpp"
#include "state/records.hpp"

namespace veyra {

using Complex = std::complex<double>;
using ComplexArray = std::array<Complex, kFrequencyPoints>;

// The design of a band or crossover section from its record, as the curves
// draw it once the gain has been taken from the record: a band with byte 6 set
// or a gain code of 600 is flat, a type the editors never store is flat.
SectionDesign DesignBandRecord(const EqBand& band);
SectionDesign DesignSectionRecord(const FilterSection& section, bool highPass);

// Multiplies h by the cascade's response at every grid frequency.
void MultiplyResponse(const SectionDesign& design, ComplexArray& h);

// The product of a channel's filters, the same ones its curve sums: bands
// 1..6, and for an output the high-pass and the low-pass sections.
void FilterResponse(const InputChannel& channel, ComplexArray& h);
void FilterResponse(const OutputChannel& channel, ComplexArray& h);

// A channel's linear gain: 10^(dB/20), negative when the polarity is inverted.
double ChannelFactor(uint16_t gainCode, uint8_t polarity);
// The delay of a delay code in seconds, by the code's display rule.
double DelaySeconds(int delayCode);
// Multiplies h by e^(-j 2 pi f t) at every grid frequency f.
void MultiplyDelay(double seconds, ComplexArray& h);

// gain * polarity * filters * delay of one channel.
void ChainResponse(const InputChannel& channel, ComplexArray& h);
void ChainResponse(const OutputChannel& channel, ComplexArray& h);

// 20 log10 |h|; an exact zero gives minus infinity.
double MagnitudeDb(const Complex& h);
// The phase in degrees, in (-180, 180].
double PhaseDegrees(const Complex& h);
// Group delay in milliseconds between neighbouring grid points, from the
// unwrapped phase; the last point repeats the one before it.
void GroupDelayMs(const ComplexArray& h, ResponseArray& ms);

}  // namespace veyra
