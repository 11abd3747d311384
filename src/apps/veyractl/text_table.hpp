// Plain-text rendering of a grid for the terminal: columns padded to their
// widest cell, two spaces apart, trailing blanks trimmed.
#pragma once

#include <string>
#include <vector>

namespace veyra::ctl {

// Width of a UTF-8 text on a terminal: one column per character, two for the
// wide East Asian characters (device names may hold them).
size_t DisplayColumns(const std::string& utf8);

// Column c is right-aligned (numbers) when rightAligned[c] is set.
std::string AlignedText(const std::vector<std::vector<std::string>>& grid,
                        const std::vector<bool>& rightAligned = {});

}  // namespace veyra::ctl
