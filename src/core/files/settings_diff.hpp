// The differences between two sets of settings, as the operator reads them:
// one change per field whose code (or name) differs, named as the file check
// names fields ("Output 3  EQFQ 2  1000Hz → 1200Hz").
#pragma once

#include <string>
#include <vector>

#include "files/settings_fields.hpp"

namespace veyra {

struct SettingChange {
  std::string Where;    // "Output 3", "Input group 2", "Program 5  Input A", "Program"
  std::string Caption;  // "EQFQ 2", "Name", "EQ Link"
  std::string Before;   // the display texts
  std::string After;
};

// "Output 3  EQFQ 2  1000Hz → 1200Hz"
std::string ChangeText(const SettingChange& change);

// Compares the channels of before's channel counts in both sets (the caller
// picks the model's). The group records are compared when both sets are live
// records, the program names when both are programs.
std::vector<SettingChange> DiffRecords(const RecordSet& before, const RecordSet& after);

// All 30 programs of two stores over a model's channels (1..3), each change
// prefixed with "Program N".
std::vector<SettingChange> DiffAllPrograms(const ParameterStore& before, const ParameterStore& after,
                                           int model);

}  // namespace veyra
