// The pop-up list of a SkinDropDown: a frameless pop-up below the button, as
// wide as the button; a click outside closes it (the pop-up rule of the toolkit).
#pragma once

#include <QStringList>
#include <QWidget>

namespace veyra {

class SkinDropList : public QWidget {
  Q_OBJECT

 public:
  explicit SkinDropList(QWidget* owner);

  // Shows the entries below the button (global rectangle), the current one marked.
  void Open(const QStringList& entries, int current, const QRect& button);
  int EntryHeight() const;
  int EntryAt(const QPoint& point) const;  // -1 outside the entries
  int FirstShown() const { return first_; }
  QRect EntryRect(int index) const;

 signals:
  void entryChosen(int index);
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  int VisibleCount() const;
  void ScrollTo(int first);
  void Choose(int index);

  QStringList entries_;
  int current_ = -1;
  int hot_ = -1;
  int first_ = 0;  // first entry shown when the screen has no room for all
};

}  // namespace veyra
