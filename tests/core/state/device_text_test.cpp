#include "state/device_text.hpp"

#include <gtest/gtest.h>

namespace veyra {
namespace {

TEST(DeviceText, EncodesToTheDeviceCodePageAndBack) {
  EXPECT_EQ(EncodeDeviceText("OUT 1", 8).Bytes, "OUT 1");
  EXPECT_EQ(EncodeDeviceText("通道通道", 8).Bytes, "\xCD\xA8\xB5\xC0\xCD\xA8\xB5\xC0");  // 8 bytes fit
  EXPECT_EQ(DecodeDeviceText("\xCD\xA8\xB5\xC0"), "通道");
  EXPECT_EQ(DecodeDeviceText("\xA1\xE6"), "℃");
  // A lone lead byte at the end and a byte that is no character decode, never fail.
  EXPECT_EQ(DecodeDeviceText("A\xCD"), "A\xEF\xBF\xBD");
  EXPECT_EQ(DecodeDeviceText("\xFF"
                             "B"),
            "\xEF\xBF\xBD"
            "B");
}

TEST(DeviceText, RefusesWholeWhatDoesNotFitOrCannotBeEncoded) {
  struct Case {
    const char* text;
    DeviceTextError error;
  } const cases[] = {
      {"123456789", DeviceTextError::TooLong},
      {"1234567通", DeviceTextError::TooLong},              // 9 bytes: never cut inside the character
      {"\xF0\x9F\x8E\xB5", DeviceTextError::NotEncodable},  // a music emoji
      {"ab\xFF", DeviceTextError::InvalidUtf8},
  };
  for (const Case& c : cases) {
    const auto r = EncodeDeviceText(c.text, 8);
    EXPECT_EQ(r.Error, c.error) << c.text;
    EXPECT_TRUE(r.Bytes.empty()) << c.text;
  }
  EXPECT_TRUE(EncodeDeviceText("12345678", 8).ok());
  EXPECT_FALSE(DeviceTextErrorMessage(DeviceTextError::TooLong, 8).empty());
}

TEST(DeviceText, FixedFields) {
  char name[9];
  std::memset(name, 'x', sizeof name);
  ASSERT_TRUE(SetFieldBytes(name, "12345678"));
  EXPECT_EQ(name[8], '\0');  // the terminator lands in the ninth byte
  EXPECT_FALSE(SetFieldBytes(name, "123456789"));
  EXPECT_EQ(FieldText(name), "12345678");
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(FieldText(unterminated), "abcd");
  const char model[8] = {'O', 'r', 'v', 'a', 'n', 'e', 0, 0};
  EXPECT_EQ(DecodeField(model), "Orvane");
}

}  // namespace
}  // namespace veyra
