// The lock, the system settings and the channel copy against the simulated
// processor: what goes out, in which order, what the device keeps, and what
// the next connection reads back.
#include <gtest/gtest.h>

#include <cstring>

#include "admin/channel_copy.hpp"
#include "admin/security_lock.hpp"
#include "admin/system_settings.hpp"
#include "sim_test_support.hpp"
#include "sync/connection.hpp"

namespace veyra::testing {
namespace {

constexpr uint8_t A1 = WriteCommand;
const Request kLockWrite{A1, 0, SystemBlock, SystemItem::Lock, 0};

// Reads the device anew into a fresh store, as a program started later would.
std::unique_ptr<ParameterStore> Reconnect(SimRig& rig) {
  GoOffline(*rig.store, rig.link);
  auto fresh = std::make_unique<ParameterStore>();
  InitialiseStore(*fresh);
  EXPECT_EQ(ConnectionSequence(*fresh, rig.link).Status, SyncStatus::Success);
  return fresh;
}

std::string Password(const SystemSettings& system) {
  return std::string(system.LockPassword, sizeof system.LockPassword);
}

TEST(SimulatedLock, LockIsKeptByTheDeviceAndReportedOnTheNextConnection) {
  auto rig = Online("sistel,fast");
  const LockResult locked = LockDevice(*rig->store, rig->link, "ab");
  EXPECT_TRUE(locked.ok());
  EXPECT_EQ(locked.Message, "Lock Successfully.");
  EXPECT_EQ(rig->Recorder().Requests(), std::vector<Request>{kLockWrite});
  EXPECT_EQ(rig->Device()->System.LockState, 1);
  EXPECT_EQ(Password(rig->Device()->System), std::string("ab\0\0\0\0", 6));

  const auto next = Reconnect(*rig);
  EXPECT_EQ(next->System.LockState, 1);
  EXPECT_EQ(Password(next->System), std::string("ab\0\0\0\0", 6));

  rig->Recorder().Forget();
  const LockResult refused = UnlockDevice(*next, rig->link, "abc");
  EXPECT_EQ(refused.Check, LockCheck::WrongPassword);
  EXPECT_EQ(refused.Message, "Psw error.");
  EXPECT_TRUE(rig->Recorder().Requests().empty());  // a refusal sends nothing
  const LockResult unlocked = UnlockDevice(*next, rig->link, "ab");
  EXPECT_TRUE(unlocked.ok());
  EXPECT_EQ(unlocked.Message, "UnLock Successfully.");
  EXPECT_EQ(rig->Device()->System.LockState, 0);
  EXPECT_EQ(Reconnect(*rig)->System.LockState, 0);
}

TEST(SimulatedLock, TheLockedOptionSwitchesTheDeviceOnLocked) {
  auto rig = Online("merial,fast,locked=ab");
  EXPECT_EQ(rig->store->System.LockState, 1);
  EXPECT_EQ(Password(rig->store->System), std::string("ab\0\0\0\0", 6));
  EXPECT_EQ(LockDevice(*rig->store, rig->link, "x").Message, "Already Lock.");
  EXPECT_TRUE(UnlockDevice(*rig->store, rig->link, "ab").ok());

  sim::SimOptions options;
  std::string error;
  ASSERT_TRUE(sim::ParseSimAddress("orvane,locked", options, error));
  EXPECT_TRUE(options.Locked);
  EXPECT_EQ(options.LockPassword, "");
  EXPECT_EQ(sim::DescribeSimOptions(options), "orvane,seed=1,locked");
  ASSERT_TRUE(sim::ParseSimAddress("orvane,locked=ab", options, error));
  EXPECT_EQ(sim::DescribeSimOptions(options), "orvane,seed=1,locked=ab");
  EXPECT_FALSE(sim::ParseSimAddress("orvane,locked=abcdefg", options, error));
  EXPECT_NE(error.find("locked"), std::string::npos) << error;
}

TEST(SimulatedLock, AnUnansweredLockMessageIsSaidAndTheStoreKeepsTheLockItHad) {
  const int connection = ConnectionExchanges(2, 4);
  auto rig = Online("sistel,fast,silent-after=" + std::to_string(connection));
  std::memcpy(rig->store->System.LockPassword, "old\0\0\0", 6);
  const LockResult result = LockDevice(*rig->store, rig->link, "ab");
  EXPECT_FALSE(result.ok());
  EXPECT_EQ(result.Check, LockCheck::Ok);
  EXPECT_EQ(result.Message, kLockNoAnswerText);
  EXPECT_EQ(rig->store->System.LockState, 0);
  EXPECT_EQ(StoredPassword(rig->store->System), "old");
  rig->store->System.LockState = 1;
  EXPECT_EQ(UnlockDevice(*rig->store, rig->link, "old").Message, kLockNoAnswerText);
  EXPECT_EQ(rig->store->System.LockState, 1);
}

TEST(SimulatedSystemSettings, TheThreeMessagesGoInOrderAndTheDeviceKeepsThem) {
  auto rig = Online("orvane,fast");
  ASSERT_TRUE(StoreSystemChoice(*rig->store, {1, 42, 0}));
  EXPECT_EQ(SendSystemSettings(*rig->store, rig->link), 3);
  EXPECT_EQ(rig->Recorder().Requests(),
            (std::vector<Request>{{A1, 0, 9, 0x14, 0}, {A1, 0, 9, 0x15, 0}, {A1, 0, 9, 0x16, 0}}));
  const auto device = rig->Device();
  EXPECT_EQ(device->System.BackLight, 30);
  EXPECT_EQ(device->System.Temperature, 42);
  EXPECT_EQ(device->System.DeviceIdSetting, 1);
}

TEST(SimulatedSystemSettings, TheFirstUnansweredMessageStopsTheOthers) {
  const int connection = ConnectionExchanges(2, 4);
  auto rig = Online("sistel,fast,silent-after=" + std::to_string(connection));
  EXPECT_EQ(SendSystemSettings(*rig->store, rig->link), 0);
  EXPECT_EQ(rig->Recorder().Requests().size(), 1u);
}

TEST(SimulatedCopy, CopyInSendsTheTargetThenEveryOutputsLevelAndTheDeviceFollows) {
  auto rig = Online("sistel,fast");
  CopyInputSettings(*rig->store, 0, 0);  // onto itself: still sent
  const SyncResult sent = SendCopyMessages(*rig->store, rig->link, CopyInputMessages(*rig->store, 0));
  EXPECT_EQ(sent.Status, SyncStatus::Success);
  EXPECT_EQ(rig->Recorder().Requests(),
            (std::vector<Request>{
                {A1, 0, 1, 0, 0}, {A1, 0, 2, 0, 1}, {A1, 0, 2, 1, 1}, {A1, 0, 2, 2, 1}, {A1, 0, 2, 3, 1}}));
  rig->Recorder().Forget();
  CopyInputSettings(*rig->store, 0, 1);
  CopyOutputSettings(*rig->store, 2, 3);
  SendCopyMessages(*rig->store, rig->link, CopyInputMessages(*rig->store, 1));
  SendCopyMessages(*rig->store, rig->link, CopyOutputMessages(3));
  const auto device = rig->Device();
  EXPECT_TRUE(SameInput(device->Inputs[1], rig->store->Inputs[1]));
  EXPECT_TRUE(SameOutput(device->Outputs[3], rig->store->Outputs[3]));
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(device->Outputs[k].Routing[1], rig->store->Outputs[k].Routing[0]) << k;
}

}  // namespace
}  // namespace veyra::testing
