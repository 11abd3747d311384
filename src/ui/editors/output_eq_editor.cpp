#include "editors/output_eq_editor.hpp"

#include <algorithm>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "curves/channel_curve.hpp"
#include "editing/edit_context.hpp"
#include "editors/parts/entry_field.hpp"
#include "editors/parts/mode_slider.hpp"
#include "params/param_table.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

constexpr int kRowHeight = 22;
constexpr int kRowPitch = 26;
constexpr int kTitleWidth = 44;
// After the bands' fields (0..29) and the noise gate's (30): low-pass
// frequency and slope, high-pass frequency and slope.
constexpr int kFirstSectionField = 40;

QString Caption(int channel) {
  return QString("Output EQ%1").arg(channel + 1);
}

QString RowCaption(int channel) {
  return QString("EQ%1").arg(channel + 1);
}

const EqEditorSpec kSpec{ChannelKind::Output, Caption, RowCaption, "RESETALL"};

const ParamDescriptor& SectionParam(int section, const char* what) {
  return *FindParam(ChannelKind::Output, std::string(section == kHighPass ? "xover.hp." : "xover.lp.") + what);
}

SkinLabel* Title(const QString& text, QWidget* parent, const QRect& at) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", 12, true);
  label->SetTextColor(skin::kTextLight);
  label->SetAlignment(Qt::AlignCenter);
  label->setGeometry(at);
  return label;
}

}  // namespace

OutputEqEditor::OutputEqEditor(EditContext& context, int channel, QWidget* parent)
    : EqEditorBase(context, kSpec, channel, parent) {
  const QRect area = ExtrasArea();
  const int cell = (area.width() - kTitleWidth) / 3;
  const auto column = [&](int i) { return area.left() + kTitleWidth + i * cell; };
  const char* titles[] = {"Type", "Freq", "Slope"};
  for (int i = 0; i < 3; ++i) Title(titles[i], this, QRect(column(i), area.top(), cell - 4, kRowHeight));
  // The low-pass row lies above the high-pass row.
  for (const int section : {kLowPass, kHighPass}) {
    const int y = area.top() + (section == kLowPass ? 1 : 2) * kRowPitch;
    Title(section == kLowPass ? "LOW" : "HIGH", this, QRect(area.left(), y, kTitleWidth - 4, kRowHeight));
    auto* types = new SkinDropDown(this);
    for (const char* name : {"L-R", "BESL", "BUTT"}) types->AddEntry(name);
    types->setGeometry(column(0), y, cell - 4, kRowHeight);
    connect(types, &SkinDropDown::selectionChanged, this, [this, section, types] {
      const int type = types->GetCurrentIndex();
      if (type >= 0) Context().SetParam(SectionParam(section, "type"), Channel(), type);
    });
    auto* freq = new SkinButton(this);
    auto* slope = new SkinButton(this);
    for (SkinButton* b : {freq, slope}) b->setFont(skin::ControlFont(11, true));
    freq->setGeometry(column(1), y, cell - 4, kRowHeight);
    slope->setGeometry(column(2), y, cell - 4, kRowHeight);
    connect(freq, &SkinButton::clicked, this, [this, section] { SelectSection(section, SectionMode::Frequency); });
    connect(slope, &SkinButton::clicked, this, [this, section] { SelectSection(section, SectionMode::Slope); });
    types_[static_cast<size_t>(section)] = types;
    freq_[static_cast<size_t>(section)] = freq;
    slope_[static_cast<size_t>(section)] = slope;
  }
  slider_ = new ModeSlider(context, SectionParam(kHighPass, "freq"), channel, "Crossover", this);
  const int sliderTop = area.top() + 3 * kRowPitch + 12;
  slider_->setGeometry(area.left(), sliderTop, area.width(), 48);
  // The typed values, in the rows and columns of the buttons above.
  for (const int section : {kLowPass, kHighPass}) {
    const int row = section == kLowPass ? 0 : 1;
    const int y = sliderTop + 48 + 8 + row * kRowPitch;
    Title(section == kLowPass ? "LOW" : "HIGH", this, QRect(area.left(), y, kTitleWidth - 4, kRowHeight));
    const size_t i = static_cast<size_t>(section);
    freqFields_[i] =
        MakeEntryField(context, SectionParam(section, "freq"), channel, kFirstSectionField + 2 * row, this,
                       this, [](int code) { return QString::number(code); });
    slopeFields_[i] =
        MakeEntryField(context, SectionParam(section, "slope"), channel, kFirstSectionField + 2 * row + 1,
                       this, this, [](int code) { return QString::fromStdString(CrossoverSlopeText(code)); });
    freqFields_[i]->Field()->setGeometry(column(1), y, cell - 4, kRowHeight);
    slopeFields_[i]->Field()->setGeometry(column(2), y, cell - 4, kRowHeight);
  }
  connect(slider_, &ModeSlider::codeShown, this, [this](int, const QString& text) {
    SectionButton(section_, mode_)->setText(text);
  });
  // The alignment of this output with the others its input feeds.
  auto* system = new SkinButton("System response", this);
  system->setFont(skin::ControlFont(11, true));
  system->setGeometry(area.left(), area.top() + 3 * kRowPitch + 68, area.width(), kRowHeight);
  connect(system, &SkinButton::clicked, this, [this] {
    const OutputChannel& record = Context().Store().Outputs[Channel()];
    int input = 0;
    while (input < Context().ChannelCount(ChannelKind::Input) - 1 && record.Routing[input] == 0) ++input;
    Context().OpenEditor(WindowKind::SystemResponse, record.Routing[input] != 0 ? input : 0);
  });
  LimitFrequencies();
  SelectSection(kHighPass, SectionMode::Frequency);
  // The bands are named in the graph until a section is picked.
  NameFilter(SelectedBand() - 1);
  Reload();
}

