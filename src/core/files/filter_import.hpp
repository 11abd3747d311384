// What an import of a filter text file writes: the literal copy of its
// filters or the fit of six bands to the response the file stands for, and
// the line that tells the operator how close either comes. Shared by
// veyractl's import-eq and the editors' Import…, so both choose and report
// alike.
#pragma once

#include <string>
#include <vector>

#include "files/filter_text.hpp"

namespace veyra {

// Auto copies six active filters or fewer and fits more; Literal refuses more
// than six; Fit fits whatever the count.
enum class ImportMode { Auto, Literal, Fit };

struct EqImportChoice {
  std::string Error;  // Literal with more than six active filters
  bool Fitted = false;
  std::vector<ImportedBand> Bands;  // what the channel's bands 1..6 receive
  double RmsDb = 0;                 // of Bands against the file's response
  double LiteralRmsDb = 0;          // of the literal copy (the first six)
  // "10 filters fitted into 6 bands: 0.50 dB RMS from the file's response
  // over 20 Hz-20 kHz (the first six copied: 1.19 dB)"
  std::string Report;
  bool ok() const { return Error.empty(); }
};

// The summed response of the file's active filters at the grid points.
void FileResponse(const EqImport& import, ResponseArray& db);

// The literal copy or the fit, by mode, of an import that was read.
EqImportChoice ChooseImport(const EqImport& import, ImportMode mode, const FitRange& range = {});

// Both, for a caller that shows them side by side: the literal copy (with an
// Error when it cannot hold the file) and the fit.
EqImportChoice LiteralChoice(const EqImport& import, const FitRange& range = {});
EqImportChoice FitChoice(const EqImport& import, const FitRange& range = {});

}  // namespace veyra
