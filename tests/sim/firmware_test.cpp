#include "sim/firmware.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "link/frame.hpp"
#include "link/messages.hpp"
#include "sim/device_content.hpp"
#include "sim/engine.hpp"

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

// The reply a single request gets: the frame found in its last transfer.
FrameFields ReplyOf(const Response& r, Bytes& keep) {
  keep = r.Transfers.back();
  const FrameSearch found = FindFrame(keep);
  EXPECT_TRUE(found.Found && found.ByLength);
  return found.Fields;
}

TEST(Firmware, ReadsUseTheMessageLayouts) {
  SimulatedProcessor p(Fast());
  const ParameterStore& m = p.Memory();
  struct Case {
    Bytes request;
    Bytes expected;
  } cases[] = {
      {Read(0, SystemBlock, SystemItem::ModelCode), Bytes{'O', 'r', 'v', 'a', 'n', 'e', 0, 0}},
      {Read(0, InputBlock, 2, ReadAll), BuildInputChannelPayload(m.Inputs[2])},
      {Read(7, OutputBlock, 5, ReadAll), BuildOutputChannelPayload(m.Preset(7).Outputs[5])},
      {Read(9, SystemBlock, SystemItem::PresetName),
       Bytes(m.Preset(9).Name, m.Preset(9).Name + kPresetNameBytes)},
      {Read(0, SystemBlock, SystemItem::CurrentProgram), Bytes{m.System.CurrentProgram}},
      {Read(0, SystemBlock, 0x33), Bytes{}},         // unknown item: answered, empty
      {Read(31, InputBlock, 0, ReadAll), Bytes{}},   // no such program
      {Read(0, OutputBlock, 8, ReadAll), Bytes{}},   // no such channel
  };
  for (const Case& c : cases) {
    const auto responses = Feed(p, c.request);
    ASSERT_EQ(responses.size(), 1u);
    Bytes keep;
    const FrameFields f = ReplyOf(responses[0], keep);
    EXPECT_EQ(f.Command, DataReply);
    EXPECT_EQ(f.Slot, c.request[6]);
    EXPECT_EQ(f.Block, c.request[7]);
    EXPECT_EQ(f.Channel, c.request[8]);
    EXPECT_EQ(Bytes(f.Payload.begin(), f.Payload.end()), c.expected) << HexText(c.request);
  }
  EXPECT_EQ(p.Stats().Answered, 8);
}

TEST(Firmware, WritesAreAppliedAndAcknowledged) {
  SimulatedProcessor p(Fast());
  ParameterStore source;
  InitialiseStore(source);
  source.Outputs[2].Routing[0] = source.Outputs[2].Routing[2] = 1;
  source.Outputs[2].Gain = 555;
  source.Outputs[4].Bands[8].Gain = 444;  // the ninth record travels only with the whole channel
  source.Preset(5).Inputs[1].Gain = 321;
  std::memcpy(source.Preset(12).Name, "Conference Hall1", 16);
  source.System.DeviceIdSetting = 7;

  const struct {
    uint8_t slot, block, channel, group;
  } writes[] = {
      {0, OutputBlock, 2, OutputGroup::Level},
      {0, OutputBlock, 4, AllGroups},
      {5, InputBlock, 1, InputGroup::Level},  // a program channel goes whole, whatever the group
      {12, SystemBlock, SystemItem::PresetName, 0},
      {0, SystemBlock, SystemItem::DeviceId, 0},
  };
  for (const auto& w : writes) {
    const auto payload = BuildWritePayload(source, w.slot, w.block, w.channel, w.group);
    ASSERT_TRUE(payload);
    const auto responses = Feed(p, BuildFrame(WriteCommand, 1, w.slot, w.block, w.channel, w.group, *payload));
    ASSERT_EQ(responses.size(), 1u);
    Bytes keep;
    const FrameFields f = ReplyOf(responses[0], keep);
    EXPECT_EQ(f.Command, AckReply);
    EXPECT_TRUE(f.Payload.empty());
  }
  const ParameterStore& m = p.Memory();
  EXPECT_EQ(m.Outputs[2].Gain, 555);
  EXPECT_EQ(m.Outputs[2].Routing[0] + m.Outputs[2].Routing[1] * 2 + m.Outputs[2].Routing[2] * 4, 5);
  EXPECT_EQ(m.Outputs[4].Bands[8].Gain, 444);
  EXPECT_EQ(m.Preset(5).Inputs[1].Gain, 321);
  EXPECT_EQ(std::memcmp(m.Preset(12).Name, "Conference Hall1", 16), 0);
  EXPECT_EQ(m.System.DeviceIdSetting, 7);
  // Later replies carry the new address.
  Bytes keep;
  EXPECT_EQ(ReplyOf(Feed(p, Read(0, SystemBlock, SystemItem::BackLight))[0], keep).DeviceId, 7);
  EXPECT_EQ(p.Stats().Writes, 5);
}

