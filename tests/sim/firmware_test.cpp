#include "sim/firmware.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "link/frame.hpp"
#include "link/messages.hpp"
#include "sim/device_content.hpp"

namespace veyra::sim {
namespace {

using Bytes = std::vector<uint8_t>;

SimOptions Fast(int model = 3) {
  SimOptions o;
  o.Model = model;
  o.ReportInterval = o.ProcessingDelay = Micros(0);
  return o;
}

std::vector<Response> Feed(SimulatedProcessor& p, std::span<const uint8_t> frame) {
  std::vector<Response> all;
  for (const Report& r : SplitIntoReports(frame)) {
    for (auto& response : p.ReceiveReport(r, Micros(0))) all.push_back(std::move(response));
  }
  return all;
}

Bytes Read(uint8_t slot, uint8_t block, uint8_t channel, uint8_t group = 0) {
  return BuildFrame(ReadCommand, 1, slot, block, channel, group);
}

// The reply to a single request: the frame found in its last transfer, which
// must be the only response.
struct Reply {
  Bytes bytes;
  FrameFields fields;
};
Reply ReplyTo(SimulatedProcessor& p, std::span<const uint8_t> request) {
  const auto responses = Feed(p, request);
  EXPECT_EQ(responses.size(), 1u);
  if (responses.empty()) return {};
  Reply r{responses[0].Transfers.back(), {}};
  const FrameSearch found = FindFrame(r.bytes);
  EXPECT_TRUE(found.Found && found.ByLength);
  r.fields = found.Fields;
  return r;
}

// What the end-to-end syncs never ask: addresses without a record are
// answered, empty; and a new device ID is the address of later replies.
TEST(Firmware, EdgeAddressesAndTheDeviceId) {
  SimulatedProcessor p(Fast());
  for (const Bytes& request :
       {Read(0, SystemBlock, 0x33), Read(31, InputBlock, 0, ReadAll), Read(0, OutputBlock, 8, ReadAll)}) {
    const Reply r = ReplyTo(p, request);
    EXPECT_EQ(r.fields.Command, DataReply) << HexText(request);
    EXPECT_TRUE(std::equal(r.bytes.begin() + 6, r.bytes.begin() + 9, request.begin() + 6));  // address
    EXPECT_TRUE(r.fields.Payload.empty()) << HexText(request);
  }
  const Bytes setId = BuildFrame(WriteCommand, 1, 0, SystemBlock, SystemItem::DeviceId, 0, Bytes{7});
  EXPECT_EQ(ReplyTo(p, setId).fields.Command, AckReply);
  EXPECT_EQ(ReplyTo(p, Read(0, SystemBlock, SystemItem::BackLight)).fields.DeviceId, 7);
}

// Frames of several reports are what every sync writes; here the refused ones.
TEST(Firmware, RefusesBadFrames) {
  SimulatedProcessor p(Fast());
  Bytes badCheck = Read(0, SystemBlock, SystemItem::ModelCode);
  badCheck[14] ^= 1;
  Bytes badTrailer = Read(0, SystemBlock, SystemItem::ModelCode);
  badTrailer.back() = 0xAB;
  const Bytes good = Read(0, SystemBlock, SystemItem::Temperature);
  Bytes noisy = {0x01, 0x5A, 0x5A, 0x77};
  noisy.insert(noisy.end(), good.begin(), good.end());
  Bytes both = badCheck;  // a good frame right behind a refused one in the same report
  both.insert(both.end(), good.begin(), good.end());
  EXPECT_TRUE(Feed(p, badCheck).empty());
  EXPECT_TRUE(Feed(p, badTrailer).empty());
  EXPECT_EQ(Feed(p, noisy).size(), 1u);
  EXPECT_EQ(Feed(p, both).size(), 1u);
  EXPECT_EQ(p.Stats().Rejected, 3);
}

// Drops and silence show in the connection failures; here the faults that only
// change what a reply looks like.
TEST(Firmware, Faults) {
  const Bytes request = Read(0, SystemBlock, SystemItem::BackLight);
  struct Case {
    const char* name;
    void (*set)(SimOptions&);
    std::vector<int> answered;  // of requests 1..6, which got a response
    size_t transfers;           // transfers of an answered one
  } cases[] = {
      {"ignored-reply", [](SimOptions& o) { o.IgnoredReply = true; }, {1, 2, 3, 4, 5, 6}, 2},
      {"corrupt-every=1", [](SimOptions& o) { o.CorruptEvery = 1; }, {1, 2, 3, 4, 5, 6}, 2},
  };
  for (const Case& c : cases) {
    SimOptions o = Fast();
    c.set(o);
    SimulatedProcessor p(o);
    std::vector<int> answered;
    for (int n = 1; n <= 6; ++n) {
      const auto responses = Feed(p, request);
      if (responses.empty()) continue;
      answered.push_back(n);
      ASSERT_EQ(responses[0].Transfers.size(), c.transfers) << c.name;
      EXPECT_EQ(FindFrame(responses[0].Transfers.back()).Fields.Command, DataReply) << c.name;
      if (c.transfers == 2) {
        const FrameSearch first = FindFrame(responses[0].Transfers[0]);
        // An ignored-reply frame first, or a corrupted copy that fails its check.
        EXPECT_EQ(first.Found && first.ByLength && first.Fields.Command == IgnoredReply, o.IgnoredReply)
            << c.name;
      }
    }
    EXPECT_EQ(answered, c.answered) << c.name;
  }
}

TEST(Firmware, NoiseAndLateness) {
  SimOptions o = Fast();
  o.NoiseBytes = 9;
  o.LateBy = Micros(7000);
  o.LateEvery = 2;
  o.ProcessingDelay = Micros(1000);
  SimulatedProcessor p(o);
  std::vector<Micros> delays;
  for (int n = 0; n < 3; ++n) {
    const auto r = Feed(p, Read(0, SystemBlock, SystemItem::Temperature));
    ASSERT_EQ(r.size(), 1u);
    const Bytes& last = r[0].Transfers.back();
    EXPECT_EQ(std::count(last.begin(), last.begin() + 9, 0x5A), 0);
    EXPECT_EQ(FindFrame(last).Begin, 9u);
    delays.push_back(r[0].Delay);
  }
  EXPECT_EQ(delays, (std::vector<Micros>{Micros(1000), Micros(8000), Micros(1000)}));
}

TEST(Firmware, ContentDiffersFromAFreshApplicationInEveryProgram) {
  SimulatedProcessor p(Fast());
  ParameterStore fresh;
  InitialiseStore(fresh);
  for (int slot = 1; slot <= kPresetCount; ++slot) {
    EXPECT_NE(BuildInputChannelPayload(fresh.Preset(slot).Inputs[0]),
              BuildInputChannelPayload(p.Memory().Preset(slot).Inputs[0]));
  }
}

}  // namespace
}  // namespace veyra::sim
