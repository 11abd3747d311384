// get and set: the parameters of channels by name, on a processor or in a
// settings file, with the editors' typed-entry rules, texts and change rules.
#pragma once

#include <string>
#include <vector>

#include "device_session.hpp"

namespace veyra::ctl {

struct ParamOptions {
  // "input A gain=-3.5 mute=on output 3 ..." (set) or "input A gain mute" (get).
  std::vector<std::string> Words;
  std::string File;              // a settings file instead of the device
  std::string Script;            // set: more words from this file ("-": standard input)
  std::string Groups;            // set on a device: the channel groups of this settings file
  std::optional<int> Program;    // get: a program of a .dama file
  std::string Model = "orvane";  // whose channels a file has
  bool NoLinks = false;
  bool Json = false;
};

int RunGet(const Console& console, const GlobalOptions& global, const ParamOptions& options);
int RunSet(const Console& console, const GlobalOptions& global, const ParamOptions& options);

// The names and values set and get take, for set --help and the README.
std::string ParamNamesHelp();

}  // namespace veyra::ctl
