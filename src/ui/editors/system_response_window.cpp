#include "editors/system_response_window.hpp"

#include <QCheckBox>
#include <QScrollArea>
#include <QVBoxLayout>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_slider.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "curves/system_graph.hpp"
#include "editing/edit_context.hpp"
#include "editing/param_binding.hpp"
#include "params/param_table.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

constexpr int kMargin = 8;
constexpr int kGraphWidth = 820, kGraphHeight = 540;
constexpr int kTopRow = 30;
constexpr int kRow = 20;

const ParamDescriptor& OutputParam(const char* name) {
  return *FindParam(ChannelKind::Output, name);
}

std::string SectionName(int section, const char* what) {
  return std::string(section == kHighPass ? "xover.hp." : "xover.lp.") + what;
}

SkinLabel* Label(const QString& text, QWidget* parent, const QRect& at, bool bold = false) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", 11, bold);
  label->SetTextColor(skin::kTextLight);
  label->setGeometry(at);
  return label;
}

SkinDropDown* List(const std::vector<QString>& entries, QWidget* parent, const QRect& at) {
  auto* list = new SkinDropDown(parent);
  for (const QString& e : entries) list->AddEntry(e);
  list->setGeometry(at);
  return list;
}

QString MergeKey(const ParamDescriptor& param, int channel) {
  return QString("system/%1/%2").arg(QString::fromStdString(param.Name)).arg(channel);
}

}  // namespace

// ---- LiveSlider ----------------------------------------------------------------

LiveSlider::LiveSlider(EditContext& context, const ParamDescriptor& param, int channel, QWidget* parent)
    : QObject(parent), binding_(new ParamBinding(context, param, channel, this)) {
  slider_ = new SkinSlider(parent);
  slider_->SetVertical(false);
  slider_->SetThumbSize(12, 16);
  slider_->SetRange(0, SliderMax(param), false);
  readout_ = new SkinLabel(parent);
  readout_->SetFont("Arial", 11);
  readout_->SetTextColor(skin::kTextLight);
  readout_->SetAlignment(Qt::AlignRight | Qt::AlignVCenter);
  connect(slider_, &SkinSlider::sliderChanging, this, [this](int) { Drag(slider_->GetPos()); });
  connect(slider_, &SkinSlider::sliderChanged, this, [this](int) {
    Drag(slider_->GetPos());
    Release();
  });
}

void LiveSlider::Drag(int position) {
  const ParamDescriptor& param = binding_->Param();
  const int code = CodeOfPosition(param, position, false);
  emit aboutToChange();
  binding_->Context().SetParam(param, binding_->Channel(), code, MergeKey(param, binding_->Channel()));
}

void LiveSlider::Release() {
  binding_->Context().EndMerge();
}

void LiveSlider::Reload() {
  const int code = binding_->Code();
  slider_->SetPos(PositionOfCode(binding_->Param(), code, false));
  readout_->SetText(binding_->Text(code));
}

// ---- AlignmentPanel --------------------------------------------------------------

