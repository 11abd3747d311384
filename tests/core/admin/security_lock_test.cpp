// The lock rules and the system settings' rules on the store alone (the
// messages are tested against the simulated processor).
#include "admin/security_lock.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "admin/system_settings.hpp"

namespace veyra::testing {
namespace {

enum class Op { Lock, Unlock };

struct LockCase {
  const char* Name;
  Op Operation;
  bool Online;
  bool Locked;
  const char* Stored;  // the stored password's bytes (zero-filled)
  const char* Typed;   // UTF-8
  LockCheck Expected;
  const char* Text;
  const char* Confirmed = nullptr;  // Lock's second typing; none: not asked
};

const LockCase kLockCases[] = {
    {"offline lock", Op::Lock, false, false, "", "ab", LockCheck::Offline, ""},
    {"lock while locked", Op::Lock, true, true, "ab", "ab", LockCheck::AlreadyLocked, "Already Lock."},
    {"unlock while unlocked", Op::Unlock, true, false, "ab", "ab", LockCheck::NotLocked, "Cannot Lock."},
    {"empty lock", Op::Lock, true, false, "xyz", "", LockCheck::Ok, ""},
    {"empty unlock", Op::Unlock, true, true, "", "", LockCheck::Ok, ""},
    {"six lock", Op::Lock, true, false, "", "abcdef", LockCheck::Ok, ""},
    {"seven lock", Op::Lock, true, false, "", "abcdefg", LockCheck::TooLong, "Psw too long."},
    {"seven unlock", Op::Unlock, true, true, "abcdef", "abcdefg", LockCheck::TooLong, "Psw too long."},
    {"ab is not abc", Op::Unlock, true, true, "ab", "abc", LockCheck::WrongPassword, "Psw error."},
    {"ab is not AB", Op::Unlock, true, true, "ab", "AB", LockCheck::WrongPassword, "Psw error."},
    {"ab is not empty", Op::Unlock, true, true, "ab", "", LockCheck::WrongPassword, "Psw error."},
    {"three Chinese characters are six bytes", Op::Lock, true, false, "", "中文字", LockCheck::Ok, ""},
    {"and unlock", Op::Unlock, true, true, "\xD6\xD0\xCE\xC4\xD7\xD6", "中文字", LockCheck::Ok, ""},
    {"four are eight", Op::Lock, true, false, "", "中文字符", LockCheck::TooLong, "Psw too long."},
    {"not in the device's text", Op::Lock, true, false, "", "a😀", LockCheck::TooLong, "Psw too long."},
    {"confirmed", Op::Lock, true, false, "", "ab", LockCheck::Ok, "", "ab"},
    {"confirmed otherwise", Op::Lock, true, false, "", "ab", LockCheck::Mismatch, kPswMismatchText, "aB"},
    {"confirmation left empty", Op::Lock, true, false, "xy", "ab", LockCheck::Mismatch, kPswMismatchText, ""},
    {"too long before unconfirmed", Op::Lock, true, false, "", "abcdefg", LockCheck::TooLong, "Psw too long.",
     "x"},
    {"already locked before unconfirmed", Op::Lock, true, true, "", "ab", LockCheck::AlreadyLocked,
     "Already Lock.", "x"},
};

TEST(SecurityLock, FollowsTheRulesAndChangesTheStoreOnlyWhenAllowed) {
  for (const LockCase& c : kLockCases) {
    auto store = std::make_unique<ParameterStore>();
    store->Online = c.Online ? 1 : 0;
    store->System.LockState = c.Locked ? 1 : 0;
    std::memcpy(store->System.LockPassword, c.Stored,
                std::min(std::strlen(c.Stored), sizeof store->System.LockPassword));
    const auto before = std::make_unique<ParameterStore>(*store);
    const auto confirmed = c.Confirmed ? std::optional<std::string_view>(c.Confirmed) : std::nullopt;
    const LockCheck check =
        c.Operation == Op::Lock ? PrepareLock(*store, c.Typed, confirmed) : PrepareUnlock(*store, c.Typed);
    EXPECT_EQ(check, c.Expected) << c.Name;
    EXPECT_STREQ(LockCheckText(check), c.Text) << c.Name;
    SystemSettings expected = before->System;
    if (check == LockCheck::Ok && c.Operation == Op::Lock) {
      std::memset(expected.LockPassword, 0, sizeof expected.LockPassword);
      // The typed text in device bytes, zero-filled; the old password is gone.
      const std::string bytes = std::strcmp(c.Typed, "中文字") == 0 ? "\xD6\xD0\xCE\xC4\xD7\xD6" : c.Typed;
      std::memcpy(expected.LockPassword, bytes.data(), bytes.size());
      expected.LockState = 1;
    } else if (check == LockCheck::Ok) {
      expected.LockState = 0;  // the password stays
    }
    EXPECT_EQ(std::memcmp(&store->System, &expected, sizeof expected), 0) << c.Name;
  }
}

TEST(SecurityLock, StoredPasswordIsTheNonZeroBytes) {
  SystemSettings system{};
  std::memcpy(system.LockPassword, "a\0b\0\0c", 6);
  EXPECT_EQ(StoredPassword(system), "abc");
  std::memcpy(system.LockPassword, "\0\0\0\0\0\0", 6);
  EXPECT_EQ(StoredPassword(system), "");
}

TEST(SecurityLock, SentTexts) {
  EXPECT_STREQ(LockSentText(true, true), "Lock Successfully.");
  EXPECT_STREQ(LockSentText(false, true), "UnLock Successfully.");
  EXPECT_STREQ(LockSentText(true, false), kLockNoAnswerText);
  EXPECT_STREQ(LockSentText(false, false), kLockNoAnswerText);
}

TEST(SystemSettingsRules, NonZeroBacklightOpensAsTimedAndStoresExactlyThirty) {
  auto store = std::make_unique<ParameterStore>();
  store->DeviceId = 7;
  for (const int stored : {0, 1, 255}) {
    store->System.BackLight = static_cast<uint8_t>(stored);
    store->System.Temperature = 23;
    const SystemChoice choice = CurrentSystemChoice(*store);
    EXPECT_EQ(choice.BackLight, stored == 0 ? 0 : 1) << stored;
    EXPECT_EQ(choice.Temperature, 23);
    EXPECT_EQ(choice.DeviceId, 6);
    ASSERT_TRUE(StoreSystemChoice(*store, choice));
    EXPECT_EQ(store->System.BackLight, stored == 0 ? 0 : 30) << stored;
    EXPECT_EQ(store->System.Temperature, 23);
    EXPECT_EQ(store->System.DeviceIdSetting, 7);  // the id the program talks to
  }
}

TEST(SystemSettingsRules, LockedRefusesAndChangesNothing) {
  auto store = std::make_unique<ParameterStore>();
  store->System.LockState = 1;
  store->System.BackLight = 0;
  store->System.Temperature = 20;
  EXPECT_FALSE(StoreSystemChoice(*store, {1, 40, 3}));
  EXPECT_EQ(store->System.BackLight, 0);
  EXPECT_EQ(store->System.Temperature, 20);
}

TEST(SystemSettingsRules, ListTexts) {
  EXPECT_STREQ(BackLightText(0), "keep on");
  EXPECT_STREQ(BackLightText(1), "30s");
  EXPECT_EQ(TemperatureText(0), "0℃");
  EXPECT_EQ(TemperatureText(50), "50℃");
  EXPECT_EQ(kSystemSettingItems, (std::array<uint8_t, 3>{0x14, 0x15, 0x16}));
}

}  // namespace
}  // namespace veyra::testing
