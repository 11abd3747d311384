#include "text_table.hpp"

#include <algorithm>

namespace veyra::ctl {

size_t DisplayColumns(const std::string& utf8) {
  size_t columns = 0;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    columns += lead >= 0xE1 ? 2 : 1;  // U+1100 and up: the East Asian scripts
    i += length;
  }
  return columns;
}

std::string AlignedText(const std::vector<std::vector<std::string>>& grid,
                        const std::vector<bool>& rightAligned) {
  std::vector<size_t> widths;
  for (const auto& row : grid) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayColumns(row[c]));
  }
  std::string text;
  for (const auto& row : grid) {
    std::string line;
    for (size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line += "  ";
      const std::string padding(widths[c] - DisplayColumns(row[c]), ' ');
      line += c < rightAligned.size() && rightAligned[c] ? padding + row[c] : row[c] + padding;
    }
    line.erase(line.find_last_not_of(' ') + 1);
    text += line + '\n';
  }
  return text;
}

}  // namespace veyra::ctl
