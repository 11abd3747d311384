// Plain-text rendering of a grid for the terminal: columns padded to their
// widest cell, two spaces apart, trailing blanks trimmed.
#pragma once

#include <string>
#include <vector>

namespace veyra::ctl {

// Column c is right-aligned (numbers) when rightAligned[c] is set.
std::string AlignedText(const std::vector<std::vector<std::string>>& grid,
                        const std::vector<bool>& rightAligned = {});

}  // namespace veyra::ctl
