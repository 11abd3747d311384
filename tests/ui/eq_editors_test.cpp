// The input and output EQ editors on the real stack: the main window's
// editing context, its link thread and the simulated processor.
#include <gtest/gtest.h>

#include <QPointer>
#include <QTest>
#include <QUndoStack>
#include <fstream>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/value_entry_field.hpp"
#include "core/files/test_files.hpp"
#include "curves/response_graph.hpp"
#include "editing/edit_context.hpp"
#include "editing/param_binding.hpp"
#include "editor_test_support.hpp"
#include "editors/eq_import_dialog.hpp"
#include "editors/input_eq_editor.hpp"
#include "editors/output_eq_editor.hpp"
#include "editors/parts/channel_rows.hpp"
#include "editors/parts/mode_slider.hpp"
#include "params/eq_bands.hpp"
#include "state/models.hpp"
#include "ui_test_util.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kOut = ChannelKind::Output;

class EqEditorsTest : public EditorTest {
 protected:
  void TearDown() override {
    input_.reset();
    output_.reset();
    EditorTest::TearDown();
  }
  InputEqEditor& Input(int channel) {
    input_ = std::make_unique<InputEqEditor>(Context(), channel);
    return *input_;
  }
  OutputEqEditor& Output(int channel) {
    output_ = std::make_unique<OutputEqEditor>(Context(), channel);
    return *output_;
  }
  static Request Out(int channel, int group) {
    return {WriteCommand, 0, 2, static_cast<uint8_t>(channel), static_cast<uint8_t>(group)};
  }
  static void Move(ModeSlider* slider, int position) {
    slider->Slider()->SetPos(position);
    emit slider->Slider()->sliderChanging(0);
    emit slider->Slider()->sliderChanged(0);
  }
  // The import's preview the editor opened, once its fit is there.
  static EqImportDialog* Preview(EqEditorBase& editor) {
    auto* preview = editor.findChild<EqImportDialog*>();
    if (preview == nullptr || !QTest::qWaitFor([&] { return preview->Ready(); }, 20000)) return nullptr;
    return preview;
  }
  static void Choose(SkinDropDown* list, int index) {
    list->SetCurrentIndex(index);
    emit list->selectionChanged(0);
  }

  std::unique_ptr<InputEqEditor> input_;
  std::unique_ptr<OutputEqEditor> output_;
};

TEST_F(EqEditorsTest, FrequencySliderEndsAtThirtyThousandAndOneFrameFollows) {
  Start(true);
  OutputEqEditor& editor = Output(2);
  struct Case {
    int band, position, hertz, group;
  };
  for (const Case c : {Case{1, 348, 30000, 5}, Case{6, 0, 10, 10}}) {
    editor.SelectBand(c.band, BandMode::Frequency);
    Move(editor.ValueSlider(), c.position);
    EXPECT_EQ(Store().Outputs[2].Bands[c.band - 1].Freq, c.hertz);
    EXPECT_EQ(editor.Column(c.band)->ModeButton(BandMode::Frequency)->text(), QString::number(c.hertz));
    EXPECT_EQ(Writes(), (std::vector<Request>{Out(2, c.group)}));
    EXPECT_EQ(device_->Memory()->Outputs[2].Bands[c.band - 1].Freq, c.hertz);
  }
  EXPECT_EQ(editor.windowTitle(), "Output EQ3");
}

TEST_F(EqEditorsTest, AShelfTurnsTheWidthSliderIntoTheSlopeSlider) {
  Start(false);
  InputEqEditor& editor = Input(1);
  ModeSlider* slider = editor.ValueSlider();
  editor.SelectBand(2, BandMode::Width);
  // PEQ to LSHLF: the width slider becomes the two-position slope slider.
  Choose(editor.Column(2)->TypeList(), 1);
  EXPECT_EQ(Store().Inputs[1].Bands[1].Type, 1);
  EXPECT_EQ(slider->Slider()->GetMax(), 1);
  EXPECT_EQ(slider->LowLabel()->Text(), "6 oct");
  EXPECT_EQ(slider->HighLabel()->Text(), "12 oct");
  EXPECT_TRUE(editor.Column(2)->SlopeList()->isVisibleTo(&editor));
  EXPECT_FALSE(editor.Column(2)->Field(BandMode::Width)->Field()->isVisibleTo(&editor));
  Move(slider, 1);
  EXPECT_EQ(Store().Inputs[1].Bands[1].ShelfSlope, 1);
  EXPECT_EQ(editor.Column(2)->ModeButton(BandMode::Width)->text(), "12 OCT");
  // Offline: the store and readouts change, nothing is sent.
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(editor.windowTitle(), "Input EQ B");
}

