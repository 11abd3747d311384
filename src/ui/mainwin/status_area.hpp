// The status strip at the foot of the main window: the status line (1282),
// the connection indicator (1342), and while a connection sequence runs its
// progress with a Cancel button.
#pragma once

#include <QWidget>

namespace veyra {

class SkinButton;
class SkinLabel;

class StatusArea : public QWidget {
  Q_OBJECT

 public:
  static constexpr const char* kOffLineAtStart = "System Status:OffLine";
  static constexpr const char* kOnLine = "System Status:OnLine";
  static constexpr const char* kOffLine = "System Status:OFFLine";

  explicit StatusArea(QWidget* parent = nullptr);

  // "System Status:OnLine" in red, or "System Status:OFFLine" in white; the
  // indicator follows (drawn up again when the link is closed).
  void SetOnline(bool online);
  // The progress of a connection sequence (total 0: just begun).
  void ShowProgress(const QString& address, int done, int total);
  void HideProgress();
  // The live side of an A/B comparison ("A/B: B live"); empty hides it.
  void SetComparison(const QString& text);
  QString ComparisonText() const;
  bool ProgressShown() const;
  // What runs that the channels wait for ("Recalling program 6 ..."), where
  // the connection's progress would be; empty: nothing. The connection's own
  // progress says more and is not covered.
  void ShowOperation(const QString& what);

  SkinLabel* StatusLine() const { return status_; }
  SkinButton* Indicator() const { return indicator_; }
  SkinButton* CancelButton() const { return cancel_; }
  QString ProgressText() const;
  int ProgressPercent() const { return percent_; }

 signals:
  void cancelRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QRect BarRect() const;

  SkinLabel* status_;
  SkinButton* indicator_;
  SkinLabel* progress_;
  SkinLabel* comparison_;
  SkinButton* cancel_;
  int percent_ = -1;  // -1: no bar
  QString operation_;
};

}  // namespace veyra
