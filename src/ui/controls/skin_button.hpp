// A two-state push button. The owner decides the state: a click only reports
// (the ordinary clicked() signal); the parent reads GetDown, decides and calls
// SetDown. This is how every two-state button (mute, polarity, bypass, view
// selectors) works.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <array>

namespace veyra {

class SkinButton : public QAbstractButton {
  Q_OBJECT

 public:
  // Index of a text colour: three looks for the up state, three for the down state.
  enum Look { kNormal = 0, kHot = 1, kDisabled = 2 };

  explicit SkinButton(QWidget* parent = nullptr);
  SkinButton(const QString& caption, QWidget* parent = nullptr);

  // Stores a new state; repaints only when it differs from the current one.
  void SetDown(int down);
  int GetDown() const { return down_; }

  // Face colours of the up and the down state (in place of the face bitmaps).
  void SetFaceColors(const QColor& up, const QColor& down);
  // Up normal, hot, disabled, then down normal, hot, disabled.
  void SetTextColors(const std::array<QColor, 6>& colours);
  QColor TextColor(bool down, Look look) const { return text_[(down ? 3 : 0) + look]; }
  bool IsHot() const { return underMouse(); }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int down_ = 0;
  QColor upFace_;
  QColor downFace_;
  std::array<QColor, 6> text_;
};

}  // namespace veyra