// The typed rules are the parameter table's; here each field's wiring and the
// fields' own two-decimal texts.
TEST_F(EqEditorsTest, TypedEntriesFollowTheirRules) {
  Start(false);
  InputEqEditor& editor = Input(0);
  struct Case {
    BandMode mode;
    const char* typed;
    int code;
    QString shown;
  };
  const Case cases[] = {
      {BandMode::Frequency, "40000", 30000, "30000"},
      {BandMode::Width, "1.23", 115, "1.20OCT"},
      {BandMode::Gain, "-3.25", 568, "-3.20dB"},
  };
  for (const Case& c : cases) {
    ValueEntryField* field = editor.Column(4)->Field(c.mode)->Field();
    field->setText(c.typed);
    emit field->valueEntered(field->FieldNumber());
    const EqBand& band = Store().Inputs[0].Bands[3];
    const int stored = c.mode == BandMode::Frequency ? band.Freq
                       : c.mode == BandMode::Width   ? band.Width
                                                     : band.Gain;
    EXPECT_EQ(stored, c.code) << c.typed;
    EXPECT_EQ(field->text(), c.shown) << c.typed;
  }
}

TEST_F(EqEditorsTest, ResetAndBypassThroughTheSavedGain) {
  Start(true);
  OutputEqEditor& editor = Output(0);
  EqBand& band = Store().Outputs[0].Bands[1];
  band = {3150, 680, 100, 0, 1, 2, 0};
  Context().Refresh();
  editor.Column(2)->BypassButton()->click();
  EXPECT_EQ(band.Gain, 600);
  EXPECT_TRUE(editor.Column(2)->BypassButton()->GetDown());
  EXPECT_EQ(Writes(), (std::vector<Request>{Out(0, 6)}));
  EXPECT_EQ(device_->Memory()->Outputs[0].Bands[1].Gain, 600);

  // What RESET keeps and clears is the band rule's; here the button and the readouts.
  editor.Column(2)->ResetButton()->click();
  EXPECT_EQ(band.Freq, 3150);
  EXPECT_EQ(band.Width, 25);
  EXPECT_EQ(editor.Column(2)->ModeButton(BandMode::Width)->text(), "0.30OCT");

  // BYPASSALL: one step, one message per band, undone as one (giving the saved gains back).
  Store().Outputs[0].Bands[0].Gain = 550;
  Store().Outputs[0].Bands[5].Gain = 700;
  Context().Refresh();
  Writes();
  const int steps = Context().History().count();
  editor.BypassAllButton()->click();
  EXPECT_EQ(Store().Outputs[0].Bands[0].Gain, 600);
  EXPECT_EQ(Store().Outputs[0].Bands[5].Gain, 600);
  EXPECT_TRUE(editor.BypassAllButton()->GetDown());
  EXPECT_EQ(Writes(),
            (std::vector<Request>{Out(0, 5), Out(0, 6), Out(0, 7), Out(0, 8), Out(0, 9), Out(0, 10)}));
  EXPECT_EQ(Context().History().count(), steps + 1);
  editor.BypassAllButton()->click();
  EXPECT_EQ(Store().Outputs[0].Bands[0].Gain, 550);
  EXPECT_EQ(Store().Outputs[0].Bands[5].Gain, 700);
}

TEST_F(EqEditorsTest, CrossoverIsLimitedOnOpeningAndSentWhole) {
  Start(true);
  Store().Outputs[4].Crossover[kHighPass] = {5, 0, 1};
  Store().Outputs[4].Crossover[kLowPass] = {40000, 1, 3};
  OutputEqEditor& editor = Output(4);
  EXPECT_EQ(Store().Outputs[4].Crossover[kHighPass].Freq, 10);
  EXPECT_EQ(Store().Outputs[4].Crossover[kLowPass].Freq, 30000);
  // Both ends are flat.
  EXPECT_EQ(editor.SectionButton(kLowPass, OutputEqEditor::SectionMode::Frequency)->text(), "30000");
  editor.SelectSection(kLowPass, OutputEqEditor::SectionMode::Slope);
  EXPECT_EQ(editor.CrossoverSlider()->HighLabel()->Text(), "48dB");
  Move(editor.CrossoverSlider(), 6);
  EXPECT_EQ(Writes(), (std::vector<Request>{Out(4, 4)}));
  const auto device = device_->Memory();
  EXPECT_EQ(device->Outputs[4].Crossover[kLowPass].CrossoverSlope, 6);
  EXPECT_EQ(device->Outputs[4].Crossover[kHighPass].Freq, 10);  // the other section, unchanged
  EXPECT_EQ(device->Outputs[4].Crossover[kHighPass].CrossoverSlope, 1);
  Choose(editor.TypeList(kHighPass), 2);
  EXPECT_EQ(Store().Outputs[4].Crossover[kHighPass].CrossoverType, 2);
  EXPECT_EQ(Writes(), (std::vector<Request>{Out(4, 4)}));
}

