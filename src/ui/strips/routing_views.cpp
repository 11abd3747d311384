#include "strips/routing_views.hpp"

#include <QPainter>
#include <QScrollArea>
#include <algorithm>

#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/edit_context.hpp"
#include "strips/channel_strip.hpp"
#include "strips/channel_texts.hpp"
#include "strips/row_panel.hpp"
#include "strips/strip_style.hpp"

namespace veyra {
namespace {

constexpr ChannelKind kKinds[] = {ChannelKind::Input, ChannelKind::Output};

// Classic screen geometry of the two views.
constexpr int kHeadX = 170, kStripsX = 300, kStripsY = 80, kStripPitch = 100;
constexpr int kRowsY = 100, kRowPitch = 75;
constexpr int kInputRowWidth = 450, kInputRowLinesWidth = 350;
constexpr int kOutputRowX = 450, kOutputRowLinesX = 500, kOutputRowWidth = 574;
constexpr int kLineTop = 110, kLineSpread = 3;
constexpr int kMargin = 12;  // beyond the last panel, so that scrolling shows its edge

int Count(const ParameterStore& store, ChannelKind kind) {
  return std::clamp(ChannelCount(store, kind), 0, kChannelSlots);
}

QScrollArea* MakeScroll(QWidget* area, QWidget* content, Qt::Alignment alignment) {
  auto* scroll = new QScrollArea(area);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(false);
  scroll->setAlignment(alignment);
  QPalette fill = scroll->palette();
  fill.setColor(QPalette::Window, skin::kShellBody);
  scroll->setPalette(fill);
  scroll->viewport()->setPalette(fill);
  scroll->setWidget(content);
  return scroll;
}

}  // namespace

std::vector<RoutingLine> RoutingLines(const ParameterStore& store) {
  std::vector<RoutingLine> lines;
  for (int i = 0; i < Count(store, ChannelKind::Input); ++i)
    for (int k = 0; k < Count(store, ChannelKind::Output); ++k)
      if (Routed(store, k, i))
        lines.push_back({i, k, QPoint(kInputRowLinesWidth, kLineTop + kRowPitch * i + kLineSpread * k),
                         QPoint(kOutputRowLinesX, kLineTop + kRowPitch * k + kLineSpread * i)});
  return lines;
}

// The matrix view's surface: the row panels sit on it and it draws the
// routing lines between the two columns.
class MatrixCanvas : public QWidget {
 public:
  MatrixCanvas(const ParameterStore& store, const RoutingViewState& view) : store_(store), view_(view) {
    setObjectName("MatrixContent");
  }
  int LinesPainted() const { return painted_; }

 protected:
  void paintEvent(QPaintEvent*) override {
    painted_ = 0;
    if (view_.ViewMode != 2 || view_.MixButtonMode) return;
    QPainter p(this);
    // Crisp one-pixel lines: smoothing would halve their colour on the dark ground.
    p.translate(-RoutingViews::kMatrixOrigin);
    for (const RoutingLine& line : RoutingLines(store_)) {
      p.setPen(QPen(InputColour(line.Input), 1, Qt::SolidLine));
      p.drawLine(line.From, line.To);
      ++painted_;
    }
  }

