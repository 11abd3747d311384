// The check of a loaded file. The settings, program and bank files carry no
// header and no checksum, so a damaged or foreign file loads as nonsense; what
// gives it away is codes that no editor can set. The check lists every field
// of the records a file loaded whose code lies outside the editors' range
// (see SettingField for what is not judged).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "state/parameter_store.hpp"

namespace veyra {

struct RangeFinding {
  std::string Where;    // "Input A", "Program 5  Output 3", "Output group 2"
  std::string Caption;  // "Gain"
  std::string Value;    // "6046.1dB"
  std::string Allowed;  // "outside -36.0dB..+20.0dB", "not one of normal, inverted"
};

// "Input A  Gain  6046.1dB: outside -36.0dB..+20.0dB"
std::string FindingText(const RangeFinding& finding);
// "Input A Gain 6046.1dB": for a sentence that names a finding.
std::string FindingName(const RangeFinding& finding);

// A settings file: the live records (channels of the largest model) and the group records.
std::vector<RangeFinding> CheckLiveSettings(const ParameterStore& store);
// A program file, or one program of a bank (program 1..30).
std::vector<RangeFinding> CheckProgram(const ParameterStore& store, int program);
// A bank file: programs 1..30, each finding prefixed with "Program N".
std::vector<RangeFinding> CheckAllPrograms(const ParameterStore& store);

// "1 field out of range", "12 fields out of range".
std::string OutOfRangeCount(size_t count);
// The names of the first `shown` findings, then "and N more":
// "Input A Gain 6046.1dB, Input A Polarity 7 and 10 more".
std::string FirstFindings(const std::vector<RangeFinding>& findings, size_t shown);

}  // namespace veyra
