#include "file_commands.hpp"

#include <cctype>
#include <filesystem>

#include "files/export.hpp"
#include "response_table.hpp"
#include "source_file.hpp"
#include "state/models.hpp"
#include "text_table.hpp"

namespace veyra::ctl {

namespace {

// The model decides which columns the table has; the caller has checked the name.
DataTable TableOf(const SourceFile& loaded, const std::string& model) {
  DataTableOptions options;
  options.Source = loaded.Source;
  options.Model = ModelFromCliName(model).value_or(0);
  return BuildDataTable(*loaded.Store, options);
}

}  // namespace

std::string DataTableCsv(const DataTable& table) {
  // The export's CSV is the same grid with its corner text in the first cell;
  // the header row of show has that cell empty.
  std::string csv = CsvText(table);
  const std::string corner = ExportGrid(DataTable{}).front().front();
  if (csv.compare(0, corner.size(), corner) == 0) csv.erase(0, corner.size());
  return csv;
}

int RunShow(const Console& console, const ShowOptions& options) {
  SourceFile loaded;
  if (const int status = LoadSourceFile(console, options.File, options.Program, loaded); status != kExitOk) {
    return status;
  }
  const DataTable table = TableOf(loaded, options.Model);
  if (options.Csv) {
    console.Out() << DataTableCsv(table);
  } else {
    std::vector<std::vector<std::string>> grid{table.Header};
    grid.insert(grid.end(), table.Rows.begin(), table.Rows.end());
    console.Out() << AlignedText(grid);
  }
  return kExitOk;
}

int RunExport(const Console& console, const ExportOptions& options) {
  std::string ext = std::filesystem::path(options.Out).extension().string();
  for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  if (ext != ".xlsx" && ext != ".csv") {
    return console.Usage("the export file must end in .xlsx (a workbook) or .csv (comma-separated text): \"" +
                         options.Out + "\"");
  }
  SourceFile loaded;
  if (const int status = LoadSourceFile(console, options.File, options.Program, loaded); status != kExitOk) {
    return status;
  }
  const DataTable table = TableOf(loaded, options.Model);
  const ExportResult result = ext == ".xlsx" ? ExportXlsx(table, options.Out) : ExportCsv(table, options.Out);
  if (!result.Ok) return console.Failure(result.Message);
  console.Note(result.Message);
  return kExitOk;
}

int RunResponse(const Console& console, const ResponseOptions& options) {
  SourceFile loaded;
  if (const int status = LoadSourceFile(console, options.File, options.Program, loaded); status != kExitOk) {
    return status;
  }
  ResponseTable table;
  if (!options.Input.empty()) {
    const int index = std::toupper(static_cast<unsigned char>(options.Input[0])) - 'A';
    table = BuildResponseTable(loaded.Inputs()[index], index);
  } else {
    table = BuildResponseTable(loaded.Outputs()[options.Output - 1], options.Output - 1);
  }
  console.Out() << (options.Csv ? ResponseCsv(table) : ResponseText(table));
  return kExitOk;
}

}  // namespace veyra::ctl