TEST_F(EqEditorsTest, AGraphDragReachesTheReadoutsAndTheDeviceAsOneStep) {
  Start(true);
  OutputEqEditor& editor = Output(1);
  ASSERT_TRUE(test::ShowActive(&editor));
  ResponseGraph* graph = editor.Graph();
  const QPoint handle = graph->HandleCentre(2);  // band 3
  const int steps = Context().History().count();
  QTest::mousePress(graph, Qt::LeftButton, {}, handle);
  QTest::mouseMove(graph, handle + QPoint(40, -30));
  QTest::mouseMove(graph, handle + QPoint(80, -40));
  QTest::mouseRelease(graph, Qt::LeftButton, {}, handle + QPoint(80, -40));
  const EqBand& band = Store().Outputs[1].Bands[2];
  EXPECT_NE(band.Gain, 600);
  EXPECT_EQ(editor.Column(3)->ModeButton(BandMode::Frequency)->text(), QString::number(band.Freq));
  EXPECT_EQ(editor.SelectedBand(), 3);
  EXPECT_EQ(Context().History().count(), steps + 1);
  const std::vector<Request> writes = Writes();
  ASSERT_FALSE(writes.empty());
  for (const Request& r : writes) EXPECT_EQ(r, Out(1, 7));
  EXPECT_EQ(device_->Memory()->Outputs[1].Bands[2].Gain, band.Gain);
}

TEST_F(EqEditorsTest, ImportIsOneStepSentLikeBandChangesAndRefusalsChangeNothing) {
  Start(true, "sistel");
  ScratchDir dir;
  const auto write = [&dir](const char* name, const char* text) {
    std::ofstream(dir / name) << text;
    return QString::fromStdString((dir / name).string());
  };
  OutputEqEditor& editor = Output(3);
  const ParameterStore before = Store();
  EXPECT_FALSE(editor.ImportFile(
      write("bad.txt", "Filter 1: ON PK Fc 100 Hz Gain 1 dB Q 1\nFilter 2: ON HP Fc 80 Hz\n")));
  ASSERT_EQ(rig_->prompts->notices.size(), 1u);
  EXPECT_TRUE(rig_->prompts->notices.back().contains("line 2"));
  EXPECT_EQ(std::memcmp(&before.Outputs[3], &Store().Outputs[3], sizeof(OutputChannel)), 0);
  EXPECT_TRUE(Writes().empty());

  const int steps = Context().History().count();
  ASSERT_TRUE(editor.ImportFile(write("good.txt", "Preamp: -2 dB\nFilter: ON LS 6dB Fc 90 Hz Gain 4 dB\n")));
  EqImportDialog* preview = Preview(editor);
  ASSERT_NE(preview, nullptr);
  EXPECT_FALSE(preview->FitChosen());             // one filter is copied unless the fit is chosen
  EXPECT_EQ(Context().History().count(), steps);  // nothing before Apply
  preview->ApplyButton()->click();
  EXPECT_EQ(Context().History().count(), steps + 1);
  EXPECT_EQ(Store().Outputs[3].Bands[0].Type, 1);
  EXPECT_EQ(Store().Outputs[3].Bands[0].Gain, 640);
  EXPECT_EQ(editor.Column(1)->TypeList()->CurrentText(), "LSHLF");
  EXPECT_EQ(Writes(),
            (std::vector<Request>{Out(3, 5), Out(3, 6), Out(3, 7), Out(3, 8), Out(3, 9), Out(3, 10)}));
  EXPECT_EQ(device_->Memory()->Outputs[3].Bands[0].Gain, 640);
  EXPECT_TRUE(rig_->prompts->notices.back().contains("preamp"));  // the notice lists what was left out

  // The editor's export reads back to the same codes.
  const QString exported = QString::fromStdString((dir / "out.txt").string());
  ASSERT_TRUE(editor.ExportFile(exported));
  const OutputChannel exportedRecord = Store().Outputs[3];
  editor.ResetAllButton()->click();
  ASSERT_TRUE(editor.ImportFile(exported));
  Preview(editor)->ApplyButton()->click();
  EXPECT_EQ(std::memcmp(&exportedRecord.Bands, &Store().Outputs[3].Bands, sizeof exportedRecord.Bands), 0);
}

