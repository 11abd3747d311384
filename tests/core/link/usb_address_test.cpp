#include "link/usb_address.hpp"

#include <gtest/gtest.h>

#include "link/transport.hpp"

namespace veyra {
namespace {

TEST(UsbAddress, ParsesWhatEachFormPicks) {
  struct Case {
    const char* Rest;
    UsbSelector::Kind Kind;
    const char* Value;
    const char* Address;  // what the selector prints back
  };
  const Case cases[] = {
      {"", UsbSelector::Kind::First, "", "usb"},
      {"serial=VQ0001", UsbSelector::Kind::Serial, "VQ0001", "usb:serial=VQ0001"},
      {"SERIAL=ab=c", UsbSelector::Kind::Serial, "ab=c", "usb:serial=ab=c"},
      {"/dev/hidraw3", UsbSelector::Kind::Path, "/dev/hidraw3", "usb:/dev/hidraw3"},
      // A Windows or macOS path holds colons and equals signs of its own.
      {"\\\\?\\hid#vid_0483&pid_5750#7&1", UsbSelector::Kind::Path, "\\\\?\\hid#vid_0483&pid_5750#7&1",
       "usb:\\\\?\\hid#vid_0483&pid_5750#7&1"},
      {"DevSrvsID:4294969021", UsbSelector::Kind::Path, "DevSrvsID:4294969021", "usb:DevSrvsID:4294969021"},
  };
  for (const Case& c : cases) {
    UsbSelector selector;
    std::string error;
    ASSERT_TRUE(ParseUsbAddress(c.Rest, selector, error)) << c.Rest << ": " << error;
    EXPECT_EQ(selector.What, c.Kind) << c.Rest;
    EXPECT_EQ(selector.Value, c.Value) << c.Rest;
    EXPECT_EQ(UsbAddressText(selector), c.Address) << c.Rest;
  }
}

TEST(UsbAddress, AnEmptySerialIsAnErrorThroughTheFactory) {
  const TransportOrError made = CreateTransport("usb:serial=");
  EXPECT_FALSE(made.transport);
  EXPECT_NE(made.error.find("serial number"), std::string::npos) << made.error;
  const TransportOrError bySerial = CreateTransport("usb:serial=VQ7");
  ASSERT_TRUE(bySerial.transport) << bySerial.error;
  EXPECT_EQ(bySerial.transport->Address(), "usb:serial=VQ7");
}

TEST(UsbAddress, PathsSortAsPeopleCount) {
  struct Case {
    const char* A;
    const char* B;
    bool Less;
  };
  const Case cases[] = {
      {"/dev/hidraw2", "/dev/hidraw10", true},
      {"/dev/hidraw10", "/dev/hidraw2", false},
      {"/dev/hidraw02", "/dev/hidraw2", false},
      {"/dev/hidraw2", "/dev/hidraw02", false},
      {"/dev/hidraw", "/dev/hidraw0", true},
      {"/DEV/HIDRAW1", "/dev/hidraw1", false},
      {"1-1:1.0", "1-10:1.0", true},
      {"a9b", "a10a", true},
  };
  for (const Case& c : cases) EXPECT_EQ(NaturalPathLess(c.A, c.B), c.Less) << c.A << " < " << c.B;
}

TEST(UsbAddress, SelectorsPickAmongSeveral) {
  std::vector<HidInterfaceInfo> found{
      {"/dev/hidraw10", kVendorId, kProductId, kReleaseNumber, "B", "", ""},
      {"/dev/hidraw2", kVendorId, kProductId, 0x0100, "A", "", ""},
      {"/dev/hidraw9", kVendorId, kProductId, kReleaseNumber, "", "", ""},
  };
  SortInterfaces(found);
  ASSERT_EQ(found[0].Path, "/dev/hidraw2");
  EXPECT_EQ(found[2].Path, "/dev/hidraw10");

  struct Case {
    UsbSelector Selector;
    std::vector<bool> Picks;  // in sorted order
  };
  const Case cases[] = {
      {{UsbSelector::Kind::First, ""}, {true, true, true}},
      {{UsbSelector::Kind::Serial, "B"}, {false, false, true}},
      {{UsbSelector::Kind::Serial, "b"}, {false, false, false}},  // serial numbers are exact
      {{UsbSelector::Kind::Path, "/DEV/HIDRAW9"}, {false, true, false}},
      {{UsbSelector::Kind::Path, "/dev/hidraw1"}, {false, false, false}},
  };
  for (const Case& c : cases) {
    for (size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(SelectorPicks(c.Selector, found[i]), c.Picks[i]) << UsbAddressText(c.Selector) << " " << i;
    }
  }
  EXPECT_EQ(DescribeInterface(found[2]), "/dev/hidraw10 (serial B)");
  EXPECT_EQ(DescribeInterface(found[1]), "/dev/hidraw9");
}

}  // namespace
}  // namespace veyra
