#include "mainwin/view_placeholder.hpp"

#include <QLinearGradient>
#include <QPainter>

#include "controls/skin_style.hpp"
#include "state/device_text.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

constexpr int kMeterSegments = 10;
constexpr int kHeadWidth = 130;
constexpr int kSlotWidth = 100;

void PaintMeter(QPainter& p, const QRectF& area, int level) {
  skin::PaintWell(p, area, 3);
  const qreal gap = 2;
  const qreal h = (area.height() - 4 - gap * (kMeterSegments - 1)) / kMeterSegments;
  for (int k = 0; k < kMeterSegments; ++k) {
    const QRectF seg(area.left() + 3, area.bottom() - 2 - (k + 1) * h - k * gap, area.width() - 6, h);
    QColor lit = k >= 9 ? QColor(232, 72, 64) : k >= 7 ? QColor(240, 190, 40) : QColor(70, 200, 96);
    if (k >= level) lit = lit.darker(420);
    p.fillRect(seg, lit);
  }
}

class SlotCanvas : public QWidget {
 public:
  SlotCanvas(QWidget* parent, const ViewPlaceholder& owner, bool matrix)
      : QWidget(parent), owner_(owner), matrix_(matrix) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (matrix_) {
      PaintMatrix(p);
    } else {
      PaintMixer(p);
    }
  }

 private:
  void PaintSlotFrame(QPainter& p, const QRectF& r) const {
    QLinearGradient fill(r.topLeft(), r.bottomLeft());
    fill.setColorAt(0, QColor(70, 82, 89));
    fill.setColorAt(1, QColor(58, 69, 75));
    p.setPen(QPen(skin::kOutline, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
  }

  void PaintMixer(QPainter& p) const {
    const ViewPlaceholder::Snapshot& s = owner_.Shown();
    const auto& channels = s.InputSide ? s.Inputs : s.Outputs;
    const qreal h = height() - 20;
    const QRectF head(20, 10, kHeadWidth - 6, h);
    PaintSlotFrame(p, head);
    p.setFont(skin::ControlFont(15, true));
    p.setPen(skin::kTextLight);
    p.drawText(head.adjusted(0, 16, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
               s.InputSide ? "INPUTS" : "OUTPUTS");
    p.setFont(skin::ControlFont(11));
    p.setPen(skin::kTextDim);
    p.drawText(head.adjusted(0, 40, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
               QString("%1 channels").arg(channels.size()));
    // The meter scale, shared by the channels to the right.
    const QRectF scale(head.right() - 34, 90, 24, h - 150);
    p.setFont(skin::ControlFont(10));
    for (int k = 0; k <= kMeterSegments; k += 2) {
      const qreal y = scale.bottom() - k * scale.height() / kMeterSegments;
      p.drawText(QRectF(head.left() + 8, y - 7, 50, 14), Qt::AlignRight | Qt::AlignVCenter,
                 QString("%1").arg(-40 + 4 * k));
      p.drawLine(QPointF(scale.left(), y), QPointF(scale.right(), y));
    }
    for (size_t k = 0; k < channels.size(); ++k) {
      const QRectF r(20 + kHeadWidth + kSlotWidth * static_cast<qreal>(k), 10, kSlotWidth - 6, h);
      PaintChannel(p, r, channels[k], scale);
    }
  }

  void PaintChannel(QPainter& p, const QRectF& r, const ViewPlaceholder::Slot& slot,
                    const QRectF& scale) const {
    PaintSlotFrame(p, r);
    p.setFont(skin::ControlFont(14, true));
    p.setPen(owner_.Shown().Enabled ? skin::kTextLight : skin::kTextDisabled);
    p.drawText(QRectF(r.left(), r.top() + 12, r.width(), 20), Qt::AlignCenter, slot.Caption);
    const QRectF name(r.left() + 8, r.top() + 40, r.width() - 16, 22);
    skin::PaintWell(p, name, 3);
    p.setFont(skin::ControlFont(12));
    p.setPen(skin::kAccent);
    p.drawText(name, Qt::AlignCenter, slot.Name);
    PaintMeter(p, QRectF(r.center().x() - 9, scale.top(), 18, scale.height()), slot.Meter);
    const QRectF gain(r.left() + 8, r.bottom() - 58, r.width() - 16, 20);
    skin::PaintWell(p, gain, 3);
    p.setPen(skin::kTextLight);
    p.drawText(gain, Qt::AlignCenter, slot.Gain);
    const QRectF mute(r.left() + 12, r.bottom() - 32, r.width() - 24, 22);
    skin::PaintButtonFace(p, mute, slot.Muted ? skin::kFaceAlert : skin::kFaceUp,
                          {slot.Muted, false, false, owner_.Shown().Enabled, false});
    skin::PaintCaption(p, mute, slot.Muted ? "MUTED" : "MUTE", skin::kTextLight);
  }

  void PaintMatrix(QPainter& p) const {
    const ViewPlaceholder::Snapshot& s = owner_.Shown();
    const qreal rowHeight = std::min<qreal>(64, (height() - 20) / 8.0);
    const qreal columnWidth = (width() - 60) / 2.0;
    for (int side = 0; side < 2; ++side) {
      const auto& channels = side == 0 ? s.Inputs : s.Outputs;
      const qreal x = 20 + side * (columnWidth + 20);
      for (size_t k = 0; k < channels.size(); ++k) {
        const QRectF r(x, 10 + rowHeight * static_cast<qreal>(k), columnWidth, rowHeight - 6);
        PaintSlotFrame(p, r);
        p.setFont(skin::ControlFont(14, true));
        p.setPen(skin::kTextLight);
        p.drawText(r.adjusted(12, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, channels[k].Caption);
        p.setFont(skin::ControlFont(12));
        p.setPen(skin::kAccent);
        p.drawText(r.adjusted(80, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, channels[k].Name);
        p.setPen(skin::kTextLight);
        p.drawText(r.adjusted(0, 0, -14, 0), Qt::AlignRight | Qt::AlignVCenter, channels[k].Gain);
      }
    }
  }

  const ViewPlaceholder& owner_;
  bool matrix_;
};

void FitToParent(QWidget* w) {
  if (w && w->parentWidget()) w->setGeometry(w->parentWidget()->rect());
}

}  // namespace

ViewPlaceholder::ViewPlaceholder(QWidget* mixerArea, QWidget* matrixArea)
    : mixer_(new SlotCanvas(mixerArea, *this, false)), matrix_(new SlotCanvas(matrixArea, *this, true)) {}

ViewPlaceholder::~ViewPlaceholder() {
  delete mixer_;
  delete matrix_;
}

void ViewPlaceholder::Take(const ParameterStore& store) {
  shown_.Inputs.clear();
  shown_.Outputs.clear();
  for (int i = 0; i < store.InputCount; ++i) {
    const InputChannel& in = store.Inputs[i];
    shown_.Inputs.push_back(
        {QString("IN %1").arg(QChar('A' + i)), QString::fromStdString(DecodeField(in.Name)),
         QString::fromStdString(GainText(in.Gain)), store.System.InputMeters[i], in.Mute == 0});
  }
  for (int j = 0; j < store.OutputCount; ++j) {
    const OutputChannel& out = store.Outputs[j];
    shown_.Outputs.push_back({QString("OUT %1").arg(j + 1), QString::fromStdString(DecodeField(out.Name)),
                              QString::fromStdString(GainText(out.Gain)), store.System.OutputMeters[j],
                              out.Mute == 0});
  }
}

void ViewPlaceholder::Refresh(const ParameterStore& store) {
  Take(store);
  mixer_->update();
  matrix_->update();
}

void ViewPlaceholder::EnableControls(bool enabled) {
  shown_.Enabled = enabled;
  mixer_->update();
}

void ViewPlaceholder::LayOut(const RoutingViewState& view, const ParameterStore& store) {
  shown_.InputSide = view.InputSideSelected;
  FitToParent(mixer_);
  FitToParent(matrix_);
  Refresh(store);
}

void ViewPlaceholder::ShowMeters(const ParameterStore& store) {
  Refresh(store);
}

}  // namespace veyra
