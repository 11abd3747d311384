#include "filter_design.hpp"

#include <algorithm>
#include <cmath>

namespace veyra {

namespace {

// The design inputs are held to the ranges the editors can set. Records read
// from files or a device may carry anything; outside these ranges the
// formulas overflow (sinh, A squared) and the curves turn into NaN.
double DesignFrequency(double f) {
  return std::clamp(f, double{kFrequencyMin}, double{kFrequencyMax});
}
double DesignGain(double g) {
  return std::clamp(g, GainDb(kEqGainMin), GainDb(kEqGainMax));
}
double DesignOctaves(double n) {
  return std::clamp(n, WidthOctaves(0), WidthOctaves(kWidthMax));
}

// Divides a part by a0; an a0 of exactly 0 stands in as 1e-10 so that a
// degenerate design stays finite.
Biquad Normalised(double b0, double b1, double b2, double a0, double a1, double a2) {
  if (a0 == 0) a0 = 1e-10;
  return {b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

// ---- Crossover design values ---------------------------------------------------
// d = 1 / (2Q) per second-order part; 0 marks an absent part. With
// firstOrder set the first value belongs to a first-order part (odd slopes).
struct CascadeValues {
  bool FirstOrder;
  double D[kMaxSectionParts];
};

constexpr CascadeValues kLinkwitzRiley[] = {
    {false, {1.0}},
    {true, {1.0, 0.70422535211}},
    {false, {0.70422535211, 0.70422535211}},
    {true, {1.0, 0.62, 0.62}},
    {false, {1.0, 0.5, 0.5}},
    {true, {1.0, 0.453134315, 0.92592592593, 0.453134315}},
    {false, {0.92592592593, 0.373134315, 0.92592592593, 0.373134315}},
};

constexpr CascadeValues kButterworth[] = {
    {false, {0.70422535}},
    {true, {1.0, 0.5}},
    {false, {0.92592593, 0.38167939}},
    {true, {1.0, 0.8064616129, 0.3086417953}},
    {false, {0.96153846, 0.70422535211, 0.2590673575}},
    {true, {1.0, 0.90909090909, 0.625, 0.2222222222}},
    {false, {0.98039126, 0.83333333, 0.55555556, 0.1953125}},
};

// The Bessel high-pass moves its design frequency by a factor first.
struct BesselHighPassValues {
  double Factor;
  CascadeValues Cascade;
};

constexpr BesselHighPassValues kBesselHighPass[] = {
    {0.7884500000492191, {false, {0.70422535}}},
    {0.7779085520363211, {true, {0.756, 0.72463768}}},
    {0.6663814541159675, {false, {0.96153846, 0.61728395}}},
    {0.7217620638369094, {true, {0.6656, 0.8928571428, 0.54347826}}},
    {0.6428808698542708, {false, {0.980392156, 0.819672131, 0.490196}}},
    {0.6428808698542708, {true, {0.5937, 0.943396226415, 0.757575757576, 0.4424778761}}},
    {0.5955500000163478, {false, {0.98039216, 0.89285714, 0.70422535, 0.40650406}}},
};

// The Bessel low-pass is built from (p, q) pairs: p = 0 is an absent part,
// q = 0 a first-order one. A factor of 1 leaves the frequency as it is.
struct BesselLowPassValues {
  double Factor;
  double P[kMaxSectionParts];
  double Q[kMaxSectionParts];
};

constexpr BesselLowPassValues kBesselLowPass[] = {
    {0.7344008870701411, {1.0}, {0.3333333333}},
    {0.569582353655112, {0.5693712514, 0.430628846}, {0.154812441, 0}},
    {0.47305531898128694, {0.369, 0.6278294896}, {0.087858766, 0.109408}},
    {1.0, {0.6656, 1.1402, 0.6216}, {0, 0.4128, 0.3245}},
    {1.0, {1.2217, 0.9686, 0.5131}, {0.3887, 0.3505, 0.2756}},
    {1.0, {0.5937, 1.0944, 0.8304, 0.4332}, {0, 0.3395, 0.3011, 0.2381}},
    {0.31450326416745467,
     {0.117235677, 0.226516664, 0.3067559, 0.3494916166},
     {0.02064747, 0.0259273886, 0.0294683265, 0.031272257}},
};

constexpr int kSlopeCount = sizeof kLinkwitzRiley / sizeof kLinkwitzRiley[0];
static_assert(kSlopeCount == kCrossoverSlopeMax + 1);
static_assert(sizeof kButterworth / sizeof kButterworth[0] == kSlopeCount);
static_assert(sizeof kBesselHighPass / sizeof kBesselHighPass[0] == kSlopeCount);
static_assert(sizeof kBesselLowPass / sizeof kBesselLowPass[0] == kSlopeCount);

Biquad SecondOrderPart(bool highPass, double w0, double d) {
  const double s = std::sin(w0) * d;
  const double c = std::cos(w0);
  const double a0 = 1 + s, a1 = -2 * c, a2 = 1 - s;
  if (highPass) return Normalised((1 + c) / 2, -(1 + c), (1 + c) / 2, a0, a1, a2);
  return Normalised((1 - c) / 2, 1 - c, (1 - c) / 2, a0, a1, a2);
}

Biquad FirstOrderPart(bool highPass, double w0, double d) {
  const double k = std::tan(w0 / 2);
  if (highPass) {
    const double kd = k * d;
    return Normalised(1, -1, 0, kd + 1, kd - 1, 0);
  }
  return Normalised(k, k, 0, k + d, k - d, 0);
}

SectionDesign Cascade(bool highPass, double w0, const CascadeValues& values) {
  SectionDesign design;
  for (int i = 0; i < kMaxSectionParts && values.D[i] != 0; ++i) {
    design.Parts[design.Count++] = (values.FirstOrder && i == 0) ? FirstOrderPart(highPass, w0, values.D[i])
                                                                 : SecondOrderPart(highPass, w0, values.D[i]);
  }
  return design;
}

SectionDesign BesselLowPass(double frequency, const BesselLowPassValues& values) {
  const double k = std::tan(frequency * values.Factor * kDesignAngle / 2);
  const double k2 = k * k;
  SectionDesign design;
  for (int i = 0; i < kMaxSectionParts && values.P[i] != 0; ++i) {
    const double p = values.P[i], q = values.Q[i];
    design.Parts[design.Count++] = Normalised(k2, 2 * k2, k2, p * k + q + k2, 2 * k2 - 2 * q, k2 - p * k + q);
  }
  return design;
}


SectionDesign PeakingAtAngle(double w0, double gainDb, double octaves) {
  SectionDesign design;
  const double g = DesignGain(gainDb);
  if (g == 0) return design;
  const double a = std::pow(10.0, g * 0.025);
  // The bandwidth term takes the whole ln 2 times N, not ln 2 / 2: that is the
  // width this program draws for a WidthCode, and stored settings rely on it.
  const double sw = std::sin(w0);
  const double alpha = sw * std::sinh(0.69314718 * DesignOctaves(octaves) * w0 / sw);
  const double c = 1 / (1 + alpha / a);
  const double b1 = -2 * std::cos(w0) * c;
  design.Parts[0] = {(1 + alpha * a) * c, b1, (1 - alpha * a) * c, b1, (1 - alpha / a) * c};
  design.Count = 1;
  return design;
}

}  // namespace

const GridTrig& GridAngles() {
  static const GridTrig trig = [] {
    GridTrig t;
    for (int i = 0; i < kFrequencyPoints; ++i) {
      const double w = FrequencyTable[i] * kEvaluationAngle;
      t.Cos[i] = std::cos(w);
      t.Sin[i] = std::sin(w);
    }
    return t;
  }();
  return trig;
}

SectionDesign DesignPeaking(double bandFrequency, double gainDb, double octaves) {
  // The grid's first entry lies just below 10 Hz and is used as it is.
  return PeakingAtAngle(FrequencyTable[NearestFrequencyIndex(DesignFrequency(bandFrequency))] * kDesignAngle,
                        gainDb, octaves);
}

SectionDesign DesignPeakingAt(double centreFrequency, double gainDb, double octaves) {
  return PeakingAtAngle(DesignFrequency(centreFrequency) * kDesignAngle, gainDb, octaves);
}

double ShelfDesignScale(int eqType, int shelfSlope) {
  static constexpr double kScale[2][2] = {{2.0, 1.2727272727}, {0.4545454546, 0.76923076923}};
  return kScale[eqType == static_cast<int>(EqType::LowShelf) ? 0 : 1][shelfSlope != 0 ? 1 : 0];
}

SectionDesign DesignShelf(int eqType, int shelfSlope, double frequency, double gainDb) {
  SectionDesign design;
  const bool low = eqType == static_cast<int>(EqType::LowShelf);
  const bool high = eqType == static_cast<int>(EqType::HighShelf);
  const double g = DesignGain(gainDb);
  if ((!low && !high) || (shelfSlope != 0 && shelfSlope != 1) || g == 0) return design;

  // The slope moves the design frequency and sets S.
  static constexpr double kS[2] = {0.5, 1.05};
  const double w0 = DesignFrequency(frequency) * kDesignAngle * ShelfDesignScale(eqType, shelfSlope);
  const double s = kS[shelfSlope];

  const double a = std::pow(10.0, g * 0.025);
  const double cw = std::cos(w0);
  const double alpha = std::sin(w0) / 2 * std::sqrt((a + 1 / a) * (1 / s - 1) + 2);
  const double b = 2 * std::sqrt(a) * alpha;
  const double ap = a + 1, am = a - 1;
  if (low) {
    design.Parts[0] = Normalised(a * (ap - am * cw + b), 2 * a * (am - ap * cw), a * (ap - am * cw - b),
                                 ap + am * cw + b, -2 * (am + ap * cw), ap + am * cw - b);
  } else {
    design.Parts[0] = Normalised(a * (ap + am * cw + b), -2 * a * (am + ap * cw), a * (ap + am * cw - b),
                                 ap - am * cw + b, 2 * (am - ap * cw), ap - am * cw - b);
  }
  design.Count = 1;
  return design;
}

SectionDesign DesignCrossover(bool highPass, int crossoverType, int crossoverSlope, double frequency) {
  if (crossoverSlope < 0 || crossoverSlope >= kSlopeCount) return {};
  if (highPass ? frequency <= kFrequencyMin : frequency >= kFrequencyMax) return {};
  const double f = DesignFrequency(frequency);
  switch (crossoverType) {
    case static_cast<int>(CrossoverType::LinkwitzRiley):
      return Cascade(highPass, f * kDesignAngle, kLinkwitzRiley[crossoverSlope]);
    case static_cast<int>(CrossoverType::Butterworth):
      return Cascade(highPass, f * kDesignAngle, kButterworth[crossoverSlope]);
    case static_cast<int>(CrossoverType::Bessel): {
      if (!highPass) return BesselLowPass(f, kBesselLowPass[crossoverSlope]);
      const BesselHighPassValues& values = kBesselHighPass[crossoverSlope];
      return Cascade(highPass, f * values.Factor * kDesignAngle, values.Cascade);
    }
    default:  // 6 switches the section off; other codes have no design values
      return {};
  }
}

void EvaluateResponse(const SectionDesign& design, ResponseArray& db) {
  if (design.Count == 0) {
    db.fill(0.0);
    return;
  }
  // Per part, e^{jw} N(e^{jw}) = (B0 + B2) cos w + B1 + j (B0 - B2) sin w and
  // likewise for the denominator, so only the grid's cos and sin are needed.
  // The sum of the parts' dB is the dB of the product of their squared
  // magnitudes: the products are gathered part by part (a loop the compiler
  // can vectorise) and each point then takes one logarithm instead of one
  // per part.
  const GridTrig& trig = GridAngles();
  ResponseArray num, den;
  num.fill(1.0);
  den.fill(1.0);
  for (int k = 0; k < design.Count; ++k) {
    const Biquad& p = design.Parts[k];
    const double numCos = p.B0 + p.B2, numConst = p.B1, numSin = p.B0 - p.B2;
    const double denCos = 1 + p.A2, denConst = p.A1, denSin = 1 - p.A2;
    for (int i = 0; i < kFrequencyPoints; ++i) {
      const double c = trig.Cos[i], s = trig.Sin[i];
      const double rn = numCos * c + numConst, in = numSin * s;
      const double rd = denCos * c + denConst, id = denSin * s;
      num[i] *= rn * rn + in * in;
      den[i] *= rd * rd + id * id;
    }
  }
  for (int i = 0; i < kFrequencyPoints; ++i) db[i] = 10 * std::log10(num[i] / den[i]);
}

}  // namespace veyra
