// lock, unlock, settings and copy end to end: veyractl as a child process
// against veyra-sim over the TCP bridge (which keeps its device between
// clients, so each command sees what the one before it did).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "files/store_files.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

class VeyractlAdmin : public VeyractlTest {
 protected:
  std::unique_ptr<ParameterStore> Pull(const std::string& device, const char* name) {
    const ToolRun pulled = Run(device, {"pull", "--settings", Path(name)});
    EXPECT_EQ(pulled.Exit, 0) << pulled.Err;
    auto store = std::make_unique<ParameterStore>();
    EXPECT_TRUE(ReadSettingsFile(*store, dir_ / name).ok());
    return store;
  }
};

struct Step {
  std::vector<std::string> Args;
  int Exit;
  std::string Err;
};

TEST_F(VeyractlAdmin, LockAndUnlockFollowTheRulesAndTheDeviceKeepsTheLock) {
  SimServer server({"--fast", "--model", "sistel"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  const std::vector<Step> steps{
      {{"unlock", "ab"}, 1, "Cannot Lock.\n"},
      {{"lock", "ab"}, 0, "Lock Successfully.\n"},
      {{"lock", "ab"}, 1, "Already Lock.\n"},
      {{"unlock", "abc"}, 1, "Psw error.\n"},
      {{"copy", "input", "A", "B"}, 1, "The device is locked: the copy is refused until it is unlocked.\n"},
      {{"settings", "--temperature", "30"},
       1,
       "The device is locked: changing the settings is refused until it is unlocked.\n"},
      {{"unlock", "ab"}, 0, "UnLock Successfully.\n"},
      {{"lock", "abcdef"}, 0, "Lock Successfully.\n"},
  };
  for (const Step& step : steps) {
    const ToolRun run = Run(tcp, step.Args);
    EXPECT_EQ(run.Exit, step.Exit) << step.Args[0] << " " << step.Args[1];
    EXPECT_EQ(run.Err, step.Err) << step.Args[0] << " " << step.Args[1];
  }
  const ToolRun info = Run(tcp, {"info", "--json"});
  EXPECT_NE(info.Out.find("\"locked\":true"), std::string::npos) << info.Out;
  EXPECT_EQ(Run(tcp, {"unlock", "abcdef"}).Exit, 0);
  EXPECT_NE(Run(tcp, {"info", "--json"}).Out.find("\"locked\":false"), std::string::npos);
}

TEST_F(VeyractlAdmin, SettingsPrintsAndChangesWhatIsGiven) {
  SimServer server({"--fast", "--model", "merial"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  const ToolRun changed = Run(tcp, {"settings", "--backlight", "on", "--temperature", "33"});
  ASSERT_EQ(changed.Exit, 0) << changed.Err;
  EXPECT_EQ(changed.Out, "BackLight: keep on\nTemperature: 33℃\nDeviceID: 1\n");
  EXPECT_EQ(Run(tcp, {"settings", "--backlight", "30s"}).Exit, 0);
  const ToolRun shown = Run(tcp, {"settings"});
  EXPECT_EQ(shown.Exit, 0);
  EXPECT_EQ(shown.Out, "BackLight: 30s\nTemperature: 33℃\nDeviceID: 1\n");
  EXPECT_EQ(Pull(tcp, "after.dat")->System.BackLight, 30);

  // One of CLI11's own refusals, and channels the Merial does not have.
  for (const auto& wrong : std::vector<std::vector<std::string>>{
           {"settings", "--temperature", "51"}, {"copy", "input", "D", "A"}, {"copy", "output", "1", "7"}}) {
    EXPECT_EQ(Run(tcp, wrong).Exit, 2) << wrong[0] << " " << wrong[1];
  }
}

TEST_F(VeyractlAdmin, CopyMovesTheChannelSettingsOnTheDevice) {
  SimServer server({"--fast", "--seed", "3"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  const auto before = Pull(tcp, "before.dat");
  const ToolRun in = Run(tcp, {"copy", "input", "a", "C"});
  ASSERT_EQ(in.Exit, 0) << in.Err;
  EXPECT_EQ(in.Err, "");
  ASSERT_EQ(Run(tcp, {"copy", "output", "1", "3"}).Exit, 0);
  const auto after = Pull(tcp, "after.dat");
  const InputChannel& a = before->Inputs[0];
  const InputChannel& c = after->Inputs[2];
  EXPECT_EQ(c.Gain, a.Gain);
  EXPECT_STREQ(c.Name, before->Inputs[2].Name);
  for (int k = 0; k < 8; ++k) {
    if (k == 2) continue;  // output 3 took output 1's flags A..D afterwards
    EXPECT_EQ(after->Outputs[k].Routing[2], before->Outputs[k].Routing[0]) << k;
  }
  const OutputChannel& three = after->Outputs[2];
  EXPECT_EQ(std::memcmp(three.Routing, after->Outputs[0].Routing, 4), 0);
  EXPECT_EQ(std::memcmp(three.Routing + 4, before->Outputs[2].Routing + 4, 4), 0);
  EXPECT_EQ(three.Gain, before->Outputs[0].Gain);
  EXPECT_STREQ(three.Name, before->Outputs[2].Name);
}

}  // namespace
}  // namespace veyra::testing
