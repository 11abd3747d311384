// The device commands end to end: veyractl as a child process against the
// in-process simulator (sim:) and against veyra-sim over the TCP bridge.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>

#include "cli_app.hpp"
#include "files/store_files.hpp"
#include "sim/sim_transport.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

class VeyractlDevice : public VeyractlTest {
 protected:
  std::vector<std::byte> Bytes(const char* name) const { return ReadAll(dir_ / name); }
  // The live channel records of a settings file: what push sends and pull reads back.
  std::vector<std::byte> Channels(const char* name) const {
    std::vector<std::byte> bytes = Bytes(name);
    bytes.resize(sizeof(ParameterStore::Inputs) + sizeof(ParameterStore::Outputs));
    return bytes;
  }
};

TEST_F(VeyractlDevice, PullPushPullOverTheBridge) {
  SimServer server({"--fast"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  // Another device's settings to push.
  ASSERT_EQ(Run("sim:orvane,fast,seed=7", {"pull", "--settings", Path("seven.dat")}).Exit, 0);

  const ToolRun first = Run(tcp, {"pull", "--settings", Path("a.dat"), "--presets", Path("a.dama")});
  ASSERT_EQ(first.Exit, 0) << first.Err;
  EXPECT_EQ(first.Err, "");  // no progress without a terminal
  EXPECT_EQ(Bytes("a.dat").size(), kSettingsFileBytes);
  EXPECT_EQ(Bytes("a.dama").size(), kBankFileBytes);
  ASSERT_NE(Channels("a.dat"), Channels("seven.dat"));

  ASSERT_EQ(Run(tcp, {"push", Path("a.dat")}).Exit, 0);
  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("b.dat")}).Exit, 0);
  EXPECT_EQ(Bytes("b.dat"), Bytes("a.dat"));

  const ToolRun pushed = Run(tcp, {"push", Path("seven.dat")});
  ASSERT_EQ(pushed.Exit, 0) << pushed.Err;
  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("c.dat")}).Exit, 0);
  EXPECT_EQ(Channels("c.dat"), Channels("seven.dat"));
}

TEST_F(VeyractlDevice, BackupRestoreBackupOverTheBridge) {
  SimServer server({"--fast", "--model", "merial"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  ASSERT_EQ(Run("sim:merial,fast,seed=9", {"backup", Path("nine.dama")}).Exit, 0);

  const ToolRun first = Run(tcp, {"backup", Path("a.dama")});
  ASSERT_EQ(first.Exit, 0) << first.Err;
  EXPECT_EQ(first.Err, "Save successfully.\n");
  ASSERT_NE(Bytes("a.dama"), Bytes("nine.dama"));

  const ToolRun restored = Run(tcp, {"restore", Path("nine.dama")});
  ASSERT_EQ(restored.Exit, 0) << restored.Err;
  EXPECT_EQ(restored.Err, "Upload successfully.\n");
  ASSERT_EQ(Run(tcp, {"backup", Path("b.dama")}).Exit, 0);
  EXPECT_EQ(Bytes("b.dama"), Bytes("nine.dama"));

  ASSERT_EQ(Run(tcp, {"restore", Path("a.dama")}).Exit, 0);
  ASSERT_EQ(Run(tcp, {"backup", Path("c.dama")}).Exit, 0);
  EXPECT_EQ(Bytes("c.dama"), Bytes("a.dama"));
}

TEST_F(VeyractlDevice, InfoRecallAndResetOverTheBridge) {
  // veyra-sim keeps its device between clients, so what recall and reset did
  // shows in the next pull.
  SimServer server({"--fast", "--seed", "5"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  const ToolRun info = Run(tcp, {"info"});
  ASSERT_EQ(info.Exit, 0) << info.Err;
  EXPECT_NE(info.Out.find("Orvane"), std::string::npos) << info.Out;

  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("before.dat"), "--presets", Path("all.dama")}).Exit, 0);
  const ToolRun recalled = Run(tcp, {"recall", "5"});
  ASSERT_EQ(recalled.Exit, 0) << recalled.Err;
  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("recalled.dat")}).Exit, 0);
  ASSERT_EQ(Run(tcp, {"reset"}).Exit, 0);
  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("reset.dat")}).Exit, 0);

  const auto bank = std::make_unique<ParameterStore>();
  const auto live = std::make_unique<ParameterStore>();
  const auto fresh = std::make_unique<ParameterStore>();
  ASSERT_TRUE(ReadBankFile(*bank, dir_ / "all.dama").ok());
  ASSERT_TRUE(ReadSettingsFile(*live, dir_ / "recalled.dat").ok());
  ASSERT_TRUE(ReadSettingsFile(*fresh, dir_ / "reset.dat").ok());
  const PresetSlot& five = bank->Preset(5);
  const auto before = std::make_unique<ParameterStore>();
  ASSERT_TRUE(ReadSettingsFile(*before, dir_ / "before.dat").ok());
  ASSERT_NE(std::memcmp(before->Outputs[0].Bands, five.Outputs[0].Bands, sizeof five.Outputs[0].Bands), 0);
  EXPECT_EQ(live->System.CurrentProgram, 5);
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(live->Inputs[i].Name, five.Inputs[i].Name) << i;
    EXPECT_EQ(live->Inputs[i].Gain, five.Inputs[i].Gain) << i;
    EXPECT_EQ(std::memcmp(live->Inputs[i].Bands, five.Inputs[i].Bands, sizeof five.Inputs[i].Bands), 0) << i;
    // What a save right after the connection writes: the refreshed band counts.
    EXPECT_EQ(live->Inputs[i].EqEditorWord, static_cast<uint32_t>(CountActiveBands(live->Inputs[i].Bands)));
    EXPECT_EQ(fresh->Inputs[i].Gain, 600) << i;
    EXPECT_STREQ(fresh->Inputs[i].Name, five.Inputs[i].Name) << i;  // factory defaults keep names
  }
  for (int j = 0; j < 8; ++j) {
    EXPECT_STREQ(live->Outputs[j].Name, five.Outputs[j].Name) << j;
    EXPECT_EQ(live->Outputs[j].Gain, five.Outputs[j].Gain) << j;
    EXPECT_EQ(live->Outputs[j].EqEditorWord, static_cast<uint32_t>(CountActiveBands(live->Outputs[j].Bands)));
    EXPECT_EQ(fresh->Outputs[j].Gain, 600) << j;
  }
}

