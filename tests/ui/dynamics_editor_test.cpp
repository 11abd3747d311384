// The compressor and limiter editors and their transfer curve, on the real
// stack: the main window's editing context, its link thread and the
// simulated processor.
#include "editors/dynamics_editor.hpp"

#include <gtest/gtest.h>

#include <QTest>
#include <QUndoStack>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/value_entry_field.hpp"
#include "curves/transfer_curve_view.hpp"
#include "editing/edit_context.hpp"
#include "editor_test_support.hpp"
#include "editors/parts/channel_rows.hpp"
#include "editors/parts/slider_column.hpp"
#include "link/messages.hpp"
#include "state/device_text.hpp"
#include "state/models.hpp"
#include "state/scales.hpp"
#include "ui_test_util.hpp"

namespace veyra::testing {
namespace {

using Points = std::vector<QPointF>;

// ---- The curve --------------------------------------------------------------------

struct CurveCase {
  double Threshold;
  double SlopeAbove;
  double Offset;
  Points Expected;
};

TEST(TransferCurve, UnityUpToTheThresholdThenTheRatioClippedToThePlot) {
  const CurveCase cases[] = {
      {0.0, 0.5, 0, {{-60, -60}, {-50, -50}, {0, 0}, {20, 10}}},
      {20.0, 0.25, 0, {{-60, -60}, {-50, -50}, {20, 20}}},        // threshold at the edge
      {0.0, 2.0, 0, {{-60, -60}, {-50, -50}, {0, 0}, {10, 20}}},  // leaves at the top
      {0.0, 0.5, -20, {{-40, -60}, {0, -20}, {20, -10}}},         // enters at the bottom
  };
  for (const CurveCase& c : cases) {
    TransferSegments s;
    s.ThresholdDb = c.Threshold;
    s.SlopeAbove = c.SlopeAbove;
    s.OffsetDb = c.Offset;
    const Points points = TransferCurvePoints(s);
    ASSERT_EQ(points.size(), c.Expected.size()) << c.Threshold << " " << c.SlopeAbove;
    for (size_t i = 0; i < points.size(); ++i) {
      EXPECT_NEAR(points[i].x(), c.Expected[i].x(), 1e-9) << c.Threshold << " point " << i;
      EXPECT_NEAR(points[i].y(), c.Expected[i].y(), 1e-9) << c.Threshold << " point " << i;
    }
  }
}

// ---- The dialogs ----------------------------------------------------------------------

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

class DynamicsEditorTest : public EditorTest {
 protected:
  void TearDown() override {
    editor_.reset();
    EditorTest::TearDown();
  }
  DynamicsEditor& Open(ChannelKind kind, int channel) {
    editor_.reset(kind == kIn ? static_cast<DynamicsEditor*>(new CompressorEditor(Context(), channel))
                              : new LimiterEditor(Context(), channel));
    return *editor_;
  }
  SliderColumn& Column(DynamicsEditor::Column c) { return *editor_->ColumnAt(c); }
  ValueEntryField* Field(DynamicsEditor::Column c) { return Column(c).Entry()->Field(); }
  SkinSlider* Fader(DynamicsEditor::Column c) { return Column(c).Fader().Slider(); }
  const TransferCurve& Edited() { return editor_->Curve()->Curves().back(); }
  static Request Limiter(int ch) { return {WriteCommand, 0, OutputBlock, uint8_t(ch), OutputGroup::Limiter}; }

