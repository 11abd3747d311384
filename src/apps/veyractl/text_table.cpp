#include "text_table.hpp"

#include <algorithm>

#include "state/device_text.hpp"

namespace veyra::ctl {


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
