// printf-style formatting into a std::string, so that the display formats
// ("%0.1fdB", "Preset %d:%s" ...) are used exactly as they are written.
#pragma once

#include <string>

namespace veyra {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace veyra