TEST_F(VeyractlDevice, CommandsAgainstTheInProcessSimulator) {
  const std::string sim = "sim:sistel,fast,seed=3";
  const ToolRun info = Run(sim, {"info"});
  ASSERT_EQ(info.Exit, 0) << info.Err;
  EXPECT_NE(info.Out.find("Sistel"), std::string::npos) << info.Out;
  const ToolRun json = Run(sim, {"info", "--json"});
  ASSERT_EQ(json.Exit, 0);
  EXPECT_EQ(json.Out.rfind("{\"model\":\"Sistel\",\"versions\":[", 0), 0u) << json.Out;
  EXPECT_EQ(std::count(json.Out.begin(), json.Out.end(), ','), 6 + 29) << json.Out;

  // The same seeded device gives the same files; the model switch follows the device.
  ASSERT_EQ(Run(sim, {"pull", "--settings", Path("one.dat")}).Exit, 0);
  ASSERT_EQ(Run(sim, {"--trace", Path("trace.txt"), "pull", "--settings", Path("two.dat")}).Exit, 0);
  EXPECT_EQ(Bytes("one.dat"), Bytes("two.dat"));
  const std::string trace = Slurp(dir_ / "trace.txt");
  EXPECT_NE(trace.find("\n> 00 5A 5A 5A EE"), std::string::npos);
  EXPECT_NE(trace.find("\n< 00 5A 5A 5A EE"), std::string::npos);

  const ToolRun recalled = Run(sim, {"recall", "30"});
  EXPECT_EQ(recalled.Exit, 0) << recalled.Err;
  EXPECT_EQ(recalled.Err, "Recall Successfully.\n");
  EXPECT_EQ(Run(sim, {"-q", "recall", "1"}).Err, "");
}

TEST_F(VeyractlDevice, FailingDeviceExitsWithOneAndWritesNothing) {
  WriteAll(dir_ / "kept.dama", std::vector<std::byte>(10, std::byte{7}));
  ASSERT_EQ(Run("sim:orvane,fast", {"backup", Path("good.dama")}).Exit, 0);
  ASSERT_EQ(Run("sim:orvane,fast", {"pull", "--settings", Path("good.dat")}).Exit, 0);
  struct Case {
    std::string Device;
    std::vector<std::string> Args;
    std::string Says;
  };
  const std::vector<Case> cases{
      {"sim:orvane,absent",
       {"pull", "--settings", Path("x.dat")},
       "Connection failed, please check the device."},
      {"tcp:127.0.0.1:1", {"info"}, "Connection failed, please check the device."},
      {"sim:orvane,fast,model-code=Foo", {"info"}, "Device type is not selected."},
      {"sim:orvane,fast,silent-after=1", {"pull", "--settings", Path("x.dat")}, "Connect error."},
      {"sim:orvane,fast,silent", {"info"}, "model-code"},
      {"sim:orvane,fast,silent-after=200",
       {"pull", "--settings", Path("x.dat"), "--presets", Path("x.dama")},
       "did not answer"},
      {"sim:orvane,fast,disconnect-after=420", {"backup", Path("kept.dama")}, "Download All"},
      {"sim:orvane,fast,silent-after=415", {"restore", Path("good.dama")}, "Upload All"},
      {"sim:orvane,fast,silent-after=410", {"recall", "4"}, "did not answer"},
      {"sim:orvane,fast", {"--trace", Path("no/such/dir/t.txt"), "info"}, "no/such/dir"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--timeout", "100"};
    args.insert(args.end(), c.Args.begin(), c.Args.end());
    const ToolRun run = Run(c.Device, args);
    EXPECT_EQ(run.Exit, 1) << c.Device << " " << c.Args[0] << "\n" << run.Err;
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << c.Device << " " << c.Args[0] << "\n" << run.Err;
    EXPECT_EQ(run.Out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "x.dat"));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "x.dama"));
  EXPECT_EQ(Bytes("kept.dama"), std::vector<std::byte>(10, std::byte{7}));
}

TEST(VeyractlProgress, DrawnOnATerminalOnly) {
  RegisterSimulatorTransport();
  ScratchDir dir;
  const std::string file = (dir / "p.dama").string();
  for (const bool terminal : {true, false}) {
    const char* argv[] = {"veyractl",        "--report-gap", "0",         "--device",
                          "sim:orvane,fast", "backup",       file.c_str()};
    std::ostringstream out, err;
    ASSERT_EQ(ctl::RunVeyractl(7, argv, out, err, terminal), 0) << err.str();
    const std::string text = err.str();
    EXPECT_EQ(text.find("\rConnecting 410/410 (100%)") != std::string::npos, terminal) << text;
    EXPECT_EQ(text.find("\rDownload All 360/360 (100%)") != std::string::npos, terminal) << text;
    EXPECT_NE(text.find("Save successfully."), std::string::npos);
  }
}

}  // namespace
}  // namespace veyra::testing
