#include "curves/target_curve.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace veyra {
namespace {

constexpr double kNyquist = kTargetSampleRate / 2;

Biquad Normalised(double b0, double b1, double b2, double a0, double a1, double a2) {
  return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

double MagnitudeDb(const Biquad& p, double w) {
  // |B0 + B1 e^-jw + B2 e^-2jw| / |1 + A1 e^-jw + A2 e^-2jw|, both multiplied by e^jw.
  const double c = std::cos(w), s = std::sin(w);
  const double rn = (p.B0 + p.B2) * c + p.B1, in = (p.B0 - p.B2) * s;
  const double rd = (1 + p.A2) * c + p.A1, id = (1 - p.A2) * s;
  return 10 * std::log10((rn * rn + in * in) / (rd * rd + id * id));
}

}  // namespace

Biquad DesignTarget(const TargetFilter& f) {
  const double hz = std::clamp(f.Hz, 1.0, kNyquist * 0.999);
  const double a = std::pow(10.0, std::clamp(f.GainDb, -60.0, 60.0) / 40);
  const double q = std::clamp(f.Q, 0.01, 100.0);
  const double w0 = 2 * std::numbers::pi * hz / kTargetSampleRate;
  const double cw = std::cos(w0);
  const double alpha = std::sin(w0) / (2 * q);
  switch (f.Shape) {
    case TargetShape::Peaking:
      return Normalised(1 + alpha * a, -2 * cw, 1 - alpha * a, 1 + alpha / a, -2 * cw, 1 - alpha / a);
    case TargetShape::LowShelf:
    case TargetShape::HighShelf:
      break;
  }
  const bool low = f.Shape == TargetShape::LowShelf;
  if (f.FirstOrder) {
    // H(s) = (s + A w0) / (s + w0 / A) for the low shelf, (A s + w0) / (s / A + w0)
    // for the high one: A^2 at one end, 1 at the other and A, half the gain in
    // dB, at the corner, as for the second-order shelves.
    const double k = std::tan(w0 / 2);
    if (low) return Normalised(1 + k * a, k * a - 1, 0, 1 + k / a, k / a - 1, 0);
    return Normalised(a + k, k - a, 0, 1 / a + k, k - 1 / a, 0);
  }
  const double b = 2 * std::sqrt(a) * alpha;
  const double ap = a + 1, am = a - 1;
  if (low) {
    return Normalised(a * (ap - am * cw + b), 2 * a * (am - ap * cw), a * (ap - am * cw - b),
                      ap + am * cw + b, -2 * (am + ap * cw), ap + am * cw - b);
  }
  return Normalised(a * (ap + am * cw + b), -2 * a * (am + ap * cw), a * (ap + am * cw - b), ap - am * cw + b,
                    2 * (am - ap * cw), ap - am * cw - b);
}

double TargetDb(const TargetFilter& filter, double hz) {
  return MagnitudeDb(DesignTarget(filter), 2 * std::numbers::pi * hz / kTargetSampleRate);
}

void TargetResponse(std::span<const TargetFilter> filters, ResponseArray& db) {
  db.fill(0.0);
  for (const TargetFilter& f : filters) {
    const Biquad p = DesignTarget(f);
    double last = 0;
    for (int i = 0; i < kFrequencyPoints; ++i) {
      if (FrequencyTable[i] < kNyquist)
        last = MagnitudeDb(p, 2 * std::numbers::pi * FrequencyTable[i] / kTargetSampleRate);
      db[i] += last;
    }
  }
}

}  // namespace veyra