TEST_F(EqEditorsTest, ImportPreviewFitsLongListsAndCancelOrUndoLeaveTheBandsAsTheyWere) {
  Start(true, "orvane");
  ScratchDir dir;
  std::string text = "Filter Settings file\r\n";
  const char* lines[] = {"PK Fc 38.5 Hz Gain -7.2 dB Q 6.1", "PK Fc 52 Hz Gain -4.8 dB Q 3.9",
                         "PK Fc 67.3 Hz Gain -9.5 dB Q 8.4", "PK Fc 88 Hz Gain 3.5 dB Q 2.1",
                         "PK Fc 118 Hz Gain -6.1 dB Q 5.3",  "PK Fc 161 Hz Gain -3.4 dB Q 2.8",
                         "LS 12dB Fc 45 Hz Gain 4 dB",       "HS 6dB Fc 8000 Hz Gain -2.5 dB"};
  int n = 0;
  for (const char* line : lines) text += "Filter " + std::to_string(++n) + ": ON " + line + "\r\n";
  std::ofstream(dir / "room.txt") << text;
  const QString path = QString::fromStdString((dir / "room.txt").string());
  InputEqEditor& editor = Input(1);
  const InputChannel before = Store().Inputs[1];
  const int steps = Context().History().count();

  // Cancel changes nothing, also while the fit is still being worked out.
  ASSERT_TRUE(editor.ImportFile(path));
  QPointer<EqImportDialog> preview = editor.findChild<EqImportDialog*>();
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->FitChosen());
  EXPECT_FALSE(preview->ApplyButton()->isEnabled() && !preview->Ready());
  EXPECT_FALSE(preview->CopyButton()->isEnabled());  // eight filters cannot be copied
  preview->CancelButton()->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return preview.isNull(); }, 20000));
  EXPECT_EQ(Context().History().count(), steps);
  EXPECT_EQ(std::memcmp(&before, &Store().Inputs[1], sizeof before), 0);
  EXPECT_TRUE(Writes().empty());

  // Apply writes the fit as one step; undo puts the bands back and sends them again.
  ASSERT_TRUE(editor.ImportFile(path));
  preview = Preview(editor);
  ASSERT_NE(preview, nullptr);
  EXPECT_TRUE(preview->ReportText().startsWith("8 filters fitted into 6 bands: "))
      << preview->ReportText().toStdString();
  const std::vector<ImportedBand> fitted = preview->Chosen().Bands;
  ASSERT_EQ(fitted.size(), 6u);
  preview->ApplyButton()->click();
  EXPECT_EQ(Context().History().count(), steps + 1);
  for (size_t b = 0; b < fitted.size(); ++b) {
    const EqBand& band = Store().Inputs[1].Bands[b];
    EXPECT_EQ((ImportedBand{band.Freq, band.Gain, band.Type == 0 ? int{band.Width} : 25, band.ShelfSlope,
                            band.Type}),
              fitted[b]);
  }
  std::vector<Request> sent = Writes();
  EXPECT_EQ(sent.size(), 6u);
  EXPECT_EQ(device_->Memory()->Inputs[1].Bands[0].Freq, fitted[0].Freq);
  Context().History().undo();
  EXPECT_EQ(std::memcmp(&before.Bands, &Store().Inputs[1].Bands, sizeof before.Bands), 0);
  EXPECT_EQ(Writes().size(), 6u);
  EXPECT_EQ(device_->Memory()->Inputs[1].Bands[0].Freq, before.Bands[0].Freq);
}

TEST_F(EqEditorsTest, ControlRowSwitchesTheEditedChannel) {
  Start(false);
  InputEqEditor& editor = Input(0);
  EXPECT_FALSE(editor.Rows()->ControlButton(4)->isVisibleTo(&editor));  // four inputs
  editor.Rows()->ControlButton(2)->click();
  EXPECT_EQ(editor.Channel(), 2);
  EXPECT_EQ(editor.windowTitle(), "Input EQ C");
  EXPECT_EQ(editor.Graph()->Channel(), 2);
  Store().Inputs[2].Bands[0].Freq = 777;
  Context().Refresh();
  EXPECT_EQ(editor.Column(1)->ModeButton(BandMode::Frequency)->text(), "777");
}

}  // namespace
}  // namespace veyra::testing
