#include "files/settings_diff.hpp"

#include <algorithm>

#include "state/device_text.hpp"
#include "state/text_format.hpp"

namespace veyra {

std::string ChangeText(const SettingChange& change) {
  return change.Where + "  " + change.Caption + "  " + change.Before + " \u2192 " + change.After;
}

std::vector<SettingChange> DiffRecords(const RecordSet& before, const RecordSet& after) {
  std::vector<SettingChange> changes;
  if (!before.Store || !after.Store) return changes;
  if (before.Source > 0 && after.Source > 0) {
    const std::string_view a = FieldText(before.Store->Presets[before.Source].Name);
    const std::string_view b = FieldText(after.Store->Presets[after.Source].Name);
    if (a != b) changes.push_back({"Program", "Name", QuotedName(a), QuotedName(b)});
  }
  RecordSet same = after;
  same.Inputs = before.Inputs;
  same.Outputs = before.Outputs;
  std::vector<SettingField> a = SettingFields(before);
  std::vector<SettingField> b = SettingFields(same);
  // The channels come first in both lists; only live records go on with the
  // group records, which the other kind of set does not have.
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (a[i].Key == b[i].Key) continue;
    changes.push_back(
        {std::move(a[i].Where), std::move(a[i].Caption), std::move(a[i].Text), std::move(b[i].Text)});
  }
  return changes;
}

std::vector<SettingChange> DiffAllPrograms(const ParameterStore& before, const ParameterStore& after,
                                           int model) {
  std::vector<SettingChange> changes;
  for (int p = 1; p <= kPresetCount; ++p) {
    const std::string program = Format("Program %d", p);
    for (SettingChange& change : DiffRecords(ModelRecords(before, p, model), ModelRecords(after, p, model))) {
      change.Where = change.Where == "Program" ? program : program + "  " + change.Where;
      changes.push_back(std::move(change));
    }
  }
  return changes;
}

}  // namespace veyra
