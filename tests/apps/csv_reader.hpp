// Reads the CSV the tool prints back into cells (RFC 4180: CRLF rows,
// quoted fields with doubled quotes), so that tests look cells up by their
// row caption and column header instead of comparing whole lines.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

namespace veyra::testing {

using CsvGrid = std::vector<std::vector<std::string>>;

// Every row must end in CRLF; a bare LF or CR fails the whole text (empty grid).
inline CsvGrid ParseCsv(const std::string& text) {
  CsvGrid grid;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    if (quoted) {
      if (ch != '"') {
        field += ch;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (ch == '"') {
      quoted = true;
    } else if (ch == ',') {
      row.push_back(std::move(field));
      field.clear();
    } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      row.push_back(std::move(field));
      field.clear();
      grid.push_back(std::move(row));
      row.clear();
      ++i;
    } else if (ch == '\r' || ch == '\n') {
      return {};
    } else {
      field += ch;
    }
  }
  if (!field.empty() || !row.empty()) return {};  // the last row had no line end
  return grid;
}

// The cell in the row whose first cell is caption, under the header cell column.
inline std::string Cell(const CsvGrid& grid, const std::string& caption, const std::string& column) {
  if (grid.empty()) return "<no grid>";
  const auto& header = grid.front();
  const auto c = std::find(header.begin(), header.end(), column);
  if (c == header.end()) return "<no column " + column + ">";
  for (const auto& row : grid) {
    if (!row.empty() && row[0] == caption) {
      const auto index = static_cast<size_t>(c - header.begin());
      return index < row.size() ? row[index] : "<short row>";
    }
  }
  return "<no row " + caption + ">";
}

}  // namespace veyra::testing
