#include "mainwin/ab_controls.hpp"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>

#include "controls/png_button.hpp"
#include "controls/skin_style.hpp"
#include "editing/ab_comparison.hpp"
#include "editing/edit_context.hpp"
#include "mainwin/status_area.hpp"

namespace veyra {
namespace {

using Side = AbComparison::Side;

// Two letter tiles; the live side's lit, both dim while no comparison runs.
QImage ButtonImage(const AbComparison& ab) {
  constexpr qreal scale = 2;
  QImage image(QSize(24, 24) * scale, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  image.setDevicePixelRatio(scale);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QFont font("Arial");
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  for (const Side side : {Side::A, Side::B}) {
    const bool lit = ab.Active() && ab.Shown() == side;
    const QRectF tile(side == Side::A ? 0.5 : 12.5, 4.5, 11, 15);
    p.setPen(QPen(QColor(20, 26, 30), 1));
    p.setBrush(lit ? skin::kAccent : QColor(96, 108, 115));
    p.drawRoundedRect(tile, 2, 2);
    p.setPen(lit ? Qt::white : skin::kTextDim);
    p.drawText(tile, Qt::AlignCenter, QString(AbComparison::Letter(side)));
  }
  return image;
}

}  // namespace

AbControls::AbControls(QMainWindow& window, EditContext& context, QMenu& edit, QWidget& toolbar,
                       StatusArea& status, const QString& caption)
    : QObject(&window), window_(window), context_(context), status_(status), caption_(caption) {
  AbComparison& ab = context_.Comparison();
  edit.addSeparator();
  start_ = edit.addAction("Compare &A/B");
  switch_ = edit.addAction("S&witch A/B");
  switch_->setShortcut(QKeySequence(Qt::Key_F9));
  copy_ = edit.addAction("Copy A to B");
  copy_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F9));
  keepA_ = edit.addAction("Keep A");
  keepB_ = edit.addAction("Keep B");
  // The keys work wherever the window has the focus, menu closed or not.
  for (QAction* action : {switch_, copy_}) window.addAction(action);
  connect(start_, &QAction::triggered, &ab, [&ab] { ab.Start(); });
  connect(switch_, &QAction::triggered, &ab, [&ab] { ab.Switch(); });
  connect(copy_, &QAction::triggered, &ab, [&ab] { ab.CopyShownToOther(); });
  connect(keepA_, &QAction::triggered, &ab, [&ab] { ab.Keep(Side::A); });
  connect(keepB_, &QAction::triggered, &ab, [&ab] { ab.Keep(Side::B); });

  button_ = new PngButton(&toolbar);
  button_->setObjectName("CompareAB");
  button_->setFocusPolicy(Qt::NoFocus);
  button_->setToolTip("Compare A/B (F9 switches sides)");
  button_->setAccessibleName("Compare A/B");
  button_->setGeometry(kButtonX, 2, 32, 40);
  connect(button_, &PngButton::clicked, &ab, [&ab] {
    if (ab.Active()) {
      ab.Switch();
    } else {
      ab.Start();
    }
  });

  connect(&ab, &AbComparison::stateChanged, this, &AbControls::Update);
  connect(&context_, &EditContext::controlsEnabledChanged, this, &AbControls::Update);
  // The lock arrives with a connection or the Security dialog, both followed by a refresh.
  connect(&context_, &EditContext::refreshed, this, &AbControls::Update);
  Update();
}

QString AbControls::StatusText(const AbComparison& ab) {
  return ab.Active() ? QString("A/B: %1 live").arg(AbComparison::Letter(ab.Shown())) : QString();
}

void AbControls::Update() {
  const AbComparison& ab = context_.Comparison();
  const bool locked = context_.Locked();
  const bool on = ab.Active();
  const QChar shown = on ? AbComparison::Letter(ab.Shown()) : QChar('A');
  const QChar other = shown == 'A' ? QChar('B') : QChar('A');
  start_->setEnabled(!on && !locked);
  switch_->setEnabled(on && !locked);
  copy_->setText(QString("Copy %1 to %2").arg(shown).arg(other));
  copy_->setEnabled(on && !locked);
  keepA_->setEnabled(on && (!locked || ab.Shown() == Side::A));
  keepB_->setEnabled(on && (!locked || ab.Shown() == Side::B));
  button_->SetImage(ButtonImage(ab));
  button_->setEnabled(on || !locked);
  status_.SetComparison(StatusText(ab));
  window_.setWindowTitle(on ? caption_ + " - " + StatusText(ab) : caption_);
}

void AbControls::SetCaption(const QString& caption) {
  caption_ = caption;
  Update();
}

}  // namespace veyra
