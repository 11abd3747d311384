// The installation report of a demo setup, read back as poppler reads it:
// the data table row by row, the routing marks, the groups, the processor's
// facts, page numbers and paper; and the graph painter's print style.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <memory>

#include "core/files/test_files.hpp"
#include "curves/graph_layout.hpp"
#include "curves/graph_painter.hpp"
#include "files/data_table.hpp"
#include "report/installation_report.hpp"
#include "state/device_text.hpp"
#include "ui/pdf_tools.hpp"

namespace veyra::testing {
namespace {

// The report needs Qt Gui, no widgets: one QGuiApplication on the offscreen platform.
class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[20] = "veyra_report_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};
[[maybe_unused]] ::testing::Environment* const kGui = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

const std::string kMark = "\u25CF";

size_t Marks(const std::string& line) {
  size_t n = 0;
  for (size_t at = line.find(kMark); at != std::string::npos; at = line.find(kMark, at + 1)) ++n;
  return n;
}

class InstallationReport : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HavePdfTools()) GTEST_SKIP() << "pdftotext and pdfinfo (poppler-utils) are needed";
    // An Orvane's factory defaults with a few channels set up.
    InitialiseStore(s);
    SwitchModel(s, 3);
    SetFieldBytes(s.Inputs[0].Name, "Vocal");
    SetFieldBytes(s.Inputs[1].Name, "Guitar");
    s.Inputs[1].Bands[3].Gain = 700;  // +10 dB
    SetFieldBytes(s.Outputs[2].Name, "Sub L");
    s.Outputs[2].Gain = 540;
    s.Outputs[2].Crossover[kHighPass] = {45, 0, 2};
    s.Outputs[2].Routing[1] = 1;
    s.Outputs[5].Routing[1] = 1;
    SetFieldBytes(s.InputGroups[1].Name, "Stage");
    s.InputGroups[1].LinkGain = 1;
    s.Inputs[0].GroupNumber = s.Inputs[1].GroupNumber = 2;
    SetFieldBytes(s.OutputGroups[0].Name, "Mains");
    s.OutputGroups[0].LinkEq = s.OutputGroups[0].LinkCrossover = 1;
    s.Outputs[0].GroupNumber = s.Outputs[1].GroupNumber = 1;
    s.Outputs[4].GroupNumber = 1;
    SetFieldBytes(s.System.VersionText1, "Veyra QL 48 DSP V2.17");
    SetFieldBytes(s.System.VersionText2, "Build 2025-03-09");
    s.DeviceId = 7;
    s.System.CurrentProgram = 3;
    SetFieldBytes(s.Presets[3].Name, "Church");
    options.Date = QDateTime(QDate(2025, 6, 1), QTime(9, 30));
  }

  std::vector<std::string> Write(const ReportSubject& subject, const char* name = "report.pdf") {
    const ReportOutcome outcome = WriteInstallationReport(s, subject, options, dir_ / name);
    EXPECT_TRUE(outcome.ok()) << outcome.Error;
    pages = outcome.Pages;
    return PdfLines(dir_ / name);
  }

  ScratchDir dir_;
  std::unique_ptr<ParameterStore> store_ = std::make_unique<ParameterStore>();
  ParameterStore& s = *store_;
  ReportOptions options;
  int pages = 0;
};

TEST_F(InstallationReport, HoldsEveryRowOfTheDataTableAndTheDevice) {
  const std::vector<std::string> lines = Write(StoreSubject(s, kLiveSource, true));
  const DataTable table = BuildDataTable(s);
  ASSERT_EQ(table.Rows.size(), 42u);
  // A row runs over one line of the page, its cells in column order.
  for (const auto& row : table.Rows) {
    std::vector<std::string> cells;
    for (const std::string& cell : row)
      if (!cell.empty()) cells.push_back(Squeezed(cell));
    EXPECT_NE(LineWith(lines, cells), "") << "row " << row.front();
  }
  std::vector<std::string> header(table.Header.begin() + 1, table.Header.end());
  EXPECT_NE(LineWith(lines, header), "");
  for (const auto& facts : std::vector<std::vector<std::string>>{
           {"Installation Report"},
           {"Model", "Orvane (4 inputs, 8 outputs)"},
           {"Settings", "Live settings of the processor"},
           {"Program", "3 Church"},
           {"Firmware", "Veyra QL 48 DSP V2.17", "Build 2025-03-09"},
           {"Device id", "7"},
           {"Date", "2025-06-01 09:30"},
           {"Input A Vocal"},
           {"Output 8"},
           {"Page 1 of " + std::to_string(pages)},
           {"Page " + std::to_string(pages) + " of " + std::to_string(pages)}})
    EXPECT_NE(LineWith(lines, facts), "") << facts.front();
  EXPECT_EQ(PdfInfo(dir_ / "report.pdf").Pages, std::to_string(pages));
}