TEST(Firmware, ReadOnlyItemsAndOddLengthsAreNotWritten) {
  SimulatedProcessor p(Fast());
  const Bytes before(p.Memory().System.ModelCode, p.Memory().System.ModelCode + 8);
  const InputChannel in0 = p.Memory().Inputs[0];
  Feed(p, BuildFrame(WriteCommand, 1, 0, SystemBlock, SystemItem::ModelCode, 0, Bytes{'X', 'X', 'X'}));
  Feed(p, BuildFrame(WriteCommand, 1, 0, InputBlock, 0, 0, Bytes(37, 0xEE)));
  EXPECT_EQ(Bytes(p.Memory().System.ModelCode, p.Memory().System.ModelCode + 8), before);
  EXPECT_EQ(std::memcmp(&in0, &p.Memory().Inputs[0], sizeof in0), 0);
  EXPECT_EQ(p.Stats().Answered, 2);  // still answered
}

TEST(Firmware, ReassemblesFramesAndRefusesBadOnes) {
  SimulatedProcessor p(Fast());
  ParameterStore source;
  InitialiseStore(source);
  source.Inputs[3].Delay = 77;
  const Bytes whole = BuildFrame(WriteCommand, 1, 0, InputBlock, 3, AllGroups, BuildInputChannelPayload(source.Inputs[3]));
  ASSERT_EQ(whole.size(), 136u);
  const auto reports = SplitIntoReports(whole);
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_TRUE(p.ReceiveReport(reports[0], Micros(0)).empty());
  EXPECT_TRUE(p.ReceiveReport(reports[1], Micros(0)).empty());
  EXPECT_EQ(p.ReceiveReport(reports[2], Micros(0)).size(), 1u);
  EXPECT_EQ(p.Memory().Inputs[3].Delay, 77);

  Bytes badCheck = Read(0, SystemBlock, SystemItem::ModelCode);
  badCheck[14] ^= 1;
  Bytes badTrailer = Read(0, SystemBlock, SystemItem::ModelCode);
  badTrailer.back() = 0xAB;
  Bytes noisy = {0x01, 0x5A, 0x5A, 0x77};
  const Bytes good = Read(0, SystemBlock, SystemItem::Temperature);
  noisy.insert(noisy.end(), good.begin(), good.end());
  EXPECT_TRUE(Feed(p, badCheck).empty());
  EXPECT_TRUE(Feed(p, badTrailer).empty());
  EXPECT_EQ(Feed(p, noisy).size(), 1u);
  // A good frame right behind a refused one in the same report is still taken.
  Bytes both = badCheck;
  both.insert(both.end(), good.begin(), good.end());
  EXPECT_EQ(Feed(p, both).size(), 1u);
  EXPECT_EQ(p.Stats().Rejected, 3);
  EXPECT_EQ(p.Stats().Requests, 3);
}

TEST(Firmware, Faults) {
  const Bytes request = Read(0, SystemBlock, SystemItem::BackLight);
  struct Case {
    const char* name;
    void (*set)(SimOptions&);
    std::vector<int> answered;  // of requests 1..6, which got a response
    size_t transfers;           // transfers of an answered one
  } cases[] = {
      {"drop-every=3", [](SimOptions& o) { o.DropEvery = 3; }, {1, 2, 4, 5}, 1},
      {"silent-after=2", [](SimOptions& o) { o.SilentAfter = 2; }, {1, 2}, 1},
      {"silent", [](SimOptions& o) { o.Silent = true; }, {}, 1},
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
      Bytes keep;
      EXPECT_EQ(ReplyOf(responses[0], keep).Command, DataReply) << c.name;
      if (c.transfers == 2) {
        const FrameSearch first = FindFrame(responses[0].Transfers[0]);
        if (o.IgnoredReply) {
          EXPECT_TRUE(first.Found && first.Fields.Command == IgnoredReply);
        } else {
          EXPECT_FALSE(first.Found && first.ByLength) << "the corrupted copy must fail its check";
        }
      }
    }
    EXPECT_EQ(answered, c.answered) << c.name;
  }
}

