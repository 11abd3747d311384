#include "curves/response_graph.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "controls/skin_style.hpp"
#include "curves/graph_layout.hpp"
#include "params/eq_bands.hpp"
#include "params/param_change.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

// One span for every graph, as the editors' "Zoom" button steps it; each live
// graph is set up again when it changes.
int g_decibel_span = kDefaultDecibelSpan;
std::vector<ResponseGraph*>& LiveGraphs() {
  static std::vector<ResponseGraph*> graphs;
  return graphs;
}

constexpr int kWheelNotch = 120;
constexpr double kMaxDragGainDb = 15;
constexpr double kMinDragGainDb = -30;
constexpr double kMinWidthOctaves = 0.05;
constexpr double kMaxWidthOctaves = 3.0;

EqBand& BandOf(ParameterStore& store, bool output, int channel, int band) {
  return output ? store.Outputs[channel].Bands[band] : store.Inputs[channel].Bands[band];
}

// The next whole-hertz frequency of the curve grid above (or below) hertz.
int NextGridFrequency(int hertz, int direction) {
  if (direction > 0) {
    for (double f : FrequencyTable)
      if (std::lround(f) > hertz) return static_cast<int>(std::min<long>(std::lround(f), kFrequencyMax));
    return kFrequencyMax;
  }
  for (int i = kFrequencyPoints - 1; i >= 0; --i)
    if (std::lround(FrequencyTable[i]) < hertz)
      return static_cast<int>(std::max<long>(std::lround(FrequencyTable[i]), kFrequencyMin));
  return kFrequencyMin;
}

}  // namespace

ResponseGraph::ResponseGraph(ParameterStore& store, QWidget* parent)
    : QWidget(parent), store_(store), curves_(std::make_unique<GraphCurveSet>()) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 100);
  curves_->Attach(store_, false);
  LiveGraphs().push_back(this);
}

ResponseGraph::~ResponseGraph() {
  std::erase(LiveGraphs(), this);
}

int ResponseGraph::DecibelSpan() {
  return g_decibel_span;
}

void ResponseGraph::CycleZoom() {
  g_decibel_span -= 5;
  if (g_decibel_span <= 10) g_decibel_span = kDefaultDecibelSpan;
  for (ResponseGraph* graph : LiveGraphs()) {
    graph->InitPlot();
    graph->Redraw();
  }
}

void ResponseGraph::ShowInputChannel(int channel) {
  Show(false, channel);
}
void ResponseGraph::ShowOutputChannel(int channel) {
  Show(true, channel);
}

void ResponseGraph::Show(bool output, int channel) {
  mode_ = output ? kOutputView : kInputView;
  channel_ = std::clamp(channel, 0, kChannelSlots - 1);
  selected_ = -1;
  drag_ = Part::None;
  curves_->Attach(store_, output);
  InitPlot();
  Redraw();
}

void ResponseGraph::SetShownChannels(uint8_t mask) {
  shown_ = mask;
  Redraw();
}

void ResponseGraph::SetNamedFilter(int index) {
  if (index == named_) return;  // every other change redraws by itself
  named_ = index;
  Redraw();
}

void ResponseGraph::Reload() {
  curves_->ComputeAll();
  Redraw();
}

void ResponseGraph::ReloadChannels(uint8_t mask) {
  if (editing_) mask = static_cast<uint8_t>(mask & ~(1u << channel_));
  if (mask == 0) return;
  for (int c = 0; c < kChannelSlots; ++c)
    if ((mask >> c & 1) != 0) curves_->ComputeChannel(c);
  Redraw();
}

void ResponseGraph::InitPlot() {
  curves_->SetClientSize(size(), g_decibel_span);
}

void ResponseGraph::Redraw() {
  if (selected_ >= 0 && !IsValidActive(selected_)) selected_ = -1;
  GraphView view;
  view.Channel = channel_;
  view.ShownMask = shown_;
  view.SelectedFilter = selected_;
  view.FilledFilter = selected_ >= 0 ? selected_ : named_;
  view.Focused = hasFocus();
  frame_.Render(*curves_, view, devicePixelRatioF());
  update();
}

QRect ResponseGraph::PlotRect() const {
  return graph::ToQRect(curves_->Plot());
}

const CFilter* ResponseGraph::FilterAt(int filterIndex) const {
  const ChannelCurve& curve = curves_->Channel(channel_);
  return filterIndex >= 0 && filterIndex < curve.FilterCount() ? &curve.Filter(filterIndex) : nullptr;
}

bool ResponseGraph::IsValidActive(int filterIndex) const {
  const CFilter* filter = FilterAt(filterIndex);
  return filter != nullptr && graph::IsActive(*filter);
}

