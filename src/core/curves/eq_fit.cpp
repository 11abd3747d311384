#include "curves/eq_fit.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "params/eq_bands.hpp"
#include "state/scales.hpp"

// How the fit works. Every candidate band set is first refined as continuous
// values (log frequency, gain in dB, width in octaves) by Levenberg-Marquardt
// steps on the error of the summed response, with a peak's centre free to
// move between grid points; then it is turned into codes and polished by a
// search over each code's neighbours with the exact response the graph draws
// (peaks snapped to the grid). The candidates are: the literal copy as it
// stands, the file's filters each translated into the nearest processor band
// and thinned to six by dropping the one that matters least, and bands added
// one at a time where the remaining error is largest. The best continuous set
// is also tried with other band types and with its weakest band moved to the
// largest remaining error. Bands that barely change the error are left out
// at the end. No step depends on time or chance.

namespace veyra {
namespace {

constexpr int kLowShelf = static_cast<int>(EqType::LowShelf);
constexpr int kHighShelf = static_cast<int>(EqType::HighShelf);
constexpr int kPeaking = static_cast<int>(EqType::Peaking);
constexpr double kMinOctaves = 0.05, kMaxOctaves = 0.05 + 0.01 * kWidthMax;
constexpr double kMinGain = (kEqGainMin - kGainZero) * 0.1, kMaxGain = (kEqGainMax - kGainZero) * 0.1;

bool IsShelf(int type) {
  return type == kLowShelf || type == kHighShelf;
}

// ---- Continuous bands --------------------------------------------------------
struct Shape {
  int Type = kPeaking;
  int Slope = 0;
  double LogHz = std::log(1000.0);
  double Gain = 0;
  double Octaves = 0.3;
};

// The frequency range of a band type: the shelf rule splits it at 2000 Hz.
void FrequencyLimits(int type, double& low, double& high) {
  low = type == kHighShelf ? kShelfSplitFrequency : kFrequencyMin;
  high = type == kLowShelf ? kShelfSplitFrequency : kFrequencyMax;
}

// Field 0 the log frequency, 1 the gain, 2 the width (peaks only).
int FieldCount(const Shape& s) {
  return IsShelf(s.Type) ? 2 : 3;
}

double& Field(Shape& s, int field) {
  return field == 0 ? s.LogHz : field == 1 ? s.Gain : s.Octaves;
}

void Limit(Shape& s) {
  double low, high;
  FrequencyLimits(s.Type, low, high);
  s.LogHz = std::clamp(s.LogHz, std::log(low), std::log(high));
  s.Gain = std::clamp(s.Gain, kMinGain, kMaxGain);
  s.Octaves = std::clamp(s.Octaves, kMinOctaves, kMaxOctaves);
}

void ShapeResponse(const Shape& s, ResponseArray& db) {
  const double hz = std::exp(s.LogHz);
  EvaluateResponse(
      IsShelf(s.Type) ? DesignShelf(s.Type, s.Slope, hz, s.Gain) : DesignPeakingAt(hz, s.Gain, s.Octaves),
      db);
}

void CodeResponse(const BandCodes& b, ResponseArray& db) {
  // A gain of exactly 0 dB switches the band out, as in the graph.
  if (b.Gain == kGainZero) {
    db.fill(0.0);
  } else if (b.Type == kPeaking) {
    EvaluateResponse(DesignPeaking(b.Freq, GainDb(b.Gain), WidthOctaves(b.Width)), db);
  } else if (IsShelf(b.Type)) {
    EvaluateResponse(DesignShelf(b.Type, b.ShelfSlope, b.Freq, GainDb(b.Gain)), db);
  } else {
    db.fill(0.0);
  }
}

Shape ShapeOf(const BandCodes& b) {
  Shape s;
  s.Type = IsShelf(b.Type) ? b.Type : kPeaking;
  s.Slope = b.ShelfSlope != 0 ? 1 : 0;
  // A peak is drawn at its grid point, so that is where its shape starts.
  s.LogHz = std::log(s.Type == kPeaking ? FrequencyTable[NearestFrequencyIndex(b.Freq)] : double(b.Freq));
  s.Gain = GainDb(b.Gain);
  s.Octaves = WidthOctaves(b.Width);
  Limit(s);
  return s;
}

BandCodes CodesOf(const Shape& s) {
  BandCodes b;
  double low, high;
  FrequencyLimits(s.Type, low, high);
  b.Type = s.Type;
  b.ShelfSlope = IsShelf(s.Type) ? s.Slope : 0;
  b.Freq = static_cast<int>(std::clamp(std::lround(std::exp(s.LogHz)), std::lround(low), std::lround(high)));
  b.Gain =
      static_cast<int>(std::clamp(kGainZero + std::lround(s.Gain * 10), long{kEqGainMin}, long{kEqGainMax}));
  b.Width = IsShelf(s.Type)
                ? kResetWidth
                : static_cast<int>(std::clamp(std::lround((s.Octaves - 0.05) * 100), 0L, long{kWidthMax}));
  return b;
}

// ---- The error -------------------------------------------------------------------
class Problem {
 public:
  Problem(const ResponseArray& target, const FitRange& range) : target_(target) {
    for (int i = 0; i < kFrequencyPoints; ++i)
      if (FrequencyTable[i] >= range.LowHz && FrequencyTable[i] <= range.HighHz) points_.push_back(i);
    if (points_.empty()) points_.push_back(NearestFrequencyIndex(range.LowHz));
  }

