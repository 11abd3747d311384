#include "link/frame.hpp"

#include <algorithm>
#include <optional>

namespace veyra {
namespace {

constexpr std::array<uint8_t, 4> kHeader = {0x5A, 0x5A, 0x5A, 0xEE};
constexpr uint8_t kTrailer = 0xAA;
constexpr size_t kCheckedFrom = 4;  // the check byte covers offsets 4 .. 13+N

bool HeaderAt(std::span<const uint8_t> bytes, size_t at) {
  return at + kHeader.size() <= bytes.size() &&
         std::equal(kHeader.begin(), kHeader.end(), bytes.begin() + at);
}

uint16_t LengthFieldAt(std::span<const uint8_t> bytes, size_t header) {
  return static_cast<uint16_t>(bytes[header + 12] | (bytes[header + 13] << 8));
}

// True when the len bytes from the header end in a good check byte and the trailer.
bool GoodFrameAt(std::span<const uint8_t> bytes, size_t header, size_t len) {
  const size_t last = header + len - 1;
  return bytes[last] == kTrailer &&
         bytes[last - 1] == CheckByte(bytes.subspan(header + kCheckedFrom, len - kCheckedFrom - 2));
}

// The first AA whose preceding byte equals the XOR of everything from offset 4
// up to the byte before it; frames shorter than a bare 16-byte frame have no
// complete address and are not taken. Returns one past the trailer, or nothing.
std::optional<size_t> SearchTrailer(std::span<const uint8_t> bytes, size_t header) {
  uint8_t running = 0;  // XOR of bytes[header + 4 .. end - 2]
  for (size_t end = header + kCheckedFrom + 2; end < bytes.size(); ++end) {
    running ^= bytes[end - 2];
    if (end + 1 - header >= kFrameOverhead && bytes[end] == kTrailer && bytes[end - 1] == running) {
      return end + 1;
    }
  }
  return std::nullopt;
}

// The first header after `from` and before `limit` that starts a complete,
// well-formed frame by its length field.
std::optional<std::pair<size_t, size_t>> GoodFrameWithin(std::span<const uint8_t> bytes, size_t from,
                                                         size_t limit) {
  for (size_t h = from + 1; h + kFrameOverhead <= limit; ++h) {
    if (!HeaderAt(bytes, h)) continue;
    const size_t len = kFrameOverhead + LengthFieldAt(bytes, h);
    if (h + len <= bytes.size() && GoodFrameAt(bytes, h, len)) return std::pair{h, h + len};
  }
  return std::nullopt;
}

FrameSearch Found(std::span<const uint8_t> bytes, size_t begin, size_t end, bool byLength) {
  FrameSearch result;
  result.Found = true;
  result.Begin = begin;
  result.End = end;
  result.KeepFrom = end;
  result.ByLength = byLength;
  FrameFields& f = result.Fields;
  f.Command = bytes[begin + 4];
  f.DeviceId = bytes[begin + 5];
  f.Slot = bytes[begin + 6];
  f.Block = bytes[begin + 7];
  f.Channel = bytes[begin + 8];
  f.Group = bytes[begin + 9];
  f.LengthField = LengthFieldAt(bytes, begin);
  f.Payload = bytes.subspan(begin + kFramePayloadOffset, end - begin - kFrameOverhead);
  return result;
}

}  // namespace

uint8_t CheckByte(std::span<const uint8_t> bytes) {
  uint8_t check = 0;
  for (uint8_t b : bytes) check ^= b;
  return check;
}

std::vector<uint8_t> BuildFrame(uint8_t command, uint8_t deviceId, uint8_t presetSlot, uint8_t block,
                                uint8_t channel, uint8_t group, std::span<const uint8_t> payload) {
  const size_t n = std::min<size_t>(payload.size(), 0xFFFF);
  std::vector<uint8_t> frame;
  frame.reserve(kFrameOverhead + n);
  frame.insert(frame.end(), kHeader.begin(), kHeader.end());
  frame.push_back(command);
  frame.push_back(deviceId);
  frame.push_back(presetSlot);
  frame.push_back(block);
  frame.push_back(channel);
  frame.push_back(group == AllGroups ? 0 : group);
  frame.push_back(0);
  frame.push_back(0);
  frame.push_back(static_cast<uint8_t>(n & 0xFF));
  frame.push_back(static_cast<uint8_t>(n >> 8));
  frame.insert(frame.end(), payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(n));
  frame.push_back(CheckByte(std::span(frame).subspan(kCheckedFrom)));
  frame.push_back(kTrailer);
  return frame;
}

std::vector<Report> SplitIntoReports(std::span<const uint8_t> frame) {
  std::vector<Report> reports((frame.size() + kReportDataBytes - 1) / kReportDataBytes);
  for (size_t k = 0; k < reports.size(); ++k) {
    reports[k].fill(0);
    const auto part =
        frame.subspan(k * kReportDataBytes, std::min(kReportDataBytes, frame.size() - k * kReportDataBytes));
    std::copy(part.begin(), part.end(), reports[k].begin() + 1);
  }
  return reports;
}

FrameSearch FindFrame(std::span<const uint8_t> bytes) {
  const size_t n = bytes.size();
  std::optional<size_t> pending;  // earliest header still waiting for its bytes
  for (size_t h = 0; h + kHeader.size() <= n; ++h) {
    if (!HeaderAt(bytes, h)) continue;
    if (n - h < kFrameOverhead) {
      // Too short to read the length; every later header is shorter still.
      if (!pending) pending = h;
      break;
    }
    const size_t len = kFrameOverhead + LengthFieldAt(bytes, h);
    if (len <= kReceiveBufferBytes) {
      if (h + len > n) {
        if (!pending) pending = h;
        continue;  // a later header may already hold a complete good frame
      }
      if (GoodFrameAt(bytes, h, len)) return Found(bytes, h, h + len, true);
    }
    // The length field is wrong or the frame is corrupt: fall back to the
    // trailer. A corrupt frame's running check can match by chance at the end
    // of the good frame that follows it; the good frame then wins, so a
    // corrupted reply followed by its repetition is never taken as one frame.
    if (auto end = SearchTrailer(bytes, h)) {
      if (auto good = GoodFrameWithin(bytes, h, *end)) return Found(bytes, good->first, good->second, true);
      return Found(bytes, h, *end, false);
    }
    if (len > kReceiveBufferBytes && !pending && n - h < kReceiveBufferBytes) pending = h;
  }
  FrameSearch result;
  result.KeepFrom = pending ? *pending : (n > kHeader.size() - 1 ? n - (kHeader.size() - 1) : 0);
  return result;
}

}  // namespace veyra
