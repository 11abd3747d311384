#include "files/filter_import.hpp"

#include "state/text_format.hpp"

namespace veyra {
namespace {

std::string HertzText(double hz) {
  return hz >= 1000 ? Format("%g kHz", hz / 1000) : Format("%g Hz", hz);
}

// "20 Hz-20 kHz".
std::string RangeText(const FitRange& range) {
  return Format("%s-%s", HertzText(range.LowHz).c_str(), HertzText(range.HighHz).c_str());
}

std::string Count(size_t n, const char* one) {
  return Format("%zu %s%s", n, one, n == 1 ? "" : "s");
}

double LiteralError(const EqImport& import, const ResponseArray& target, const FitRange& range) {
  ResponseArray copied;
  BandsResponse(import.Bands, copied);
  return RmsErrorDb(target, copied, range);
}

}  // namespace

void FileResponse(const EqImport& import, ResponseArray& db) {
  std::vector<TargetFilter> filters;
  for (const ImportedFilter& f : import.Filters) filters.push_back(f.Filter);
  TargetResponse(filters, db);
}

EqImportChoice LiteralChoice(const EqImport& import, const FitRange& range) {
  EqImportChoice choice;
  choice.Error = LiteralRefusal(import);
  ResponseArray target;
  FileResponse(import, target);
  choice.LiteralRmsDb = LiteralError(import, target, range);
  if (!choice.ok()) return choice;
  choice.Bands = import.Bands;
  choice.RmsDb = choice.LiteralRmsDb;
  choice.Report = Format("%s copied into %s: %0.2f dB RMS from the file's response over %s",
                         Count(import.Filters.size(), "filter").c_str(),
                         Count(import.Bands.size(), "band").c_str(), choice.RmsDb, RangeText(range).c_str());
  return choice;
}

EqImportChoice FitChoice(const EqImport& import, const FitRange& range) {
  EqImportChoice choice;
  choice.Fitted = true;
  ResponseArray target;
  FileResponse(import, target);
  choice.LiteralRmsDb = LiteralError(import, target, range);
  std::vector<TargetFilter> filters;
  for (const ImportedFilter& f : import.Filters) filters.push_back(f.Filter);
  const EqFit fit = FitEq(target, import.Bands, filters, range);
  choice.Bands = fit.Bands;
  choice.RmsDb = fit.RmsDb;
  const bool all = import.Filters.size() <= import.Bands.size();
  choice.Report = Format("%s fitted into %s: %0.2f dB RMS from the file's response over %s (%s: %0.2f dB)",
                         Count(import.Filters.size(), "filter").c_str(),
                         Count(fit.Bands.size(), "band").c_str(), fit.RmsDb, RangeText(range).c_str(),
                         all ? "copied as they are" : "the first six copied", choice.LiteralRmsDb);
  return choice;
}

EqImportChoice ChooseImport(const EqImport& import, ImportMode mode, const FitRange& range) {
  const bool fit = mode == ImportMode::Fit || (mode == ImportMode::Auto && !LiteralRefusal(import).empty());
  return fit ? FitChoice(import, range) : LiteralChoice(import, range);
}

}  // namespace veyra
