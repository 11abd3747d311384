// check, diff and the check before push and restore, end to end: veyractl as
// a child process on files written from stores with known values, on files
// pulled from the simulator and on random bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "files/store_files.hpp"
#include "state/device_text.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

class VeyractlCheck : public VeyractlTest {
 protected:
  void SetUp() override {
    InitialiseStore(s);
    s.Outputs[2].Bands[1].Freq = 1000;
    Save("a.dat");
    s.Outputs[2].Bands[1].Freq = 1200;
    Save("band.dat");
    SetFieldBytes(s.Inputs[1].Name, "Vocal");
    s.OutputGroups[2].LinkEq = 1;
    Save("names.dat");
    for (int p : {3, 5}) {
      std::copy_n(s.Inputs, kChannelSlots, s.Presets[p].Inputs);
      std::copy_n(s.Outputs, kChannelSlots, s.Presets[p].Outputs);
    }
    ASSERT_TRUE(WriteBankFile(s, dir_ / "bank.dama").ok());
    ASSERT_TRUE(WritePresetFile(s, 5, dir_ / "five.preset").ok());
    s.Presets[3].Inputs[0].Gain = 500;
    ASSERT_TRUE(WritePresetFile(s, 3, dir_ / "three.preset").ok());
    ASSERT_TRUE(WriteBankFile(s, dir_ / "changed.dama").ok());
    WriteAll(dir_ / "random.dat", RandomBytes(3000, 11));
    WriteAll(dir_ / "random-apply.dat", RandomBytes(3000, 13));
    WriteAll(dir_ / "random.dama", RandomBytes(kBankFileBytes, 12));
  }

  void Save(const char* name) { ASSERT_TRUE(WriteSettingsFile(s, dir_ / name).ok()); }
};

