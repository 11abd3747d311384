#include <gtest/gtest.h>

#include "state/device_text.hpp"

namespace veyra {
namespace {

TEST(DeviceText, EncodesToTheDeviceCodePageAndBack) {
  const auto ascii = EncodeDeviceText("OUT 1", 8);
  ASSERT_TRUE(ascii.ok());
  EXPECT_EQ(ascii.Bytes, "OUT 1");

  const auto chinese = EncodeDeviceText("通道", 8);  // two double-byte characters
  ASSERT_TRUE(chinese.ok());
  EXPECT_EQ(chinese.Bytes, "\xCD\xA8\xB5\xC0");
  EXPECT_EQ(DecodeDeviceText(chinese.Bytes), "通道");
  EXPECT_EQ(DecodeDeviceText("\xA1\xE6"), "℃");
}

TEST(DeviceText, LengthCountsDeviceBytesAndRefusesWhole) {
  EXPECT_TRUE(EncodeDeviceText("12345678", 8).ok());
  EXPECT_EQ(EncodeDeviceText("123456789", 8).Error, DeviceTextError::TooLong);
  EXPECT_TRUE(EncodeDeviceText("通道通道", 8).ok());  // 8 bytes
  // Seven ASCII characters and one double-byte character make 9 bytes: refused,
  // never cut in the middle of the character.
  const auto over = EncodeDeviceText("1234567通", 8);
  EXPECT_EQ(over.Error, DeviceTextError::TooLong);
  EXPECT_TRUE(over.Bytes.empty());
}

TEST(DeviceText, RefusesWhatTheDeviceCannotHold) {
  EXPECT_EQ(EncodeDeviceText("\xF0\x9F\x8E\xB5", 8).Error, DeviceTextError::NotEncodable);  // a music emoji
  EXPECT_EQ(EncodeDeviceText("ab\xFF", 8).Error, DeviceTextError::InvalidUtf8);
  EXPECT_FALSE(DeviceTextErrorMessage(DeviceTextError::TooLong, 8).empty());
}

TEST(DeviceText, DecodingNeverFailsOnGarbage) {
  // A lone lead byte at the end and a byte that is no character.
  EXPECT_EQ(DecodeDeviceText("A\xCD"), "A\xEF\xBF\xBD");
  EXPECT_EQ(DecodeDeviceText("\xFF" "B"), "\xEF\xBF\xBD" "B");
}

TEST(DeviceText, FixedFields) {
  char name[9];
  std::memset(name, 'x', sizeof name);
  ASSERT_TRUE(SetFieldBytes(name, "12345678"));
  EXPECT_EQ(name[8], '\0');  // the terminator lands in the ninth byte
  EXPECT_EQ(FieldText(name), "12345678");
  EXPECT_FALSE(SetFieldBytes(name, "123456789"));
  EXPECT_EQ(FieldText(name), "12345678");

  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(FieldText(unterminated), "abcd");
  const char model[8] = {'O', 'r', 'v', 'a', 'n', 'e', 0, 0};
  EXPECT_EQ(DecodeField(model), "Orvane");
}

}  // namespace
}  // namespace veyra
