// The frame codec: building request frames, cutting them into 65-byte HID
// reports, and finding frames in a received byte stream. No I/O and no store
// access here, so the simulated processor and the report bridge use it as is.
//
// Frame layout (N = payload length, a frame is 16 + N bytes):
//   0..3  5A 5A 5A EE      header
//   4     command          requests A1/A2, replies 51/52/53
//   5     device id
//   6     preset slot      0 = live, 1..30 = stored program
//   7     block            1 input, 2 output, 9 system
//   8     channel          0-based channel, or the system sub-item
//   9     group            AllGroups (0x32) travels as 0
//   10,11 00 00
//   12,13 N, little-endian
//   14..  payload
//   14+N  check            XOR of bytes 4 .. 13+N
//   15+N  AA               trailer
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace veyra {

// Commands (frame offset 4).
inline constexpr uint8_t WriteCommand = 0xA1;
inline constexpr uint8_t ReadCommand = 0xA2;
inline constexpr uint8_t AckReply = 0x51;
inline constexpr uint8_t IgnoredReply = 0x52;
inline constexpr uint8_t DataReply = 0x53;

// Blocks (frame offset 7).
inline constexpr uint8_t InputBlock = 1;
inline constexpr uint8_t OutputBlock = 2;
inline constexpr uint8_t SystemBlock = 9;

// Group codes with a meaning of their own (frame offset 9).
inline constexpr uint8_t AllGroups = 0x32;  // whole channel; written as 0
inline constexpr uint8_t ReadAll = 0x77;    // whole-channel read request

inline constexpr size_t kFrameOverhead = 16;  // header, address, length, check, trailer
inline constexpr size_t kFramePayloadOffset = 14;
inline constexpr size_t kReportBytes = 65;  // report id 0 + 64 frame bytes
inline constexpr size_t kReportDataBytes = 64;
// The received-bytes buffer and the parse buffer hold at most this many bytes;
// more is dropped, never overflowing. No frame longer than this can be found.
inline constexpr size_t kReceiveBufferBytes = 2048;

using Report = std::array<uint8_t, kReportBytes>;

// XOR of the bytes; over frame offsets 4 .. 13+N this is the check byte.
uint8_t CheckByte(std::span<const uint8_t> bytes);

// A complete frame. A group of AllGroups is written as 0.
std::vector<uint8_t> BuildFrame(uint8_t command, uint8_t deviceId, uint8_t presetSlot, uint8_t block,
                                uint8_t channel, uint8_t group, std::span<const uint8_t> payload = {});

// The frame cut into ceil(L / 64) reports: byte 0 is the report id (0), bytes
// 1..64 the next frame bytes, the last report zero-padded.
std::vector<Report> SplitIntoReports(std::span<const uint8_t> frame);

// The fields of a frame found in a byte stream. Payload points into the
// searched bytes; it is what the frame actually carries between offset 14 and
// the check byte, which may differ from LengthField when the frame was found
// by its trailer (see FindFrame).
struct FrameFields {
  uint8_t Command = 0;
  uint8_t DeviceId = 0;
  uint8_t Slot = 0;
  uint8_t Block = 0;
  uint8_t Channel = 0;
  uint8_t Group = 0;
  uint16_t LengthField = 0;
  std::span<const uint8_t> Payload;
  bool LengthMatches() const { return Payload.size() == LengthField; }
};

struct FrameSearch {
  bool Found = false;
  size_t Begin = 0;       // first header byte of the frame (when Found)
  size_t End = 0;         // one past the trailer (when Found)
  size_t KeepFrom = 0;    // when not Found: bytes from here on may still become a frame
  bool ByLength = false;  // found through its length field (else by trailer search)
  FrameFields Fields;     // when Found
};

// Finds the first frame in the bytes.
//
// A header 5A 5A 5A EE whose 16 + N bytes have all arrived and end in a good
// check byte and AA is the frame. While they have not all arrived, the search
// keeps waiting for them (KeepFrom points at that header), unless a later
// header already forms a good frame. When the length-delimited candidate fails
// its check (or could never fit the buffer), the frame end is searched as the
// first AA preceded by the running XOR from offset 4, which still finds a frame
// with a wrong length field; a header that yields neither is skipped, so a
// later good frame in the same bytes is found.
//
// Searching by length first matters: a payload may contain a byte pair that
// looks like check + trailer, and the trailer search alone cuts such a frame
// short.
//
// When nothing is found and no header is pending, KeepFrom leaves the last
// bytes that could still be the start of a header.
FrameSearch FindFrame(std::span<const uint8_t> bytes);

}  // namespace veyra
