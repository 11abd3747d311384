// Feeds arbitrary received bytes to the reply parser and the reply applier,
// cut into arrivals the way the reception thread hands them over, and checks
// that every frame found lies inside the bytes searched.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "link/frame.hpp"
#include "link/messages.hpp"
#include "state/parameter_store.hpp"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckSearch(std::span<const uint8_t> bytes) {
  const veyra::FrameSearch s = veyra::FindFrame(bytes);
  if (!s.Found) {
    Require(s.KeepFrom <= bytes.size());
    return;
  }
  Require(s.Begin + veyra::kFrameOverhead <= s.End && s.End <= bytes.size());
  Require(s.Fields.Payload.size() == s.End - s.Begin - veyra::kFrameOverhead);
  const veyra::FrameFields& f = s.Fields;
  // A frame found by its length field is exactly what BuildFrame makes of its fields.
  if (s.ByLength && f.Group != veyra::AllGroups && bytes[s.Begin + 10] == 0 && bytes[s.Begin + 11] == 0) {
    const auto rebuilt =
        veyra::BuildFrame(f.Command, f.DeviceId, f.Slot, f.Block, f.Channel, f.Group, f.Payload);
    Require(std::equal(rebuilt.begin(), rebuilt.end(), bytes.begin() + static_cast<std::ptrdiff_t>(s.Begin)));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static veyra::ParameterStore* store = [] {
    auto* s = new veyra::ParameterStore;
    veyra::InitialiseStore(*s);
    return s;
  }();
  if (size == 0) return 0;
  const size_t chunk = 1 + data[0] % 130;  // how many bytes arrive at a time
  const std::span<const uint8_t> input(data + 1, size - 1);
  CheckSearch(input);

  std::vector<uint8_t> buffer;
  std::vector<uint8_t> leftover;
  for (size_t at = 0; at < input.size(); at += chunk) {
    const auto arrival = input.subspan(at, std::min(chunk, input.size() - at));
    buffer = leftover;
    const size_t room = veyra::kReceiveBufferBytes - std::min(buffer.size(), veyra::kReceiveBufferBytes);
    buffer.insert(buffer.end(), arrival.begin(),
                  arrival.begin() + static_cast<std::ptrdiff_t>(std::min(room, arrival.size())));
    for (;;) {
      const veyra::ParsedReply reply = veyra::ParseReply(*store, buffer, leftover);
      Require(leftover.size() <= buffer.size());
      if (reply.Status == veyra::ReplyStatus::NoReply) break;
      Require(leftover.size() < buffer.size());
      buffer = leftover;
    }
  }
  if (input.size() >= 3) veyra::ApplyDataReply(*store, input[0], input[1], input[2], input.subspan(3));
  return 0;
}
