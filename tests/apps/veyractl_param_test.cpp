// get and set end to end: veyractl as a child process on settings files, on
// the in-process simulator, and on veyra-sim over the TCP bridge (which keeps
// its device between clients, so a pull shows what a set did).
#include <gtest/gtest.h>

#include <sstream>

#include "files/store_files.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

constexpr const char* kOrvane = "sim:orvane,fast";

class VeyractlParams : public VeyractlTest {
 protected:
  // The frames written after the connection: (block, channel, group) of each.
  static std::vector<std::string> Writes(const std::string& trace) {
    std::vector<std::string> writes;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);)
      if (line.starts_with("> 00 5A 5A 5A EE A1")) writes.push_back(line.substr(26, 8));
    return writes;
  }
};

TEST_F(VeyractlParams, WhatGetPrintsSetTakesBackOnAnotherFile) {
  ASSERT_EQ(Run(kOrvane, {"pull", "--settings", Path("a.dat")}).Exit, 0);
  ASSERT_EQ(Run("sim:orvane,fast,seed=7", {"pull", "--settings", Path("b.dat")}).Exit, 0);
  const ToolRun set =
      Run({"set", "--file", Path("a.dat"), "input", "B", "name=Lead Vox", "eq4.type=LSHLF", "eq4.bypass=on",
           "mic.line=mic", "output", "3", "route=a,b", "limiter.release=x8"});
  ASSERT_EQ(set.Exit, 0) << set.Err;
  EXPECT_EQ(set.Out,
            "input B name=\"Lead Vox\"\ninput B eq4.type=LSHLF\ninput B eq4.bypass=on\ninput B mic.line=mic\n"
            "output 3 route=A,B\noutput 3 limiter.release=X8\n");
  std::vector<std::string> all;
  for (const char* channel : {"A", "B", "C", "D"}) all.insert(all.end(), {"input", channel});
  for (const char* channel : {"1", "2", "3", "4", "5", "6", "7", "8"})
    all.insert(all.end(), {"output", channel});
  const auto get = [&](const char* file) {
    std::vector<std::string> args{"get", "--file", Path(file)};
    args.insert(args.end(), all.begin(), all.end());
    return Run(args);
  };
  const ToolRun a = get("a.dat");
  ASSERT_EQ(a.Exit, 0) << a.Err;
  EXPECT_NE(a.Out.find("input B eq4.bypass=on\n"), std::string::npos);
  // A code no editor can set (the factory defaults' 999 in a ratio) stays out of the script.
  std::string script;
  std::istringstream lines(a.Out);
  for (std::string line; std::getline(lines, line);)
    if (!line.ends_with("=999")) script += line + "\n";
  Write("setup.txt", "# all of a.dat\n" + script);
  const ToolRun scripted = Run({"set", "--file", Path("b.dat"), "--from", Path("setup.txt"), "-q"});
  ASSERT_EQ(scripted.Exit, 0) << scripted.Err;
  EXPECT_EQ(scripted.Out, "");
  // a.dat holds shelves on the wrong side of 2000 Hz, which set limits as the
  // editors do; a.dat given the same script reads back as b.dat does.
  ASSERT_EQ(Run({"set", "--file", Path("a.dat"), "--from", Path("setup.txt"), "-q"}).Exit, 0);
  EXPECT_EQ(get("b.dat").Out, get("a.dat").Out);
  EXPECT_NE(get("b.dat").Out.find("input C eq3.freq=2000Hz\n"), std::string::npos);
  const ToolRun json = Run({"get", "--file", Path("a.dat"), "--json", "output", "3", "route", "gain"});
  EXPECT_EQ(json.Out, "{\"output 3\":{\"route\":\"A,B\",\"gain\":\"-2.1dB\"}}\n");
}

TEST_F(VeyractlParams, ABadWordExitsTwoAndChangesNothing) {
  ASSERT_EQ(Run(kOrvane, {"pull", "--settings", Path("a.dat")}).Exit, 0);
  const std::string before = Slurp(Path("a.dat"));
  // The words a script refuses are the script tests'; here that the tool exits 2 and writes nothing.
  const ToolRun run = Run({"set", "--file", Path("a.dat"), "input", "A", "gain=-3", "eq9.freq=100"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_TRUE(run.Err.starts_with("veyractl: input A: no parameter \"eq9.freq\"; the names are: name gain"))
      << run.Err;
  EXPECT_EQ(Slurp(Path("a.dat")), before);
  // A file and a device at once: which one was meant?
  EXPECT_EQ(Run(kOrvane, {"get", "--file", Path("a.dat"), "input", "A"}).Exit, 2);
  // On a device, a word the device's own model refuses sends nothing either.
  const ToolRun sistel = Run(
      "sim:sistel,fast", {"--trace", Path("t.txt"), "set", "input", "A", "gain=-3", "input", "C", "gain=0"});
  EXPECT_EQ(sistel.Exit, 2);
  EXPECT_EQ(sistel.Err.substr(0, 39), "veyractl: input C: the inputs are A..B\n");
  EXPECT_TRUE(Writes(Slurp(Path("t.txt"))).empty());
}

TEST_F(VeyractlParams, SetOnADeviceSendsTheEditorsMessagesAndTheDeviceFollows) {
  SimServer server({"--fast", "--model", "orvane"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  // Inputs A and C share a group that links the EQ; its groups come from a settings file.
  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("groups.dat")}).Exit, 0);
  ASSERT_TRUE(ReadSettingsFile(s, Path("groups.dat")).ok());
  s.InputGroups[0].LinkEq = 1;
  s.Inputs[0].GroupNumber = s.Inputs[2].GroupNumber = 1;
  ASSERT_TRUE(WriteSettingsFile(s, Path("groups.dat")).ok());
  const std::vector<std::string> words{"set",
                                       "input",
                                       "A",
                                       "gain=-3.5",
                                       "eq2.freq=1000",
                                       "eq2.gain=-3",
                                       "output",
                                       "3",
                                       "limiter.threshold=-6",
                                       "route=A,C"};
  for (const bool links : {true, false}) {
    std::vector<std::string> args{"--trace", Path("t.txt"), "--groups", Path("groups.dat")};
    args.insert(args.begin() + 2, words.begin(), words.end());
    if (!links) args.push_back("--no-links");
    const ToolRun run = Run(tcp, args);
    ASSERT_EQ(run.Exit, 0) << run.Err;
    // Block, channel and group of each write: input A level, band 2 of A (and of C when
    // linked), then output 3's limiter and level; each once.
    std::vector<std::string> expected{"01 00 01", "01 00 08", "01 02 08", "02 02 02", "02 02 01"};
    if (!links) expected.erase(expected.begin() + 2);
    EXPECT_EQ(Writes(Slurp(Path("t.txt"))), expected) << "links " << links;
  }
  const ToolRun get =
      Run(tcp, {"get", "input", "A", "gain", "eq2.freq", "input", "C", "eq2.gain", "output", "3", "route"});
  EXPECT_EQ(get.Out,
            "input A gain=-3.5dB\ninput A eq2.freq=1000Hz\ninput C eq2.gain=-3.0dB\noutput 3 route=A,C\n");
  // What the device keeps, a device refuses to be given.
  const ToolRun mic = Run(tcp, {"set", "input", "A", "mic.line=mic"});
  EXPECT_EQ(mic.Exit, 2);
  EXPECT_NE(mic.Err.find("the processor does not keep it"), std::string::npos);
}

}  // namespace
}  // namespace veyra::testing
