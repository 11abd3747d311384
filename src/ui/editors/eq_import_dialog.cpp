#include "editors/eq_import_dialog.hpp"

#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <thread>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "curves/plot_axes.hpp"
#include "state/scales.hpp"

namespace veyra {

namespace {

constexpr int kWidth = 780;
constexpr int kMargin = 8;
constexpr int kPlotHeight = 300;
constexpr int kChoiceTop = kMargin + kPlotHeight + 8;
constexpr int kReportTop = kChoiceTop + 34;
constexpr int kBandsTop = kReportTop + 44;
constexpr int kButtonsTop = kBandsTop + 44;

const QColor kFileColour{240, 244, 246};
const QColor kBandsColour = skin::kAccent;
const QColor kDifferenceColour = skin::kFaceAmber;

QString BandsText(const std::vector<ImportedBand>& bands) {
  if (bands.empty()) return "No bands: all six flat.";
  QStringList parts;
  for (size_t i = 0; i < bands.size(); ++i) {
    const ImportedBand& b = bands[i];
    const bool shelf =
        b.Type == static_cast<int>(EqType::LowShelf) || b.Type == static_cast<int>(EqType::HighShelf);
    parts << QString("%1 %2 %3 Hz %4 %5")
                 .arg(i + 1)
                 .arg(QString::fromStdString(EqTypeText(b.Type)))
                 .arg(b.Freq)
                 .arg(QString::fromStdString(shelf ? ShelfSlopeText(b.ShelfSlope) : WidthText(b.Width)))
                 .arg(QString::fromStdString(GainText(b.Gain)));
  }
  // Three bands a line: the six fit in the label's two lines.
  QString text = "Bands: ";
  for (int i = 0; i < parts.size(); ++i) text += (i == 3 ? "\n" : i > 0 ? "   " : "") + parts[i];
  return text;
}

}  // namespace

// The three curves over the graph's frequency axis, the range the error is
// taken over lit and the rest shaded.
class ImportPlot : public QWidget {
 public:
  explicit ImportPlot(QWidget* parent) : QWidget(parent) {}

  void SetCurves(const ResponseArray& file, const ResponseArray* bands) {
    file_ = file;
    haveBands_ = bands != nullptr;
    if (bands) bands_ = *bands;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), skin::kWell);
    const QRect plot = rect().adjusted(kPlotLeftOffset, kPlotTopOffset, -12, -22);
    const int span = Span();
    const FitRange range;
    const auto x = [&](double hz) { return plot.left() + FrequencyToX(hz, plot.width()); };
    const auto y = [&](double db) { return plot.top() + GainToY(db, plot.height(), span); };
    const QColor shade(0, 0, 0, 90);
    p.fillRect(QRectF(plot.left(), plot.top(), x(range.LowHz) - plot.left(), plot.height()), shade);
    p.fillRect(QRectF(x(range.HighHz), plot.top(), plot.right() - x(range.HighHz), plot.height()), shade);
    p.setFont(skin::ControlFont(10));
    for (double hz : {10.0, 20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0}) {
      p.setPen(skin::kGrid);
      p.drawLine(QPointF(x(hz), plot.top()), QPointF(x(hz), plot.bottom()));
      p.setPen(skin::kTextDim);
      const QString label = hz >= 1000 ? QString("%1k").arg(hz / 1000) : QString::number(hz);
      p.drawText(QRectF(x(hz) - 20, plot.bottom() + 3, 40, 16), Qt::AlignCenter, label);
    }
    const int step = span > 18 ? 6 : 3;
    for (int db = -span; db <= span; db += step) {
      p.setPen(db == 0 ? skin::kTextDim : skin::kGrid);
      p.drawLine(QPointF(plot.left(), y(db)), QPointF(plot.right(), y(db)));
      p.setPen(skin::kTextDim);
      p.drawText(QRectF(0, y(db) - 8, kPlotLeftOffset - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                 QString::number(db));
    }
    p.setClipRect(plot);
    Curve(
        p, x, y, [this](int i) { return file_[i]; }, kFileColour, 2);
    if (haveBands_) {
      Curve(
          p, x, y, [this](int i) { return bands_[i]; }, kBandsColour, 2);
      Curve(
          p, x, y, [this](int i) { return bands_[i] - file_[i]; }, kDifferenceColour, 1);
    }
    p.setClipping(false);
    Legend(p, plot);
  }

 private:
  // The decibel span: the largest value shown, in steps of 6 dB, at least 12.
  int Span() const {
    double most = 0;
    for (int i = 0; i < kFrequencyPoints; ++i) {
      most = std::max(most, std::abs(file_[i]));
      if (haveBands_) most = std::max(most, std::abs(bands_[i]));
    }
    return std::clamp(static_cast<int>(std::ceil((most + 1) / 6)) * 6, 12, 36);
  }

  template <typename X, typename Y, typename Value>
  static void Curve(QPainter& p, const X& x, const Y& y, const Value& value, const QColor& colour,
                    double width) {
    QPainterPath path;
    for (int i = 0; i < kFrequencyPoints; ++i) {
      const QPointF point(x(FrequencyTable[i]), y(value(i)));
      if (i == 0)
        path.moveTo(point);
      else
        path.lineTo(point);
    }
    p.setPen(QPen(colour, width));
    p.drawPath(path);
  }