SkinButton* OutputEqEditor::SectionButton(int section, SectionMode mode) const {
  return (mode == SectionMode::Frequency ? freq_ : slope_)[static_cast<size_t>(section)];
}

BoundField* OutputEqEditor::SectionField(int section, SectionMode mode) const {
  return (mode == SectionMode::Frequency ? freqFields_ : slopeFields_)[static_cast<size_t>(section)];
}

void OutputEqEditor::LimitFrequencies() {
  // A record from an old file or a damaged one may hold any frequency; the
  // sections are only drawn and edited within the slider's range.
  for (FilterSection& section : Context().Store().Outputs[Channel()].Crossover)
    section.Freq = static_cast<uint16_t>(std::clamp<int>(section.Freq, kFrequencyMin, kFrequencyMax));
}

void OutputEqEditor::SelectSection(int section, SectionMode mode) {
  section_ = section == kLowPass ? kLowPass : kHighPass;
  mode_ = mode;
  NameFilter(section_ == kHighPass ? ChannelCurve::kHighPassIndex : ChannelCurve::kLowPassIndex);
  SetUpSlider();
}

void OutputEqEditor::SetUpSlider() {
  if (mode_ == SectionMode::Frequency) {
    slider_->Binding().SetText([](int code) { return QString::number(code); });
    slider_->SetMode(SectionParam(section_, "freq"), Channel(), "10Hz", "30000Hz");
  } else {
    slider_->Binding().SetText([](int code) { return QString::fromStdString(CrossoverSlopeText(code)); });
    slider_->SetMode(SectionParam(section_, "slope"), Channel(), "12dB", "48dB");
  }
}

void OutputEqEditor::SectionEdited(int filterIndex) {
  SelectSection(filterIndex == ChannelCurve::kLowPassIndex ? kLowPass : kHighPass, SectionMode::Frequency);
}

void OutputEqEditor::ReloadExtras() {
  if (!slider_ || !slopeFields_[kHighPass]) return;  // still being built
  const OutputChannel& record = Context().Store().Outputs[Channel()];
  for (const int section : {kHighPass, kLowPass}) {
    const FilterSection& s = record.Crossover[section];
    const size_t i = static_cast<size_t>(section);
    types_[i]->SetCurrentIndex(s.CrossoverType <= 2 ? s.CrossoverType : -1);
    freq_[i]->setText(QString::number(s.Freq));
    slope_[i]->setText(QString::fromStdString(CrossoverSlopeText(s.CrossoverSlope)));
    freqFields_[i]->Reload();
    slopeFields_[i]->Reload();
  }
  slider_->Reload();
}

void OutputEqEditor::ExtrasChannelChanged() {
  for (const std::array<BoundField*, 2>& fields : {freqFields_, slopeFields_})
    for (BoundField* field : fields) field->SetChannel(Channel());
  LimitFrequencies();
  SetUpSlider();
}

QDialog* MakeOutputEqEditor(EditContext& context, int channel, QWidget* parent) {
  return new OutputEqEditor(context, channel, parent);
}

}  // namespace veyra
