// The message vocabulary: which record fields each parameter group carries
// and in which byte order, the whole-channel payloads, the system sub-items,
// and how a DataReply is stored. No I/O.
//
// The layout functions work on single records so that both sides of the link
// use them: the application builds write payloads from its store and stores
// data replies; the simulated processor stores write payloads into its own
// records and builds data replies from them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "link/frame.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

// Input channel groups (block 1).
struct InputGroup {
  enum : uint8_t {
    Name = 0,
    Level = 1,
    NoiseGate = 2,
    InputMix = 3,
    InputGroup4 = 4,
    Compressor = 5,
    InputFilter = 6,
    Band1 = 7,
    Band2,
    Band3,
    Band4,
    Band5,
    Band6,
    Band7,
    Band8,
  };
  static constexpr uint8_t Band(int n) { return static_cast<uint8_t>(Band1 + n - 1); }  // n = 1..8
  static constexpr int kCount = 15;
};

// Output channel groups (block 2).
struct OutputGroup {
  enum : uint8_t {
    Name = 0,
    Level = 1,
    Limiter = 2,
    OutputGroup3 = 3,
    Crossover = 4,
    Band1 = 5,
    Band2,
    Band3,
    Band4,
    Band5,
    Band6,
    Band7,
    Band8,
  };
  static constexpr uint8_t Band(int n) { return static_cast<uint8_t>(Band1 + n - 1); }  // n = 1..8
  static constexpr int kCount = 13;
};

// System sub-items (block 9, carried in the channel byte; group byte 0).
struct SystemItem {
  enum : uint8_t {
    PresetName = 0x00,    // write/read: 16 bytes, the preset given by the slot byte
    Meters = 0x03,        // read: 12 bytes, input meters A..D then output meters 1..8
    ModelCode = 0x04,     // read: 8 bytes
    VersionText1 = 0x10,  // read: the text, length from the frame
    VersionText2 = 0x11,
    Lock = 0x12,            // write/read: password (6), lock state, 0
    BackLight = 0x14,       // write/read: 1 byte
    DeviceId = 0x15,        // write/read: 1 byte; a reply also sets the store's DeviceId
    Temperature = 0x16,     // write/read: 1 byte
    CurrentProgram = 0x17,  // write/read: 1 byte
  };
};

inline constexpr size_t kGroupPayloadBytes = 8;
inline constexpr size_t kInputChannelPayloadBytes = 120;   // groups 0..6, bands 1..8
inline constexpr size_t kOutputChannelPayloadBytes = 112;  // groups 0..4, nine band records
inline constexpr size_t kMeterPayloadBytes = 12;
inline constexpr size_t kLockPayloadBytes = 8;

using GroupPayload = std::array<uint8_t, kGroupPayloadBytes>;
using GroupBytes = std::span<const uint8_t, kGroupPayloadBytes>;

// ---- Single groups ----------------------------------------------------------
// Unknown group numbers give 8 zero bytes and store nothing.
GroupPayload BuildInputGroup(const InputChannel& in, uint8_t group);
GroupPayload BuildOutputGroup(const OutputChannel& out, uint8_t group);

// Stores one group's fields. The name gets its terminator; of the compressor
// ratio only the low byte travels and is stored zero-extended; the output
// routing mask sets the flags of inputs A..D to 0 or 1; the output delay is
// stored as the 16 bits that travel. Bytes the layout leaves 0 are not looked at.
void StoreInputGroup(InputChannel& in, uint8_t group, GroupBytes payload);
void StoreOutputGroup(OutputChannel& out, uint8_t group, GroupBytes payload);

// ---- Whole channels -----------------------------------------------------------
std::vector<uint8_t> BuildInputChannelPayload(const InputChannel& in);     // 120 bytes
std::vector<uint8_t> BuildOutputChannelPayload(const OutputChannel& out);  // 112 bytes

// Stores the groups a whole-channel payload carries, in layout order. Only
// groups whose 8 bytes are all present are stored; bytes beyond the layout are
// ignored. Returns how many 8-byte records were stored.
int StoreInputChannelPayload(InputChannel& in, std::span<const uint8_t> payload);
// The application keeps its own ninth band record (the editor's), so replies
// skip it; a device model that echoes it back stores it.
enum class NinthBand { Skip, Store };
int StoreOutputChannelPayload(OutputChannel& out, std::span<const uint8_t> payload, NinthBand ninth);

// ---- System sub-items ---------------------------------------------------------
// The payload of a sub-item as it travels in either direction (a write for the
// writable ones, a DataReply for every one). Preset names need slot 1..30.
// Nothing for an unknown sub-item or slot.
std::optional<std::vector<uint8_t>> BuildSystemItemPayload(const ParameterStore& store, uint8_t subItem,
                                                           uint8_t slot);
bool IsWritableSystemItem(uint8_t subItem);

// ---- Requests -----------------------------------------------------------------
// Where a message goes: (slot, block, channel, group). Writes to one address
// carry the same parameter group, so a newer one supersedes an older one.
struct MessageAddress {
  uint8_t Slot = 0;
  uint8_t Block = 0;
  uint8_t Channel = 0;
  uint8_t Group = 0;
  friend bool operator==(const MessageAddress&, const MessageAddress&) = default;
};

// The payload SendFrame writes for a WriteCommand: an 8-byte group, a whole
// channel for AllGroups, and for block 1 or 2 with slot 1..30 always the whole
// preset channel (whatever the group); the system sub-items by their layout.
// Nothing when the address names no record or no writable group.
std::optional<std::vector<uint8_t>> BuildWritePayload(const ParameterStore& store, uint8_t slot,
                                                      uint8_t block, uint8_t channel, uint8_t group);

// ---- Replies ------------------------------------------------------------------
struct ApplyResult {
  bool Stored = false;     // something in the store changed
  bool Malformed = false;  // payload length differs from the layout
};

// Stores a DataReply's payload. Blocks 1 and 2 are always read as a whole
// channel (the reply's group byte is not looked at) into the live record
// (slot 0) or the preset's record; both output crossover frequencies are
// clamped to 10..30000; the ninth output band record is skipped. System
// sub-items by their table (preset name and version texts cleared first; the
// device id sub-item also sets DeviceId). Slots above 30, channels above 7 and
// unknown blocks or sub-items change nothing. A payload shorter or longer than
// its layout stores only what the layout defines and the payload carries.
ApplyResult ApplyDataReply(ParameterStore& store, uint8_t slot, uint8_t block, uint8_t channel,
                           std::span<const uint8_t> payload);

enum class ReplyStatus {
  NoReply,   // no complete frame yet: keep waiting
  Ignored,   // IgnoredReply: consumed, keep waiting
  Accepted,  // AckReply, DataReply (applied) or any other command
};

struct ParsedReply {
  ReplyStatus Status = ReplyStatus::NoReply;
  FrameFields Fields;      // of the frame found (Payload is not kept)
  bool Malformed = false;  // length field, carried payload and layout disagree
  bool Stored = false;
  bool accepted() const { return Status == ReplyStatus::Accepted; }
};

// Finds the first frame in bytes (see FindFrame), acts on it by its command,
// and puts into leftover the bytes after it, or the bytes that may still
// become a frame. A reply whose length field disagrees with what it carries is
// still accepted, but counts as malformed and stores only what it carries.
ParsedReply ParseReply(ParameterStore& store, std::span<const uint8_t> bytes, std::vector<uint8_t>& leftover);

}  // namespace veyra