AlignmentPanel::AlignmentPanel(EditContext& context, int output, QWidget* parent)
    : QWidget(parent), context_(context), output_(output) {
  setFixedSize(kWidth, kHeight);
  const RgbColour rgb = OutputChannelColour(output).Rgb;
  title_ = Label(QString("OUT %1").arg(output + 1), this, QRect(4, 2, 120, kRow), true);
  title_->SetTextColor(QColor(rgb.Red, rgb.Green, rgb.Blue));

  const ParamDescriptor& delay = OutputParam("delay");
  Label("Delay", this, QRect(4, 26, 50, kRow));
  for (int unit = 0; unit < 3; ++unit) {
    auto* field = new ValueEntryField(this);
    field->Attach(this, unit);
    field->setAlignment(Qt::AlignCenter);
    field->setFont(skin::ControlFont(11));
    field->setGeometry(56 + unit * 80, 26, 76, kRow);
    auto* bound = new BoundField(context, delay, output, field);
    if (unit > 0) {
      const DelayDistance distance = unit == 1 ? DelayDistance::Metres : DelayDistance::Feet;
      bound->SetText([this, distance](int code) {
        return QString::fromStdString(DelayDistanceText(context_.Store(), distance, code));
      });
      bound->SetTyped([this, distance](const QString& typed) {
        return ParseDelayDistance(context_.Store(), distance, typed.toStdString());
      });
    }
    connect(
        field, &ValueEntryField::valueEntered, this, [this] { emit aboutToChange(output_); },
        Qt::DirectConnection);
    delay_[static_cast<size_t>(unit)] = bound;
  }

  auto* polarity = new SkinButton(this);
  polarity->setFont(skin::ControlFont(11, true));
  polarity->setGeometry(56, 50, 76, kRow);
  polarity_ = new BoundToggle(context, OutputParam("polarity"), output, polarity, 1, "POL +", "POL -");
  connect(polarity, &SkinButton::pressed, this, [this] { emit aboutToChange(output_); });

  Label("Gain", this, QRect(4, 74, 50, kRow));
  gain_ = new LiveSlider(context, OutputParam("gain"), output, this);
  gain_->Slider()->setGeometry(56, 74, 170, kRow);
  gain_->Readout()->setGeometry(228, 74, 68, kRow);
  connect(gain_, &LiveSlider::aboutToChange, this, [this] { emit aboutToChange(output_); });

  BuildSection(kHighPass, 100);
  BuildSection(kLowPass, 152);
}

void AlignmentPanel::BuildSection(int section, int y) {
  const size_t i = static_cast<size_t>(section);
  Label(section == kHighPass ? "HPF" : "LPF", this, QRect(4, y, 50, kRow), true);
  type_[i] = List({"L-R", "BESL", "BUTT"}, this, QRect(56, y, 76, kRow));
  std::vector<QString> slopes;
  for (int code = 0; code <= kCrossoverSlopeMax; ++code)
    slopes.push_back(QString::fromStdString(CrossoverSlopeText(code)));
  slope_[i] = List(slopes, this, QRect(136, y, 76, kRow));
  const std::string type = SectionName(section, "type"), slope = SectionName(section, "slope");
  connect(type_[i], &SkinDropDown::selectionChanged, this,
          [this, i, type] { ChooseFromList(type_[i], type.c_str()); });
  connect(slope_[i], &SkinDropDown::selectionChanged, this,
          [this, i, slope] { ChooseFromList(slope_[i], slope.c_str()); });
  freq_[i] = new LiveSlider(context_, OutputParam(SectionName(section, "freq").c_str()), output_, this);
  freq_[i]->Slider()->setGeometry(56, y + 24, 170, kRow);
  freq_[i]->Readout()->setGeometry(228, y + 24, 68, kRow);
  connect(freq_[i], &LiveSlider::aboutToChange, this, [this] { emit aboutToChange(output_); });
}

void AlignmentPanel::ChooseFromList(SkinDropDown* list, const char* param) {
  const int index = list->GetCurrentIndex();
  if (index < 0) return;
  emit aboutToChange(output_);
  context_.SetParam(OutputParam(param), output_, index);
}

void AlignmentPanel::Reload() {
  for (BoundField* field : delay_) field->Reload();
  polarity_->Reload();
  gain_->Reload();
  const OutputChannel& record = context_.Store().Outputs[output_];
  for (const int section : {kHighPass, kLowPass}) {
    const size_t i = static_cast<size_t>(section);
    const FilterSection& s = record.Crossover[section];
    freq_[i]->Reload();
    type_[i]->SetCurrentIndex(s.CrossoverType <= 2 ? s.CrossoverType : -1);
    slope_[i]->SetCurrentIndex(s.CrossoverSlope <= kCrossoverSlopeMax ? s.CrossoverSlope : -1);
  }
  setEnabled(!context_.Locked());
}