QPoint ResponseGraph::HandleCentre(int filterIndex) const {
  const CFilter* filter = FilterAt(filterIndex);
  if (filter == nullptr) return {-1, -1};
  return graph::HandleCentreOf(graph::HandleRect(*filter, curves_->Plot(), curves_->DecibelSpan()));
}

QRect ResponseGraph::WidthHandle(int filterIndex, bool right) const {
  const CFilter* filter = FilterAt(filterIndex);
  if (filter == nullptr) return {};
  return graph::WidthHandleRect(*filter, right, curves_->Plot(), curves_->DecibelSpan());
}

QString ResponseGraph::LabelText(int filterIndex) const {
  const CFilter* filter = FilterAt(filterIndex);
  return filter == nullptr ? QString() : graph::LabelText(*filter);
}

// ---- Painting ---------------------------------------------------------------------

void ResponseGraph::paintEvent(QPaintEvent*) {
  if (frame_.Image().devicePixelRatio() != devicePixelRatioF()) Redraw();
  QPainter painter(this);
  painter.drawImage(0, 0, frame_.Image());
  if (!pointer_inside_ || drag_ != Part::None) return;
  // Where the pointer is, in the plot's units, in the top-right corner.
  const veyra::PlotRect& plot = curves_->Plot();
  const int hertz = XToFrequency(pointer_.x() - plot.Left, plot.Width());
  const double db = YToGain(pointer_.y() - plot.Top, plot.Height(), curves_->DecibelSpan());
  const QString text = QString::fromStdString(Format("%d Hz  %+.1f dB", hertz, db));
  painter.setFont(skin::ControlFont(11));
  const QRect box(plot.Right - 118, plot.Top + 3, 115, 17);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(16, 21, 24, 210));
  painter.drawRoundedRect(box, 3, 3);
  painter.setPen(skin::kTextLight);
  painter.drawText(box, Qt::AlignCenter, text);
}

void ResponseGraph::resizeEvent(QResizeEvent*) {
  InitPlot();
  Redraw();
}

// ---- Pointer --------------------------------------------------------------------

ResponseGraph::Part ResponseGraph::PartOfSelected(const QPoint& at) const {
  const CFilter* filter = FilterAt(selected_);
  if (filter == nullptr || !graph::IsActive(*filter)) return Part::None;
  const veyra::PlotRect& plot = curves_->Plot();
  const int span = curves_->DecibelSpan();
  if (graph::HandleRect(*filter, plot, span).contains(at)) return Part::Handle;
  if (graph::WidthHandleRect(*filter, true, plot, span).contains(at)) return Part::RightWidth;
  if (graph::WidthHandleRect(*filter, false, plot, span).contains(at)) return Part::LeftWidth;
  return Part::None;
}

int ResponseGraph::FilterUnder(const QPoint& at) const {
  const ChannelCurve& curve = curves_->Channel(channel_);
  for (int f = 0; f < curve.FilterCount(); ++f) {
    const CFilter& filter = curve.Filter(f);
    if (graph::IsActive(filter) &&
        graph::HandleRect(filter, curves_->Plot(), curves_->DecibelSpan()).contains(at))
      return f;
  }
  return -1;
}

void ResponseGraph::Select(int filterIndex) {
  if (filterIndex == selected_) return;
  selected_ = filterIndex;
  Redraw();
}

void ResponseGraph::Hover(const QPoint& at) {
  Part part = PartOfSelected(at);
  if (part == Part::None) {
    // The selection follows the pointer from handle to handle; off every
    // handle the editor's named filter shows again.
    Select(FilterUnder(at));
    part = selected_ >= 0 ? Part::Handle : Part::None;
  }
  setCursor(part == Part::Handle ? Qt::SizeAllCursor
            : part == Part::None ? Qt::ArrowCursor
                                 : Qt::SizeHorCursor);
}

void ResponseGraph::mouseMoveEvent(QMouseEvent* event) {
  pointer_ = event->position().toPoint();
  pointer_inside_ = PlotRect().contains(pointer_);
  if (drag_ == Part::Handle) {
    DragHandle(pointer_);
  } else if (drag_ != Part::None) {
    DragWidth(pointer_);
  } else if (event->buttons() == Qt::NoButton) {
    Hover(pointer_);
  }
  update();
}