TEST_F(VeyractlCheck, DiffListsOneLinePerChangedField) {
  struct Case {
    std::string A, B;
    std::string Out;
  };
  const Case cases[] = {
      {"a.dat", "a.dat", ""},
      {"a.dat", "band.dat", "Output 3  EQFQ 2  1000Hz \u2192 1200Hz\n"},
      {"band.dat", "names.dat",
       "Input B  Name  \"IN B\" \u2192 \"Vocal\"\nOutput group 3  EQ Link  off \u2192 on\n"},
      {"bank.dama:5", "five.preset", ""},
      {"five.preset", "three.preset",
       "Program  Name  \"Preset 5\" \u2192 \"Preset 3\"\nInput A  Gain  0.0dB \u2192 -10.0dB\n"},
      {"names.dat", "bank.dama:3", ""},  // no group records in a program: only the channels compared
      {"bank.dama", "changed.dama", "Program 3  Input A  Gain  0.0dB \u2192 -10.0dB\n"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Run({"diff", Path(c.A), Path(c.B)});
    EXPECT_EQ(run.Out, c.Out) << c.A << " " << c.B;
    EXPECT_EQ(run.Exit, c.Out.empty() ? 0 : 1) << c.A << " " << c.B << "\n" << run.Err;
  }
}

TEST_F(VeyractlCheck, DiffTroubleExitsWithTwo) {
  struct Case {
    std::vector<std::string> Args;
    std::string Says;
  };
  const Case cases[] = {
      {{"diff", Path("missing.dat"), Path("a.dat")}, "Cannot open"},
      {{"diff", Path("bank.dama"), Path("a.dat")}, "bank.dama:N"},
      {{"diff", Path("a.dat") + ":5", Path("a.dat")}, "only a bank file"},
      {{"diff", Path("bank.dama") + ":31", Path("a.dat")}, "1 to 30"},
      {{"diff", Path("a.dat"), Path("a.dat"), Path("a.dat")}, "not expected"},
      {{"--device", "sim:orvane,fast", "diff", Path("a.dat"), "--model", "sistel"}, "--model"},
      {{"--device", "sim:orvane,absent", "diff", Path("a.dat")}, "Connection failed"},
  };
  for (const Case& c : cases) {
    const ToolRun run = Run(c.Args);
    EXPECT_EQ(run.Exit, 2) << c.Args[1] << "\n" << run.Err;
    EXPECT_NE(run.Err.find(c.Says), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");
  }
}

TEST_F(VeyractlCheck, PulledFilesAreCleanAndEqualTheDevice) {
  const std::string device = "sim:orvane,fast,seed=4";
  ASSERT_EQ(Run(device, {"pull", "--settings", Path("pulled.dat"), "--presets", Path("pulled.dama")}).Exit,
            0);
  for (const char* file : {"pulled.dat", "pulled.dama"}) {
    const ToolRun check = Run({"check", Path(file)});
    EXPECT_EQ(check.Exit, 0) << file << "\n" << check.Out << check.Err;
    EXPECT_EQ(check.Out + check.Err, "") << file;
  }
  const ToolRun same = Run(device, {"diff", Path("pulled.dat")});
  EXPECT_EQ(same.Exit, 0) << same.Out << same.Err;
  EXPECT_EQ(same.Out, "");
  // Against a file of other settings, the device's values come second.
  const ToolRun other = Run(device, {"diff", Path("a.dat")});
  EXPECT_EQ(other.Exit, 1) << other.Err;
  EXPECT_NE(other.Out.find("Output 3  EQFQ 2  1000Hz \u2192 "), std::string::npos) << other.Out;
}

TEST_F(VeyractlCheck, CheckListsTheFieldsOfRandomBytes) {
  const ToolRun run = Run({"check", Path("random.dat")});
  EXPECT_EQ(run.Exit, 1);
  const auto lines = static_cast<size_t>(std::count(run.Out.begin(), run.Out.end(), '\n'));
  EXPECT_GT(lines, 20u);
  // After the note that the file is short, the count.
  const std::string count = std::to_string(lines) + " fields out of range\n";
  EXPECT_EQ(run.Err.substr(run.Err.size() - std::min(run.Err.size(), count.size())), count) << run.Err;
  EXPECT_EQ(run.Out.rfind("Input A  ", 0), 0u) << run.Out;
  EXPECT_NE(run.Out.find(": outside "), std::string::npos);
  // The 3000 bytes reach no output: the outputs keep their defaults.
  EXPECT_EQ(run.Out.find("Output "), std::string::npos) << run.Out;

  const ToolRun bank = Run({"check", Path("random.dama")});
  EXPECT_EQ(bank.Exit, 1);
  EXPECT_EQ(bank.Out.rfind("Program 1  Input A  ", 0), 0u);
  EXPECT_NE(bank.Out.find("\nProgram 30  Output 8  "), std::string::npos);
  const ToolRun one = Run({"check", Path("random.dama") + ":30"});
  EXPECT_EQ(one.Exit, 1);
  EXPECT_EQ(one.Out.rfind("Input A  ", 0), 0u);
  EXPECT_EQ(Run({"check", Path("bank.dama")}).Exit, 0);
}

TEST_F(VeyractlCheck, PushAndRestoreSendNothingThatFailsTheCheckUnlessForced) {
  SimServer server({"--fast"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  struct Case {
    std::string Command, File;
    std::vector<std::string> Pull;  // reads back what the command sends
    std::string Read;
  };
  const Case cases[] = {
      {"push", "random.dat", {"pull", "--settings", Path("back.dat")}, "back.dat"},
      {"restore", "random.dama", {"backup", Path("back.dama")}, "back.dama"},
      {"apply", "random-apply.dat", {"pull", "--settings", Path("back.dat")}, "back.dat"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(Run(tcp, c.Pull).Exit, 0);
    const std::vector<std::byte> before = ReadAll(dir_ / c.Read);

    const ToolRun refused = Run(tcp, {"--trace", Path("trace.txt"), c.Command, Path(c.File)});
    EXPECT_EQ(refused.Exit, 1) << c.Command;
    EXPECT_NE(refused.Err.find(" fields outside the ranges the editors can set ("), std::string::npos)
        << refused.Err;
    EXPECT_NE(refused.Err.find("Input A "), std::string::npos) << refused.Err;
    EXPECT_NE(refused.Err.find("nothing was sent"), std::string::npos) << refused.Err;
    EXPECT_EQ(Slurp(dir_ / "trace.txt").find("> "), std::string::npos) << c.Command;
    ASSERT_EQ(Run(tcp, c.Pull).Exit, 0);
    EXPECT_EQ(ReadAll(dir_ / c.Read), before) << c.Command;

    const ToolRun forced = Run(tcp, {c.Command, "--force", Path(c.File)});
    EXPECT_EQ(forced.Exit, 0) << c.Command << "\n" << forced.Err;
    EXPECT_NE(forced.Err.find("--force"), std::string::npos) << forced.Err;
    ASSERT_EQ(Run(tcp, c.Pull).Exit, 0);
    EXPECT_NE(ReadAll(dir_ / c.Read), before) << c.Command;
  }
}

}  // namespace
}  // namespace veyra::testing
