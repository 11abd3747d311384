// Writes the Data View's table to a spreadsheet file: a workbook (.xlsx, one
// worksheet "Sheet1") or comma-separated text (.csv, RFC 4180, UTF-8). Both
// hold the same grid: row 1 is "Channle" and the column headers, then one row
// per table row, every cell exactly the table's text (units included). No
// spreadsheet program is needed. Like every save, an export replaces an
// existing file only once the new one is complete.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "data_table.hpp"
#include "file_io.hpp"

namespace veyra {

inline constexpr char kExportSucceeded[] = "数据导出成功!";
// The workbook could not even be set up (nothing was written).
inline constexpr char kWorkbookFailed[] = "EXCEL初始化时出错!";

struct ExportResult {
  bool Ok = false;
  std::string Message;  // kExportSucceeded, kWorkbookFailed or an error naming the path and the reason
};

// The cells of the exported sheet, row by row.
std::vector<std::vector<std::string>> ExportGrid(const DataTable& table);

// The whole .csv file: CRLF line ends, fields quoted where they hold a comma,
// a quote or a line break.
std::string CsvText(const DataTable& table);

ExportResult ExportCsv(const DataTable& table, const std::filesystem::path& path,
                       const SaveOptions& options = {});
ExportResult ExportXlsx(const DataTable& table, const std::filesystem::path& path);

}  // namespace veyra