void ResponseGraph::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  const QPoint at = event->position().toPoint();
  Hover(at);  // a press without a move before it still grabs the handle under it
  drag_ = PartOfSelected(at);
  if (drag_ == Part::RightWidth || drag_ == Part::LeftWidth) {
    const CFilter& filter = *FilterAt(selected_);
    const veyra::PlotRect& plot = curves_->Plot();
    const double factor = std::exp2(filter.WidthOctaves());
    const double anchor =
        drag_ == Part::RightWidth ? filter.Band()->Freq * factor : filter.Band()->Freq / factor;
    grab_offset_ = at.x() - plot.Left - FrequencyToX(anchor, plot.Width());
  }
}

void ResponseGraph::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  drag_ = Part::None;
  Hover(event->position().toPoint());
  update();
}

void ResponseGraph::leaveEvent(QEvent*) {
  pointer_inside_ = false;
  update();
}

void ResponseGraph::DragHandle(const QPoint& at) {
  const CFilter* filter = FilterAt(selected_);
  if (filter == nullptr) return;
  const veyra::PlotRect& plot = curves_->Plot();
  const int x = std::clamp(at.x() - plot.Left, 0, plot.Width());
  if (filter->IsSection()) {
    // Frequency only; at or left of the plot's edge a high-pass opens to 10 Hz.
    const bool open = filter->Kind() == FilterKind::HighPass && at.x() <= plot.Left;
    WriteSection(selected_,
                 LimitSectionFrequency(selected_, open ? kFrequencyMin : XToFrequency(x, plot.Width())));
    return;
  }
  int y = std::clamp(at.y() - plot.Top, 0, plot.Height());
  if (y == 0) y = 8;
  const int hertz = LimitBandFrequency(selected_, XToFrequency(x, plot.Width()));
  const double gain =
      std::clamp(YToGain(y, plot.Height(), curves_->DecibelSpan()), kMinDragGainDb, kMaxDragGainDb);
  // Exactly 0 dB switches the band off, which is stored as the 0 dB code.
  const int code = gain == 0.0 ? kGainZero : static_cast<int>((gain + 60) * 100 / 10 + 0.5);
  WriteBand(selected_, hertz, code);
}

void ResponseGraph::DragWidth(const QPoint& at) {
  const CFilter* filter = FilterAt(selected_);
  if (filter == nullptr || !filter->IsBand()) return;
  const veyra::PlotRect& plot = curves_->Plot();
  // The grab offset keeps the handle where it was taken: the anchor of an
  // N-octave handle is f * 2^N, so N is read back as log2 of the ratio.
  const double x = std::clamp(at.x() - grab_offset_ - plot.Left, 0.0, static_cast<double>(plot.Width()));
  const double pointerHz = XToFrequency(x, plot.Width());
  const double bandHz = std::max<int>(filter->Band()->Freq, kFrequencyMin);
  double octaves = drag_ == Part::RightWidth ? std::log2(pointerHz / bandHz) : std::log2(bandHz / pointerHz);
  octaves = std::clamp(octaves, kMinWidthOctaves, kMaxWidthOctaves);
  WriteWidth(selected_, std::clamp(static_cast<int>((octaves - 0.05) * 100 + 0.05), 0, kWidthMax));
}

void ResponseGraph::wheelEvent(QWheelEvent* event) {
  event->accept();
  const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
  // Not reset after a step: further notches the same way step at once, and
  // the first notch back only returns the accumulator to 0.
  wheel_ = std::clamp(wheel_ + delta, -kWheelNotch, kWheelNotch);
  if ((wheel_ != kWheelNotch && wheel_ != -kWheelNotch) || !IsValidActive(selected_)) return;
  const int direction = wheel_ > 0 ? 1 : -1;
  if (FilterAt(selected_)->IsBand())
    StepGain(selected_, direction);
  else
    StepSectionHertz(selected_, direction);
}

// ---- Keyboard -------------------------------------------------------------------

