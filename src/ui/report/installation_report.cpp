#include "report/installation_report.hpp"

#include <QBuffer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cstring>
#include <memory>

#include "files/file_io.hpp"
#include "report/report_flow.hpp"
#include "report/report_sections.hpp"
#include "report/report_system.hpp"
#include "state/device_text.hpp"
#include "state/models.hpp"

namespace veyra {
namespace {

using report::Flow;
using report::Font;

constexpr char kSystemTitle[] = "Veyra QL Series Loudspeaker Control System";
constexpr double kSideMargin = 46;
constexpr double kTopMargin = 40;
constexpr double kBottomMargin = 40;
constexpr double kRunningHeader = 26;  // the line above the body of every page but the first
constexpr double kFooter = 22;

QString Utf8(const std::string& text) {
  return QString::fromStdString(text);
}

// The report's records: a copy of the store with the reported program in its
// live records (where the graph painter and the table read them) and the
// model's channel counts.
std::shared_ptr<ParameterStore> ReportRecords(const ParameterStore& store, const ReportSubject& subject,
                                              const ModelInfo& model) {
  auto records = std::make_shared<ParameterStore>(store);
  if (subject.Source >= 1 && subject.Source <= kPresetCount) {
    const PresetSlot& program = store.Presets[subject.Source];
    std::memcpy(records->Inputs, program.Inputs, sizeof records->Inputs);
    std::memcpy(records->Outputs, program.Outputs, sizeof records->Outputs);
  }
  records->CurrentModel = model.Model;
  records->InputCount = model.InputCount;
  records->OutputCount = model.OutputCount;
  return records;
}

QString SettingsText(const ReportSubject& subject) {
  const bool program = subject.Source != kLiveSource;
  if (!subject.FileName.empty())
    return QString("%1 from file %2").arg(program ? "Program" : "Settings", Utf8(subject.FileName));
  if (subject.FromDevice)
    return program ? "Program stored in the processor" : "Live settings of the processor";
  return program ? "Program (no processor connected)" : "Live settings (no processor connected)";
}

QString ProgramText(const ReportSubject& subject) {
  const QString name = Utf8(subject.ProgramName);
  if (subject.ProgramNumber <= 0) return name;
  return name.isEmpty() ? QString::number(subject.ProgramNumber)
                        : QString("%1  %2").arg(subject.ProgramNumber).arg(name);
}

struct Fact {
  QString Caption, Value;
};

std::vector<Fact> Facts(const ParameterStore& store, const ReportSubject& subject, const ModelInfo& model,
                        const QString& date) {
  std::vector<Fact> facts{{"Model", QString("%1  (%2 inputs, %3 outputs)")
                                        .arg(Utf8(std::string(model.Name)))
                                        .arg(model.InputCount)
                                        .arg(model.OutputCount)},
                          {"Settings", SettingsText(subject)}};
  if (const QString program = ProgramText(subject); !program.isEmpty()) facts.push_back({"Program", program});
  if (subject.FromDevice && subject.FileName.empty()) {
    QStringList versions;
    for (const std::string& v :
         {DecodeField(store.System.VersionText1), DecodeField(store.System.VersionText2)})
      if (!v.empty()) versions.push_back(Utf8(v));
    facts.push_back({"Firmware", versions.isEmpty() ? "\u2014" : versions.join("   ")});
    facts.push_back({"Device id", QString::number(store.DeviceId)});
  }
  facts.push_back({"Date", date});
  return facts;
}

void PlaceTitle(Flow& flow, const std::vector<Fact>& facts) {
  flow.Place(44, [](QPainter& p, const QRectF& r) {
    p.setPen(report::kAccent);
    p.setFont(Font(22, true));
    p.drawText(QRectF(r.left(), r.top(), r.width(), 28), Qt::AlignLeft | Qt::AlignBottom,
               "Installation Report");
    p.setFont(Font(10));
    p.setPen(report::kMuted);
    p.drawText(QRectF(r.left(), r.top() + 29, r.width(), 15), Qt::AlignLeft | Qt::AlignVCenter, kSystemTitle);
  });
  flow.Gap(10);
  constexpr double kLine = 16;
  const double height = kLine * static_cast<double>(facts.size()) + 12;
  flow.Place(height, [facts](QPainter& p, const QRectF& r) {
    p.fillRect(r, report::kStripe);
    p.setPen(QPen(report::kAccent, 2.5));
    p.drawLine(r.topLeft() + QPointF(1.25, 0), r.bottomLeft() + QPointF(1.25, 0));
    double y = r.top() + 6;
    for (const Fact& fact : facts) {
      p.setFont(Font(9.5, true));
      p.setPen(report::kMuted);
      p.drawText(QRectF(r.left() + 14, y, 80, kLine), Qt::AlignLeft | Qt::AlignVCenter, fact.Caption);
      p.setFont(Font(9.5, fact.Caption == "Model"));
      p.setPen(report::kInk);
      p.drawText(QRectF(r.left() + 100, y, r.width() - 110, kLine), Qt::AlignLeft | Qt::AlignVCenter,
                 fact.Value);
      y += kLine;
    }
  });
}

void PaintFrame(QPainter& p, const QSizeF& page, int number, int count, const QString& running) {
  const double left = kSideMargin, right = page.width() - kSideMargin;
  p.setFont(Font(7.5));
  p.setPen(report::kMuted);
  if (number > 1) {
    const QRectF top(left, kTopMargin, right - left, 12);
    p.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, running);
    p.setPen(QPen(report::kGridLine, 0.5));
    p.drawLine(QPointF(left, top.bottom() + 3), QPointF(right, top.bottom() + 3));
  }
  const double base = page.height() - kBottomMargin;
  p.setPen(QPen(report::kGridLine, 0.5));
  p.drawLine(QPointF(left, base - 14), QPointF(right, base - 14));
  p.setPen(report::kMuted);
  const QRectF bottom(left, base - 12, right - left, 12);
  p.drawText(bottom, Qt::AlignLeft | Qt::AlignVCenter, kSystemTitle);
  p.drawText(bottom, Qt::AlignRight | Qt::AlignVCenter, QString("Page %1 of %2").arg(number).arg(count));
}

void LayOut(Flow& flow, const std::shared_ptr<ParameterStore>& records, const std::vector<Fact>& facts) {
  const ParameterStore& r = *records;
  PlaceTitle(flow, facts);

  DataTableOptions tableOptions;
  tableOptions.Model = r.CurrentModel;
  report::PlaceHeading(flow, "1  Channel settings", 60);
  report::PlaceSettingsTable(flow, BuildDataTable(r, tableOptions));

  report::PlaceHeading(flow, "2  Routing", 80);
  report::PlaceNote(flow, "\u25CF  the output (column) takes the input (row).");
  report::PlaceRoutingMatrix(flow, r, r.InputCount, r.OutputCount);

  report::PlaceHeading(flow, "3  Groups", 60);
  report::PlaceNote(flow,
                    "An edit of one member is repeated on the other members for every block the group links "
                    "(\u25CF).");
  for (const ChannelKind kind : {ChannelKind::Input, ChannelKind::Output}) {
    flow.Gap(4);
    flow.Ensure(60);
    const QString caption = kind == ChannelKind::Input ? "Input groups" : "Output groups";
    flow.Place(15, [caption](QPainter& p, const QRectF& rect) {
      p.setFont(Font(9.5, true));
      p.setPen(report::kInk);
      p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, caption);
    });
    report::PlaceGroups(flow, r, kind, r.CurrentModel);
  }

