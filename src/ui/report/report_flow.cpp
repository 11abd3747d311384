#include "report/report_flow.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <memory>
#include <numeric>

namespace veyra::report {

QFont Font(double points, bool bold) {
  QFont font;
  font.setFamilies({"Liberation Sans", "Arial", "DejaVu Sans", "WenQuanYi Micro Hei"});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

Flow::Flow(const QRectF& body, QPaintDevice* device) : body_(body), device_(device), y_(body.top()) {
  pages_.emplace_back();
}

void Flow::NewPage() {
  pages_.emplace_back();
  y_ = body_.top();
}

void Flow::Ensure(double height) {
  if (!AtPageTop() && height > Remaining()) NewPage();
}

void Flow::Place(double height, Painting painting) {
  Ensure(height);
  pages_.back().push_back({QRectF(body_.left(), y_, body_.width(), height), std::move(painting)});
  y_ += height;
}

void Flow::Gap(double height) {
  if (!AtPageTop()) y_ = std::min(y_ + height, body_.bottom());
}

void Flow::PaintPage(QPainter& painter, int page) const {
  for (const Block& block : pages_.at(static_cast<size_t>(page))) {
    painter.save();
    block.Paint(painter, block.Rect);
    painter.restore();
  }
}

double TextWidth(const Flow& flow, const QFont& font, const QString& text) {
  return QFontMetricsF(font, flow.Device()).horizontalAdvance(text);
}

namespace {

constexpr double kPadding = 3.5;

double Sum(const std::vector<double>& widths) {
  return std::accumulate(widths.begin(), widths.end(), 0.0);
}

void DrawCell(QPainter& p, const QRectF& cell, const QString& text, Qt::Alignment align) {
  p.drawText(cell.adjusted(kPadding, 0, -kPadding, 0), static_cast<int>(align | Qt::AlignVCenter), text);
}

// The rules of one row: its top and bottom edges (a striped row's fill would
// cover the rule of the row above) and every column edge, the divider heavier.
void DrawRowRules(QPainter& p, const Table& table, const QRectF& row) {
  p.setPen(QPen(kGridLine, 0.5));
  p.drawLine(row.topLeft(), row.topRight());
  p.drawLine(row.bottomLeft(), row.bottomRight());
  double x = row.left();
  for (size_t c = 0; c <= table.Columns.size(); ++c) {
    const bool divider = static_cast<int>(c) == table.Divider;
    p.setPen(QPen(divider ? kMuted : kGridLine, divider ? 1.2 : 0.5));
    p.drawLine(QPointF(x, row.top()), QPointF(x, row.bottom()));
    if (c < table.Columns.size()) x += table.Columns[c].Width;
  }
}

double TableWidth(const Table& table) {
  double width = 0;
  for (const TableColumn& column : table.Columns) width += column.Width;
  return width;
}

void PaintBands(QPainter& p, const Table& table, const QRectF& rect, bool continued) {
  const QRectF row(rect.left(), rect.top(), TableWidth(table), rect.height());
  p.fillRect(row, kAccent);
  p.setPen(Qt::white);
  p.setFont(Font(table.FontSize, true));
  size_t column = 0;
  double x = row.left();
  for (const auto& [caption, span] : table.Bands) {
    double width = 0;
    for (int k = 0; k < span && column < table.Columns.size(); ++k) width += table.Columns[column++].Width;
    const QRectF cell(x, row.top(), width, row.height());
    // A table that runs over says so where its first band has no caption.
    if (continued && x == row.left() && caption.isEmpty()) {
      p.setFont(Font(table.FontSize - 1));
      DrawCell(p, cell, "(continued)", Qt::AlignLeft);
      p.setFont(Font(table.FontSize, true));
    } else {
      DrawCell(p, cell, caption, Qt::AlignHCenter);
    }
    if (x > row.left()) {
      p.setPen(QPen(Qt::white, 1.2));
      p.drawLine(cell.topLeft(), cell.bottomLeft());
      p.setPen(Qt::white);
    }
    x += width;
  }
}

void PaintHeader(QPainter& p, const Table& table, const QRectF& rect) {
  const QRectF row(rect.left(), rect.top(), TableWidth(table), rect.height());
  p.fillRect(row, kHeaderFill);
  p.setFont(Font(table.FontSize, true));
  p.setPen(kInk);
  double x = row.left();
  for (size_t c = 0; c < table.Columns.size(); ++c) {
    const QRectF cell(x, row.top(), table.Columns[c].Width, row.height());
    DrawCell(p, cell, c < table.Header.size() ? table.Header[c] : QString(), table.Columns[c].Align);
    x += table.Columns[c].Width;
  }
  DrawRowRules(p, table, row);
  p.setPen(QPen(kInk, 0.8));
  p.drawLine(row.topLeft(), row.topRight());
  p.drawLine(row.bottomLeft(), row.bottomRight());
}

void PaintRow(QPainter& p, const Table& table, const std::vector<QString>& cells, bool striped,
              const QRectF& rect) {
  const QRectF row(rect.left(), rect.top(), TableWidth(table), rect.height());
  if (striped) p.fillRect(row, kStripe);
  double x = row.left();
  for (size_t c = 0; c < table.Columns.size(); ++c) {
    const QRectF cell(x, row.top(), table.Columns[c].Width, row.height());
    // The first column names the row.
    p.setFont(Font(table.FontSize, c == 0));
    p.setPen(kInk);
    DrawCell(p, cell, c < cells.size() ? cells[c] : QString(), table.Columns[c].Align);
    x += table.Columns[c].Width;
  }
  DrawRowRules(p, table, row);
}

}  // namespace

std::vector<double> FitColumns(const Flow& flow, const Table& table, double minWidth, double maxWidth) {
  std::vector<double> widths(table.Columns.size(), 0.0);
  const QFont bold = Font(table.FontSize, true), plain = Font(table.FontSize);
  auto widen = [&](size_t c, const QString& text, const QFont& font) {
    if (c >= widths.size()) return;
    for (const QString& line : text.split('\n'))
      widths[c] = std::max(widths[c], TextWidth(flow, font, line) + 2 * kPadding + 1);
  };
  for (size_t c = 0; c < table.Header.size(); ++c) widen(c, table.Header[c], bold);
  for (const auto& row : table.Rows)
    for (size_t c = 0; c < row.size(); ++c) widen(c, row[c], c == 0 ? bold : plain);
  if (widths.empty()) return widths;
  const double total = Sum(widths);
  if (total < minWidth && widths.size() > 1) {
    // The row captions keep their width; the value columns share the rest.
    const double extra = (minWidth - total) / static_cast<double>(widths.size() - 1);
    for (size_t c = 1; c < widths.size(); ++c) widths[c] += extra;
  } else if (total > maxWidth) {
    for (double& w : widths) w *= maxWidth / total;
  }
  return widths;
}

void PlaceTable(Flow& flow, const Table& table) {
  // The pages are painted after the layout, when the caller's table is gone.
  const auto kept = std::make_shared<const Table>(table);
  const double h = table.RowHeight;
  const double header = h * std::max(1, table.HeaderLines);
  const double head = (table.Bands.empty() ? 0 : h) + header;
  auto placeHead = [&](bool continued) {
    if (!kept->Bands.empty())
      flow.Place(h, [kept, continued](QPainter& p, const QRectF& r) { PaintBands(p, *kept, r, continued); });
    flow.Place(header, [kept](QPainter& p, const QRectF& r) { PaintHeader(p, *kept, r); });
  };
  flow.Ensure(head + h);
  placeHead(false);
  for (size_t r = 0; r < kept->Rows.size(); ++r) {
    if (h > flow.Remaining()) {
      flow.NewPage();
      placeHead(true);
    }
    flow.Place(h, [kept, r](QPainter& p, const QRectF& rect) {
      PaintRow(p, *kept, kept->Rows[r], r % 2 == 1, rect);
    });
  }
}

}  // namespace veyra::report