void ResponseGraph::keyPressEvent(QKeyEvent* event) {
  const int target = IsValidActive(selected_) ? selected_ : IsValidActive(named_) ? named_ : -1;
  const bool band = target >= 0 && FilterAt(target)->IsBand();
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
      if (target >= 0) StepFrequency(target, event->key() == Qt::Key_Right ? 1 : -1);
      break;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (band) StepGain(target, event->key() == Qt::Key_Up ? 1 : -1);
      break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
      if (band) StepGain(target, event->key() == Qt::Key_PageUp ? 10 : -10);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

bool ResponseGraph::focusNextPrevChild(bool next) {
  // Tab walks the handles of the active filters; past the last (or before the
  // first) the keyboard moves on to the next control.
  std::vector<int> active;
  for (int f = 0; f < curves_->Channel(channel_).FilterCount(); ++f)
    if (IsValidActive(f)) active.push_back(f);
  const auto at = std::find(active.begin(), active.end(), selected_);
  int position = at == active.end() ? (next ? -1 : static_cast<int>(active.size()))
                                    : static_cast<int>(at - active.begin());
  position += next ? 1 : -1;
  if (position >= 0 && position < static_cast<int>(active.size())) {
    Select(active[position]);
    return true;
  }
  Select(-1);
  return QWidget::focusNextPrevChild(next);
}

void ResponseGraph::focusInEvent(QFocusEvent* event) {
  // Coming in by Tab starts at the first handle, by Shift+Tab at the last.
  const bool tab = event->reason() == Qt::TabFocusReason, backtab = event->reason() == Qt::BacktabFocusReason;
  if (selected_ < 0 && (tab || backtab)) {
    const int count = curves_->Channel(channel_).FilterCount();
    for (int i = 0; i < count; ++i) {
      const int f = tab ? i : count - 1 - i;
      if (IsValidActive(f)) {
        selected_ = f;
        break;
      }
    }
  }
  Redraw();
}

void ResponseGraph::focusOutEvent(QFocusEvent*) {
  Redraw();
}

// ---- Edits ----------------------------------------------------------------------

// The core's filter rule, so that a drag never leaves a value the store
// would limit: shelves keep to their side of 2000 Hz, the sections do not cross.
int ResponseGraph::LimitBandFrequency(int filterIndex, int hertz) const {
  return ShelfLimitedFrequency(FilterAt(filterIndex)->Band()->Type,
                               std::clamp(hertz, kFrequencyMin, kFrequencyMax));
}

int ResponseGraph::LimitSectionFrequency(int filterIndex, int hertz) const {
  const int section = filterIndex == ChannelCurve::kHighPassIndex ? kHighPass : kLowPass;
  return SectionLimitedFrequency(store_, channel_, section, std::clamp(hertz, kFrequencyMin, kFrequencyMax));
}

void ResponseGraph::StepGain(int filterIndex, int codes) {
  const EqBand& band = *FilterAt(filterIndex)->Band();
  WriteBand(filterIndex, band.Freq, std::clamp(band.Gain + codes, kEqGainMin, kEqGainMax));
}

void ResponseGraph::StepFrequency(int filterIndex, int direction) {
  const CFilter& filter = *FilterAt(filterIndex);
  if (filter.IsSection()) {
    WriteSection(filterIndex,
                 LimitSectionFrequency(filterIndex, NextGridFrequency(filter.Section()->Freq, direction)));
    return;
  }
  const EqBand& band = *filter.Band();
  WriteBand(filterIndex, LimitBandFrequency(filterIndex, NextGridFrequency(band.Freq, direction)), band.Gain);
}

void ResponseGraph::StepSectionHertz(int filterIndex, int hertz) {
  const FilterSection& section = *FilterAt(filterIndex)->Section();
  WriteSection(filterIndex, LimitSectionFrequency(filterIndex, section.Freq + hertz));
}

void ResponseGraph::WriteBand(int filterIndex, int hertz, int gainCode) {
  const EqBand& band = *FilterAt(filterIndex)->Band();
  if (band.Freq == hertz && band.Gain == gainCode) return;
  const bool output = mode_ == kOutputView;
  const int channel = channel_;
  Apply(filterIndex, [=](ParameterStore& store) {
    EqBand& record = BandOf(store, output, channel, filterIndex);
    record.Freq = static_cast<uint16_t>(hertz);
    record.Gain = static_cast<uint16_t>(gainCode);
  });
}

void ResponseGraph::WriteWidth(int filterIndex, int widthCode) {
  if (FilterAt(filterIndex)->Band()->Width == widthCode) return;
  const bool output = mode_ == kOutputView;
  const int channel = channel_;
  Apply(filterIndex, [=](ParameterStore& store) {
    BandOf(store, output, channel, filterIndex).Width = static_cast<uint16_t>(widthCode);
  });
}

void ResponseGraph::WriteSection(int filterIndex, int hertz) {
  if (FilterAt(filterIndex)->Section()->Freq == hertz) return;
  const int channel = channel_;
  const int section = filterIndex == ChannelCurve::kHighPassIndex ? kHighPass : kLowPass;
  Apply(filterIndex, [=](ParameterStore& store) {
    store.Outputs[channel].Crossover[section].Freq = static_cast<uint16_t>(hertz);
  });
}

void ResponseGraph::Apply(int filterIndex, const std::function<void(ParameterStore&)>& write) {
  editing_ = true;
  if (sink_)
    sink_(filterIndex, write);
  else
    write(store_);
  editing_ = false;
  curves_->RecomputeFilter(channel_, filterIndex);
  Redraw();
  emit filterEdited(filterIndex, mode_);
}

}  // namespace veyra
