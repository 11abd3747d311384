// veyractl apply: only the groups in which a file differs from the device
// travel, against veyra-sim over the TCP bridge and the in-process simulator.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "files/store_files.hpp"
#include "link/messages.hpp"
#include "veyractl_fixture.hpp"

namespace veyra::testing {
namespace {

class VeyractlApply : public VeyractlTest {
 protected:
  std::unique_ptr<ParameterStore> Load(const char* name) const {
    auto store = std::make_unique<ParameterStore>();
    EXPECT_TRUE(ReadSettingsFile(*store, dir_ / name).ok()) << name;
    return store;
  }
  void Save(const ParameterStore& store, const char* name) const {
    ASSERT_TRUE(WriteSettingsFile(store, dir_ / name).ok()) << name;
  }
  std::vector<std::byte> Channels(const char* name) const {
    std::vector<std::byte> bytes = ReadAll(dir_ / name);
    bytes.resize(sizeof(ParameterStore::Inputs) + sizeof(ParameterStore::Outputs));
    return bytes;
  }
  // Write frames in a transcript: their first report starts with the header and A1.
  size_t WritesIn(const char* trace) const {
    std::istringstream lines(Slurp(dir_ / trace));
    size_t writes = 0;
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("> 00 5A 5A 5A EE A1", 0) == 0) ++writes;
    return writes;
  }
};

TEST_F(VeyractlApply, DryRunListsTheGroupsThenApplySendsOnlyThemOverTheBridge) {
  SimServer server({"--fast"});
  ASSERT_GT(server.Port(), 0);
  const std::string tcp = server.Address();
  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("a.dat")}).Exit, 0);
  auto wanted = Load("a.dat");
  wanted->Outputs[2].Gain = 500;           // Output 3 level
  wanted->Inputs[0].Bands[1].Freq = 1234;  // Input A band 2
  wanted->Inputs[1].InputMix[0] ^= 1;      // Input B: travels inside the whole channel
  wanted->Inputs[0].MicEditorWord ^= 1;    // no message carries it
  Save(*wanted, "b.dat");

  const ToolRun dry = Run(tcp, {"apply", "--dry-run", Path("b.dat")});
  ASSERT_EQ(dry.Exit, 0) << dry.Err;
  EXPECT_EQ(dry.Out.rfind("Input A  EQ 2\n  Input A  EQFQ 2  ", 0), 0u) << dry.Out;
  EXPECT_NE(
      dry.Out.find("\u2192 1234Hz\nInput B  Input Mix (whole channel)\nOutput 3  Level\n  Output 3  Gain  "),
      std::string::npos)
      << dry.Out;
  EXPECT_NE(dry.Out.find(" \u2192 -10.0dB\n3 messages would be sent\n"), std::string::npos) << dry.Out;
  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("after-dry.dat")}).Exit, 0);
  EXPECT_EQ(Channels("after-dry.dat"), Channels("a.dat"));

  const ToolRun applied = Run(tcp, {"apply", Path("b.dat")});
  ASSERT_EQ(applied.Exit, 0) << applied.Err;
  EXPECT_EQ(applied.Out, "3 messages sent\n");
  ASSERT_EQ(Run(tcp, {"pull", "--settings", Path("c.dat")}).Exit, 0);
  auto device = Load("c.dat");
  wanted->Inputs[0].MicEditorWord ^= 1;  // the device never had it
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(BuildInputChannelPayload(device->Inputs[i]), BuildInputChannelPayload(wanted->Inputs[i])) << i;
  for (int j = 0; j < 8; ++j) {
    // The ninth band record is the program's own; the device's never comes back.
    std::vector<uint8_t> got = BuildOutputChannelPayload(device->Outputs[j]);
    std::vector<uint8_t> sent = BuildOutputChannelPayload(wanted->Outputs[j]);
    got.resize(got.size() - kGroupPayloadBytes);
    sent.resize(sent.size() - kGroupPayloadBytes);
    EXPECT_EQ(got, sent) << j;
  }

  const ToolRun again = Run(tcp, {"apply", Path("b.dat")});
  ASSERT_EQ(again.Exit, 0) << again.Err;
  EXPECT_EQ(again.Out, "0 messages sent\n");
}

TEST_F(VeyractlApply, InProcessSimulatorEqualSettingsSendNothingAndOneChangeOneWrite) {
  const std::string sim = "sim:merial,fast,seed=4";
  ASSERT_EQ(Run(sim, {"pull", "--settings", Path("same.dat")}).Exit, 0);
  const ToolRun same = Run(sim, {"--trace", Path("same.txt"), "apply", Path("same.dat")});
  ASSERT_EQ(same.Exit, 0) << same.Err;
  EXPECT_EQ(same.Out, "0 messages sent\n");
  EXPECT_EQ(WritesIn("same.txt"), 0u);

  auto one = Load("same.dat");
  one->Outputs[5].Name[0] = 'Z';
  Save(*one, "one.dat");
  const ToolRun dry = Run(sim, {"--trace", Path("dry.txt"), "apply", "--dry-run", Path("one.dat")});
  ASSERT_EQ(dry.Exit, 0) << dry.Err;
  EXPECT_EQ(dry.Out.rfind("Output 6  Name\n  Output 6  Name  \"", 0), 0u) << dry.Out;
  EXPECT_EQ(WritesIn("dry.txt"), 0u);
  const ToolRun sent = Run(sim, {"--trace", Path("one.txt"), "apply", Path("one.dat")});
  ASSERT_EQ(sent.Exit, 0) << sent.Err;
  EXPECT_EQ(sent.Out, "1 message sent\n");
  EXPECT_EQ(WritesIn("one.txt"), 1u);
}

TEST_F(VeyractlApply, RefusesWhatPushRefusesAndReportsAnUnansweredWrite) {
  // A bank is not live settings; a missing file costs no connection.
  ASSERT_EQ(Run({"--device", "sim:sistel,fast", "apply", Path("x.dama")}).Exit, 2);
  EXPECT_EQ(Run({"--device", "sim:sistel,fast", "apply", Path("missing.dat")}).Exit, 1);

  ASSERT_EQ(Run("sim:sistel,fast", {"pull", "--settings", Path("s.dat")}).Exit, 0);
  auto changed = Load("s.dat");
  for (int j = 0; j < 4; ++j) changed->Outputs[j].Gain = static_cast<uint16_t>(500 + j);
  Save(*changed, "t.dat");
  // A Sistel connection is 224 exchanges; the second of the four writes goes unanswered.
  const ToolRun lost = Run({"--report-gap", "0", "--timeout", "100", "--device",
                            "sim:sistel,fast,drop-every=226", "apply", Path("t.dat")});
  EXPECT_EQ(lost.Exit, 1);
  EXPECT_EQ(lost.Out, "4 messages sent\n");
  EXPECT_NE(lost.Err.find("did not answer 1 of the messages"), std::string::npos) << lost.Err;
}

}  // namespace
}  // namespace veyra::testing
