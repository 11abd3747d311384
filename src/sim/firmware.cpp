#include "sim/firmware.hpp"

#include <algorithm>
#include <array>

#include "link/frame.hpp"
#include "link/messages.hpp"
#include "sim/device_content.hpp"
#include "state/text_format.hpp"

namespace veyra::sim {
namespace {

constexpr std::array<uint8_t, 4> kHeader = {0x5A, 0x5A, 0x5A, 0xEE};
constexpr uint8_t kTrailer = 0xAA;
constexpr size_t kLengthOffset = 12;

uint16_t LengthField(std::span<const uint8_t> frame) {
  return static_cast<uint16_t>(frame[kLengthOffset] | (frame[kLengthOffset + 1] << 8));
}

int ReportsFor(size_t bytes) { return static_cast<int>((bytes + kReportDataBytes - 1) / kReportDataBytes); }

// Bytes that cannot start a header, so noise never turns into a frame.
std::vector<uint8_t> Noise(Random& r, int count) {
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  for (auto& b : bytes) {
    do b = static_cast<uint8_t>(r.Next());
    while (b == kHeader[0]);
  }
  return bytes;
}

}  // namespace

std::string HexText(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(bytes.size() * 3);
  for (uint8_t b : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

SimulatedProcessor::SimulatedProcessor(const SimOptions& options)
    : options_(options), memory_(std::make_unique<ParameterStore>()), faults_(options.Seed ^ 0xFA17u) {
  FillDevice(*memory_, options_);
}

void SimulatedProcessor::Reconnected() {
  sinceConnect_ = 0;
  pending_.clear();
}

void SimulatedProcessor::Trace(const char* what, std::span<const uint8_t> frame, Micros now) {
  if (!trace_) return;
  trace_(Format("%.3f ms %s: %s", static_cast<double>(now.count()) / 1000.0, what, HexText(frame).c_str()));
}

std::vector<Response> SimulatedProcessor::ReceiveReport(std::span<const uint8_t> report, Micros now) {
  std::vector<Response> responses;
  if (report.size() > 1) pending_.insert(pending_.end(), report.begin() + 1, report.end());
  while (true) {
    const auto header = std::search(pending_.begin(), pending_.end(), kHeader.begin(), kHeader.end());
    if (header == pending_.end()) {
      // Keep what may still be the start of a header.
      const size_t keep = std::min(pending_.size(), kHeader.size() - 1);
      pending_.erase(pending_.begin(), pending_.end() - static_cast<std::ptrdiff_t>(keep));
      break;
    }
    pending_.erase(pending_.begin(), header);
    if (pending_.size() < kFramePayloadOffset) break;
    const size_t length = kFrameOverhead + LengthField(pending_);
    if (length > kReceiveBufferBytes) {
      // No request is that long: a false header or a broken length field.
      ++stats_.Rejected;
      Trace("refused (length)", std::span(pending_).first(kFramePayloadOffset), now);
      pending_.erase(pending_.begin());
      continue;
    }
    if (pending_.size() < length) break;  // the rest is still on its way
    const auto frame = std::span<const uint8_t>(pending_).first(length);
    const bool good = frame[length - 1] == kTrailer &&
                      frame[length - 2] == CheckByte(frame.subspan(4, length - 6));
    if (!good) {
      // A bad check byte or trailer gets no answer; a frame may start inside it.
      ++stats_.Rejected;
      Trace("refused (check byte or trailer)", frame, now);
      pending_.erase(pending_.begin());
      continue;
    }
    if (auto response = HandleFrame(frame, now)) responses.push_back(std::move(*response));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length));
  }
  return responses;
}

std::optional<Response> SimulatedProcessor::HandleFrame(std::span<const uint8_t> frame, Micros now) {
  const uint8_t command = frame[4];
  if (command != WriteCommand && command != ReadCommand) {
    Trace("not a request", frame, now);
    return std::nullopt;
  }
  ++stats_.Requests;
  ++sinceConnect_;
  if (options_.Silent || (options_.SilentAfter > 0 && sinceConnect_ > options_.SilentAfter)) {
    Trace("silent", frame, now);
    return std::nullopt;
  }

  Response response;
  response.RequestReports = ReportsFor(frame.size());
  response.Disconnect = options_.DisconnectAfter > 0 && sinceConnect_ == options_.DisconnectAfter;
  const std::vector<uint8_t> reply = Reply(frame, now);

  const int n = stats_.Requests;
  const bool drop = (options_.DropEvery > 0 && n % options_.DropEvery == 0) ||
                    (options_.DropPercent > 0 && faults_.Chance(options_.DropPercent));
  if (drop) {
    ++stats_.Dropped;
    Trace("reply dropped", reply, now);
    if (!response.Disconnect) return std::nullopt;
    return response;
  }
  if (options_.IgnoredReply) {
    response.Transfers.push_back(BuildFrame(IgnoredReply, memory_->DeviceId, frame[6], frame[7], frame[8], frame[9]));
  }
  const bool corrupt = (options_.CorruptEvery > 0 && n % options_.CorruptEvery == 0) ||
                       (options_.CorruptPercent > 0 && faults_.Chance(options_.CorruptPercent));
  if (corrupt) {
    // One wrong bit in the checked part: the check byte no longer matches.
    std::vector<uint8_t> bad = reply;
    const size_t at = 4 + static_cast<size_t>(faults_.Below(static_cast<int>(bad.size() - 6)));
    bad[at] ^= static_cast<uint8_t>(1u << faults_.Below(8));
    ++stats_.Corrupted;
    Trace("reply corrupted", bad, now);
    response.Transfers.push_back(std::move(bad));
  }
  std::vector<uint8_t> last = Noise(faults_, options_.NoiseBytes);
  last.insert(last.end(), reply.begin(), reply.end());
  response.Transfers.push_back(std::move(last));

  response.Delay = options_.ProcessingDelay;
  if (options_.LateBy.count() > 0 && n % options_.LateEvery == 0) response.Delay += options_.LateBy;
  ++stats_.Answered;
  return response;
}

std::vector<uint8_t> SimulatedProcessor::Reply(std::span<const uint8_t> frame, Micros now) {
  const uint8_t command = frame[4], slot = frame[6], block = frame[7], channel = frame[8], group = frame[9];
  const auto payload = frame.subspan(kFramePayloadOffset, LengthField(frame));
  if (command == WriteCommand) {
    ApplyWrite(slot, block, channel, group, payload);
    ++stats_.Writes;
    return BuildFrame(AckReply, memory_->DeviceId, slot, block, channel, group);
  }
  const std::vector<uint8_t> data = ReadPayload(slot, block, channel, now);
  return BuildFrame(DataReply, memory_->DeviceId, slot, block, channel, group, data);
}

void SimulatedProcessor::ApplyWrite(uint8_t slot, uint8_t block, uint8_t channel, uint8_t group,
                                    std::span<const uint8_t> payload) {
  ParameterStore& m = *memory_;
  if (block == SystemBlock) {
    // The writable items travel in the layout their read replies use.
    if (IsWritableSystemItem(channel)) ApplyDataReply(m, slot, SystemBlock, channel, payload);
    return;
  }
  if ((block != InputBlock && block != OutputBlock) || slot > kPresetCount || channel >= kChannelSlots) return;
  // A whole channel and a single group are told apart by their length: the
  // whole-channel group travels as 0, the same as the name group.
  if (block == InputBlock) {
    InputChannel& in = slot == 0 ? m.Inputs[channel] : m.Preset(slot).Inputs[channel];
    if (payload.size() == kInputChannelPayloadBytes) {
      StoreInputChannelPayload(in, payload);
    } else if (slot == 0 && payload.size() == kGroupPayloadBytes && group < InputGroup::kCount) {
      StoreInputGroup(in, group, payload.first<kGroupPayloadBytes>());
    }
    return;
  }
  OutputChannel& out = slot == 0 ? m.Outputs[channel] : m.Preset(slot).Outputs[channel];
  if (payload.size() == kOutputChannelPayloadBytes) {
    StoreOutputChannelPayload(out, payload, NinthBand::Store);
  } else if (slot == 0 && payload.size() == kGroupPayloadBytes && group < OutputGroup::kCount) {
    StoreOutputGroup(out, group, payload.first<kGroupPayloadBytes>());
  }
}

std::vector<uint8_t> SimulatedProcessor::ReadPayload(uint8_t slot, uint8_t block, uint8_t channel, Micros now) {
  const ParameterStore& m = *memory_;
  if (block == SystemBlock) {
    if (channel == SystemItem::Meters) UpdateMeters(*memory_, options_.Seed, now);
    return BuildSystemItemPayload(m, channel, slot).value_or(std::vector<uint8_t>{});
  }
  if ((block != InputBlock && block != OutputBlock) || slot > kPresetCount || channel >= kChannelSlots) return {};
  if (block == InputBlock) return BuildInputChannelPayload(slot == 0 ? m.Inputs[channel] : m.Preset(slot).Inputs[channel]);
  return BuildOutputChannelPayload(slot == 0 ? m.Outputs[channel] : m.Preset(slot).Outputs[channel]);
}

}  // namespace veyra::sim
