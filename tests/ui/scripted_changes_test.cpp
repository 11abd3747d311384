// A script's changes against the editors' on the real stack: the same
// changes made through the controls' calls and through the command line's
// scripting leave the same records and put the same writes on the link, in
// the same order, linked members included.
#include <gtest/gtest.h>

#include <QUndoStack>
#include <algorithm>
#include <tuple>

#include "editing/channel_name.hpp"
#include "editing/edit_context.hpp"
#include "editor_test_support.hpp"
#include "params/param_script.hpp"
#include "params/param_table.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

class ScriptedChanges : public EditorTest {
 protected:
  void Set(ChannelKind kind, int channel, const char* name, const char* typed) {
    const ParamDescriptor& param = *FindParam(kind, name);
    Context().SetParam(param, channel, ParseParam(param, typed).value());
  }
  void Script(const std::string& text) {
    const ScriptModel model{Store().InputCount, Store().OutputCount, ScriptTarget::File};
    std::vector<ScriptSection> sections;
    std::vector<std::vector<ScriptAssignment>> assignments;
    ASSERT_FALSE(SplitSections(ScriptWords(text).value(), model, sections));
    ASSERT_EQ(ReadAssignments(Store(), sections, model, assignments), std::nullopt);
    Context().Apply("script", {}, [&](ParameterStore& store, ChangeLog& log) {
      ApplyAssignments(store, sections, assignments, true, log);
    });
  }
  std::vector<uint8_t> Records() {
    const auto* in = reinterpret_cast<const uint8_t*>(Store().Inputs);
    const auto* out = reinterpret_cast<const uint8_t*>(Store().Outputs);
    std::vector<uint8_t> bytes(in, in + sizeof Store().Inputs);
    bytes.insert(bytes.end(), out, out + sizeof Store().Outputs);
    return bytes;
  }
};

std::vector<Request> Distinct(std::vector<Request> writes) {
  const auto key = [](const Request& r) { return std::tuple(r.Block, r.Channel, r.Group); };
  std::sort(writes.begin(), writes.end(),
            [&](const Request& a, const Request& b) { return key(a) < key(b); });
  writes.erase(std::unique(writes.begin(), writes.end()), writes.end());
  return writes;
}

TEST_F(ScriptedChanges, AScriptWritesAndSendsWhatTheEditorsDo) {
  Start(true, "orvane");
  Link(kIn, 0, 2, &ChannelGroup::LinkEq);
  Store().OutputGroups[0].LinkMix = Store().OutputGroups[0].LinkLimiter = 1;
  Store().Outputs[1].GroupNumber = Store().Outputs[3].GroupNumber = 1;
  const std::vector<uint8_t> start = Records();

  // The controls, one change after another.
  Set(kIn, 0, "gain", "-3.5");
  Set(kIn, 0, "eq2.type", "hshlf");
  Set(kIn, 0, "eq2.gain", "-4");
  Context().Apply("bypass", {}, [](ParameterStore& store, ChangeLog& log) {
    ChangeBandBypass(store, kIn, 0, 3, true, log);
  });
  SetChannelName(Context(), kIn, 0, "Vocal");
  Set(kIn, 0, "gate", "-80");
  for (const char* route : {"route.a", "route.b", "route.c", "route.d"})
    Set(kOut, 1, route, route[6] == 'a' || route[6] == 'c' ? "on" : "off");
  Set(kOut, 1, "limiter.threshold", "-6");
  Set(kOut, 1, "xover.hp.type", "butt");
  const std::vector<Request> editors = Writes();  // the link may merge repeated writes
  const std::vector<uint8_t> edited = Records();
  while (Context().History().canUndo()) Context().History().undo();
  ASSERT_EQ(Records(), start);
  Writes();

  Script(
      "input A gain=-3.5 eq2.type=hshlf eq2.gain=-4 eq3.bypass=on name=Vocal gate=-80 "
      "output 2 route=A,C limiter.threshold=-6 xover.hp.type=butt");
  EXPECT_TRUE(Records() == edited);
  // Each message once, in the order first needed; the linked input C and output 4 follow.
  const auto w = [](uint8_t block, uint8_t channel, uint8_t group) {
    return Request{WriteCommand, 0, block, channel, group};
  };
  const std::vector<Request> script = Writes();
  EXPECT_EQ(script, (std::vector<Request>{w(1, 0, 1), w(1, 0, 8), w(1, 2, 8), w(1, 0, 9), w(1, 2, 9),
                                          w(1, 0, 0), w(1, 0, 2), w(1, 2, 2), w(2, 1, 1), w(2, 3, 1),
                                          w(2, 1, 2), w(2, 3, 2), w(2, 1, 4)}));
  EXPECT_EQ(Distinct(script), Distinct(editors));
}

}  // namespace
}  // namespace veyra::testing
