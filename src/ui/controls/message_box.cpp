#include "controls/message_box.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

#include "controls/mac_radio_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"

namespace veyra {
namespace {

constexpr int kMargin = 18;
constexpr int kIconSize = 34;
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 10;
constexpr int kMaxTextWidth = 420;

const char* Caption(int result) {
  switch (result) {
    case kResultOk:
      return "OK";
    case kResultCancel:
      return "Cancel";
    case kResultAbort:
      return "终止(&A)";
    case kResultRetry:
      return "重试(&R)";
    case kResultIgnore:
      return "忽略(&I)";
    case kResultYes:
      return "YES";
    case kResultNo:
      return "NO";
    default:
      return "";
  }
}

QList<int> ButtonSet(unsigned style) {
  switch (style & 0x0F) {
    case kStyleOkCancel:
      return {kResultOk, kResultCancel};
    case kStyleAbortRetryIgnore:
      return {kResultAbort, kResultRetry, kResultIgnore};
    case kStyleYesNoCancel:
      return {kResultYes, kResultNo, kResultCancel};
    case kStyleYesNo:
      return {kResultYes, kResultNo};
    case kStyleRetryCancel:
      return {kResultRetry, kResultCancel};
    default:
      return {kResultOk};  // set 0, and the sets this box does not have: never a box without an answer
  }
}

// The icon, painted so that it stays sharp at every scale.
class MessageIconView : public QWidget {
 public:
  MessageIconView(unsigned icon, QWidget* parent) : QWidget(parent), icon_(icon) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    QColor colour = icon_ == kIconError         ? skin::kFaceAlert
                    : icon_ == kIconExclamation ? skin::kFaceAmber
                                                : skin::kAccent;
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, colour.lighter(125));
    gradient.setColorAt(1, colour.darker(120));
    painter.setPen(QPen(colour.darker(160), 1));
    painter.setBrush(gradient);
    if (icon_ == kIconExclamation) {
      QPainterPath triangle;
      triangle.moveTo(box.center().x(), box.top() + 1);
      triangle.lineTo(box.right(), box.bottom() - 1);
      triangle.lineTo(box.left(), box.bottom() - 1);
      triangle.closeSubpath();
      painter.drawPath(triangle);
    } else {
      painter.drawEllipse(box);
    }
    const QColor mark = icon_ == kIconExclamation ? QColor(40, 30, 10) : QColor(Qt::white);
    if (icon_ == kIconError) {
      painter.setPen(QPen(mark, box.width() / 9, Qt::SolidLine, Qt::RoundCap));
      const QRectF cross =
          box.adjusted(box.width() * 0.32, box.height() * 0.32, -box.width() * 0.32, -box.height() * 0.32);
      painter.drawLine(cross.topLeft(), cross.bottomRight());
      painter.drawLine(cross.topRight(), cross.bottomLeft());
      return;
    }
    const char* glyph = icon_ == kIconQuestion ? "?" : icon_ == kIconExclamation ? "!" : "i";
    QFont font =
        skin::ControlFont(static_cast<int>(box.height() * (icon_ == kIconExclamation ? 0.55 : 0.66)), true);
    painter.setFont(font);
    painter.setPen(mark);
    painter.drawText(box.adjusted(0, icon_ == kIconExclamation ? box.height() * 0.18 : 0, 0, 0),
                     Qt::AlignCenter, glyph);
  }

 private:
  unsigned icon_;
};

}  // namespace

MessageBoxDialog::MessageBoxDialog(const QString& text, const QString& caption, unsigned style,
                                   QWidget* owner)
    : QDialog(owner), icon_(style & 0xF0) {
  if (icon_ > kIconInformation) icon_ = 0;
  QString title = caption;
  if (title.isEmpty() && owner != nullptr) title = owner->window()->windowTitle();
  setWindowTitle(title);

  text_ = new SkinLabel(text, this);
  text_->SetTextColor(Qt::black);
  text_->SetFont("Arial", 13);
  text_->SetWordWrap(true);
  iconView_ = new MessageIconView(icon_, this);
  iconView_->setVisible(icon_ != 0);
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const int result = kButtonResults[i];
    buttons_[i] = new CMacRadioButton(QString::fromUtf8(Caption(result)), this);
    buttons_[i]->hide();
    connect(buttons_[i], &CMacRadioButton::clicked, this, [this, result] { done(result); });
  }
  shown_ = ButtonSet(style);
  for (int result : shown_) Button(result)->show();
  if ((style & 0x0F) == kStyleYesNo) {
    // Yes or No must be answered: no close box, no Escape.
    closeEnabled_ = false;
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint | Qt::WindowTitleHint) &
                   ~Qt::WindowCloseButtonHint);
  }
  LayOut(shown_);
  CMacRadioButton* first = Button((style & 0x0F) == kStyleYesNo ? kResultYes : shown_.front());
  first->setChecked(true);
  first->setFocus(Qt::OtherFocusReason);
}

CMacRadioButton* MessageBoxDialog::Button(int result) const {
  const auto at = std::find(kButtonResults.begin(), kButtonResults.end(), result);
  return at == kButtonResults.end() ? nullptr : buttons_[static_cast<size_t>(at - kButtonResults.begin())];
}

QString MessageBoxDialog::Text() const {
  return text_->Text();
}

void MessageBoxDialog::LayOut(const QList<int>& shown) {
  // The box grows around its text: wrapped at a readable width, never narrower
  // than its row of answers.
  const QFontMetrics metrics(text_->font());
  const QRect textSize =
      metrics.boundingRect(QRect(0, 0, kMaxTextWidth, 4000), Qt::TextWordWrap | Qt::AlignLeft, text_->Text());
  const int iconSpace = icon_ != 0 ? kIconSize + 14 : 0;
  const int rowWidth =
      static_cast<int>(shown.size()) * kButtonWidth + (static_cast<int>(shown.size()) - 1) * kButtonGap;
  const int width = std::max({textSize.width() + iconSpace + 2 * kMargin + 4, rowWidth + 2 * kMargin, 240});
  const int bodyHeight = std::max(textSize.height() + 4, icon_ != 0 ? kIconSize : 0);
  buttonStripTop_ = kMargin + bodyHeight + kMargin;
  const int height = buttonStripTop_ + kButtonHeight + 2 * 12;

  iconView_->setGeometry(kMargin, kMargin + (bodyHeight - kIconSize) / 2, kIconSize, kIconSize);
  text_->setGeometry(kMargin + iconSpace, kMargin, width - 2 * kMargin - iconSpace, bodyHeight);
  int x = width - kMargin - rowWidth;
  for (int result : shown) {
    Button(result)->setGeometry(x, buttonStripTop_ + 12, kButtonWidth, kButtonHeight);
    x += kButtonWidth + kButtonGap;
  }
  setFixedSize(width, height);
}

void MessageBoxDialog::reject() {
  if (closeEnabled_) done(kResultCancel);
}

void MessageBoxDialog::closeEvent(QCloseEvent* event) {
  if (!closeEnabled_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void MessageBoxDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The platform has one alert sound; every icon plays it, a plain box stays quiet.
  if (icon_ != 0) QApplication::beep();
}

void MessageBoxDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  skin::PaintDialogBackground(painter, rect(), buttonStripTop_);
}

int ShowMessageBox(const QString& text, const QString& caption, unsigned style, QWidget* owner) {
  if (owner == nullptr) owner = QApplication::activeWindow();
  MessageBoxDialog dialog(text, caption, style, owner);
  return dialog.exec();
}

}  // namespace veyra