  flow.NewPage();
  report::PlaceHeading(flow, "4  Response curves", 200);
  report::PlaceGraphLegend(flow);
  report::PlaceResponseGraphs(flow, records, ChannelKind::Input, r.InputCount);
  report::PlaceResponseGraphs(flow, records, ChannelKind::Output, r.OutputCount);
  report::PlaceSystemResponses(flow, records, r.InputCount, r.OutputCount, 5);
}

}  // namespace

ReportSubject StoreSubject(const ParameterStore& store, int source, bool online) {
  ReportSubject subject;
  subject.Source = source;
  subject.FromDevice = online;
  const int program = source != kLiveSource ? source : online ? store.System.CurrentProgram : 0;
  if (program >= 1 && program <= kPresetCount) {
    subject.ProgramNumber = program;
    subject.ProgramName = DecodeField(store.Presets[program].Name);
  }
  return subject;
}

QByteArray InstallationReportPdf(const ParameterStore& store, const ReportSubject& subject,
                                 const ReportOptions& options, int* pages) {
  if (pages) *pages = 0;
  const ModelInfo* model = FindModel(subject.Model != 0 ? subject.Model : store.CurrentModel);
  if (QGuiApplication::instance() == nullptr || model == nullptr || subject.Source < kLiveSource ||
      subject.Source > kPresetCount)
    return {};
  const auto records = ReportRecords(store, subject, *model);
  const QDateTime when = options.Date.isValid() ? options.Date : QDateTime::currentDateTime();
  const QString date = when.toString("yyyy-MM-dd HH:mm");

  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QPdfWriter writer(&buffer);
  writer.setPageSize(QPageSize(options.Paper == PaperSize::Letter ? QPageSize::Letter : QPageSize::A4));
  writer.setPageMargins(QMarginsF(0, 0, 0, 0));
  // One unit per point: the layout is in points and the text keeps the
  // font's own spacing at any size.
  writer.setResolution(72);
  writer.setTitle("Installation Report");
  writer.setCreator(kSystemTitle);

  const QSizeF page = writer.pageLayout().fullRectPoints().size();
  const QRectF body(kSideMargin, kTopMargin + kRunningHeader, page.width() - 2 * kSideMargin,
                    page.height() - kTopMargin - kRunningHeader - kBottomMargin - kFooter);
  Flow flow(body, &writer);
  LayOut(flow, records, Facts(store, subject, *model, date));

  QString running = QString("Installation Report \u2014 %1").arg(Utf8(std::string(model->Name)));
  if (const QString program = ProgramText(subject); !program.isEmpty())
    running += " \u2014 program " + program;
  if (!subject.FileName.empty()) running += " \u2014 from file " + Utf8(subject.FileName);
  running += " \u2014 " + date;

  QPainter painter(&writer);
  for (int n = 0; n < flow.PageCount(); ++n) {
    if (n > 0) writer.newPage();
    PaintFrame(painter, page, n + 1, flow.PageCount(), running);
    flow.PaintPage(painter, n);
  }
  painter.end();
  if (pages) *pages = flow.PageCount();
  return buffer.data();
}

ReportOutcome WriteInstallationReport(const ParameterStore& store, const ReportSubject& subject,
                                      const ReportOptions& options, const std::filesystem::path& path) {
  ReportOutcome outcome;
  const QByteArray pdf = InstallationReportPdf(store, subject, options, &outcome.Pages);
  if (pdf.isEmpty()) {
    outcome.Error = "The report of \"" + PathText(path) + "\" could not be made.";
    return outcome;
  }
  const SaveResult saved = SaveFileReplacing(
      path, std::span(reinterpret_cast<const std::byte*>(pdf.constData()), static_cast<size_t>(pdf.size())));
  outcome.Error = saved.Error;
  return outcome;
}

}  // namespace veyra
