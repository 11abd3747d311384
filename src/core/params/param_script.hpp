// Scripting the parameters of channels by name, as the command line's get and
// set do: "input A gain=-3.5 mute=on eq2.freq=1000 output 3 route=A,C".
// Names are the parameter table's (plus name, eqN.bypass and route), values
// are read with the editors' typed-entry rules and shown with their display
// texts, and a change goes through the editors' change rules, so a script
// and the dialogs can never disagree on what a value means or sends.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "groups/channel_kind.hpp"
#include "params/param_change.hpp"

namespace veyra {

struct ParamDescriptor;

// Where the values live: a settings file keeps everything the program keeps;
// a processor does not keep the mic/line settings, the limiter ratio or a
// band's bypass (they exist in the program and its files only).
enum class ScriptTarget { File, Processor };

// The channels a script may name: the model's inputs and outputs.
struct ScriptModel {
  int InputCount = 8;
  int OutputCount = 8;
  ScriptTarget Target = ScriptTarget::File;
};

// "input A ..." / "output 3 ...": a channel and the words that follow it.
struct ScriptSection {
  ChannelKind Kind = ChannelKind::Input;
  int Channel = 0;
  std::vector<std::string> Words;
};

// Splits the words into sections. Each starts with "input" or "output" (any
// case) and a channel of the model (inputs A..H, outputs 1..8). On failure
// returns the message naming the word at fault.
std::optional<std::string> SplitSections(std::span<const std::string> words, const ScriptModel& model,
                                         std::vector<ScriptSection>& sections);

// One "name=value" of a section, read and checked.
struct ScriptAssignment {
  enum class Kind { Param, Name, Bypass, Routing };
  Kind What = Kind::Param;
  const ParamDescriptor* Param = nullptr;  // Kind::Param
  int Code = 0;                            // Param: the code; Bypass: 0/1; Routing: one bit per input
  int Band = 0;                            // Bypass
  std::string Bytes;                       // Name: the device bytes
  std::string Word;                        // as written: "xover.hp.freq=5k"
  int BeyondRange = 0;                     // Param: -1 typed below the range, +1 above it
};

// Reads every word of every section as an assignment; nothing is applied
// unless all of them read. On failure returns the message naming the word
// (an unknown name lists the names).
// (The store gives the range texts of the messages.)
std::optional<std::string> ReadAssignments(const ParameterStore& store,
                                           const std::vector<ScriptSection>& sections,
                                           const ScriptModel& model,
                                           std::vector<std::vector<ScriptAssignment>>& assignments);

// Applies the assignments in order with the editors' change rules; what they
// send is logged (each message once, in the order first needed). A value
// that its range or the filter rule limited gets a line in notes, when
// given: "output 3 xover.hp.freq=5k: limited to 2000Hz, the low-pass frequency".
void ApplyAssignments(ParameterStore& store, const std::vector<ScriptSection>& sections,
                      const std::vector<std::vector<ScriptAssignment>>& assignments, bool links,
                      ChangeLog& log, std::vector<std::string>* notes = nullptr);

// The names get shows for a whole channel, in the editors' order.
std::vector<std::string> ScriptNames(ChannelKind kind, const ScriptModel& model);
// Checks the words of a get section as names (an unknown one lists the names).
std::optional<std::string> CheckNames(const ScriptSection& section, const ScriptModel& model);
// The value of a name as the editors show it; name is one ScriptNames or
// CheckNames accepted.
std::string ScriptValue(const ParameterStore& store, ChannelKind kind, int channel, std::string_view name);

// "input A" / "output 3": how a section's channel is written.
std::string ScriptChannelText(ChannelKind kind, int channel);
// A value as a word of a script: quoted ("Lead Vox") when it holds a space,
// a quote, a backslash or is empty.
std::string ScriptWord(std::string_view value);
// Splits script text into words: blanks separate, "..." quotes (with \" and
// \\ inside), # starts a comment to the end of the line. nullopt when a
// quote is not closed.
std::optional<std::vector<std::string>> ScriptWords(std::string_view text);

}  // namespace veyra