// ---- SystemResponseWindow ------------------------------------------------------------

SystemResponseWindow::SystemResponseWindow(EditContext& context, int input, QWidget* parent)
    : EditorDialog(context, "System response", parent) {
  const int panelsLeft = kMargin + kGraphWidth + kMargin;
  setFixedSize(panelsLeft + AlignmentPanel::kWidth + 24 + kMargin,
               kTopRow + kGraphHeight + 3 * kMargin + kRow + 4);
  ParameterStore& store = context.Store();
  system_.Attach(store.Inputs, store.Outputs);

  Label("Input", this, QRect(kMargin, kMargin, 40, kRow), true);
  std::vector<QString> names;
  for (int i = 0; i < kChannelSlots; ++i) names.push_back(QString("IN %1").arg(QChar('A' + i)));
  inputs_ = List(names, this, QRect(kMargin + 44, kMargin, 70, kRow));
  connect(inputs_, &SkinDropDown::selectionChanged, this, [this] {
    if (inputs_->GetCurrentIndex() >= 0) ChooseInput(inputs_->GetCurrentIndex());
  });
  for (int k = 0; k < kChannelSlots; ++k) {
    auto* box = new QCheckBox(QString("OUT %1").arg(k + 1), this);
    const RgbColour rgb = OutputChannelColour(k).Rgb;
    box->setStyleSheet(QString("QCheckBox { color: rgb(%1, %2, %3); font: bold 11px Arial; }")
                           .arg(rgb.Red)
                           .arg(rgb.Green)
                           .arg(rgb.Blue));
    box->setGeometry(kMargin + 130 + k * 72, kMargin, 70, kRow);
    connect(box, &QCheckBox::clicked, this, [this, k](bool on) { SetOutputShown(k, on); });
    boxes_[static_cast<size_t>(k)] = box;
  }
  groupDelay_ = new SkinButton("Group delay", this);
  groupDelay_->setFont(skin::ControlFont(11, true));
  groupDelay_->setGeometry(kMargin + kGraphWidth - 100, kMargin, 100, kRow);
  connect(groupDelay_, &SkinButton::clicked, this, [this] { SetGroupDelay(groupDelay_->GetDown() == 0); });

  graph_ = new SystemGraph(system_, this);
  graph_->setGeometry(kMargin, kTopRow + kMargin, kGraphWidth, kGraphHeight);
  readout_ = new SkinLabel(this);
  readout_->SetFont("Arial", 11);
  readout_->SetTextColor(skin::kTextLight);
  readout_->setGeometry(kMargin, kTopRow + kMargin + kGraphHeight + 4, kGraphWidth, kRow);
  connect(graph_, &SystemGraph::pointerMoved, this, [this](int index) { ShowReadout(index); });

  auto* scroll = new QScrollArea(this);
  scroll->setGeometry(panelsLeft, kMargin, AlignmentPanel::kWidth + 24, height() - 2 * kMargin);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setStyleSheet("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }");
  auto* column = new QWidget;
  panelColumn_ = new QVBoxLayout(column);
  panelColumn_->setContentsMargins(0, 0, 0, 0);
  panelColumn_->setSpacing(6);
  for (int k = 0; k < kChannelSlots; ++k) {
    auto* panel = new AlignmentPanel(context, k, column);
    connect(panel, &AlignmentPanel::aboutToChange, this, [this](int output) { OutputAboutToChange(output); });
    panelColumn_->addWidget(panel);
    panels_[static_cast<size_t>(k)] = panel;
  }
  panelColumn_->addStretch(1);
  scroll->setWidget(column);
  scroll->setWidgetResizable(true);

  ChooseInput(input);
}

SystemResponseWindow::~SystemResponseWindow() = default;

