// The real USB path: hidapi on the kernel's hidraw, udev's arrival and
// removal events, against veyra-sim behind a USB HID gadget on dummy_hcd.
// Runs inside the virtual machine of run-vm.sh (as root, with two device
// controllers); elsewhere every case is skipped.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <thread>

#include "core/files/test_files.hpp"
#include "link/hid_transport.hpp"
#include "mainwin/device_session.hpp"
#include "mainwin/processor_choice.hpp"
#include "sim/tool_process.hpp"
#include "ui/mainwin_test_support.hpp"

namespace veyra::testing {
namespace {

using namespace std::chrono_literals;

bool InVirtualMachine() {
  return qEnvironmentVariableIsSet("VEYRA_USB_VM");
}

#define REQUIRE_VM() \
  if (!InVirtualMachine()) GTEST_SKIP() << "runs in the USB virtual machine (tests/usb/run-vm.sh)"

template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::seconds deadline = 60s) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

const HidInterfaceInfo* FindSerial(const std::vector<HidInterfaceInfo>& found, const std::string& serial) {
  for (const HidInterfaceInfo& info : found) {
    if (info.Serial == serial) return &info;
  }
  return nullptr;
}

// veyra-sim --hid-gadget as a child process; ready once the host has made a
// hidraw node of it. SIGTERM takes it down, and the node goes with it.
class Gadget {
 public:
  explicit Gadget(std::string serial, std::vector<std::string> extra = {}) : serial_(std::move(serial)) {
    std::vector<std::string> args{VEYRA_SIM_EXE, "--hid-gadget", "--fast", "--serial", serial_};
    args.insert(args.end(), extra.begin(), extra.end());
    int fd = -1;
    pid_ = SpawnReading(args, &fd);
    if (fd < 0) return;
    output_ = fdopen(fd, "r");
    char line[512] = {};
    if (pid_ > 0 && output_ && std::fgets(line, sizeof line, output_)) firstLine_ = line;
  }
  ~Gadget() { Unplug(); }
  Gadget(const Gadget&) = delete;
  Gadget& operator=(const Gadget&) = delete;

  // The gadget is up and the host shows its interface.
  ::testing::AssertionResult Ready() {
    if (firstLine_.rfind("Gadget on ", 0) != 0)
      return ::testing::AssertionFailure() << "veyra-sim did not start its gadget: \"" << firstLine_ << "\"";
    if (!WaitUntil([this] { return FindSerial(EnumerateProcessorInterfaces(), serial_) != nullptr; }))
      return ::testing::AssertionFailure() << "no hidraw node for serial " << serial_ << " after 60 s";
    path_ = FindSerial(EnumerateProcessorInterfaces(), serial_)->Path;
    return ::testing::AssertionSuccess();
  }
  void Unplug() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    WaitFor(pid_);
    pid_ = -1;
    if (output_) std::fclose(output_);
    output_ = nullptr;
    WaitUntil([this] { return FindSerial(EnumerateProcessorInterfaces(), serial_) == nullptr; });
  }
  const std::string& Path() const { return path_; }

 private:
  std::string serial_;
  pid_t pid_ = -1;
  std::FILE* output_ = nullptr;
  std::string firstLine_;
  std::string path_;
};