TEST(Firmware, NoiseLatenessAndDisconnect) {
  SimOptions o = Fast();
  o.NoiseBytes = 9;
  o.LateBy = Micros(7000);
  o.LateEvery = 2;
  o.ProcessingDelay = Micros(1000);
  o.DisconnectAfter = 3;
  SimulatedProcessor p(o);
  const Bytes request = Read(0, SystemBlock, SystemItem::Temperature);
  std::vector<Micros> delays;
  std::vector<bool> disconnects;
  for (int n = 0; n < 3; ++n) {
    const auto r = Feed(p, request);
    ASSERT_EQ(r.size(), 1u);
    const Bytes& last = r[0].Transfers.back();
    EXPECT_EQ(std::count(last.begin(), last.begin() + 9, 0x5A), 0);
    const FrameSearch found = FindFrame(last);
    EXPECT_TRUE(found.Found);
    EXPECT_EQ(found.Begin, 9u);
    delays.push_back(r[0].Delay);
    disconnects.push_back(r[0].Disconnect);
  }
  EXPECT_EQ(delays, (std::vector<Micros>{Micros(1000), Micros(8000), Micros(1000)}));
  EXPECT_EQ(disconnects, (std::vector<bool>{false, false, true}));
  p.Reconnected();
  EXPECT_FALSE(Feed(p, request)[0].Disconnect);
}

TEST(Firmware, ContentDependsOnlyOnTheSeed) {
  SimOptions a = Fast(), b = Fast();
  b.Seed = 2;
  SimulatedProcessor p1(a), p2(a), p3(b);
  EXPECT_EQ(std::memcmp(&p1.Memory(), &p2.Memory(), sizeof(ParameterStore)), 0);
  EXPECT_NE(std::memcmp(&p1.Memory(), &p3.Memory(), sizeof(ParameterStore)), 0);
  // A device that differs from a freshly started application, in every program.
  ParameterStore fresh;
  InitialiseStore(fresh);
  for (int slot = 1; slot <= kPresetCount; ++slot) {
    EXPECT_NE(BuildInputChannelPayload(fresh.Preset(slot).Inputs[0]),
              BuildInputChannelPayload(p1.Memory().Preset(slot).Inputs[0]));
  }
  // The other models carry their own code; a wrong code can be asked for.
  SimOptions sistel = Fast(1), wrong = Fast(2);
  wrong.ModelCode = "Zedra";
  EXPECT_STREQ(SimulatedProcessor(sistel).Memory().System.ModelCode, "Sistel");
  EXPECT_STREQ(SimulatedProcessor(wrong).Memory().System.ModelCode, "Zedra");
}

TEST(Firmware, MetersMovePlausibly) {
  SimulatedProcessor p(Fast());
  ParameterStore& m = p.Memory();
  for (auto& in : m.Inputs) in.Mute = 1;
  for (auto& out : m.Outputs) out.Mute = 1;
  m.Inputs[1].Mute = 0;  // muted
  std::fill(std::begin(m.Outputs[6].Routing), std::end(m.Outputs[6].Routing), 0);
  m.Outputs[6].Routing[1] = 1;  // fed by the muted input only
  std::set<int> seen;
  for (int t = 0; t < 5000; t += 37) {
    UpdateMeters(m, 1, Micros(t * 1000));
    for (uint8_t v : m.System.InputMeters) EXPECT_LE(v, 10);
    for (uint8_t v : m.System.OutputMeters) EXPECT_LE(v, 10);
    EXPECT_EQ(m.System.InputMeters[1], 0);
    EXPECT_EQ(m.System.OutputMeters[6], 0);
    seen.insert(m.System.InputMeters[0]);
  }
  EXPECT_GE(seen.size(), 4u) << "the level should move";
  UpdateMeters(m, 1, Micros(1234000));
  const uint8_t first = m.System.InputMeters[0];
  UpdateMeters(m, 1, Micros(1234000));
  EXPECT_EQ(m.System.InputMeters[0], first);
}

TEST(Engine, ModelsBusAndProcessingTime) {
  SimOptions o;
  o.ReportInterval = Micros(1000);
  o.ProcessingDelay = Micros(2000);
  SimulatorEngine engine(o);
  std::mutex mutex;
  std::condition_variable arrived;
  int reports = 0;
  engine.Connect(
      [&](std::span<const uint8_t>) {
        std::lock_guard lock(mutex);
        ++reports;
        arrived.notify_all();
      },
      {});
  const auto start = std::chrono::steady_clock::now();
  for (const Report& r : SplitIntoReports(Read(0, InputBlock, 0, ReadAll))) ASSERT_TRUE(engine.Submit(r));
  std::unique_lock lock(mutex);
  ASSERT_TRUE(arrived.wait_for(lock, std::chrono::seconds(2), [&] { return reports == 3; }));
  // One report out, 2 ms processing, three reports back.
  EXPECT_EQ(engine.ModelledTime(), Micros(6000));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(6000));
  lock.unlock();
  engine.Disconnect();
  EXPECT_FALSE(engine.Submit(Report{}));
}

}  // namespace
}  // namespace veyra::sim