  std::unique_ptr<DynamicsEditor> editor_;
};

// The texts are the parameter table's; one per column shows its wiring.
TEST_F(DynamicsEditorTest, CaptionsRangesAndTexts) {
  Start(false);
  struct Shown {
    ChannelKind Kind;
    DynamicsEditor::Column Column;
    int Code;
    QString Text;  // the readout's (compressor) or the field's (limiter)
  };
  const QString times = QString::fromStdString(DecodeDeviceText("\xA1\xC1"));
  const Shown cases[] = {
      {kIn, DynamicsEditor::kThreshold, 301, "0.1 dB"},
      {kOut, DynamicsEditor::kRelease, 3, times + "8"},
  };
  for (const Shown& c : cases) {
    Open(c.Kind, 1);
    const ParamDescriptor& p = Column(c.Column).Fader().Param();
    WriteCode(Store(), p, 1, c.Code);
    Context().Refresh();
    const QString text = c.Kind == kIn ? Column(c.Column).Readout()->Text() : Field(c.Column)->text();
    EXPECT_EQ(text, c.Text) << p.Name << " " << c.Code;
    // Faders run opposite to the code over the whole range.
    EXPECT_EQ(Fader(c.Column)->GetPos(), p.Max - c.Code) << p.Name;
    EXPECT_EQ(Fader(c.Column)->GetMax(), p.Max) << p.Name;
  }
  Open(kIn, 0);
  EXPECT_EQ(editor_->windowTitle(), "Comp");
  EXPECT_EQ(editor_->ResetButton(), nullptr);
  for (const auto c : {DynamicsEditor::kThreshold, DynamicsEditor::kRatio})
    EXPECT_TRUE(Column(c).isVisibleTo(editor_.get()));
  Open(kOut, 0);
  EXPECT_EQ(editor_->windowTitle(), "LIMIT");
  EXPECT_FALSE(Column(DynamicsEditor::kRatio).isVisibleTo(editor_.get()));
  EXPECT_FALSE(Column(DynamicsEditor::kThreshold).Readout()->isVisibleTo(editor_.get()));
  EXPECT_TRUE(Field(DynamicsEditor::kRelease)->isVisibleTo(editor_.get()));
}

TEST_F(DynamicsEditorTest, ResetStoresTheFactoryValuesAndKeepsTheRatio) {
  Start(false);
  Open(kOut, 1);
  Store().Outputs[1].Threshold = 120;
  Store().Outputs[1].Attack = 40;
  Store().Outputs[1].Release = 3;
  Store().Outputs[1].Ratio = 4;
  Context().Refresh();
  const int steps = Context().History().count();
  editor_->ResetButton()->click();
  EXPECT_EQ(Store().Outputs[1].Threshold, 500);
  EXPECT_EQ(Store().Outputs[1].Attack, 0);
  EXPECT_EQ(Store().Outputs[1].Release, 0);
  EXPECT_EQ(Store().Outputs[1].Ratio, 4);
  EXPECT_EQ(Field(DynamicsEditor::kThreshold)->text(), "+20.0 dB");
  EXPECT_EQ(Field(DynamicsEditor::kAttack)->text(), "0.3ms");
  EXPECT_EQ(Context().History().count(), steps + 1);
  EXPECT_EQ(Context().History().undoText(), "Output 2 limiter reset");
  Context().History().undo();
  EXPECT_EQ(Store().Outputs[1].Threshold, 120);
  EXPECT_EQ(Field(DynamicsEditor::kThreshold)->text(), "-18.0 dB");
}

TEST_F(DynamicsEditorTest, TheCurveFollowsTheRatioAndThresholdAtOnceAlsoWhileDragging) {
  Start(false);
  Open(kIn, 0);
  Store().Inputs[0].Threshold = 300;  // 0 dB
  Store().Inputs[0].Ratio = 0;        // 1:1
  Context().Refresh();
  EXPECT_EQ(Column(DynamicsEditor::kRatio).Readout()->Text(), "1:1");
  EXPECT_EQ(Edited().Points.back(), QPointF(20, 20));

  QTest::keyClick(Fader(DynamicsEditor::kRatio), Qt::Key_Up);  // 1:2
  EXPECT_EQ(Store().Inputs[0].Ratio, 1);
  EXPECT_EQ(Edited().Points.back(), QPointF(20, 10));

  // A drag shows 1:8 on the curve before anything is stored.
  Fader(DynamicsEditor::kRatio)->SetPos(kCompressorRatioMax - 3);
  emit Fader(DynamicsEditor::kRatio)->sliderChanging(0);
  EXPECT_EQ(Store().Inputs[0].Ratio, 1);
  EXPECT_EQ(Edited().Points.back(), QPointF(20, 2.5));
  Fader(DynamicsEditor::kThreshold)->SetPos(kThresholdMax - 400);  // +10 dB
  emit Fader(DynamicsEditor::kThreshold)->sliderChanging(0);
  EXPECT_EQ(Edited().Points[2], QPointF(10, 10));
  EXPECT_EQ(Edited().Colour, QColor(255, 51, 51));

  // The factory defaults' ratio (999, off the scale) draws as the fader shows it: 1:64.
  Store().Inputs[0].Ratio = 999;
  Context().Refresh();
  EXPECT_EQ(Fader(DynamicsEditor::kRatio)->GetPos(), 0);
  EXPECT_EQ(Edited().Points.back(), QPointF(20, 0 + 20.0 / 64));
}

TEST_F(DynamicsEditorTest, ViewAndControlRowsShowAndChooseChannels) {
  Start(false);
  Store().Outputs[4].Threshold = 100;  // -20 dB
  Store().Outputs[4].Ratio = 1;
  DynamicsEditor& editor = Open(kOut, 0);
  ChannelRows& rows = *editor.Rows();
  ASSERT_EQ(editor.Curve()->Curves().size(), 1u);
  rows.ViewButton(4)->click();
  ASSERT_EQ(editor.Curve()->Curves().size(), 2u);
  const TransferCurve& shown = editor.Curve()->Curves().front();
  EXPECT_EQ(shown.Channel, 4);
  EXPECT_EQ(shown.Colour, QColor(204, 51, 153));
  EXPECT_EQ(shown.Points.back(), QPointF(20, 0));  // 40 dB over the threshold at 1:2
  rows.ViewButton(0)->click();                     // the edited channel's curve cannot be hidden
  EXPECT_EQ(editor.Curve()->Curves().size(), 2u);

  // Another channel to edit: its curve alone, its values in the columns.
  rows.ControlButton(4)->click();
  EXPECT_EQ(editor.CurrentChannel(), 4);
  EXPECT_EQ(rows.Shown(), 1u << 4);
  ASSERT_EQ(editor.Curve()->Curves().size(), 1u);
  EXPECT_EQ(Edited().Channel, 4);
  EXPECT_EQ(Field(DynamicsEditor::kThreshold)->text(), "-20.0 dB");
  QTest::keyClick(Fader(DynamicsEditor::kThreshold), Qt::Key_Up);
  EXPECT_EQ(Store().Outputs[4].Threshold, 101);
  EXPECT_EQ(Context().History().undoText(), "Output 5 limiter threshold");
}

// The channel rows' model rules are shared with the EQ editors and tested there.
TEST_F(DynamicsEditorTest, AChannelTheModelDoesNotHaveIsNotEdited) {
  Start(false, "sistel");
  EXPECT_EQ(Open(kIn, 3).CurrentChannel(), 1);
  EXPECT_EQ(editor_->Rows()->Shown(), 1u << 1);
}

TEST_F(DynamicsEditorTest, LinkedLimitersSendTheEditedChannelFirstAndNothingWhileDragging) {
  Start(true);
  Store().OutputGroups[1] = ChannelGroup{};
  Store().OutputGroups[1].LinkLimiter = 1;
  Store().Outputs[0].GroupNumber = Store().Outputs[2].GroupNumber = 2;
  Open(kOut, 0);

  Fader(DynamicsEditor::kThreshold)->SetPos(100);
  emit Fader(DynamicsEditor::kThreshold)->sliderChanging(0);
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(Field(DynamicsEditor::kThreshold)->text(), "+10.0 dB");  // the field follows the thumb

  const int steps = Context().History().count();
  emit Fader(DynamicsEditor::kThreshold)->sliderChanged(0);
  EXPECT_EQ(Writes(), (std::vector<Request>{Limiter(0), Limiter(2)}));
  EXPECT_EQ(Context().History().count(), steps + 1);
  EXPECT_EQ(device_->Memory()->Outputs[2].Threshold, 400);

  editor_->ResetButton()->click();
  EXPECT_EQ(Writes(), (std::vector<Request>{Limiter(0), Limiter(2)}));
  const auto device = device_->Memory();
  for (const int ch : {0, 2}) {
    EXPECT_EQ(device->Outputs[ch].Threshold, 500) << ch;
    EXPECT_EQ(device->Outputs[ch].Attack, 0) << ch;
  }
  EXPECT_NE(Store().Outputs[1].Threshold, 500);  // not in the group
}

}  // namespace
}  // namespace veyra::testing
