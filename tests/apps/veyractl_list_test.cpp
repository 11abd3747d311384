// What list prints and the note of a bare "usb" among several; the listing
// of real interfaces is the USB virtual-machine stage's.
#include <gtest/gtest.h>

#include "list_command.hpp"

namespace veyra::ctl {
namespace {

HidInterfaceInfo Interface(const char* path, uint16_t release, const char* serial) {
  return {path, kVendorId, kProductId, release, serial, "Veyra", "QL"};
}

TEST(VeyractlList, TableAndJsonSayWhatCanBeUsed) {
  const std::vector<InterfaceProbe> probes{
      {Interface("/dev/hidraw1", kReleaseNumber, "VQ1"), true, ""},
      {Interface("/dev/hidraw2", kReleaseNumber, ""), false, "denied \"here\""},
      {Interface("/dev/hidraw3", 0x0100, "VQ3"), false, "other release"},
  };
  EXPECT_EQ(ListText(probes),
            "PATH          SERIAL  RELEASE  MANUFACTURER  PRODUCT  OPEN\n"
            "/dev/hidraw1  VQ1     0200     Veyra         QL       yes\n"
            "/dev/hidraw2  -       0200     Veyra         QL       no\n"
            "/dev/hidraw3  VQ3     0100     Veyra         QL       not used\n"
            "\n"
            "denied \"here\"\n"
            "other release\n");
  EXPECT_EQ(ListJson({probes[1]}),
            "[{\"path\":\"/dev/hidraw2\",\"serial\":\"\",\"release\":\"0200\",\"manufacturer\":\"Veyra\","
            "\"product\":\"QL\",\"used\":true,\"can_open\":false,\"problem\":\"denied \\\"here\\\"\"}]\n");
  EXPECT_EQ(ListJson({}), "[]\n");
  EXPECT_EQ(ListText({}), "No processor is connected by USB.\n");
}

TEST(VeyractlList, SeveralProcessorsNoteNamesTheOthersButNotOtherReleases) {
  EXPECT_EQ(SeveralProcessorsNote(
                {Interface("/dev/hidraw1", kReleaseNumber, "VQ1"), Interface("/dev/hidraw2", 0x0100, "OLD")}),
            "");
  EXPECT_EQ(
      SeveralProcessorsNote(
          {Interface("/dev/hidraw1", kReleaseNumber, "VQ1"), Interface("/dev/hidraw2", 0x0100, "OLD"),
           Interface("/dev/hidraw3", kReleaseNumber, ""), Interface("/dev/hidraw4", kReleaseNumber, "VQ4")}),
      "3 processors are connected; using /dev/hidraw1 (serial VQ1). Also connected: /dev/hidraw3, "
      "/dev/hidraw4 (serial VQ4). Pick one with --device usb:serial=SERIAL or usb:PATH.");
}

}  // namespace
}  // namespace veyra::ctl
