#include "plot_axes.hpp"

#include <algorithm>
#include <cmath>

#include "state/scales.hpp"

namespace veyra {

namespace {

int Span(int decibelSpan) {
  return decibelSpan > 0 ? decibelSpan : kDefaultDecibelSpan;
}

}  // namespace

double FrequencyToX(double frequency, int width) {
  return width * std::log10(frequency * 0.1) / std::log10(kFrequencyMax * 0.1);
}

int XToFrequency(double x, int width) {
  if (width <= 0) return kFrequencyMin;
  const double f = 10 * std::pow(kFrequencyMax * 0.1, x / width);
  return static_cast<int>(std::clamp(f, double{kFrequencyMin}, double{kFrequencyMax}));
}

double GainToY(double gainDb, int height, int decibelSpan) {
  const int t = Span(decibelSpan);
  return height * (t - gainDb) / (2.0 * t);
}

double YToGain(double y, int height, int decibelSpan) {
  if (height <= 0) return 0;
  return (height / 2.0 - y) * (2.0 * Span(decibelSpan) / height);
}

}  // namespace veyra
