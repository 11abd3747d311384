// What the parameter tests share: an Orvane store and a script run through
// the same three steps veyractl and the script dialog take.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "params/param_script.hpp"
#include "state/parameter_store.hpp"

namespace veyra::test {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;
inline const ScriptModel kOrvaneFile{4, 8, ScriptTarget::File};

inline std::unique_ptr<ParameterStore> Orvane() {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  store->InputCount = 4;
  store->OutputCount = 8;
  return store;
}

// Runs a script; the error text, or "" when it applied.
inline std::string RunScript(ParameterStore& store, const std::string& text, ChangeLog* log = nullptr,
                             bool links = true, const ScriptModel& model = kOrvaneFile,
                             std::vector<std::string>* notes = nullptr) {
  std::vector<ScriptSection> sections;
  std::vector<std::vector<ScriptAssignment>> assignments;
  if (auto error = SplitSections(ScriptWords(text).value(), model, sections)) return *error;
  if (auto error = ReadAssignments(store, sections, model, assignments)) return *error;
  ChangeLog own;
  ApplyAssignments(store, sections, assignments, links, log ? *log : own, notes);
  return {};
}

// The notes a script leaves; an error fails the calling test.
inline std::vector<std::string> ScriptNotes(ParameterStore& store, const std::string& text) {
  std::vector<std::string> notes;
  const std::string error = RunScript(store, text, nullptr, true, kOrvaneFile, &notes);
  if (!error.empty()) notes.insert(notes.begin(), "error: " + error);
  return notes;
}

}  // namespace veyra::test