class UsbTest : public ::testing::Test {
 protected:
  ToolRun Ctl(std::vector<std::string> args) {
    args.insert(args.begin(), {VEYRACTL_EXE, "--report-gap", "0"});
    return RunTool(args, dir_ / "");
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  ScratchDir dir_;
};

TEST_F(UsbTest, PullAndPushAreByteForByte) {
  REQUIRE_VM();
  Gadget gadget("VQPULL1", {"--model", "sistel"});
  ASSERT_TRUE(gadget.Ready());
  const ToolRun pulled = Ctl({"--device", "usb", "pull", "--settings", Path("usb.dat")});
  ASSERT_EQ(pulled.Exit, 0) << pulled.Err;
  // The same firmware model in process: the USB path changes no byte.
  const ToolRun reference = Ctl({"--device", "sim:sistel", "pull", "--settings", Path("sim.dat")});
  ASSERT_EQ(reference.Exit, 0) << reference.Err;
  EXPECT_EQ(Slurp(Path("usb.dat")), Slurp(Path("sim.dat")));

  const ToolRun changed =
      Ctl({"set", "--file", Path("usb.dat"), "input", "A", "gain=-3.5", "output", "2", "delay=1.25"});
  ASSERT_EQ(changed.Exit, 0) << changed.Err;
  const ToolRun pushed = Ctl({"--device", "usb:" + gadget.Path(), "push", Path("usb.dat")});
  ASSERT_EQ(pushed.Exit, 0) << pushed.Err;
  const ToolRun again = Ctl({"--device", "usb:serial=VQPULL1", "pull", "--settings", Path("back.dat")});
  ASSERT_EQ(again.Exit, 0) << again.Err;
  EXPECT_EQ(Slurp(Path("back.dat")), Slurp(Path("usb.dat")));
  EXPECT_NE(Slurp(Path("back.dat")), Slurp(Path("sim.dat")));
}

TEST_F(UsbTest, TheProgramConnectsOnArrivalAndGoesOfflineOnRemoval) {
  REQUIRE_VM();
  auto owned = std::make_unique<ParameterStore>();  // outlives the window
  ParameterStore& store = *owned;
  auto prompts = std::make_unique<ScriptedPrompts>();
  MainWindowOptions options;
  options.Prompts = std::move(prompts);
  auto window = std::make_unique<MainWindow>(store, std::move(options));
  window->show();
  DeviceSession& session = window->Session();
  ASSERT_FALSE(session.Online());
  {
    Gadget gadget("VQPLUG1", {"--model", "sistel"});
    ASSERT_TRUE(gadget.Ready());
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.Online(); }, 90000)) << "no connection on arrival";
    EXPECT_EQ(store.CurrentModel, 1);
    EXPECT_EQ(window->windowTitle(), QString(MainWindow::kCaption) + " - VQPLUG1");
    // Another processor arriving while online changes nothing.
    Gadget other("VQPLUG2", {"--model", "orvane"});
    ASSERT_TRUE(other.Ready());
    QTest::qWait(1500);
    EXPECT_EQ(store.CurrentModel, 1);
    EXPECT_EQ(session.Address(), QString::fromStdString("usb:" + gadget.Path()));
    other.Unplug();
    gadget.Unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.Online(); }, 60000)) << "still online after removal";
    EXPECT_EQ(window->windowTitle(), MainWindow::kCaption);
  }
  Gadget again("VQPLUG1", {"--model", "merial"});
  ASSERT_TRUE(again.Ready());
  ASSERT_TRUE(QTest::qWaitFor([&] { return session.Online(); }, 90000)) << "no connection on the return";
  EXPECT_EQ(store.CurrentModel, 2);
  window.reset();
}

TEST_F(UsbTest, AnotherReleaseIsNotUsedAndSaidSo) {
  REQUIRE_VM();
  Gadget gadget("VQOLD1", {"--release", "0100"});
  ASSERT_TRUE(gadget.Ready());
  const ToolRun info = Ctl({"--device", "usb", "info"});
  EXPECT_EQ(info.Exit, 1);
  EXPECT_NE(info.Err.find("has release 0100; only release 0200 is used."), std::string::npos) << info.Err;
  const ToolRun list = Ctl({"list"});
  EXPECT_EQ(list.Exit, 0);
  EXPECT_NE(list.Out.find("VQOLD1"), std::string::npos) << list.Out;
  EXPECT_NE(list.Out.find("not used"), std::string::npos) << list.Out;
}