 private:
  const ParameterStore& store_;
  const RoutingViewState& view_;
  int painted_ = 0;
};

RoutingViews::RoutingViews(EditContext& context, QWidget* mixerArea, QWidget* matrixArea)
    : mixerArea_(mixerArea),
      matrixArea_(matrixArea),
      actions_(context),
      mixer_(new QWidget),
      matrix_(new MatrixCanvas(context.Store(), view_)) {
  mixer_->setObjectName("MixerContent");
  // The strips stand in the middle of a tall window; the matrix grows downwards.
  mixerScroll_ = MakeScroll(mixerArea, mixer_, Qt::AlignLeft | Qt::AlignVCenter);
  matrixScroll_ = MakeScroll(matrixArea, matrix_, Qt::AlignLeft | Qt::AlignTop);
  for (ChannelKind kind : kKinds) {
    const size_t side = Index(kind);
    heads_[side] = new StripHead(kind, mixer_);
    for (int ch = 0; ch < kChannelSlots; ++ch) {
      strips_[side][static_cast<size_t>(ch)] = new ChannelStrip(actions_, kind, ch, mixer_);
      rows_[side][static_cast<size_t>(ch)] = new RowPanel(actions_, kind, ch, matrix_);
    }
    columnCaptions_[side] =
        strip_style::MakeCaption(RowTraits(kind).SideTitle, matrix_, 12, Qt::AlignLeft | Qt::AlignVCenter);
    selectCaptions_[side] = strip_style::MakeCaption(RowTraits(kind).SelectCaption, matrix_, 11);
  }
  ShowOnly({});
}

RoutingViews::~RoutingViews() {
  delete mixerScroll_;
  delete matrixScroll_;
}

ChannelStrip* RoutingViews::Strip(ChannelKind kind, int channel) const {
  return strips_[Index(kind)][static_cast<size_t>(channel)];
}
StripHead* RoutingViews::Head(ChannelKind kind) const {
  return heads_[Index(kind)];
}
RowPanel* RoutingViews::Row(ChannelKind kind, int channel) const {
  return rows_[Index(kind)][static_cast<size_t>(channel)];
}
QWidget* RoutingViews::MixerContent() const {
  return mixer_;
}
QWidget* RoutingViews::MatrixContent() const {
  return matrix_;
}
int RoutingViews::LinesPainted() const {
  return matrix_->LinesPainted();
}

std::vector<ChannelPanel*> RoutingViews::Panels() const {
  std::vector<ChannelPanel*> panels;
  for (const auto& side : strips_) panels.insert(panels.end(), side.begin(), side.end());
  for (const auto& side : rows_) panels.insert(panels.end(), side.begin(), side.end());
  return panels;
}

void RoutingViews::Refresh(const ParameterStore& store) {
  routing_ = RoutingBits(store);
  for (ChannelPanel* panel : Panels()) panel->Refresh(store);
  matrix_->update();
}

void RoutingViews::RefreshChannels(const ParameterStore& store, const RefreshScope& scope) {
  if (scope.Everything || RoutingBits(store) != routing_) {
    Refresh(store);
    return;
  }
  for (ChannelKind kind : kKinds) {
    for (int ch = 0; ch < kChannelSlots; ++ch) {
      if (!scope.Touches(kind, ch)) continue;
      strips_[Index(kind)][static_cast<size_t>(ch)]->Refresh(store);
      rows_[Index(kind)][static_cast<size_t>(ch)]->Refresh(store);
    }
  }
  matrix_->update();
}

uint64_t RoutingViews::RoutingBits(const ParameterStore& store) {
  uint64_t bits = 0;
  for (int out = 0; out < kChannelSlots; ++out)
    for (int in = 0; in < kChannelSlots; ++in)
      if (Routed(store, out, in)) bits |= uint64_t{1} << (8 * out + in);
  return bits;
}

void RoutingViews::EnableControls(bool enabled) {
  for (ChannelPanel* panel : Panels()) panel->EnableControls(enabled);
}

void RoutingViews::RebuildGroupLists(const ParameterStore& store) {
  for (const auto& side : strips_)
    for (ChannelStrip* strip : side) strip->Refresh(store);
}

void RoutingViews::ShowMeters(const ParameterStore& store) {
  for (ChannelKind kind : kKinds) {
    const uint8_t* levels = kind == ChannelKind::Input ? store.System.InputMeters : store.System.OutputMeters;
    for (int ch = 0; ch < kChannelSlots; ++ch) {
      ChannelPanel* panel = view_.ViewMode == 2 ? static_cast<ChannelPanel*>(Row(kind, ch)) : Strip(kind, ch);
      if (view_.ViewMode != 0 && !panel->isHidden()) panel->ShowMeterLevel(levels[ch]);
    }
  }
}

void RoutingViews::ShowOnly(const std::vector<QWidget*>& shown) {
  std::vector<QWidget*> all(heads_.begin(), heads_.end());
  for (ChannelPanel* panel : Panels()) all.push_back(panel);
  all.insert(all.end(), columnCaptions_.begin(), columnCaptions_.end());
  all.insert(all.end(), selectCaptions_.begin(), selectCaptions_.end());
  // Only what changes is shown or hidden: a panel that stays keeps the focus
  // of a field being typed into while the window is resized.
  for (QWidget* widget : all)
    widget->setVisible(std::find(shown.begin(), shown.end(), widget) != shown.end());
}

void RoutingViews::LayOut(const RoutingViewState& view, const ParameterStore& store) {
  view_ = view;
  mixerScroll_->setGeometry(mixerArea_->rect());
  matrixScroll_->setGeometry(matrixArea_->rect());
  std::vector<QWidget*> shown;
  if (view.ViewMode == 1) LayOutMixer(store, shown);
  if (view.ViewMode == 2) LayOutMatrix(store, shown);
  ShowOnly(shown);
  matrix_->update();
}

void RoutingViews::LayOutMixer(const ParameterStore& store, std::vector<QWidget*>& shown) {
  const ChannelKind kind = view_.InputSideSelected ? ChannelKind::Input : ChannelKind::Output;
  const ChannelKind other = view_.InputSideSelected ? ChannelKind::Output : ChannelKind::Input;
  const QPoint o = kMixerOrigin;
  const int count = Count(store, kind);
  StripHead* head = Head(kind);
  head->setGeometry(kHeadX - o.x(), kStripsY - o.y(), StripLayout::kHeadWidth, StripLayout::kHeight);
  head->SetChannelCount(count);
  shown.push_back(head);
  for (int k = 0; k < count; ++k) {
    ChannelStrip* strip = Strip(kind, k);
    strip->setGeometry(kStripsX + kStripPitch * k - o.x(), kStripsY - o.y(), StripLayout::kWidth,
                       StripLayout::kHeight);
    strip->SetRoutingCount(Count(store, other));
    shown.push_back(strip);
  }
  mixer_->resize(kStripsX + kStripPitch * count - o.x() + kMargin,
                 kStripsY + StripLayout::kHeight - o.y() + kMargin);
}

void RoutingViews::LayOutMatrix(const ParameterStore& store, std::vector<QWidget*>& shown) {
  const QPoint o = kMatrixOrigin;
  const bool buttons = view_.MixButtonMode;
  const int inputs = Count(store, ChannelKind::Input);
  const int outputs = Count(store, ChannelKind::Output);
  const int inputWidth = buttons ? kInputRowWidth : kInputRowLinesWidth;
  const int outputX = buttons ? kOutputRowX : kOutputRowLinesX;
  for (int k = 0; k < inputs; ++k) {
    RowPanel* row = Row(ChannelKind::Input, k);
    row->setGeometry(-o.x(), kRowsY + kRowPitch * k - o.y(), inputWidth, RowPanel::kHeight);
    row->SetRoutingCount(outputs);
    row->SetRoutingShown(buttons);
    shown.push_back(row);
  }
  for (int k = 0; k < outputs; ++k) {
    RowPanel* row = Row(ChannelKind::Output, k);
    row->setGeometry(outputX - o.x(), kRowsY + kRowPitch * k - o.y(), kOutputRowWidth, RowPanel::kHeight);
    row->SetRoutingCount(inputs);
    row->SetRoutingShown(buttons);
    shown.push_back(row);
  }
  // Column captions above the rows; the routing buttons' captions only while they are shown.
  const int captionY = kRowsY - o.y() - 22;
  columnCaptions_[0]->setGeometry(-o.x() + 10, captionY, 200, 18);
  columnCaptions_[1]->setGeometry(outputX - o.x() + (buttons ? RowPanel::kRoutingWidth : 0) + 10, captionY,
                                  200, 18);
  selectCaptions_[0]->setGeometry(kInputRowWidth - RowPanel::kRoutingWidth - o.x(), captionY,
                                  RowPanel::kRoutingWidth, 18);
  selectCaptions_[1]->setGeometry(kOutputRowX - o.x(), captionY, RowPanel::kRoutingWidth, 18);
  shown.insert(shown.end(), columnCaptions_.begin(), columnCaptions_.end());
  if (buttons) shown.insert(shown.end(), selectCaptions_.begin(), selectCaptions_.end());
  matrix_->resize(outputX + kOutputRowWidth - o.x() + kMargin,
                  kRowsY + kRowPitch * std::max(inputs, outputs) - o.y() + kMargin);
}

}  // namespace veyra
