// Fits every filter list of the fixture folder (or the files given) into six
// bands and prints, per file, the fit's error and the error of copying the
// first six filters (both RMS dB over 20 Hz-20 kHz against the file's own
// response), the time of one fit and that time in evaluations of six bands'
// response measured in the same run. The goals: at most 1.0 dB, at most half
// the copy's error, under one second.
//
//   build/bench/bench_fit [FILTERS.txt ...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/filter_import.hpp"

namespace veyra {
namespace {

using Clock = std::chrono::steady_clock;

void Clobber() {
  asm volatile("" ::: "memory");
}

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// The baseline: one evaluation of six bands' summed response.
double EvaluationSeconds(const std::vector<ImportedBand>& bands) {
  ResponseArray db;
  double best = 1e300;
  for (int repeat = 0; repeat < 5; ++repeat) {
    const auto start = Clock::now();
    for (int i = 0; i < 2000; ++i) {
      BandsResponse(bands, db);
      Clobber();
    }
    best = std::min(best, Seconds(start) / 2000);
  }
  return best;
}

std::vector<std::filesystem::path> Files(int argc, char** argv) {
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) files.emplace_back(argv[i]);
  if (files.empty()) {
    for (const auto& entry : std::filesystem::directory_iterator(VEYRA_FILTER_FIXTURES))
      if (entry.path().extension() == ".txt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
  }
  return files;
}

}  // namespace
}  // namespace veyra

int main(int argc, char** argv) {
  using namespace veyra;
  std::printf("%-24s %7s %9s %9s %6s %9s %12s  %s\n", "file", "filters", "fit dB", "first 6", "ratio",
              "time ms", "evaluations", "goals");
  bool allMet = true;
  for (const std::filesystem::path& path : Files(argc, argv)) {
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const EqImport import = ReadFilterText(text);
    if (!import.ok()) {
      std::printf("%-24s %s\n", path.filename().c_str(), import.Error.c_str());
      allMet = false;
      continue;
    }
    double best = 1e300;
    EqImportChoice fit, again;
    for (int run = 0; run < 3; ++run) {
      const auto start = Clock::now();
      (run == 0 ? fit : again) = FitChoice(import);
      best = std::min(best, Seconds(start));
    }
    const bool same = fit.Bands == again.Bands && fit.RmsDb == again.RmsDb;
    const double evaluation = EvaluationSeconds(fit.Bands);
    const bool met = fit.RmsDb <= 1.0 && fit.RmsDb <= fit.LiteralRmsDb / 2 && best < 1.0 && same;
    allMet = allMet && met;
    std::printf("%-24s %7zu %9.2f %9.2f %6.2f %9.1f %12.0f  %s%s\n", path.filename().c_str(),
                import.Filters.size(), fit.RmsDb, fit.LiteralRmsDb, fit.RmsDb / fit.LiteralRmsDb, best * 1000,
                best / evaluation, met ? "met" : "MISSED", same ? "" : " (not deterministic)");
  }
  return allMet ? 0 : 1;
}
