// The System response window and the EQ editors' phase strip on the real
// stack: their controls change the store and the device through the change
// path, and what they draw follows the store.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QTest>
#include <QUndoStack>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "curves/phase_strip.hpp"
#include "curves/plot_axes.hpp"
#include "curves/response_graph.hpp"
#include "curves/system_graph.hpp"
#include "editing/param_binding.hpp"
#include "editor_test_support.hpp"
#include "mainwin/editor_registry.hpp"
#include "editors/output_eq_editor.hpp"
#include "editors/system_response_window.hpp"
#include "params/param_table.hpp"
#include "state/scales.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kOut = ChannelKind::Output;

class SystemWindowTest : public EditorTest {
 protected:
  // Input A feeds outputs 1 and 2 (a low-pass and a high-pass at 100 Hz);
  // output 3 does not take it.
  void Feed() {
    ApplyFactoryDefaults(Store().Inputs[0]);
    Store().Inputs[0].Mute = 1;
    for (int k = 0; k < kChannelSlots; ++k) {
      OutputChannel& out = Store().Outputs[k];
      ApplyFactoryDefaults(out);
      out.Routing[0] = k < 2 ? 1 : 0;
      out.Mute = 1;
      out.GroupNumber = 0;
    }
    Store().Outputs[0].Crossover[kHighPass] = {10, 0, 2};
    Store().Outputs[0].Crossover[kLowPass] = {100, 0, 2};
    Store().Outputs[1].Crossover[kHighPass] = {100, 0, 2};
    Store().Outputs[1].Crossover[kLowPass] = {30000, 0, 2};
    Context().Refresh();
  }
  // The window's sum against one computed afresh from the store.
  void ExpectFresh(const SystemResponseWindow& window) {
    SystemResponse fresh;
    fresh.Attach(Store().Inputs, Store().Outputs);
    fresh.Select(window.Input(), window.ShownOutputs());
    for (int i = 0; i < kFrequencyPoints; ++i) ASSERT_EQ(window.System().Sum()[i], fresh.Sum()[i]) << i;
  }
};

TEST_F(SystemWindowTest, ControlsChangeTheStoreAndTheDeviceOneStepPerGesture) {
  Start(true);
  Feed();
  Writes();
  SystemResponseWindow window(Context(), 0);
  EXPECT_EQ(window.ShownOutputs(), 0b11);
  EXPECT_FALSE(window.OutputBox(1)->isHidden());
  EXPECT_TRUE(window.OutputBox(2)->isHidden());
  EXPECT_TRUE(window.Panel(2)->isHidden());
  AlignmentPanel& panel = *window.Panel(1);

  // A gain drag is live and one undo step.
  const ParamDescriptor& gain = *FindParam(kOut, "gain");
  const int steps = Context().History().count();
  for (const int code : {620, 640, 660}) {
    panel.Gain()->Drag(PositionOfCode(gain, code, false));
    EXPECT_EQ(Store().Outputs[1].Gain, code);
    EXPECT_NEAR(MagnitudeDb(window.System().Path(1).back()), GainDb(code), 1e-6);
  }
  panel.Gain()->Release();
  EXPECT_EQ(Context().History().count(), steps + 1);
  EXPECT_EQ(Writes().back(), Level(kOut, 1));
  ExpectFresh(window);
  Context().History().undo();
  EXPECT_EQ(Store().Outputs[1].Gain, kGainZero);
  ExpectFresh(window);
  Writes();

  // A delay typed in metres, at the store's temperature.
  EditorTest::Enter(panel.DelayField(1)->Field(), "1");
  EXPECT_EQ(Store().Outputs[1].Delay,
            static_cast<uint32_t>(DelayFromTypedMetres(1, Store().System.Temperature)));
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kOut, 1)}));
  ExpectFresh(window);

  // Polarity turns the path half a turn.
  const Complex before = window.System().Path(1)[150];
  QTest::mouseClick(panel.Polarity()->Button(), Qt::LeftButton);
  EXPECT_EQ(Store().Outputs[1].Polarity, 1);
  EXPECT_NEAR(std::abs(window.System().Path(1)[150] + before), 0.0, 1e-12);
  EXPECT_EQ(Writes(), (std::vector<Request>{Level(kOut, 1)}));

  // The high-pass frequency, and its family from the list.
  const ParamDescriptor& freq = *FindParam(kOut, "xover.hp.freq");
  panel.Frequency(kHighPass)->Drag(PositionOfCode(freq, 120, false));
  panel.Frequency(kHighPass)->Release();
  EXPECT_EQ(Store().Outputs[1].Crossover[kHighPass].Freq,
            FrequencyFromSliderPosition(PositionOfCode(freq, 120, false)));
  panel.Type(kHighPass)->SetCurrentIndex(2);
  emit panel.Type(kHighPass)->selectionChanged(0);
  EXPECT_EQ(Store().Outputs[1].Crossover[kHighPass].CrossoverType, 2);
  const Request crossover{WriteCommand, 0, OutputBlock, 1, OutputGroup::Crossover};
  EXPECT_EQ(Writes(), (std::vector<Request>{crossover, crossover}));
  ExpectFresh(window);

  // Unticked, an output leaves the sum and loses its panel.
  window.SetOutputShown(0, false);
  EXPECT_EQ(window.ShownOutputs(), 0b10);
  EXPECT_TRUE(window.Panel(0)->isHidden());
  for (int i = 0; i < kFrequencyPoints; ++i) ASSERT_EQ(window.System().Sum()[i], window.System().Path(1)[i]);
}