void SystemResponseWindow::ChooseInput(int input) {
  const int count = Context().ChannelCount(ChannelKind::Input);
  input = std::clamp(input, 0, std::max(0, count - 1));
  hidden_ = 0;
  system_.Select(input, 0);
  setWindowTitle(QString("System response IN %1").arg(QChar('A' + input)));
  Reload();
}

void SystemResponseWindow::SetOutputShown(int output, bool shown) {
  if (output < 0 || output >= kChannelSlots) return;
  const uint8_t bit = static_cast<uint8_t>(1u << output);
  hidden_ = static_cast<uint8_t>(shown ? hidden_ & ~bit : hidden_ | bit);
  Reload();
}

void SystemResponseWindow::SetGroupDelay(bool on) {
  groupDelay_->SetDown(on ? 1 : 0);
  graph_->SetLower(on ? LowerPlot::GroupDelay : LowerPlot::Phase);
}

void SystemResponseWindow::OutputAboutToChange(int output) {
  const ParameterStore& store = Context().Store();
  const uint32_t group = store.Outputs[output].GroupNumber;
  bool alone = group == 0;
  if (!alone) {
    alone = true;
    for (int k = 0; k < Context().ChannelCount(ChannelKind::Output); ++k)
      if (k != output && store.Outputs[k].GroupNumber == group) alone = false;
  }
  changed_ = alone ? output : -1;
}

void SystemResponseWindow::Recompute() {
  // The outputs that take the input, less those the operator unticked.
  const ParameterStore& store = Context().Store();
  uint8_t mask = 0;
  for (int k = 0; k < Context().ChannelCount(ChannelKind::Output); ++k)
    if (store.Outputs[k].Routing[system_.Input()] != 0) mask = static_cast<uint8_t>(mask | 1u << k);
  mask = static_cast<uint8_t>(mask & ~hidden_);
  if (mask != system_.OutputMask()) {
    system_.Select(system_.Input(), mask);
  } else if (changed_ >= 0) {
    system_.OutputChanged(changed_);
  } else {
    system_.ComputeAll();
  }
  changed_ = -1;
}

void SystemResponseWindow::UpdateBoxes() {
  const ParameterStore& store = Context().Store();
  const int outputs = Context().ChannelCount(ChannelKind::Output);
  int x = kMargin + 130;
  for (int k = 0; k < kChannelSlots; ++k) {
    QCheckBox* box = boxes_[static_cast<size_t>(k)];
    const bool takes = k < outputs && store.Outputs[k].Routing[system_.Input()] != 0;
    box->setVisible(takes);
    if (takes) {
      box->move(x, kMargin);
      x += 72;
    }
    box->setChecked(system_.Considered(k));
    box->setToolTip(system_.Considered(k) && !system_.Present(k)
                        ? QString::fromStdString(AbsenceText(system_.Absence(k), system_.Input()))
                        : QString());
  }
}

void SystemResponseWindow::UpdatePanels() {
  for (AlignmentPanel* panel : panels_) {
    const bool shown = system_.Considered(panel->Output());
    panel->setVisible(shown);
    if (shown) panel->Reload();
  }
}

void SystemResponseWindow::ShowReadout(int index) {
  readout_->SetText(index >= 0 ? graph_->ReadoutText(index) : QString("Point at the plot for the values."));
}

void SystemResponseWindow::Reload() {
  if (graph_ == nullptr) return;
  inputs_->ClearEntries();
  for (int i = 0; i < Context().ChannelCount(ChannelKind::Input); ++i)
    inputs_->AddEntry(QString("IN %1").arg(QChar('A' + i)));
  inputs_->SetCurrentIndex(system_.Input());
  Recompute();
  UpdateBoxes();
  UpdatePanels();
  graph_->Redraw();
  ShowReadout(graph_->PointerIndex());
}

QDialog* MakeSystemResponseWindow(EditContext& context, int input, QWidget* parent) {
  return new SystemResponseWindow(context, input, parent);
}

}  // namespace veyra
