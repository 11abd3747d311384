#include "link/device_link.hpp"

#include <gtest/gtest.h>

#include <cstring>

#include "fake_transport.hpp"

namespace veyra {
namespace {

using testing::AckFor;
using testing::Bytes;
using testing::FakeTransport;
using namespace std::chrono_literals;

class LinkTest : public ::testing::Test {
 protected:
  void SetUpLink(FakeTransport::Peer peer, std::chrono::milliseconds deadline = 150ms) {
    auto transport = std::make_unique<FakeTransport>(std::move(peer));
    fake = transport.get();
    LinkTiming timing;
    timing.ReportGap = timing.RetryGap = 0us;
    timing.ReplyDeadline = deadline;
    link = std::make_unique<DeviceLink>(std::move(transport), timing);
    ASSERT_TRUE(link->Open().ok());
  }
  bool Send(uint8_t command, uint8_t slot, uint8_t channel, uint8_t block, uint8_t group) {
    return SendFrame(*store, *link, command, 1, slot, channel, block, group);
  }

  std::unique_ptr<ParameterStore> store = std::make_unique<ParameterStore>();
  std::unique_ptr<DeviceLink> link;
  FakeTransport* fake = nullptr;
};

TEST_F(LinkTest, LimiterWriteGoesOutAsOneExactReport) {
  SetUpLink(AckFor);
  OutputChannel& out = store->Outputs[2];
  out.Threshold = 0x0102;
  out.Attack = 0x0304;
  out.Release = 0x0506;
  ASSERT_TRUE(Send(WriteCommand, 0, 2, OutputBlock, OutputGroup::Limiter));
  ASSERT_EQ(fake->written.size(), 1u);
  Report expected{};
  const uint8_t frame[] = {0x5A, 0x5A, 0x5A, 0xEE, 0xA1, 0x01, 0x00, 0x02, 0x02, 0x02, 0x00, 0x00,
                           0x08, 0x00, 0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0x00, 0x00, 0xAD, 0xAA};
  std::memcpy(expected.data() + 1, frame, sizeof frame);
  EXPECT_EQ(fake->written[0], expected);
}

// A reply that arrives after its request timed out must not be taken as the
// answer to the next request.
TEST_F(LinkTest, LateReplyToAnEarlierRequestIsDiscarded) {
  SetUpLink({});
  fake->Deliver(BuildFrame(AckReply, 1, 0, OutputBlock, 0, 1));
  EXPECT_FALSE(Send(WriteCommand, 0, 0, OutputBlock, OutputGroup::Level));
  EXPECT_EQ(link->LastStatus(), ExchangeStatus::Timeout);
  EXPECT_EQ(link->Stats().StaleBytes, 64u);
}

TEST_F(LinkTest, IgnoredReplyKeepsTheSenderWaiting) {
  const Bytes ignored = BuildFrame(IgnoredReply, 1, 0, InputBlock, 0, 1);
  SetUpLink([&](const Bytes& request) {
    Bytes both = ignored;
    const Bytes ack = AckFor(request);
    both.insert(both.end(), ack.begin(), ack.end());
    return both;
  });
  EXPECT_TRUE(Send(WriteCommand, 0, 0, InputBlock, InputGroup::Level));
  EXPECT_EQ(link->Stats().IgnoredReplies, 1u);
  SetUpLink([&](const Bytes&) { return ignored; });
  EXPECT_FALSE(Send(WriteCommand, 0, 0, InputBlock, InputGroup::Level));
  EXPECT_EQ(link->LastStatus(), ExchangeStatus::Timeout);
}

TEST_F(LinkTest, WriteIsAttemptedSixTimes) {
  for (const int failures : {5, 6}) {
    SetUpLink(AckFor);
    fake->failWrites = failures;
    EXPECT_EQ(Send(WriteCommand, 0, 0, OutputBlock, OutputGroup::Name), failures < 6);
    EXPECT_EQ(fake->writeCalls, 6);
    EXPECT_EQ(link->LastStatus(), failures < 6 ? ExchangeStatus::Accepted : ExchangeStatus::WriteFailed);
  }
}

TEST_F(LinkTest, RemovalWakesTheWaitingSender) {
  SetUpLink({}, 30s);
  bool told = false;
  link->SetRemovalHandler([&] { told = true; });
  fake->Later(20ms, [this] { fake->Remove(); });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Send(ReadCommand, 0, 0, SystemBlock, SystemItem::Meters));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
  EXPECT_EQ(link->LastStatus(), ExchangeStatus::Removed);
  link->Close();
  EXPECT_TRUE(told);
}

TEST_F(LinkTest, RefusedRequestsClosedLinksAndFloodsSendNothingOrFail) {
  SetUpLink([](const Bytes& request) {
    Bytes flood(3000, 0x11);  // more than the received-bytes buffer keeps
    const Bytes ack = AckFor(request);
    flood.insert(flood.end(), ack.begin(), ack.end());
    return flood;
  });
  EXPECT_FALSE(Send(WriteCommand, 0, 8, InputBlock, InputGroup::Level));
  EXPECT_FALSE(Send(WriteCommand, 0, SystemItem::Meters, SystemBlock, 0));
  EXPECT_EQ(fake->writeCalls, 0);
  EXPECT_FALSE(Send(WriteCommand, 0, 0, OutputBlock, OutputGroup::Name));
  EXPECT_GT(link->Stats().DroppedBytes, 900u);
  link->Close();
  EXPECT_FALSE(Send(ReadCommand, 0, 0, InputBlock, ReadAll));
  EXPECT_EQ(link->LastStatus(), ExchangeStatus::NotOpen);
}

}  // namespace
}  // namespace veyra
