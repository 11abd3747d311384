// The settings of one simulated processor: which model it is, how it is
// filled, how long it takes, and which faults it shows. The same option names
// serve the "sim:MODEL[,name=value...]" device address and the veyra-sim
// command line (--name value).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace veyra::sim {

using Micros = std::chrono::microseconds;

struct SimOptions {
  int Model = 3;      // 1 Sistel, 2 Merial, 3 Orvane
  uint64_t Seed = 1;  // fills the device and drives every random fault

  // Time: each 65-byte report takes one interval on the bus, each way; a
  // request is answered ProcessingDelay after its last report arrived.
  Micros ReportInterval{1000};
  Micros ProcessingDelay{1000};

  // Faults. A count of 0 switches the fault off.
  int DropEvery = 0;          // every Nth request gets no reply (the request is still applied)
  int CorruptEvery = 0;       // every Nth reply goes out once corrupted, then good
  int DropPercent = 0;        // each reply is lost with this chance
  int CorruptPercent = 0;     // each reply is first sent corrupted with this chance
  int NoiseBytes = 0;         // random bytes (never a header) in front of every reply
  bool IgnoredReply = false;  // an IgnoredReply frame before every real reply
  Micros LateBy{0};           // every reply (or every LateEvery-th) this much later
  int LateEvery = 1;
  int DisconnectAfter = 0;  // the device goes away once it has answered N requests
  int SilentAfter = 0;      // answers the first N requests, then nothing more
  bool Silent = false;      // never answers
  std::string ModelCode;    // reported instead of the model's own code (at most 8 bytes)
  bool Absent = false;      // no processor is plugged in: opening fails
  // Switched on locked, with this password (device bytes, at most 6; empty
  // is a valid password). The lock is the device's own: a lock message
  // changes it and the next connection reads it back.
  bool Locked = false;
  std::string LockPassword;
};

// Parses "orvane", "merial,drop-every=40", "sistel,fast,seed=7". An empty
// text is an Orvane with the defaults. False with error set on a bad option.
bool ParseSimAddress(std::string_view text, SimOptions& options, std::string& error);

// Applies one option given by name ("drop-every") and value text (empty for
// the flags). False with error set when the name is unknown or the value bad.
bool SetSimOption(SimOptions& options, std::string_view name, std::string_view value, std::string& error);

// The options as the address and the command line know them, in the order
// in which they are applied (so "fast" comes before the times it sets).
struct SimOptionInfo {
  std::string_view Name;
  std::string_view ValueName;  // empty for a flag
  std::string_view Help;
};
std::span<const SimOptionInfo> SimOptionTable();

// "orvane,seed=1,..." for messages and traces: the model and every option
// that differs from the defaults.
std::string DescribeSimOptions(const SimOptions& options);

}  // namespace veyra::sim
