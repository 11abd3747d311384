#include "editors/parts/eq_band_column.hpp"

#include <cstring>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "editing/edit_context.hpp"
#include "editing/param_binding.hpp"
#include "editors/parts/entry_field.hpp"
#include "params/eq_bands.hpp"
#include "params/param_table.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

constexpr int kRowHeight = 22;

const ParamDescriptor& BandParam(ChannelKind kind, int band, const char* what) {
  return *FindParam(kind, Format("eq%d.%s", band, what));
}

SkinButton* Button(const QString& caption, QWidget* parent) {
  auto* button = new SkinButton(caption, parent);
  button->setFont(skin::ControlFont(11, true));
  return button;
}

SkinDropDown* List(const std::vector<std::string>& entries, QWidget* parent) {
  auto* list = new SkinDropDown(parent);
  for (const std::string& entry : entries) list->AddEntry(QString::fromStdString(entry));
  return list;
}

BoundField* EntryField(EditContext& context, const ParamDescriptor& param, int fieldNumber, CodeText text,
                       QWidget* parent) {
  return MakeEntryField(context, param, 0, fieldNumber,
                        parent->parentWidget() ? parent->parentWidget() : parent, parent, std::move(text));
}

}  // namespace

void ChangeBands(EditContext& context, ChannelKind kind, int channel, const std::vector<int>& bands,
                 const QString& label, const std::function<void(ParameterStore&)>& write) {
  ChannelEdit edit;
  edit.Kind = kind;
  edit.Channel = channel;
  edit.Label = label;
  edit.Write = write;
  edit.Link = GroupLink::Eq;
  for (const int band : bands) {
    edit.Groups.push_back(BandGroup(kind, band));
    const std::vector<FieldSpan>& fields = BandLinkFields(kind, band);
    edit.LinkFields.insert(edit.LinkFields.end(), fields.begin(), fields.end());
  }
  context.Apply(edit);
}

EqBandColumn::EqBandColumn(EditContext& context, ChannelKind kind, int band, QWidget* parent)
    : QWidget(parent), context_(context), kind_(kind), band_(band) {
  type_ = List({"PEQ", "LSHLF", "HSHLF"}, this);
  freq_ = Button("1000", this);
  width_ = Button("OCT", this);
  gain_ = Button("0.00DB", this);
  label_ = new SkinLabel(QString("BAND %1").arg(band), this);
  label_->SetFont("Arial", 12, true);
  label_->SetAlignment(Qt::AlignCenter);
  reset_ = Button("RESET", this);
  bypass_ = Button("BYPASS", this);
  // Field numbers as the typed-entry notifications count them: 0..9
  // frequency, 10..19 width, 20..29 gain of bands 1..10.
  freqField_ = EntryField(
      context, BandParam(kind, band, "freq"), band - 1, [](int code) { return QString::number(code); }, this);
  widthField_ = EntryField(
      context, BandParam(kind, band, "width"), 10 + band - 1,
      [](int code) { return QString::fromStdString(WidthText(code)); }, this);
  gainField_ = EntryField(
      context, BandParam(kind, band, "gain"), 20 + band - 1,
      [](int code) { return QString::fromStdString(GainText2(code)); }, this);
  slope_ = List({"6OCT", "12OCT"}, this);

  connect(freq_, &SkinButton::clicked, this, [this] { emit modeChosen(band_, BandMode::Frequency); });
  connect(width_, &SkinButton::clicked, this, [this] { emit modeChosen(band_, BandMode::Width); });
  connect(gain_, &SkinButton::clicked, this, [this] { emit modeChosen(band_, BandMode::Gain); });
  connect(type_, &SkinDropDown::selectionChanged, this, [this] {
    const int type = type_->GetCurrentIndex();
    if (type < 0 || type == Record().Type) return;
    context_.SetParam(BandParam(kind_, band_, "type"), channel_, type);
    emit typeChanged(band_);
  });
  connect(slope_, &SkinDropDown::selectionChanged, this, [this] {
    if (slope_->GetCurrentIndex() >= 0)
      context_.SetParam(BandParam(kind_, band_, "slope"), channel_, slope_->GetCurrentIndex());
  });
  connect(reset_, &SkinButton::clicked, this, [this] {
    ChangeBands(context_, kind_, channel_, {band_},
                QString::fromStdString(ChannelLabel(kind_, channel_) + Format(" EQ %d reset", band_)),
                [this](ParameterStore& store) { ResetBand(store, kind_, channel_, band_); });
  });
  connect(bypass_, &SkinButton::clicked, this, [this] {
    const bool bypassed = BandBypassed(context_.Store(), kind_, channel_, band_);
    const QString label = QString::fromStdString(
        ChannelLabel(kind_, channel_) + Format(bypassed ? " EQ %d bypass off" : " EQ %d bypass", band_));
    context_.Apply(label, {}, [this, bypassed](ParameterStore& store, ChangeLog& log) {
      ChangeBandBypass(store, kind_, channel_, band_, !bypassed, log);
    });
  });
  SetSelected(false);
}

