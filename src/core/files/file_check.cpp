#include "files/file_check.hpp"

#include "files/settings_fields.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

void Collect(const RecordSet& records, const std::string& prefix, std::vector<RangeFinding>& findings) {
  for (SettingField& field : SettingFields(records)) {
    if (!field.OutOfRange) continue;
    findings.push_back(
        {prefix + field.Where, std::move(field.Caption), std::move(field.Text), std::move(field.Allowed)});
  }
}

}  // namespace

std::string FindingText(const RangeFinding& finding) {
  return finding.Where + "  " + finding.Caption + "  " + finding.Value + ": " + finding.Allowed;
}

std::string FindingName(const RangeFinding& finding) {
  // The two-space columns of the list read oddly inside a sentence.
  std::string where = finding.Where;
  for (size_t at = where.find("  "); at != std::string::npos; at = where.find("  ", at)) where.erase(at, 1);
  return where + " " + finding.Caption + " " + finding.Value;
}

std::vector<RangeFinding> CheckLiveSettings(const ParameterStore& store) {
  std::vector<RangeFinding> findings;
  Collect(LargestModelRecords(store, 0), "", findings);
  return findings;
}

std::vector<RangeFinding> CheckProgram(const ParameterStore& store, int program) {
  std::vector<RangeFinding> findings;
  if (program >= 1 && program <= kPresetCount) Collect(LargestModelRecords(store, program), "", findings);
  return findings;
}

std::vector<RangeFinding> CheckAllPrograms(const ParameterStore& store) {
  std::vector<RangeFinding> findings;
  for (int p = 1; p <= kPresetCount; ++p)
    Collect(LargestModelRecords(store, p), Format("Program %d  ", p), findings);
  return findings;
}

std::string OutOfRangeCount(size_t count) {
  return Format("%zu field%s out of range", count, count == 1 ? "" : "s");
}

std::string FirstFindings(const std::vector<RangeFinding>& findings, size_t shown) {
  std::string text;
  const size_t n = std::min(shown, findings.size());
  for (size_t i = 0; i < n; ++i) text += (i == 0 ? "" : ", ") + FindingName(findings[i]);
  if (findings.size() > n) text += Format(" and %zu more", findings.size() - n);
  return text;
}

}  // namespace veyra
