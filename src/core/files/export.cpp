#include "export.hpp"

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <system_error>

#include "state/device_text.hpp"

namespace veyra {
namespace fs = std::filesystem;

namespace {

constexpr char kSheetName[] = "Sheet1";
constexpr char kCornerText[] = "Channle";

// Columns wide enough for their longest text, in the sheet's character units:
// wide (CJK) characters take two, and one unit of margin as autofit leaves.
std::vector<double> ColumnWidths(const std::vector<std::vector<std::string>>& grid) {
  std::vector<double> widths;
  for (const auto& row : grid) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], static_cast<double>(DisplayColumns(row[c])));
  }
  for (double& w : widths) w += 1;
  return widths;
}

// The workbook format reads "_xHHHH_" in a text as an escaped character (the
// library writes control characters that way); a name that holds such a
// sequence literally keeps it by escaping its underscore.
std::string SheetText(const std::string& text) {
  const auto escapes = [&](size_t i) {
    if (i + 7 > text.size() || text[i + 1] != 'x' || text[i + 6] != '_') return false;
    return std::all_of(text.begin() + i + 2, text.begin() + i + 6,
                       [](char ch) { return std::isxdigit(static_cast<unsigned char>(ch)) != 0; });
  };
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '_' && escapes(i)) {
      out += "_x005F_";
    } else {
      out += text[i];
    }
  }
  return out;
}

// Fills the workbook; returns an empty text, kWorkbookFailed when the
// workbook could not be set up, or the library's reason for a failed write.
std::string WriteWorkbook(const std::vector<std::vector<std::string>>& grid, const fs::path& file) {
  lxw_workbook* workbook = workbook_new(PathText(file).c_str());
  if (!workbook) return kWorkbookFailed;
  lxw_worksheet* sheet = workbook_add_worksheet(workbook, kSheetName);
  if (!sheet) {
    workbook_close(workbook);
    return kWorkbookFailed;
  }
  lxw_error error = LXW_NO_ERROR;
  for (size_t r = 0; r < grid.size() && error == LXW_NO_ERROR; ++r) {
    for (size_t c = 0; c < grid[r].size() && error == LXW_NO_ERROR; ++c) {
      if (grid[r][c].empty()) continue;  // an empty cell stays empty
      error = worksheet_write_string(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c),
                                     SheetText(grid[r][c]).c_str(), nullptr);
    }
  }
  const std::vector<double> widths = ColumnWidths(grid);
  for (size_t c = 0; c < widths.size() && error == LXW_NO_ERROR; ++c) {
    const auto column = static_cast<lxw_col_t>(c);
    error = worksheet_set_column(sheet, column, column, widths[c], nullptr);
  }
  errno = 0;
  const lxw_error closed = workbook_close(workbook);  // writes the file and frees the workbook
  if (error == LXW_NO_ERROR) error = closed;
  if (error == LXW_NO_ERROR) return {};
  std::string reason = lxw_strerror(error);
  const bool systemCall = error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE ||
                          error == LXW_ERROR_READING_TMPFILE || error == LXW_ERROR_ZIP_FILE_OPERATION ||
                          error == LXW_ERROR_ZIP_FILE_ADD || error == LXW_ERROR_ZIP_CLOSE;
  if (systemCall && errno != 0) reason += " (" + std::generic_category().message(errno) + ")";
  return reason;
}

ExportResult Finish(const SaveResult& saved) {
  if (saved.ok()) return {true, kExportSucceeded};
  return {false, saved.Error};
}

}  // namespace

std::vector<std::vector<std::string>> ExportGrid(const DataTable& table) {
  std::vector<std::vector<std::string>> grid;
  grid.reserve(1 + table.Rows.size());
  std::vector<std::string>& header = grid.emplace_back(table.Header);
  if (header.empty()) header.emplace_back();
  header[0] = kCornerText;
  grid.insert(grid.end(), table.Rows.begin(), table.Rows.end());
  return grid;
}

std::string CsvText(const DataTable& table) {
  std::string csv;
  for (const auto& row : ExportGrid(table)) {
    for (size_t c = 0; c < row.size(); ++c) {
      if (c > 0) csv += ',';
      const std::string& field = row[c];
      if (field.find_first_of(",\"\r\n") == std::string::npos) {
        csv += field;
        continue;
      }
      csv += '"';
      for (const char ch : field) {
        if (ch == '"') csv += '"';
        csv += ch;
      }
      csv += '"';
    }
    csv += "\r\n";
  }
  return csv;
}

ExportResult ExportCsv(const DataTable& table, const fs::path& path, const SaveOptions& options) {
  const std::string csv = CsvText(table);
  return Finish(SaveFileReplacing(path, std::as_bytes(std::span(csv)), options));
}

ExportResult ExportXlsx(const DataTable& table, const fs::path& path) {
  const auto grid = ExportGrid(table);
  bool setupFailed = false;
  const SaveResult saved = SaveFileReplacing(path, [&](const fs::path& temp) {
    std::string failure = WriteWorkbook(grid, temp);
    setupFailed = failure == kWorkbookFailed;
    return failure;
  });
  if (setupFailed) return {false, kWorkbookFailed};
  return Finish(saved);
}

}  // namespace veyra
