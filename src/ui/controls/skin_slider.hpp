// A fader. Min is at the top (vertical) or the left end (horizontal); the
// editors' codes run opposite to the position where a fader's top is the
// largest value.
#pragma once

#include <QWidget>

namespace veyra {

class SkinSlider : public QWidget {
  Q_OBJECT

 public:
  explicit SkinSlider(QWidget* parent = nullptr);

  void SetId(int id) { id_ = id; }
  int Id() const { return id_; }

  void SetRange(int min, int max, bool redraw = true);
  int GetMin() const { return min_; }
  int GetMax() const { return max_; }
  void SetPos(int pos);  // clamped to [min, max]
  int GetPos() const { return pos_; }

  void SetVertical(bool vertical);
  bool IsVertical() const { return vertical_; }
  // Margins around the thumb's travel, in pixels; the ones along the travel
  // shorten it, the ones across it keep the groove and thumb off those edges.
  void SetMargins(int horizontalStart, int verticalStart, int horizontalEnd, int verticalEnd);
  // Thumb size along and across the travel (in place of the thumb bitmap).
  void SetThumbSize(int along, int across);
  int ThumbAlong() const { return thumbAlong_; }

  // Centre pixel of the thumb for a position, along the travel:
  // thumb/2 + startMargin + trunc((pos - min) * travel / (max - min)).
  int PixelFromPos(int pos) const;
  // The largest position whose thumb centre is not beyond the pixel, so that
  // PosFromPixel(PixelFromPos(p)) == p whenever the travel has room for every step.
  int PosFromPixel(int pixel) const;

  QSize sizeHint() const override;

 signals:
  void sliderChanging(int id);  // thumb dragged to a new position
  void sliderChanged(int id);   // committed: button released, arrow key, wheel step

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  int Length() const { return vertical_ ? height() : width(); }
  int StartMargin() const { return vertical_ ? marginVStart_ : marginHStart_; }
  int EndMargin() const { return vertical_ ? marginVEnd_ : marginHEnd_; }
  int Travel() const { return Length() - EndMargin() - thumbAlong_ - StartMargin(); }
  int Along(const QPointF& point) const;
  void DragTo(int pointer);
  void PaintGroove(class QPainter& painter, const QRectF& cross) const;
  void PaintThumb(class QPainter& painter, const QRectF& cross) const;

  int id_ = 0;
  int min_ = 0;
  int max_ = 100;
  int pos_ = 0;
  bool vertical_ = true;
  int marginHStart_ = 0;
  int marginVStart_ = 0;
  int marginHEnd_ = 0;
  int marginVEnd_ = 0;
  int thumbAlong_ = 14;
  int thumbAcross_ = 26;
  bool dragging_ = false;
  int grabOffset_ = 0;
  int wheelCounter_ = 0;
};

}  // namespace veyra
