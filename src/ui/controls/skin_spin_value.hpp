// A value readout with a decrement arrow on the left and an increment arrow
// on the right. The text is the value's display text for its kind.
#pragma once

#include <QTimer>
#include <QWidget>

namespace veyra {

// The value after one repeat tick of a held arrow (direction -1 or +1; tick
// counts from 1). Frequencies held upward and the dynamics kinds speed up by
// one more unit per tick; frequencies held downward jump down by steps of
// equal ratio; kinds without a repeat rule keep their value.
int SpinRepeatValue(int kind, int value, int direction, int tick, int min, int max);

class SkinSpinValue : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kRepeatDelayMs = 100;     // rest before repeating starts
  static constexpr int kRepeatIntervalMs = 100;  // one step per tick afterwards

  explicit SkinSpinValue(QWidget* parent = nullptr);

  void SetId(int id) { id_ = id; }
  int Id() const { return id_; }
  void SetRange(int min, int max);
  void SetValue(int value);  // clamped; rewrites the text
  int GetValue() const { return value_; }
  void SetKind(int kind);
  int Kind() const { return kind_; }
  QString Text() const;

  // Arrow areas, for hit tests and painting.
  QRect DecrementArrow() const;
  QRect IncrementArrow() const;
  bool IsRepeating() const { return repeatTimer_.isActive(); }

  QSize sizeHint() const override { return {91, 18}; }

 signals:
  void valueChanged(int id, int value);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void StepTo(int value);
  void RepeatTick();
  void PaintArrow(class QPainter& painter, const QRect& area, int direction) const;

  int id_ = 0;
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  int kind_ = 0;
  int heldDirection_ = 0;  // arrow held: -1, +1; 0 none
  int hotDirection_ = 0;   // arrow under the pointer
  int tick_ = 0;
  bool resting_ = false;
  int wheelCounter_ = 0;
  QTimer repeatTimer_;
};

}  // namespace veyra