SkinButton* EqBandColumn::ModeButton(BandMode mode) const {
  return mode == BandMode::Frequency ? freq_ : mode == BandMode::Width ? width_ : gain_;
}

BoundField* EqBandColumn::Field(BandMode mode) const {
  return mode == BandMode::Frequency ? freqField_ : mode == BandMode::Width ? widthField_ : gainField_;
}

const EqBand& EqBandColumn::Record() const {
  return BandRecord(context_.Store(), kind_, channel_, band_);
}

bool EqBandColumn::Shelving() const {
  return Record().Type == static_cast<int>(EqType::LowShelf) ||
         Record().Type == static_cast<int>(EqType::HighShelf);
}

void EqBandColumn::SetChannel(int channel) {
  channel_ = channel;
  for (BoundField* field : {freqField_, widthField_, gainField_}) field->SetChannel(channel);
  Reload();
}

void EqBandColumn::SetSelected(bool selected) {
  label_->SetTextColor(selected ? skin::kAccent : skin::kTextDim);
}

std::array<uint8_t, 17> EqBandColumn::Shown() const {
  static_assert(sizeof(EqBand) < 17);
  std::array<uint8_t, 17> bytes{};
  std::memcpy(bytes.data(), &Record(), sizeof(EqBand));
  bytes.back() = BandBypassed(context_.Store(), kind_, channel_, band_) ? 1 : 2;
  return bytes;
}

void EqBandColumn::ReloadIfChanged() {
  if (Shown() != shown_) Reload();
}

void EqBandColumn::Reload() {
  shown_ = Shown();
  const EqBand& band = Record();
  type_->SetCurrentIndex(band.Type <= 2 ? band.Type : -1);
  freq_->setText(QString::number(band.Freq));
  width_->setText(QString::fromStdString(Shelving() ? ShelfSlopeText(band.ShelfSlope != 0 ? 1 : 0)
                                                    : WidthText(band.Width)));
  gain_->setText(QString::fromStdString(GainText2(band.Gain)));
  bypass_->SetDown(BandBypassed(context_.Store(), kind_, channel_, band_));
  for (BoundField* field : {freqField_, widthField_, gainField_}) field->Reload();
  slope_->SetCurrentIndex(band.ShelfSlope != 0 ? 1 : 0);
  widthField_->Field()->setVisible(!Shelving());
  slope_->setVisible(Shelving());
}

void EqBandColumn::resizeEvent(QResizeEvent*) {
  const int w = width();
  int y = 0;
  const auto row = [&](QWidget* widget) {
    widget->setGeometry(0, y, w, kRowHeight);
    y += kRowPitch;
  };
  row(type_);
  row(freq_);
  row(width_);
  row(gain_);
  row(label_);
  reset_->setGeometry(0, y, w / 2 - 1, kRowHeight);
  bypass_->setGeometry(w / 2 + 1, y, w - w / 2 - 1, kRowHeight);
  y += kRowPitch + 4;
  row(freqField_->Field());
  slope_->setGeometry(0, y, w, kRowHeight);
  row(widthField_->Field());
  row(gainField_->Field());
  setMinimumHeight(y);
}

}  // namespace veyra