TEST_F(InstallationReport, RoutingAndGroupsMarkWhatIsSet) {
  const std::vector<std::string> lines = Write(StoreSubject(s, kLiveSource, true));
  const auto routedFromB = static_cast<size_t>(std::count_if(
      std::begin(s.Outputs), std::end(s.Outputs), [](const OutputChannel& o) { return o.Routing[1] != 0; }));
  ASSERT_GE(routedFromB, 2u);
  struct Case {
    std::vector<std::string> Line;
    size_t Marks;
  };
  for (const Case& c : std::vector<Case>{
           {{"Input B Guitar", kMark}, routedFromB},  // the matrix row, not the graph's caption
           {{"2", "Stage", "IN A, IN B"}, 1},
           {{"1", "Mains", "OUT 1, OUT 2, OUT 5"}, 2},
       }) {
    const std::string line = LineWith(lines, c.Line);
    ASSERT_NE(line, "") << c.Line.front();
    EXPECT_EQ(Marks(line), c.Marks) << line;
  }
  // The captions of the group editors' columns; MIC and MIX are not an Orvane's.
  EXPECT_NE(LineWith(lines, {"Group", "Name", "Members", "MUTE", "GAIN", "EQ", "POL", "DLY", "LIMIT"}), "");
  EXPECT_NE(LineWith(lines, {"MUTE", "GAIN", "EQ", "XOVR", "POL", "DLY", "LIMIT"}), "");
  EXPECT_EQ(LineWith(lines, {"LIMIT", "MIX"}), "");
  EXPECT_EQ(LineWith(lines, {"LIMIT", "MIC"}), "");
}

TEST_F(InstallationReport, SaysWhereTheRecordsCameFrom) {
  struct Case {
    const char* Name;
    ReportSubject Subject;
    std::vector<std::vector<std::string>> Has, HasNot;
  };
  SetFieldBytes(s.Presets[5].Name, "Wedding");
  SetFieldBytes(s.Presets[5].Inputs[0].Name, "Choir");
  const std::vector<Case> cases{
      {"offline",
       StoreSubject(s, kLiveSource, false),
       {{"Live settings (no processor connected)"}},
       {{"Firmware"}}},
      {"program",
       StoreSubject(s, 5, false),
       {{"Program", "5 Wedding"}, {"Input A Choir"}},
       {{"Input A Vocal"}}},
  };
  for (const Case& c : cases) {
    const std::vector<std::string> lines = Write(c.Subject, "subject.pdf");
    for (const auto& line : c.Has) EXPECT_NE(LineWith(lines, line), "") << c.Name << ": " << line.front();
    for (const auto& line : c.HasNot) EXPECT_EQ(LineWith(lines, line), "") << c.Name << ": " << line.front();
  }
}

TEST_F(InstallationReport, AFailedWriteSaysWhyAndLeavesNoFile) {
  const ReportOutcome outcome =
      WriteInstallationReport(s, ReportSubject{}, options, dir_ / "missing" / "report.pdf");
  EXPECT_FALSE(outcome.ok());
  EXPECT_NE(outcome.Error.find("report.pdf"), std::string::npos) << outcome.Error;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

// On paper the graph has a white ground and a near-black sum where the screen
// has its dark skin and the channel's colour: it must read in black and white.
TEST_F(InstallationReport, AnInputReachingTwoOutputsGetsASystemResponsePage) {
  // Factory outputs are muted: input B reaches nothing yet, and no page is added.
  std::vector<std::string> lines = Write(StoreSubject(s, kLiveSource, true));
  const int before = pages;
  EXPECT_EQ(LineWith(lines, {"System response"}), "");
  s.Inputs[1].Mute = 1;
  s.Outputs[2].Mute = s.Outputs[5].Mute = 1;
  s.Outputs[0].Routing[1] = 1;  // routed, but still muted
  lines = Write(StoreSubject(s, kLiveSource, true), "system.pdf");
  EXPECT_EQ(pages, before + 1);
  EXPECT_NE(LineWith(lines, {"5 System response of IN B Guitar"}), "");
  EXPECT_NE(LineWith(lines, {"OUT 3 Sub L", "OUT 6", "Sum"}), "");
  EXPECT_NE(LineWith(lines, {"Not in the sum: OUT 1: muted."}), "");
  EXPECT_EQ(LineWith(lines, {"IN A Vocal"}).find("System response"), std::string::npos);
}

TEST(GraphPrintStyle, WhiteGroundAndADarkSumWhereTheScreenIsDark) {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  store->Outputs[0].Bands[0] = {1000, 720, 50, 0, 0, 0, 0};  // +12 dB at 1 kHz
  const QSize size(600, 300);
  const PlotRect plot = graph::PlotFor(size);
  const int x = graph::FrequencyX(1000, plot), peak = graph::GainY(12, plot, 30);
  for (const GraphStyle style : {GraphStyle::Screen, GraphStyle::Print}) {
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintChannelResponse(painter, QRect(QPoint(0, 0), size), *store, true, 0, 0, 30, style);
    painter.end();
    const bool print = style == GraphStyle::Print;
    EXPECT_EQ(qGray(image.pixel(plot.Left + 5, plot.Top + 5)) > 240, print);
    int darkest = 255, at = -1;
    for (int y = plot.Top + 1; y < plot.Bottom; ++y)
      if (const int g = qGray(image.pixel(x + 1, y)); g < darkest) darkest = g, at = y;
    if (print) {
      EXPECT_LT(darkest, 60);
      EXPECT_NEAR(at, peak, 3);
    }
  }
}

}  // namespace
}  // namespace veyra::testing