  void Legend(QPainter& p, const QRect& plot) const {
    const std::pair<QColor, const char*> entries[] = {{kFileColour, "The file's response"},
                                                      {kBandsColour, "The bands' response"},
                                                      {kDifferenceColour, "Difference"}};
    int left = plot.left() + 10;
    for (const auto& [colour, text] : entries) {
      if (!haveBands_ && colour != kFileColour) break;
      p.setPen(QPen(colour, 2));
      p.drawLine(left, plot.top() + 10, left + 18, plot.top() + 10);
      p.setPen(skin::kTextLight);
      p.drawText(QRect(left + 24, plot.top() + 2, 150, 16), Qt::AlignLeft | Qt::AlignVCenter, text);
      left += 170;
    }
  }

  ResponseArray file_{};
  ResponseArray bands_{};
  bool haveBands_ = false;
};

EqImportDialog::EqImportDialog(const EqImport& import, const QString& fileName, QWidget* parent)
    : QDialog(parent), import_(import) {
  setWindowTitle("Import " + fileName);
  setFixedSize(kWidth, kButtonsTop + 26 + kMargin + 4);
  FileResponse(import_, file_);

  plot_ = new ImportPlot(this);
  plot_->setGeometry(kMargin, kMargin, kWidth - 2 * kMargin, kPlotHeight);
  const auto button = [this](const QString& caption, const QRect& at) {
    auto* b = new SkinButton(caption, this);
    b->setFont(skin::ControlFont(11, true));
    b->setGeometry(at);
    return b;
  };
  fitButton_ = button("Fit six bands", QRect(kMargin, kChoiceTop, 300, 26));
  copyButton_ = button("Copy as they are", QRect(kMargin + 308, kChoiceTop, 300, 26));
  const auto label = [this](int top) {
    auto* l = new SkinLabel(QString(), this);
    l->SetFont("Arial", 12);
    l->SetTextColor(skin::kTextLight);
    l->SetWordWrap(true);
    l->setGeometry(kMargin, top, kWidth - 2 * kMargin, 40);
    return l;
  };
  report_ = label(kReportTop);
  bands_ = label(kBandsTop);
  apply_ = button("Apply", QRect(kWidth - kMargin - 2 * 96 - 8, kButtonsTop, 96, 26));
  cancel_ = button("Cancel", QRect(kWidth - kMargin - 96, kButtonsTop, 96, 26));
  connect(fitButton_, &SkinButton::clicked, this, [this] { Choose(true); });
  connect(copyButton_, &SkinButton::clicked, this, [this] { Choose(false); });
  connect(cancel_, &SkinButton::clicked, this, &QDialog::reject);
  connect(apply_, &SkinButton::clicked, this, [this] {
    if (fitChosen_ && !ready_) return;
    QStringList notices;
    for (const std::string& n : import_.Notices) notices << QString::fromStdString(n);
    if (!fitChosen_)
      for (const std::string& n : import_.CopyNotices) notices << QString::fromStdString(n);
    emit applied(Chosen().Bands, notices);
    accept();
  });

  literal_ = LiteralChoice(import_);
  // Six filters or fewer are copied unless the operator picks the fit.
  fitChosen_ = !literal_.ok();
  // A fit takes up to a good part of a second, far more than the window may
  // wait: a thread works it out on its own copy of the file, and the result
  // comes back through the event loop (dropped if the dialog has gone).
  QPointer<EqImportDialog> self(this);
  worker_ = std::thread([self, import = import_] {
    const EqImportChoice fit = FitChoice(import);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [self, fit] {
          if (self) self->FitArrived(fit);
        },
        Qt::QueuedConnection);
  });
  setCursor(Qt::BusyCursor);
  Show();
}

EqImportDialog::~EqImportDialog() {
  // At most the rest of one fit.
  if (worker_.joinable()) worker_.join();
}

void EqImportDialog::FitArrived(const EqImportChoice& fit) {
  fit_ = fit;
  ready_ = true;
  unsetCursor();
  Show();
  emit ready();
}

void EqImportDialog::Choose(bool fit) {
  if (!fit && !literal_.ok()) return;
  fitChosen_ = fit;
  Show();
}

QString EqImportDialog::ReportText() const {
  return report_->Text();
}

void EqImportDialog::Show() {
  fitButton_->SetDown(fitChosen_ ? 1 : 0);
  copyButton_->SetDown(fitChosen_ ? 0 : 1);
  copyButton_->setEnabled(literal_.ok());
  fitButton_->setText(ready_ ? QString("Fit six bands: %1 dB RMS").arg(fit_.RmsDb, 0, 'f', 2)
                             : "Fit six bands");
  copyButton_->setText(literal_.ok() ? QString("Copy as they are: %1 dB RMS").arg(literal_.RmsDb, 0, 'f', 2)
                                     : "Copy as they are: more than six filters");
  QString report;
  if (fitChosen_ && !ready_) {
    report = "Fitting six bands to the file's response…";
  } else {
    report = QString::fromStdString(Chosen().Report);
  }
  if (!literal_.ok() && !fitChosen_) report = QString::fromStdString(literal_.Error);
  for (const std::string& n : import_.Notices) report += "\n" + QString::fromStdString(n);
  report_->SetText(report);
  const bool shown = !fitChosen_ || ready_;
  bands_->SetText(shown ? BandsText(Chosen().Bands) : QString());
  apply_->setEnabled(shown);
  if (shown) {
    ResponseArray bands;
    BandsResponse(Chosen().Bands, bands);
    plot_->SetCurves(file_, &bands);
  } else {
    plot_->SetCurves(file_, nullptr);
  }
}

void EqImportDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), skin::kShellBody);
}

}  // namespace veyra