TEST_F(UsbTest, ANodeTheUserMayNotOpenGivesThePermissionHint) {
  REQUIRE_VM();
  Gadget gadget("VQPERM1");
  ASSERT_TRUE(gadget.Ready());
  // The tool is copied where the unprivileged user may run it (the build may
  // lie in a folder only root can enter).
  const std::string tool = Path("veyractl");
  std::filesystem::copy_file(VEYRACTL_EXE, tool);
  std::filesystem::permissions(std::filesystem::path(Path("x")).parent_path(), std::filesystem::perms::all);
  std::filesystem::permissions(tool, std::filesystem::perms::all);
  const ToolRun info = RunTool({"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", tool,
                                "--device", "usb", "info"},
                               dir_ / "");
  EXPECT_EQ(info.Exit, 1);
  EXPECT_NE(info.Err.find("may not be opened (permission denied)"), std::string::npos) << info.Err;
  EXPECT_NE(info.Err.find("70-veyra-ql.rules"), std::string::npos) << info.Err;
  const ToolRun list = RunTool(
      {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", tool, "list", "--json"},
      dir_ / "");
  EXPECT_NE(list.Out.find("\"can_open\":false"), std::string::npos) << list.Out;
}

TEST_F(UsbTest, TwoProcessorsAreListedAndPickedBySerialOrPath) {
  REQUIRE_VM();
  Gadget first("VQTWO-A", {"--model", "sistel", "--udc", "dummy_udc.0"});
  Gadget second("VQTWO-B", {"--model", "orvane", "--udc", "dummy_udc.1"});
  ASSERT_TRUE(first.Ready());
  ASSERT_TRUE(second.Ready());
  const ToolRun list = Ctl({"list", "--json"});
  ASSERT_EQ(list.Exit, 0);
  EXPECT_NE(list.Out.find("\"serial\":\"VQTWO-A\""), std::string::npos) << list.Out;
  EXPECT_NE(list.Out.find("\"serial\":\"VQTWO-B\""), std::string::npos) << list.Out;

  const ToolRun bySerial = Ctl({"--device", "usb:serial=VQTWO-B", "info"});
  ASSERT_EQ(bySerial.Exit, 0) << bySerial.Err;
  EXPECT_NE(bySerial.Out.find("Orvane"), std::string::npos) << bySerial.Out;
  const ToolRun byPath = Ctl({"--device", "usb:" + first.Path(), "info"});
  ASSERT_EQ(byPath.Exit, 0) << byPath.Err;
  EXPECT_NE(byPath.Out.find("Sistel"), std::string::npos) << byPath.Out;

  // The program's Connect asks which one, and connects by serial number.
  QStringList offered;
  const std::optional<QString> chosen = ChooseUsbAddress([&](const QStringList& labels) {
    offered = labels;
    return std::optional<int>(1);
  });
  ASSERT_EQ(offered.size(), 2);
  EXPECT_TRUE(offered.join(" ").contains("VQTWO-A")) << offered.join(" ").toStdString();
  ASSERT_TRUE(chosen);
  EXPECT_TRUE(*chosen == "usb:serial=VQTWO-A" || *chosen == "usb:serial=VQTWO-B") << chosen->toStdString();
  EXPECT_NE(*chosen,
            QString::fromStdString("usb:serial=" + std::string(offered[0].section(' ', 0, 0).toStdString())));
  EXPECT_EQ(ChooseUsbAddress([](const QStringList&) { return std::optional<int>(); }), std::nullopt);

  // A bare "usb" takes the first in path order and names the other.
  const bool aFirst = NaturalPathLess(first.Path(), second.Path());
  const ToolRun bare = Ctl({"--device", "usb", "info"});
  ASSERT_EQ(bare.Exit, 0) << bare.Err;
  EXPECT_NE(bare.Out.find(aFirst ? "Sistel" : "Orvane"), std::string::npos) << bare.Out;
  EXPECT_NE(bare.Err.find("2 processors are connected; using " + (aFirst ? first.Path() : second.Path())),
            std::string::npos)
      << bare.Err;
  EXPECT_NE(bare.Err.find(aFirst ? "VQTWO-B" : "VQTWO-A"), std::string::npos) << bare.Err;
}

}  // namespace
}  // namespace veyra::testing
