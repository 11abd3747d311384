// A change refreshes only what shows the channels it rewrote: the window and
// an open EQ editor must then look exactly as after a full refresh, and a
// graph drag recomputes only the curves of the channels it changed.
#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <QUndoStack>

#include "curves/graph_painter.hpp"
#include "curves/response_graph.hpp"
#include "editing/edit_context.hpp"
#include "editor_test_support.hpp"
#include "editors/output_eq_editor.hpp"
#include "params/param_table.hpp"
#include "state/scales.hpp"
#include "ui_test_util.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kOut = ChannelKind::Output;

class NarrowRefreshTest : public EditorTest {
 protected:
  void SetUp() override {
    Start(false);
    Link(kOut, 1, 3, &ChannelGroup::LinkEq);
    rig_->window->RefreshMainWindow();
    editor_ = std::make_unique<OutputEqEditor>(Context(), 1);
    ASSERT_TRUE(test::ShowActive(editor_.get()));
    Graph().SetShownChannels(0xFF);  // every channel's curve is in the picture
  }
  void TearDown() override {
    editor_.reset();
    EditorTest::TearDown();
  }
  ResponseGraph& Graph() { return *editor_->Graph(); }
  QImage Window() { return rig_->window->grab().toImage(); }
  QImage Editor() { return editor_->grab().toImage(); }
  // What is shown now must not change when everything is refreshed.
  void ExpectSameAsFullRefresh(const char* what) {
    const QImage window = Window();
    const QImage editor = Editor();
    rig_->window->RefreshMainWindow();
    EXPECT_TRUE(Window() == window) << what << ": the main window";
    EXPECT_TRUE(Editor() == editor) << what << ": the editor";
  }

  std::unique_ptr<OutputEqEditor> editor_;
};

TEST_F(NarrowRefreshTest, ADragStepRecomputesTheDraggedFilterAndTheLinkedMemberOnly) {
  const GraphCurveSet& curves = Graph().Curves();
  const QPoint handle = Graph().HandleCentre(2);  // band 3
  QTest::mousePress(&Graph(), Qt::LeftButton, {}, handle);
  std::array<uint32_t, kChannelSlots> before{};
  for (int c = 0; c < kChannelSlots; ++c) before[static_cast<size_t>(c)] = curves.Generation(c);
  const uint64_t computed = curves.FilterComputations();
  const uint16_t freq = Store().Outputs[3].Bands[2].Freq;
  QTest::mouseMove(&Graph(), handle + QPoint(40, -30));
  ASSERT_NE(Store().Outputs[3].Bands[2].Freq, freq);  // the group copied the band
  // The edited band once, and the linked member's filters (its record
  // changed, which of its filters is not known).
  EXPECT_EQ(curves.FilterComputations() - computed,
            1u + static_cast<uint64_t>(curves.Channel(3).FilterCount()));
  for (int c = 0; c < kChannelSlots; ++c) {
    const bool edited = c == 1 || c == 3;
    EXPECT_EQ(curves.Generation(c) != before[static_cast<size_t>(c)], edited) << "channel " << c;
  }
  QTest::mouseRelease(&Graph(), Qt::LeftButton, {}, handle + QPoint(40, -30));
}

TEST_F(NarrowRefreshTest, WindowAndEditorShowWhatAFullRefreshShows) {
  const QPoint handle = Graph().HandleCentre(2);
  QTest::mousePress(&Graph(), Qt::LeftButton, {}, handle);
  QTest::mouseMove(&Graph(), handle + QPoint(60, -40));
  QTest::mouseRelease(&Graph(), Qt::LeftButton, {}, handle + QPoint(60, -40));
  ExpectSameAsFullRefresh("a drag on a linked member");

  // A change on the other member, made through the change path.
  const ParamDescriptor& gain = *FindParam(kOut, "eq1.gain");
  Context().SetParam(gain, 3, kGainZero + 55);
  EXPECT_EQ(Store().Outputs[1].Bands[0].Gain, kGainZero + 55);
  ExpectSameAsFullRefresh("a band change of the other member");

  for (int i = 0; i < 2; ++i) {
    Context().History().undo();
    ExpectSameAsFullRefresh("undo");
  }
  EXPECT_EQ(Context().History().index(), 0);
  Context().History().redo();
  ExpectSameAsFullRefresh("redo");

  // Routing reaches the input strips as well.
  Store().Outputs[5].Routing[0] = 0;
  Context().Write("routing", [](ParameterStore& store) { store.Outputs[5].Routing[0] = 1; });
  ExpectSameAsFullRefresh("a routing change");
}

}  // namespace
}  // namespace veyra::testing
