// Times the response recomputation against a straightforward evaluation with
// std::complex (one polar value, one division and one logarithm per part and
// point), both in the same run, and prints ns per call and the ratio.
//
//   build/bench/bench_curves [seconds per measurement, default 0.2]
#include <chrono>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "curves/channel_curve.hpp"
#include "state/parameter_store.hpp"

namespace veyra {
namespace {

// Keeps the compiler from dropping work whose result is only in memory.
void Clobber() {
  asm volatile("" ::: "memory");
}

template <typename Fn>
double NsPerCall(Fn&& fn, double seconds) {
  using Clock = std::chrono::steady_clock;
  double best = 1e300;
  for (int repeat = 0; repeat < 5; ++repeat) {
    long calls = 0;
    const auto start = Clock::now();
    auto now = start;
    do {
      for (int i = 0; i < 64; ++i) fn();
      Clobber();
      calls += 64;
      now = Clock::now();
    } while (std::chrono::duration<double>(now - start).count() < seconds / 5);
    best = std::min(best, std::chrono::duration<double, std::nano>(now - start).count() / calls);
  }
  return best;
}

// ---- The baseline ----------------------------------------------------------------
void BaselineResponse(const SectionDesign& design, ResponseArray& db) {
  for (int i = 0; i < kFrequencyPoints; ++i) {
    const std::complex<double> z1 = std::polar(1.0, -FrequencyTable[i] * kEvaluationAngle);
    const std::complex<double> z2 = z1 * z1;
    double sum = 0;
    for (int k = 0; k < design.Count; ++k) {
      const Biquad& p = design.Parts[k];
      const std::complex<double> h = (p.B0 + p.B1 * z1 + p.B2 * z2) / (1.0 + p.A1 * z1 + p.A2 * z2);
      sum += 20 * std::log10(std::abs(h));
    }
    db[i] = sum;
  }
}

SectionDesign BaselineDesign(const EqBand& b) {
  if (b.BandOff == 1 || b.Gain == kGainZero) return {};
  if (b.Type == 0) return DesignPeaking(b.Freq, GainDb(b.Gain), WidthOctaves(b.Width));
  return DesignShelf(b.Type, b.ShelfSlope, b.Freq, GainDb(b.Gain));
}

struct BaselineChannel {
  ResponseArray Filters[ChannelCurve::kMaxFilters];
  ResponseArray Sum;
  CurvePointF Points[kFrequencyPoints];
};

void BaselineRecompute(const OutputChannel& out, BaselineChannel& result, int height) {
  for (int b = 0; b < ChannelCurve::kBandFilters; ++b)
    BaselineResponse(BaselineDesign(out.Bands[b]), result.Filters[b]);
  for (int s = 0; s < 2; ++s) {
    const FilterSection& x = out.Crossover[s];
    BaselineResponse(DesignCrossover(s == kHighPass, x.CrossoverType, x.CrossoverSlope, x.Freq),
                     result.Filters[ChannelCurve::kBandFilters + s]);
  }
  for (int i = 0; i < kFrequencyPoints; ++i) {
    double sum = 0;
    for (const ResponseArray& f : result.Filters) sum += f[i];
    result.Sum[i] = sum;
    result.Points[i].Y = static_cast<float>(GainToY(sum, height, kDefaultDecibelSpan) + kPlotTopOffset);
  }
}

void SetUpChannel(OutputChannel& out) {
  const EqBand bands[6] = {
      {63, 690, 0, 0, 1, 1, 0},    {200, 540, 45, 0, 0, 0, 0},  {800, 650, 25, 0, 0, 0, 0},
      {2500, 560, 10, 0, 0, 0, 0}, {6000, 630, 95, 0, 0, 0, 0}, {10000, 660, 0, 0, 0, 2, 0},
  };
  for (int b = 0; b < 6; ++b) out.Bands[b] = bands[b];
  out.Crossover[kHighPass] = {80, 1, 6};   // Bessel 48 dB: four parts
  out.Crossover[kLowPass] = {3000, 0, 6};  // L-R 48 dB: four parts
}

void Report(const char* what, double ours, double baseline) {
  std::printf("%-44s %10.1f ns %10.1f ns %8.2fx\n", what, ours, baseline, baseline / ours);
}

int Run(double seconds) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  OutputChannel& out = store->Outputs[0];
  SetUpChannel(out);
  const PlotRect plot{35, 10, 735, 310};

  ChannelCurve curve;
  curve.AttachOutput(out, 0);
  curve.SetPlotRect(plot);
  auto baseline = std::make_unique<BaselineChannel>();
  BaselineRecompute(out, *baseline, plot.Height());

  // Both evaluations must draw the same curve before their times mean anything.
  double worst = 0;
  for (int i = 0; i < kFrequencyPoints; ++i)
    worst = std::max(worst, std::abs(baseline->Sum[i] - curve.SumDb()[i]));
  std::printf("largest difference of the channel sums: %.3g dB\n\n", worst);

  std::printf("%-44s %13s %13s %9s\n", "", "this code", "std::complex", "ratio");
  CFilter& section = *curve.HighPass();
  const FilterSection& hp = out.Crossover[kHighPass];
  ResponseArray& scratch = baseline->Filters[ChannelCurve::kHighPassIndex];
  Report("ComputeResponse, 4-part crossover section",
         NsPerCall([&] { section.ComputeResponse(true); }, seconds),
         NsPerCall(
             [&] {
               BaselineResponse(DesignCrossover(true, hp.CrossoverType, hp.CrossoverSlope, hp.Freq), scratch);
             },
             seconds));
  Report("ComputeAll + SumChannelCurve, output channel", NsPerCall([&] { curve.ComputeAll(true); }, seconds),
         NsPerCall([&] { BaselineRecompute(out, *baseline, plot.Height()); }, seconds));
  const double sumOnly = NsPerCall([&] { curve.SumChannelCurve(); }, seconds);
  std::printf("%-44s %10.1f ns\n", "SumChannelCurve alone (8 filters)", sumOnly);
  return 0;
}

}  // namespace
}  // namespace veyra

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 0.2;
  return veyra::Run(seconds > 0 ? seconds : 0.2);
}
