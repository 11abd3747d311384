// import-eq and export-eq: a channel's EQ bands of a settings file from and
// to the filter text files that measurement programs read and write.
#pragma once

#include <string>

#include "console.hpp"

namespace veyra::ctl {

struct EqFileOptions {
  std::string Filters;   // import-eq: the filter text file to read
  std::string Settings;  // the settings file (.dat)
  std::string Input;     // A..H, or empty
  int Output = 0;        // 1..8, or 0
  bool Fit = false;      // import-eq: fit even six filters or fewer
  bool Literal = false;  // import-eq: copy, refusing more than six
};

// Reads the filters into bands 1..6 of the channel, copied as they are or
// fitted (more than six active filters, or --fit), and rewrites the settings
// file (through a temporary file, so a failure leaves it as it was). A
// refused filter file leaves the settings file untouched: exit status 1.
int RunImportEq(const Console& console, const EqFileOptions& options);
// Prints bands 1..6 of the channel in the one-line filter format.
int RunExportEq(const Console& console, const EqFileOptions& options);

}  // namespace veyra::ctl
