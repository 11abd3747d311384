// Static text: a caption, a readout or a number display, transparent over
// its window's fill or on its own background, optionally framed.
#pragma once

#include <QColor>
#include <QWidget>

namespace veyra {

// The number display's text: prefix + "OFF" when the off mode is 1 and the
// value is the minimum or the off mode is 2 and the value is the maximum;
// otherwise "%s%d%s" for a whole value and "%s%0.1f%s" of value - offset.
struct LabelNumber {
  QString prefix;
  QString suffix;
  double offset = 0;
  double min = 0;
  double max = 0;
  int offMode = 0;  // 0 never "OFF", 1 at the minimum, 2 at the maximum
};
QString FormatLabelNumber(const LabelNumber& number, double value);

class SkinLabel : public QWidget {
  Q_OBJECT

 public:
  explicit SkinLabel(QWidget* parent = nullptr);
  SkinLabel(const QString& text, QWidget* parent = nullptr);

  void SetText(const QString& text);
  QString Text() const { return text_; }
  void SetTextColor(const QColor& colour, bool redraw = true);
  QColor TextColor() const { return colour_; }
  void SetFont(const QString& face, int pixelHeight, bool bold = false);
  void SetAlignment(Qt::Alignment alignment);
  Qt::Alignment Alignment() const { return alignment_; }
  // Transparent labels show their window's fill; others their background colour.
  void SetTransparent(bool transparent);
  bool IsTransparent() const { return transparent_; }
  void SetBackground(const QColor& colour);
  void SetFramed(bool framed);  // a one-pixel grey frame
  void SetWordWrap(bool wrap);  // off: one line, cut at the edge

  // Number display: the text follows the value.
  void SetNumberFormat(const LabelNumber& number);
  void SetValue(double value);
  double Value() const { return value_; }

  QSize sizeHint() const override;

 signals:
  void clicked();  // button released over the label
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QString text_;
  QColor colour_ = Qt::white;
  QColor background_{53, 64, 70};
  Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
  bool transparent_ = true;
  bool framed_ = false;
  bool wordWrap_ = false;
  bool isNumber_ = false;
  LabelNumber number_;
  double value_ = 0;
};

}  // namespace veyra
