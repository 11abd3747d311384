// The parameter table of the Data View: one row per parameter, one column per
// input and per output of a model, every cell as the text the operator reads.
// The Data View, the command line's show and export, and both spreadsheet
// exports all take their texts from BuildDataTable, so they always agree.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "state/parameter_store.hpp"

namespace veyra {

struct DataTable {
  // Column headers: "" over the row captions, then the input names, then
  // "OUT 1".."OUT n". All texts are UTF-8.
  std::vector<std::string> Header;
  // Rows[r][0] is the row caption, Rows[r][1..] the cells in header order; an
  // empty text means the row has no value on that side.
  std::vector<std::vector<std::string>> Rows;
  int InputCount = 0;
  int OutputCount = 0;
};

inline constexpr int kLiveSource = 0;  // the live records ("Default"); 1..30 are the programs

struct DataTableOptions {
  int Source = kLiveSource;  // 0 = live records, 1..30 = that program's records
  int Model = 0;             // 1..3; 0 = the store's current model
  // Input records whose names head the input columns; when it holds fewer
  // records than the model has inputs (empty, say), the source's own are used.
  // The Data View passes the live inputs: it sets its headers up when it opens
  // and keeps them while the operator picks another program.
  std::span<const InputChannel> HeaderInputs;
};

// The whole table. An unknown source or model gives an empty table (no header,
// no rows).
DataTable BuildDataTable(const ParameterStore& store, const DataTableOptions& options = {});

// The entries of the Data View's source chooser: "Default", then the 30
// program names in program order (an empty name stays, as an empty entry).
std::vector<std::string> DataSourceNames(const ParameterStore& store);

}  // namespace veyra