  const std::vector<int>& Points() const { return points_; }
  double Target(int i) const { return target_[i]; }

  // Sum of squares of target - model over the points.
  double Sse(const ResponseArray& model) const {
    double sum = 0;
    for (int i : points_) {
      const double r = target_[i] - model[i];
      sum += r * r;
    }
    return sum;
  }
  double Rms(double sse) const { return std::sqrt(sse / static_cast<double>(points_.size())); }

 private:
  const ResponseArray& target_;
  std::vector<int> points_;
};

// A set of bands with their responses and the sum kept up to date.
template <typename Band>
struct Model {
  std::vector<Band> Bands;
  std::vector<ResponseArray> Responses;
  ResponseArray Sum{};

  void Compute(void (*respond)(const Band&, ResponseArray&)) {
    Responses.resize(Bands.size());
    Sum.fill(0.0);
    for (size_t b = 0; b < Bands.size(); ++b) {
      respond(Bands[b], Responses[b]);
      for (int i = 0; i < kFrequencyPoints; ++i) Sum[i] += Responses[b][i];
    }
  }
};

using ShapeModel = Model<Shape>;
using CodeModel = Model<BandCodes>;

// ---- Levenberg-Marquardt on the continuous values --------------------------------
// Solves (A + lambda diag A) x = g in place by Cholesky; false when singular.
bool SolveDamped(std::vector<double> a, std::vector<double>& x, int n, double lambda) {
  for (int i = 0; i < n; ++i) a[static_cast<size_t>(i * n + i)] *= 1 + lambda;
  for (int i = 0; i < n; ++i) a[static_cast<size_t>(i * n + i)] += 1e-12;
  for (int j = 0; j < n; ++j) {
    double d = a[static_cast<size_t>(j * n + j)];
    for (int k = 0; k < j; ++k) d -= a[static_cast<size_t>(j * n + k)] * a[static_cast<size_t>(j * n + k)];
    if (!(d > 0)) return false;
    const double l = std::sqrt(d);
    a[static_cast<size_t>(j * n + j)] = l;
    for (int i = j + 1; i < n; ++i) {
      double v = a[static_cast<size_t>(i * n + j)];
      for (int k = 0; k < j; ++k) v -= a[static_cast<size_t>(i * n + k)] * a[static_cast<size_t>(j * n + k)];
      a[static_cast<size_t>(i * n + j)] = v / l;
    }
  }
  for (int i = 0; i < n; ++i) {
    double v = x[static_cast<size_t>(i)];
    for (int k = 0; k < i; ++k) v -= a[static_cast<size_t>(i * n + k)] * x[static_cast<size_t>(k)];
    x[static_cast<size_t>(i)] = v / a[static_cast<size_t>(i * n + i)];
  }
  for (int i = n - 1; i >= 0; --i) {
    double v = x[static_cast<size_t>(i)];
    for (int k = i + 1; k < n; ++k) v -= a[static_cast<size_t>(k * n + i)] * x[static_cast<size_t>(k)];
    x[static_cast<size_t>(i)] = v / a[static_cast<size_t>(i * n + i)];
  }
  return true;
}

struct Parameter {
  size_t Band;
  int Field;
};

std::vector<Parameter> ParametersOf(const std::vector<Shape>& bands, size_t first) {
  std::vector<Parameter> params;
  for (size_t b = first; b < bands.size(); ++b)
    for (int f = 0; f < FieldCount(bands[b]); ++f) params.push_back({b, f});
  return params;
}

// The model's derivative by every parameter at the problem's points
// (forward differences, backward at an upper limit), column after column.
std::vector<double> Jacobian(const Problem& problem, const ShapeModel& model,
                             const std::vector<Parameter>& params) {
  static constexpr double kStep[3] = {2e-3, 1e-2, 2e-3};
  const std::vector<int>& points = problem.Points();
  std::vector<double> jac(params.size() * points.size());
  ResponseArray moved;
  for (size_t k = 0; k < params.size(); ++k) {
    Shape s = model.Bands[params[k].Band];
    const double before = Field(s, params[k].Field);
    Field(s, params[k].Field) = before + kStep[params[k].Field];
    Limit(s);
    if (Field(s, params[k].Field) == before) {
      Field(s, params[k].Field) = before - kStep[params[k].Field];
      Limit(s);
    }
    const double h = Field(s, params[k].Field) - before;
    if (h == 0) continue;
    ShapeResponse(s, moved);
    const ResponseArray& base = model.Responses[params[k].Band];
    for (size_t j = 0; j < points.size(); ++j)
      jac[k * points.size() + j] = (moved[points[j]] - base[points[j]]) / h;
  }
  return jac;
}

// Refines the bands from index first on; returns the sum of squares.
double Refine(const Problem& problem, ShapeModel& model, int iterations, size_t first = 0) {
  model.Compute(ShapeResponse);
  double sse = problem.Sse(model.Sum);
  const std::vector<Parameter> params = ParametersOf(model.Bands, first);
  const int n = static_cast<int>(params.size());
  if (n == 0) return sse;
  const std::vector<int>& points = problem.Points();
  double lambda = 1e-3;
  for (int it = 0; it < iterations; ++it) {
    const std::vector<double> jac = Jacobian(problem, model, params);
    std::vector<double> a(static_cast<size_t>(n * n)), g(static_cast<size_t>(n));
    for (int p = 0; p < n; ++p) {
      const double* jp = &jac[static_cast<size_t>(p) * points.size()];
      for (size_t j = 0; j < points.size(); ++j)
        g[static_cast<size_t>(p)] += jp[j] * (problem.Target(points[j]) - model.Sum[points[j]]);
      for (int q = 0; q <= p; ++q) {
        const double* jq = &jac[static_cast<size_t>(q) * points.size()];
        double v = 0;
        for (size_t j = 0; j < points.size(); ++j) v += jp[j] * jq[j];
        a[static_cast<size_t>(p * n + q)] = a[static_cast<size_t>(q * n + p)] = v;
      }
    }
    bool accepted = false;
    for (int attempt = 0; attempt < 6 && !accepted; ++attempt) {
      std::vector<double> step = g;
      if (SolveDamped(a, step, n, lambda)) {
        ShapeModel trial = model;
        for (int p = 0; p < n; ++p) {
          Shape& s = trial.Bands[params[static_cast<size_t>(p)].Band];
          Field(s, params[static_cast<size_t>(p)].Field) += step[static_cast<size_t>(p)];
          Limit(s);
        }
        trial.Compute(ShapeResponse);
        const double trialSse = problem.Sse(trial.Sum);
        if (trialSse < sse) {
          accepted = true;
          const double gain = sse - trialSse;
          model = std::move(trial);
          sse = trialSse;
          lambda = std::max(lambda / 3, 1e-7);
          if (gain < 1e-7 * sse + 1e-12) return sse;
          continue;
        }
      }
      lambda *= 8;
    }
    if (!accepted) break;
  }
  return sse;
}

// ---- Where a band is missing -------------------------------------------------------
// Bands that would take the largest remaining error: a peak there with the
// error's height and width, and a shelf from there outwards.
std::vector<Shape> BandsForResidual(const Problem& problem, const ResponseArray& model) {
  const std::vector<int>& points = problem.Points();
  size_t peak = 0;
  double worst = -1;
  for (size_t j = 0; j < points.size(); ++j) {
    const double r = std::abs(problem.Target(points[j]) - model[points[j]]);
    if (r > worst) {
      worst = r;
      peak = j;
    }
  }
  const auto residual = [&](size_t j) { return problem.Target(points[j]) - model[points[j]]; };
  const double height = residual(peak);
  size_t left = peak, right = peak;
  while (left > 0 && residual(left - 1) * height > height * height / 4) --left;
  while (right + 1 < points.size() && residual(right + 1) * height > height * height / 4) ++right;
  const double fl = FrequencyTable[points[left]], fc = FrequencyTable[points[peak]],
               fr = FrequencyTable[points[right]];
  std::vector<Shape> bands;
  Shape p;
  p.LogHz = std::log(fc);
  p.Gain = height;
  // The processor's width N spans about 2N octaves between the half-gain points.
  p.Octaves = std::log2(std::max(fr / fl, 1.05)) / 2;
  Limit(p);
  bands.push_back(p);
  for (int slope = 1; slope >= 0; --slope) {
    Shape s;
    s.Slope = slope;
    s.Gain = height;
    if (fc < kShelfSplitFrequency) {
      s.Type = kLowShelf;
      s.LogHz = std::log(fr / ShelfDesignScale(kLowShelf, slope));
    } else {
      s.Type = kHighShelf;
      s.LogHz = std::log(fl / ShelfDesignScale(kHighShelf, slope));
    }
    Limit(s);
    bands.push_back(s);
  }
  return bands;
}

// Adds one band where the error is largest, trying each kind; the new band
// settles first, then all of them.
double AddBand(const Problem& problem, ShapeModel& model) {
  model.Compute(ShapeResponse);
  ShapeModel best;
  double bestSse = -1;
  for (const Shape& extra : BandsForResidual(problem, model.Sum)) {
    ShapeModel trial = model;
    trial.Bands.push_back(extra);
    Refine(problem, trial, 8, trial.Bands.size() - 1);
    const double sse = Refine(problem, trial, 12);
    if (bestSse < 0 || sse < bestSse) {
      bestSse = sse;
      best = std::move(trial);
    }
  }
  model = std::move(best);
  return bestSse;
}

void FillBands(const Problem& problem, ShapeModel& model) {
  while (model.Bands.size() < static_cast<size_t>(kFitBands)) AddBand(problem, model);
}

// Drops bands, the one whose loss raises the error least each time, down to
// six. Of a very long list only the strongest bands (by their response's
// energy over the range) are weighed one by one, so the time stays bounded.
void Thin(const Problem& problem, ShapeModel& model) {
  constexpr size_t kWeighed = 48;
  model.Compute(ShapeResponse);
  if (model.Bands.size() > kWeighed) {
    std::vector<std::pair<double, size_t>> energy;
    for (size_t b = 0; b < model.Bands.size(); ++b) {
      double e = 0;
      for (int i : problem.Points()) e += model.Responses[b][i] * model.Responses[b][i];
      energy.emplace_back(-e, b);
    }
    std::stable_sort(energy.begin(), energy.end());
    std::vector<size_t> kept;
    for (size_t k = 0; k < kWeighed; ++k) kept.push_back(energy[k].second);
    std::sort(kept.begin(), kept.end());
    ShapeModel strongest;
    for (size_t b : kept) strongest.Bands.push_back(model.Bands[b]);
    model = std::move(strongest);
    model.Compute(ShapeResponse);
  }
  while (model.Bands.size() > static_cast<size_t>(kFitBands)) {
    size_t drop = 0;
    double best = -1;
    for (size_t b = 0; b < model.Bands.size(); ++b) {
      ResponseArray without = model.Sum;
      for (int i = 0; i < kFrequencyPoints; ++i) without[i] -= model.Responses[b][i];
      const double sse = problem.Sse(without);
      if (best < 0 || sse < best) {
        best = sse;
        drop = b;
      }
    }
    for (int i = 0; i < kFrequencyPoints; ++i) model.Sum[i] -= model.Responses[drop][i];
    model.Bands.erase(model.Bands.begin() + static_cast<std::ptrdiff_t>(drop));
    model.Responses.erase(model.Responses.begin() + static_cast<std::ptrdiff_t>(drop));
  }
}

// The other types and slopes of each band in turn, and the weakest band moved
// to where the error is largest; each kept only when it lowers the error.
double Reshape(const Problem& problem, ShapeModel& model, double sse) {
  for (size_t b = 0; b < model.Bands.size(); ++b) {
    const Shape was = model.Bands[b];
    for (int type : {kPeaking, kLowShelf, kHighShelf}) {
      for (int slope = 0; slope <= (IsShelf(type) ? 1 : 0); ++slope) {
        if (type == was.Type && (slope == was.Slope || !IsShelf(type))) continue;
        ShapeModel trial = model;
        Shape& s = trial.Bands[b];
        s.Type = type;
        s.Slope = slope;
        if (IsShelf(type) != IsShelf(was.Type))
          s.LogHz = std::log(std::exp(was.LogHz) * (IsShelf(type) ? 1 / ShelfDesignScale(type, slope)
                                                                  : ShelfDesignScale(was.Type, was.Slope)));
        Limit(s);
        const double trialSse = Refine(problem, trial, 15);
        if (trialSse < sse) {
          sse = trialSse;
          model = std::move(trial);
        }
      }
    }
  }
  for (int round = 0; round < 3; ++round) {
    model.Compute(ShapeResponse);
    size_t weakest = 0;
    double least = -1;
    for (size_t b = 0; b < model.Bands.size(); ++b) {
      ResponseArray without = model.Sum;
      for (int i = 0; i < kFrequencyPoints; ++i) without[i] -= model.Responses[b][i];
      const double loss = problem.Sse(without) - sse;
      if (least < 0 || loss < least) {
        least = loss;
        weakest = b;
      }
    }
    ShapeModel trial = model;
    trial.Bands.erase(trial.Bands.begin() + static_cast<std::ptrdiff_t>(weakest));
    const double trialSse = AddBand(problem, trial);
    if (!(trialSse < sse)) break;
    sse = trialSse;
    model = std::move(trial);
  }
  return sse;
}

// ---- Whole codes ---------------------------------------------------------------------
// The codes next to a band's: peaks move from grid point to grid point (the
// codes in between draw the same), shelves by small ratios.
std::vector<BandCodes> Neighbours(const BandCodes& b) {
  std::vector<BandCodes> next;
  const auto add = [&](BandCodes n) {
    if (!(n == b)) next.push_back(n);
  };
  for (int d : {1, -1, 4, -4, 15, -15}) {
    BandCodes n = b;
    n.Gain = std::clamp(b.Gain + d, kEqGainMin, kEqGainMax);
    add(n);
  }
  if (b.Type == kPeaking) {
    for (int d : {1, -1, 4, -4, 12, -12}) {
      BandCodes n = b;
      n.Width = std::clamp(b.Width + d, 0, kWidthMax);
      add(n);
    }
    const int at = NearestFrequencyIndex(b.Freq);
    for (int d : {1, -1, 2, -2}) {
      const int index = at + d;
      if (index < 0 || index >= kFrequencyPoints) continue;
      BandCodes n = b;
      n.Freq = std::clamp(static_cast<int>(std::lround(FrequencyTable[index])), kFrequencyMin, kFrequencyMax);
      if (NearestFrequencyIndex(n.Freq) == index) add(n);
    }
  } else {
    double low, high;
    FrequencyLimits(b.Type, low, high);
    for (double ratio : {1.003, 1 / 1.003, 1.02, 1 / 1.02, 1.1, 1 / 1.1}) {
      BandCodes n = b;
      long hz = std::lround(b.Freq * ratio);
      if (hz == b.Freq) hz += ratio > 1 ? 1 : -1;
      n.Freq = static_cast<int>(std::clamp(hz, std::lround(low), std::lround(high)));
      add(n);
    }
    BandCodes n = b;
    n.ShelfSlope = 1 - b.ShelfSlope;
    add(n);
  }
  return next;
}

// Moves one code at a time while that lowers the error.
double Polish(const Problem& problem, CodeModel& model) {
  model.Compute(CodeResponse);
  double sse = problem.Sse(model.Sum);
  ResponseArray moved, sum;
  for (int pass = 0; pass < 200; ++pass) {
    bool improved = false;
    for (size_t b = 0; b < model.Bands.size(); ++b) {
      for (const BandCodes& n : Neighbours(model.Bands[b])) {
        CodeResponse(n, moved);
        for (int i = 0; i < kFrequencyPoints; ++i) sum[i] = model.Sum[i] - model.Responses[b][i] + moved[i];
        const double trial = problem.Sse(sum);
        if (trial < sse) {
          sse = trial;
          model.Bands[b] = n;
          model.Responses[b] = moved;
          model.Sum = sum;
          improved = true;
        }
      }
    }
    if (!improved) break;
  }
  return sse;
}

CodeModel Quantised(const ShapeModel& shapes) {
  CodeModel codes;
  for (const Shape& s : shapes.Bands) codes.Bands.push_back(CodesOf(s));
  return codes;
}

ShapeModel Shapes(std::span<const BandCodes> bands) {
  ShapeModel model;
  for (const BandCodes& b : bands) model.Bands.push_back(ShapeOf(b));
  return model;
}

// Leaves out the flat bands and orders the rest by frequency.
std::vector<BandCodes> Tidy(std::vector<BandCodes> bands) {
  std::erase_if(bands, [](const BandCodes& b) { return b.Gain == kGainZero; });
  std::stable_sort(bands.begin(), bands.end(), [](const BandCodes& a, const BandCodes& b) {
    return a.Freq != b.Freq ? a.Freq < b.Freq : a.Type < b.Type;
  });
  return bands;
}

// Leaves out bands that hardly matter (a tenth of a decibel at some corner):
// one whose loss raises the error by less than kNegligibleDb goes, as long as
// the fit stays better than the copy (limit). Returns the sum of squares.
double DropNegligible(const Problem& problem, std::vector<BandCodes>& bands, double limit) {
  constexpr double kNegligibleDb = 0.01;
  ResponseArray sum;
  BandsResponse(bands, sum);
  double sse = problem.Sse(sum);
  for (size_t b = 0; b < bands.size();) {
    std::vector<BandCodes> without = bands;
    without.erase(without.begin() + static_cast<std::ptrdiff_t>(b));
    BandsResponse(without, sum);
    const double trial = problem.Sse(sum);
    if (trial < limit && problem.Rms(trial) - problem.Rms(sse) < kNegligibleDb) {
      bands = std::move(without);
      sse = trial;
    } else {
      ++b;
    }
  }
  return sse;
}

}  // namespace

void BandsResponse(std::span<const BandCodes> bands, ResponseArray& db) {
  db.fill(0.0);
  ResponseArray one;
  for (const BandCodes& b : bands) {
    CodeResponse(b, one);
    for (int i = 0; i < kFrequencyPoints; ++i) db[i] += one[i];
  }
}

double RmsErrorDb(const ResponseArray& a, const ResponseArray& b, const FitRange& range) {
  const Problem problem(a, range);
  return problem.Rms(problem.Sse(b));
}

BandCodes NearestBand(const TargetFilter& f) {
  Shape s;
  s.Gain = f.GainDb;
  if (f.Shape == TargetShape::Peaking) {
    // A cookbook peak's alpha is sin(w0) / 2Q; the processor's is about
    // sin(w0) sinh(ln 2 N), so N = asinh(1 / 2Q) / ln 2.
    s.LogHz = std::log(std::max(f.Hz, 1.0));
    s.Octaves = std::asinh(1 / (2 * std::max(f.Q, 1e-3))) / std::log(2.0);
  } else {
    s.Type = f.Shape == TargetShape::LowShelf ? kLowShelf : kHighShelf;
    s.Slope = f.FirstOrder ? 0 : 1;
    s.LogHz = std::log(std::max(f.Hz, 1.0) / ShelfDesignScale(s.Type, s.Slope));
  }
  Limit(s);
  return CodesOf(s);
}

EqFit FitEq(const ResponseArray& target, std::span<const BandCodes> literal,
            std::span<const TargetFilter> filters, const FitRange& range) {
  const Problem problem(target, range);
  // The literal copy, only polished: the result is never worse than it.
  CodeModel best;
  best.Bands.assign(literal.begin(),
                    literal.begin() + std::min<std::ptrdiff_t>(std::ssize(literal), kFitBands));
  best.Compute(CodeResponse);
  const double literalSse = problem.Sse(best.Sum);
  double bestSse = literalSse;
  std::vector<BandCodes> result = best.Bands;

  std::vector<ShapeModel> starts;
  if (!filters.empty()) {
    std::vector<BandCodes> nearest;
    for (const TargetFilter& f : filters) nearest.push_back(NearestBand(f));
    starts.push_back(Shapes(nearest));
    Thin(problem, starts.back());
  }
  starts.push_back(Shapes(best.Bands));
  starts.emplace_back();  // bands added one by one from none

  ShapeModel top;
  double topSse = -1;
  for (ShapeModel& start : starts) {
    Refine(problem, start, 40);
    FillBands(problem, start);
    const double sse = Refine(problem, start, 40);
    if (topSse < 0 || sse < topSse) {
      topSse = sse;
      top = start;
    }
  }
  Reshape(problem, top, topSse);
  Refine(problem, top, 40);
  starts.push_back(top);

  std::vector<CodeModel> finals;
  finals.push_back(best);
  for (const ShapeModel& start : starts) finals.push_back(Quantised(start));
  for (CodeModel& candidate : finals) {
    const double sse = Polish(problem, candidate);
    if (sse < bestSse) {
      bestSse = sse;
      result = Tidy(candidate.Bands);
    }
  }
  // The error as anyone recomputing it from the codes finds it (the search
  // kept running sums, which round differently).
  ResponseArray copied;
  BandsResponse(best.Bands, copied);
  const double copiedSse = problem.Sse(copied);
  const double fittedSse = DropNegligible(problem, result, copiedSse);
  if (copiedSse <= fittedSse) return {best.Bands, problem.Rms(copiedSse)};
  return {result, problem.Rms(fittedSse)};
}

}  // namespace veyra
