// File > Export report on the real stack: the settings dialog's answers and
// the path come from the script, the PDF is read back with poppler's tools.
#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>

#include "controls/skin_drop_down.hpp"
#include "editor_test_support.hpp"
#include "files/report_dialog.hpp"
#include "state/device_text.hpp"
#include "ui/pdf_tools.hpp"

namespace veyra::testing {
namespace {

class ReportExport : public EditorTest {
 protected:
  void SetUp() override {
    if (!HavePdfTools()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are needed";
  }
  QTemporaryDir dir_;
};

TEST_F(ReportExport, WritesTheDevicesLiveSettingsOrAProgram) {
  Start(true);
  const ParameterStore& store = *rig_->store;
  const std::string version = DecodeField(store.System.VersionText1);
  const std::string program4 = DecodeField(store.Presets[4].Name);
  ASSERT_FALSE(version.empty());
  const QString live = dir_.filePath("live.pdf"), program = dir_.filePath("program.pdf");
  ScriptedPrompts& prompts = *rig_->prompts;
  prompts.reportChoices = {ReportChoice{kLiveSource, PaperSize::A4}, ReportChoice{4, PaperSize::Letter},
                           std::nullopt};
  prompts.paths = {live, program, dir_.filePath("never.pdf")};
  QAction* action = rig_->window->Action(kCmdExportReport);
  ASSERT_NE(action, nullptr);
  EXPECT_EQ(action->text(), "Export &report...");
  for (int run = 0; run < 3; ++run) action->trigger();

  EXPECT_EQ(prompts.reportNames.size(), kPresetCount);
  EXPECT_EQ(prompts.reportNames.value(3).toStdString(), program4);
  EXPECT_EQ(prompts.paths.size(), 1u);  // the cancelled dialog asked for no path
  EXPECT_TRUE(prompts.asked.empty());

  const std::vector<std::string> liveLines = PdfLines(live.toStdString());
  EXPECT_EQ(PdfInfo(live.toStdString()).PageSize, "595 x 842 pts (A4)");
  for (const auto& line : std::vector<std::vector<std::string>>{
           {"Settings", "Live settings of the processor"}, {"Firmware", Squeezed(version)}})
    EXPECT_NE(LineWith(liveLines, line), "") << line.back();

  const std::vector<std::string> programLines = PdfLines(program.toStdString());
  EXPECT_EQ(PdfInfo(program.toStdString()).PageSize, "612 x 792 pts (letter)");
  EXPECT_NE(LineWith(programLines, {"Program", "4 " + Squeezed(program4)}), "");
  EXPECT_NE(LineWith(programLines, {"Program stored in the processor"}), "");
}

TEST_F(ReportExport, AReportThatCannotBeWrittenIsReported) {
  Start(false);
  ScriptedPrompts& prompts = *rig_->prompts;
  prompts.reportChoices = {ReportChoice{}};
  prompts.paths = {dir_.filePath("missing/report.pdf")};
  rig_->window->RunCommand(kCmdExportReport);
  ASSERT_EQ(prompts.asked.size(), 1u);
  EXPECT_TRUE(prompts.asked[0].contains("report.pdf")) << prompts.asked[0].toStdString();
  EXPECT_EQ(prompts.captions[0], "Warning");
}

TEST_F(ReportExport, TheDialogOffersTheLiveSettingsAndThePrograms) {
  QStringList names;
  for (int p = 1; p <= kPresetCount; ++p) names.push_back(QString("Name %1").arg(p));
  ReportDialog dialog(names);
  ASSERT_EQ(dialog.SourceChooser()->Count(), 1 + kPresetCount);
  EXPECT_EQ(dialog.SourceChooser()->EntryText(0), "Live settings");
  EXPECT_EQ(dialog.SourceChooser()->EntryText(7), "Program 7: Name 7");
  EXPECT_EQ(dialog.Choice().Source, kLiveSource);
  dialog.SourceChooser()->SetCurrentIndex(7);
  dialog.PaperChooser()->SetCurrentIndex(1);
  EXPECT_EQ(dialog.Choice().Source, 7);
  EXPECT_EQ(dialog.Choice().Paper, PaperSize::Letter);
  dialog.PaperChooser()->SetCurrentIndex(0);
  EXPECT_EQ(dialog.Choice().Paper, PaperSize::A4);
  dialog.grab().save(QString(VEYRA_RENDER_DIR) + "/report_dialog.png");  // to be looked at
}

}  // namespace
}  // namespace veyra::testing
