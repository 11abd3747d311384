// The page machinery of the installation report: its fonts and inks, a flow
// that lays blocks out top to bottom over as many pages as they need, and
// tables whose header rows repeat on every page a table runs over. Sizes are
// in points: the report's writer has 72 units to the inch.
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <functional>
#include <utility>
#include <vector>

class QPainter;
class QPaintDevice;

namespace veyra::report {

// Liberation Sans (the metric twin of Arial), falling back to fonts with the
// Chinese characters a channel name may hold.
QFont Font(double points, bool bold = false);

// Inks that keep their contrast in a black-and-white print.
inline const QColor kInk{20, 20, 20};
inline const QColor kMuted{90, 90, 90};
inline const QColor kAccent{24, 54, 74};
inline const QColor kGridLine{150, 150, 150};
inline const QColor kHeaderFill{218, 225, 231};
inline const QColor kStripe{243, 245, 247};

class Flow {
 public:
  using Painting = std::function<void(QPainter&, const QRectF&)>;

  // body: the part of every page that blocks go into; device: what text is
  // measured against.
  Flow(const QRectF& body, QPaintDevice* device);

  QPaintDevice* Device() const { return device_; }
  double Width() const { return body_.width(); }
  double Left() const { return body_.left(); }
  double Remaining() const { return body_.bottom() - y_; }
  bool AtPageTop() const { return y_ <= body_.top(); }

  void NewPage();
  // Starts a new page unless height fits in what is left of this one (or
  // nothing is on it yet: a block taller than a page then runs over).
  void Ensure(double height);
  // Ensures the height, then takes it at the cursor for painting.
  void Place(double height, Painting painting);
  // Space below the last block; none at the top of a page.
  void Gap(double height);

  int PageCount() const { return static_cast<int>(pages_.size()); }
  void PaintPage(QPainter& painter, int page) const;

 private:
  struct Block {
    QRectF Rect;
    Painting Paint;
  };
  QRectF body_;
  QPaintDevice* device_;
  std::vector<std::vector<Block>> pages_;
  double y_;
};

// Width of text in the font, measured against the flow's device.
double TextWidth(const Flow& flow, const QFont& font, const QString& text);

struct TableColumn {
  double Width = 0;
  Qt::Alignment Align = Qt::AlignLeft;
};

struct Table {
  std::vector<TableColumn> Columns;
  // Captions over runs of columns, above the header: text and column count.
  std::vector<std::pair<QString, int>> Bands;
  std::vector<QString> Header;
  std::vector<std::vector<QString>> Rows;
  int Divider = -1;  // a heavier rule left of this column; -1 none
  double FontSize = 7.5;
  double RowHeight = 12.5;
  int HeaderLines = 1;  // the header row is this many rows high
};

// Widths that fit the widest text of each column with padding, stretched to
// at least minWidth in all and shrunk evenly where they exceed maxWidth.
std::vector<double> FitColumns(const Flow& flow, const Table& table, double minWidth, double maxWidth);

// Places the table row by row: the bands and header first and again at the
// top of every further page; a page never ends right after the header.
void PlaceTable(Flow& flow, const Table& table);

}  // namespace veyra::report
