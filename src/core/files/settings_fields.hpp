// The settings of one set of records as the operator reads them, field by
// field: every parameter of the parameter table, the channel names and group
// numbers, and the group records of the live settings. The file check judges
// these fields and the settings diff compares them, so both name a field the
// same way ("Input A", "EQFQ 2") and show the same text for it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "state/parameter_store.hpp"

namespace veyra {

// Which records of a store are read, and how many channels of each kind.
struct RecordSet {
  const ParameterStore* Store = nullptr;
  int Source = 0;  // 0: the live records and the group records; 1..30: that program's records
  int Inputs = 0;  // channels A.. and 1.. that are read (at most 8 each)
  int Outputs = 0;
  // With Source 0: the group records too. They live only in the program and
  // its settings files; a device keeps none.
  bool Groups = true;
};

// The channels of the largest model: every channel an editor reaches on some model.
RecordSet LargestModelRecords(const ParameterStore& store, int source);
// The channels of a model (1..3); the largest model's for an unknown one.
RecordSet ModelRecords(const ParameterStore& store, int source, int model);

struct SettingField {
  std::string Where;    // "Input A", "Output 3", "Input group 2", "Program"
  std::string Caption;  // "Gain", "EQFQ 2", "Name", "Group", "EQ Link"
  std::string Key;      // what two sets are compared by: the code, or a name's bytes
  std::string Text;     // what the operator reads: the display text, a name in quotes
  // The code lies outside the range the editors can set. Never for names,
  // for records that are all zero (channels a smaller model never used) or for
  // a code the factory defaults write.
  bool OutOfRange = false;
  std::string Allowed;  // when out of range: "outside -36.0dB..+20.0dB", "not one of normal, inverted"
};

// The fields in a fixed order: the inputs, the outputs (name, group, then the
// parameters in the editors' order), then for the live records the input and
// the output groups (name, link flags). Two sets of the same channel counts
// give the same fields in the same order. A parameter that no editor sets is
// left out.
std::vector<SettingField> SettingFields(const RecordSet& records);

// A name's device bytes as UTF-8 in quotes, so that an empty name or trailing
// spaces show.
std::string QuotedName(std::string_view raw);

// "EQ 2 frequency" -> "EQ 2 Frequency"; small joining words stay lower case.
std::string TitleCase(const std::string& caption);

}  // namespace veyra
