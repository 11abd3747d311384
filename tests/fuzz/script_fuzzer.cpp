// Feeds arbitrary text to the scripting reader as a --from file. Whatever it
// accepts applies to a store; what get then shows of the channels it named
// reads back through set to the same texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "params/param_script.hpp"
#include "params/param_table.hpp"
#include "state/parameter_store.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

using namespace veyra;

// A code no editor can set (the factory defaults' limiter ratio 999) shows
// as its number and cannot be typed back.
bool Settable(const ParameterStore& store, const ScriptSection& s, const std::string& name) {
  const ParamDescriptor* param = FindParam(s.Kind, name);
  if (!param) return true;
  const int code = ReadCode(store, *param, s.Channel);
  return code >= param->Min && code <= param->Max;
}

bool Apply(ParameterStore& store, const std::vector<std::string>& words,
           std::vector<ScriptSection>& sections) {
  const ScriptModel model{4, 8, ScriptTarget::File};
  std::vector<std::vector<ScriptAssignment>> assignments;
  if (SplitSections(words, model, sections) || ReadAssignments(store, sections, model, assignments))
    return false;
  ChangeLog log;
  ApplyAssignments(store, sections, assignments, true, log);
  for (const MessageAddress& a : log.Addresses()) Check(a.Channel < 8 && (a.Block == 1 || a.Block == 2));
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto words = ScriptWords(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!words) return 0;
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  store->InputCount = 4;
  store->OutputCount = 8;
  std::vector<ScriptSection> sections;
  if (!Apply(*store, *words, sections)) return 0;
  // Every value of the channels touched, as get prints it, set on a fresh store.
  std::string script;
  for (const ScriptSection& s : sections) {
    const ScriptModel model{4, 8, ScriptTarget::File};
    for (const std::string& name : ScriptNames(s.Kind, model))
      if (Settable(*store, s, name))
        script += ScriptChannelText(s.Kind, s.Channel) + " " + name + "=" +
                  ScriptWord(ScriptValue(*store, s.Kind, s.Channel, name)) + "\n";
  }
  const auto again = ScriptWords(script);
  Check(again.has_value());
  auto copy = std::make_unique<ParameterStore>();
  InitialiseStore(*copy);
  copy->InputCount = 4;
  copy->OutputCount = 8;
  std::vector<ScriptSection> copied;
  Check(Apply(*copy, *again, copied));
  for (const ScriptSection& s : sections)
    for (const std::string& name : ScriptNames(s.Kind, ScriptModel{4, 8, ScriptTarget::File}))
      Check(!Settable(*store, s, name) ||
            ScriptValue(*store, s.Kind, s.Channel, name) == ScriptValue(*copy, s.Kind, s.Channel, name));
  return 0;
}