TEST_F(SystemWindowTest, AChangeRepeatedOnAGroupRecomputesTheMembersToo) {
  Start(false);
  Feed();
  Link(kOut, 0, 1, &ChannelGroup::LinkGain);
  SystemResponseWindow window(Context(), 0);
  const ParamDescriptor& gain = *FindParam(kOut, "gain");
  window.Panel(0)->Gain()->Drag(PositionOfCode(gain, 700, false));
  window.Panel(0)->Gain()->Release();
  ASSERT_EQ(Store().Outputs[1].Gain, 700);
  ExpectFresh(window);
  // A muted output stays ticked, is left out of the sum and says why.
  Store().Outputs[0].Mute = 0;
  Context().Refresh();
  EXPECT_FALSE(window.System().Present(0));
  EXPECT_EQ(window.OutputBox(0)->toolTip(), "muted");
  ExpectFresh(window);
  // Group delay instead of phase: a pure delay of 1 ms on output 2 reads 1 ms
  // more than output 2 had, wherever the filters are flat.
  window.SetGroupDelay(true);
  EXPECT_EQ(window.Graph()->Lower(), LowerPlot::GroupDelay);
  ResponseArray before, after;
  GroupDelayMs(window.System().Path(1), before);
  window.Panel(1)->DelayField(0)->CommitTyped("1");
  GroupDelayMs(window.System().Path(1), after);
  EXPECT_NEAR(after[200] - before[200], 1.0, 1e-9);
  EXPECT_FALSE(window.Graph()->Frame().isNull());
  // The readout names each present path and the sum.
  const QString text = window.Graph()->ReadoutText(150);
  EXPECT_TRUE(text.startsWith("1000 Hz")) << text.toStdString();
  EXPECT_FALSE(text.contains("OUT 1")) << text.toStdString();
  EXPECT_TRUE(text.contains("OUT 2") && text.contains("Sum")) << text.toStdString();
}

TEST_F(SystemWindowTest, ThePointerReadoutFollowsTheMouseOverThePlot) {
  Start(false);
  Feed();
  SystemResponseWindow window(Context(), 0);
  window.show();
  SystemGraph* graph = window.Graph();
  const QRect plot = MagnitudePlot(graph->rect());
  const int x = plot.left() + static_cast<int>(FrequencyToX(1000, plot.width()));
  test::SendMouse(graph, QEvent::MouseMove, QPoint(x, plot.center().y()), Qt::NoButton);
  ASSERT_EQ(graph->PointerIndex(), 150);
  EXPECT_EQ(window.Readout()->Text(), graph->ReadoutText(150));
  EXPECT_TRUE(window.Readout()->Text().contains("OUT 1") && window.Readout()->Text().contains("OUT 2"));
  // Left of the plot nothing is pointed at.
  test::SendMouse(graph, QEvent::MouseMove, QPoint(plot.left() - 5, plot.center().y()), Qt::NoButton);
  EXPECT_EQ(graph->PointerIndex(), -1);
  EXPECT_FALSE(window.Readout()->Text().contains("Hz"));
}

TEST_F(SystemWindowTest, SystemWithAnInputIsTheSystemResponseWindow) {
  struct Case {
    const char* Text;
    WindowKind Kind;
    int Channel;
  } const cases[] = {{"system", WindowKind::SystemSetting, 0}, {"system:C", WindowKind::SystemResponse, 2}};
  for (const Case& c : cases) {
    const EditorRequest request = ParseEditorRequest(c.Text);
    ASSERT_NE(request.Editor, nullptr) << request.Error;
    EXPECT_EQ(request.Editor->Kind, c.Kind) << c.Text;
    EXPECT_EQ(request.Channel, c.Channel) << c.Text;
  }
}

TEST_F(SystemWindowTest, ThePhaseStripFollowsTheEditedChannel) {
  Start(false);
  Feed();
  OutputEqEditor editor(Context(), 1);
  ASSERT_TRUE(editor.Phase()->isHidden());
  const int fullHeight = editor.Graph()->height();
  editor.ShowPhase(true);
  EXPECT_FALSE(editor.Phase()->isHidden());
  EXPECT_LT(editor.Graph()->height(), fullHeight);
  Context().SetParam(*FindParam(kOut, "xover.hp.freq"), 1, 1000);
  ComplexArray h;
  FilterResponse(Store().Outputs[1], h);
  EXPECT_EQ(editor.Phase()->Response()[150], h[150]);
  // A 24 dB L-R high-pass is half a turn round at its corner frequency.
  EXPECT_NEAR(std::abs(PhaseDegrees(editor.Phase()->Response()[150])), 180.0, 1.0);
  // Another channel chosen: its own phase.
  editor.ChooseChannel(0);
  FilterResponse(Store().Outputs[0], h);
  EXPECT_EQ(editor.Phase()->Response()[150], h[150]);
  editor.ShowPhase(false);
  EXPECT_EQ(editor.Graph()->height(), fullHeight);
}

}  // namespace
}  // namespace veyra::testing
