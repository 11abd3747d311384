#include "report/report_sections.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "curves/graph_painter.hpp"
#include "groups/group_links.hpp"
#include "params/param_table.hpp"
#include "state/device_text.hpp"

namespace veyra::report {
namespace {

QString Utf8(const std::string& text) {
  return QString::fromStdString(text);
}

template <size_t N>
QString NameOf(const char (&field)[N]) {
  return Utf8(DecodeField(field));
}

QString ChannelCaption(const ParameterStore& records, ChannelKind kind, int channel) {
  const QString name = WithChannel(records, kind, channel, [](const auto& ch) { return NameOf(ch.Name); });
  return Utf8(ChannelLabel(kind, channel)) + (name.isEmpty() ? QString() : "  " + name);
}

const QString kMark = QStringLiteral("\u25CF");

// The response graphs: a channel's caption above, then the graph with the
// axis titles the editor's control leaves to its dialog.
constexpr double kGraphScale = 0.8;  // graph units (the control's pixels) to points
constexpr double kCaptionHeight = 15;
constexpr double kGraphHeight = 178;
constexpr double kAxisTitleWidth = 12;
constexpr double kAxisTitleHeight = 11;

void PaintGraph(QPainter& p, const QRectF& rect, ParameterStore& records, ChannelKind kind, int channel) {
  p.setFont(Font(9.5, true));
  p.setPen(kAccent);
  p.drawText(QRectF(rect.left(), rect.top(), rect.width(), kCaptionHeight), Qt::AlignLeft | Qt::AlignTop,
             ChannelCaption(records, kind, channel));

  const QRectF area(rect.left() + kAxisTitleWidth, rect.top() + kCaptionHeight,
                    rect.width() - kAxisTitleWidth, kGraphHeight);
  p.save();
  p.translate(area.topLeft());
  p.scale(kGraphScale, kGraphScale);
  const QRect units(0, 0, static_cast<int>(area.width() / kGraphScale),
                    static_cast<int>(area.height() / kGraphScale));
  PaintChannelResponse(p, units, records, kind == ChannelKind::Output, channel, 0, kDefaultDecibelSpan,
                       GraphStyle::Print);
  p.restore();

  p.setFont(Font(7.5));
  p.setPen(kMuted);
  p.drawText(QRectF(area.left(), area.bottom(), area.width(), kAxisTitleHeight),
             Qt::AlignHCenter | Qt::AlignTop, "Frequency (Hz)");
  p.save();
  p.translate(rect.left(), area.center().y());
  p.rotate(-90);
  p.drawText(QRectF(-60, 0, 120, kAxisTitleWidth), Qt::AlignCenter, "Gain (dB)");
  p.restore();
}

}  // namespace

void PlaceHeading(Flow& flow, const QString& title, double following) {
  constexpr double kHeight = 24;
  flow.Gap(10);
  flow.Ensure(kHeight + following);
  flow.Place(kHeight, [title](QPainter& p, const QRectF& r) {
    p.setFont(Font(13, true));
    p.setPen(kAccent);
    p.drawText(r.adjusted(0, 0, 0, -6), Qt::AlignLeft | Qt::AlignBottom, title);
    p.setPen(QPen(kAccent, 1.2));
    p.drawLine(QPointF(r.left(), r.bottom() - 3), QPointF(r.right(), r.bottom() - 3));
  });
  flow.Gap(4);
}

void PlaceNote(Flow& flow, const QString& text) {
  const QFont font = Font(8);
  const double height = QFontMetricsF(font, flow.Device())
                            .boundingRect(QRectF(0, 0, flow.Width(), 1000), Qt::TextWordWrap, text)
                            .height() +
                        4;
  flow.Place(height, [text](QPainter& p, const QRectF& r) {
    p.setFont(Font(8));
    p.setPen(kMuted);
    p.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
  });
}

void PlaceSettingsTable(Flow& flow, const DataTable& data) {
  Table table;
  for (const std::string& caption : data.Header) table.Header.push_back(Utf8(caption));
  for (const auto& row : data.Rows) {
    std::vector<QString>& cells = table.Rows.emplace_back();
    for (const std::string& cell : row) cells.push_back(Utf8(cell));
  }
  table.Columns.assign(data.Header.size(), {0, Qt::AlignHCenter});
  if (!table.Columns.empty()) table.Columns.front().Align = Qt::AlignLeft;
  table.Bands = {{QString(), 1}, {"Inputs", data.InputCount}, {"Outputs", data.OutputCount}};
  table.Divider = 1 + data.InputCount;
  table.FontSize = 7.5;
  const std::vector<double> widths = FitColumns(flow, table, flow.Width(), flow.Width());
  for (size_t c = 0; c < widths.size(); ++c) table.Columns[c].Width = widths[c];
  PlaceTable(flow, table);
}

void PlaceRoutingMatrix(Flow& flow, const ParameterStore& records, int inputs, int outputs) {
  Table table;
  table.Header.push_back("Input \\ Output");
  for (int out = 0; out < outputs; ++out) {
    const QString name = NameOf(records.Outputs[out].Name);
    table.Header.push_back(QString("OUT %1").arg(out + 1) + (name.isEmpty() ? QString() : "\n" + name));
  }
  for (int in = 0; in < inputs; ++in) {
    std::vector<QString>& row = table.Rows.emplace_back();
    row.push_back(ChannelCaption(records, ChannelKind::Input, in));
    for (int out = 0; out < outputs; ++out) row.push_back(records.Outputs[out].Routing[in] != 0 ? kMark : "");
  }
  table.Columns.assign(1 + static_cast<size_t>(outputs), {0, Qt::AlignHCenter});
  table.Columns.front().Align = Qt::AlignLeft;
  table.FontSize = 8;
  table.RowHeight = 15;
  table.HeaderLines = 2;
  table.Divider = 1;
  // Cells of one width, so the matrix reads as a grid.
  std::vector<double> widths = FitColumns(flow, table, 0, flow.Width());
  double cell = 46;
  for (size_t c = 1; c < widths.size(); ++c) cell = std::max(cell, widths[c]);
  cell = std::min(cell, (flow.Width() - widths[0]) / std::max(1, outputs));
  table.Columns[0].Width = widths[0];
  for (size_t c = 1; c < table.Columns.size(); ++c) table.Columns[c].Width = cell;
  PlaceTable(flow, table);
}

void PlaceGroups(Flow& flow, const ParameterStore& records, ChannelKind kind, int model) {
  const std::span<const GroupLinkColumn> columns = GroupLinkColumns(kind);
  const int shown = ShownGroupLinkColumns(kind, model);
  Table table;
  table.Header = {"Group", "Name", "Members"};
  for (int c = 0; c < shown; ++c) table.Header.push_back(columns[static_cast<size_t>(c)].Caption);
  const auto groups = GroupsOf(records, kind);
  for (int g = 0; g < kChannelSlots; ++g) {
    const ChannelGroup& group = groups[static_cast<size_t>(g)];
    QStringList members;
    for (int channel : GroupMembers(records, kind, static_cast<uint32_t>(g + 1)))
      members.push_back(kind == ChannelKind::Input ? QString("IN %1").arg(QChar('A' + channel))
                                                   : QString("OUT %1").arg(channel + 1));
    std::vector<QString>& row = table.Rows.emplace_back();
    row = {QString::number(g + 1), NameOf(group.Name), members.isEmpty() ? "\u2014" : members.join(", ")};
    for (int c = 0; c < shown; ++c)
      row.push_back(group.*(columns[static_cast<size_t>(c)].Flag) != 0 ? kMark : "");
  }
  table.Columns.assign(table.Header.size(), {0, Qt::AlignHCenter});
  table.Columns[1].Align = table.Columns[2].Align = Qt::AlignLeft;
  table.Divider = 3;
  table.FontSize = 8;
  table.RowHeight = 13.5;
  std::vector<double> widths = FitColumns(flow, table, 0, flow.Width());
  // The flags share one width; the members take what is left.
  double flag = 38;
  for (size_t c = 3; c < widths.size(); ++c) flag = std::max(flag, widths[c]);
  widths[1] = std::max(widths[1], 80.0);
  double used = widths[0] + widths[1] + flag * shown;
  widths[2] = std::max(widths[2], flow.Width() - used);
  for (size_t c = 0; c < table.Columns.size(); ++c) table.Columns[c].Width = c >= 3 ? flag : widths[c];
  PlaceTable(flow, table);
}

void PlaceGraphLegend(Flow& flow) {
  flow.Place(16, [](QPainter& p, const QRectF& r) {
    struct Entry {
      PrintCurve Curve;
      const char* Text;
    };
    const Entry entries[] = {{PrintCurve::Sum, "Channel response (sum)"},
                             {PrintCurve::Band, "EQ band, numbered 1\u20136 on its handle"},
                             {PrintCurve::Section, "Crossover: H high-pass, L low-pass"}};
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setFont(Font(8));
    double x = r.left();
    for (const Entry& e : entries) {
      QPen pen = PrintCurvePen(e.Curve);
      pen.setWidthF(pen.widthF() * kGraphScale);
      p.setPen(pen);
      p.drawLine(QPointF(x, r.center().y()), QPointF(x + 28, r.center().y()));
      p.setPen(kInk);
      const QRectF text(x + 34, r.top(), 150, r.height());
      p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, e.Text);
      x += 34 + QFontMetricsF(p.font(), p.device()).horizontalAdvance(e.Text) + 22;
    }
  });
  flow.Gap(6);
}

void PlaceResponseGraphs(Flow& flow, const std::shared_ptr<ParameterStore>& records, ChannelKind kind,
                         int count) {
  constexpr double kBlock = kCaptionHeight + kGraphHeight + kAxisTitleHeight;
  for (int channel = 0; channel < count; ++channel) {
    flow.Place(kBlock, [records, kind, channel](QPainter& p, const QRectF& r) {
      PaintGraph(p, r, *records, kind, channel);
    });
    flow.Gap(12);
  }
}

}  // namespace veyra::report
