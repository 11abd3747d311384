// The commands that work on files only: show, export, response.
#pragma once

#include <optional>
#include <string>

#include "console.hpp"
#include "files/data_table.hpp"

namespace veyra::ctl {

struct ShowOptions {
  std::string File;
  std::optional<int> Program;  // 1..30, .dama only
  std::string Model = "orvane";
  bool Csv = false;
};

struct ExportOptions {
  std::string File;
  std::string Out;  // .xlsx or .csv
  std::optional<int> Program;
  std::string Model = "orvane";
};

struct ResponseOptions {
  std::string File;
  std::string Input;  // A..H, or empty
  int Output = 0;     // 1..8, or 0
  std::optional<int> Program;
  bool Csv = false;
};

// The CSV of show --csv: the table's header row (an empty first cell, then
// the column names), then its rows, caption first.
std::string DataTableCsv(const DataTable& table);

int RunShow(const Console& console, const ShowOptions& options);
int RunExport(const Console& console, const ExportOptions& options);
int RunResponse(const Console& console, const ResponseOptions& options);

}  // namespace veyra::ctl
