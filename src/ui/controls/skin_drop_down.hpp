// A caption button that opens a list of entries below itself; the caption
// shows the current entry.
#pragma once

#include <QStringList>
#include <QWidget>

namespace veyra {

class SkinDropList;

class SkinDropDown : public QWidget {
  Q_OBJECT

 public:
  explicit SkinDropDown(QWidget* parent = nullptr);

  void SetId(int id) { id_ = id; }
  int Id() const { return id_; }

  void AddEntry(const QString& text);
  void ClearEntries();
  int Count() const { return static_cast<int>(entries_.size()); }
  QString EntryText(int index) const { return entries_.value(index); }
  void SetCurrentIndex(int index);  // -1 for none; ignored outside the list
  int GetCurrentIndex() const { return current_; }
  QString CurrentText() const { return entries_.value(current_); }

  void ShowList();
  bool IsListShown() const;
  SkinDropList* List() const { return list_; }

  QSize sizeHint() const override;

 signals:
  void selectionChanged(int id);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void Choose(int index);

  int id_ = 0;
  QStringList entries_;
  int current_ = -1;
  int wheelCounter_ = 0;
  SkinDropList* list_;
};

}  // namespace veyra
