#include "editors/parts/eq_editor_base.hpp"

#include <QEvent>
#include <QFileInfo>
#include <QMouseEvent>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "curves/channel_curve.hpp"
#include "curves/phase_strip.hpp"
#include "curves/response_graph.hpp"
#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"
#include "editors/eq_import_dialog.hpp"
#include "editors/parts/channel_rows.hpp"
#include "editors/parts/mode_slider.hpp"
#include "files/file_io.hpp"
#include "files/filter_text.hpp"
#include "link/messages.hpp"
#include "params/eq_bands.hpp"
#include "params/param_table.hpp"
#include "state/parameter_store.hpp"
#include "state/scales.hpp"
#include "state/text_format.hpp"

namespace veyra {
namespace {

// The dialog's layout, in logical pixels.
constexpr int kWidth = 1040;
constexpr int kMargin = 8;
constexpr int kGraphHeight = 280;
constexpr int kPhaseHeight = 96;  // taken from the graph while "Phase" is on
constexpr int kColumnsTop = kMargin + kGraphHeight + 8;
constexpr int kTitleWidth = 64;
constexpr int kColumnLeft = kMargin + kTitleWidth + 8;
constexpr int kColumnWidth = 106;
constexpr int kColumnPitch = 112;
constexpr int kColumnsHeight = EqBandColumn::kRows * EqBandColumn::kRowPitch + 4;
constexpr int kSliderTop = kColumnsTop + kColumnsHeight + 8;
constexpr int kButtonsTop = kSliderTop + 56;
constexpr int kRowsTop = kButtonsTop + 36;
constexpr int kBandsRight = kColumnLeft + 5 * kColumnPitch + kColumnWidth;
constexpr size_t kMaxFilterFile = 1 << 20;  // far beyond any filter list

const ParamDescriptor& BandParam(ChannelKind kind, int band, const char* what) {
  return *FindParam(kind, Format("eq%d.%s", band, what));
}

SkinButton* Button(const QString& caption, QWidget* parent, const QRect& at) {
  auto* button = new SkinButton(caption, parent);
  button->setFont(skin::ControlFont(11, true));
  button->setGeometry(at);
  return button;
}

void RowTitle(const QString& text, QWidget* parent, int row, int extraY) {
  auto* label = new SkinLabel(text, parent);
  label->SetFont("Arial", 12, true);
  label->SetTextColor(skin::kTextLight);
  label->setGeometry(kMargin, kColumnsTop + row * EqBandColumn::kRowPitch + extraY, kTitleWidth, 22);
}

std::array<QColor, 8> SwatchColours(ChannelKind kind) {
  std::array<QColor, 8> colours;
  for (int ch = 0; ch < 8; ++ch) {
    const RgbColour rgb = (kind == ChannelKind::Input ? InputChannelColour(ch) : OutputChannelColour(ch)).Rgb;
    colours[static_cast<size_t>(ch)] = QColor(rgb.Red, rgb.Green, rgb.Blue);
  }
  return colours;
}

// Ends the graph's drag as one undo step when the button is released.
class ReleaseWatcher : public QObject {
 public:
  ReleaseWatcher(EditContext& context, QObject* parent) : QObject(parent), context_(context) {}
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonRelease) context_.EndMerge();
    return false;
  }

 private:
  EditContext& context_;
};

}  // namespace

EqEditorBase::EqEditorBase(EditContext& context, const EqEditorSpec& spec, int channel, QWidget* parent)
    : EditorDialog(context, spec.Caption(channel), parent), spec_(spec), channel_(channel) {
  setFixedSize(kWidth, kRowsTop + 2 * 24 + 6 + 6 + kMargin + 4);

  graph_ = new ResponseGraph(context.Store(), this);
  graph_->setGeometry(kMargin, kMargin, kWidth - 2 * kMargin, kGraphHeight);
  graph_->SetEditSink([this](int filter, const std::function<void(ParameterStore&)>& write) {
    ApplyGraphEdit(filter, write);
  });
  graph_->installEventFilter(new ReleaseWatcher(context, this));
  connect(graph_, &ResponseGraph::filterEdited, this, [this](int filter, int) {
    if (filter < kEditorBands) {
      SelectBand(filter + 1, mode_);
    } else {
      SectionEdited(filter);
    }
  });

  const char* titles[] = {"Type", "Freq", "Width", "Depth"};
  for (int row = 0; row < 4; ++row) RowTitle(titles[row], this, row, 0);
  for (int row = 0; row < 3; ++row) RowTitle(titles[row + 1], this, 6 + row, 4);
  for (int b = 1; b <= kEditorBands; ++b) {
    auto* column = new EqBandColumn(context, spec_.Kind, b, this);
    column->setGeometry(kColumnLeft + (b - 1) * kColumnPitch, kColumnsTop, kColumnWidth, kColumnsHeight);
    column->SetChannel(channel_);
    connect(column, &EqBandColumn::modeChosen, this, [this](int band, BandMode mode) { SelectBand(band, mode); });
    connect(column, &EqBandColumn::typeChanged, this, [this](int band) { SelectBand(band, mode_); });
    columns_[static_cast<size_t>(b - 1)] = column;
  }

  slider_ = new ModeSlider(context, BandParam(spec_.Kind, 1, "freq"), channel_, "EQ", this);
  slider_->setGeometry(kColumnLeft, kSliderTop, kBandsRight - kColumnLeft, 48);
  connect(slider_, &ModeSlider::codeShown, this, [this](int, const QString& text) {
    // The band's button follows the thumb while it moves.
    Column(band_)->ModeButton(mode_)->setText(text);
  });

  int x = kColumnLeft;
  const auto next = [&x](int w) {
    const QRect at(x, kButtonsTop, w, 24);
    x += w + 8;
    return at;
  };
  resetAll_ = Button(spec_.ResetAllCaption, this, next(96));
  bypassAll_ = Button("BYPASSALL", this, next(96));
  zoom_ = Button("Zoom", this, next(72));
  import_ = Button("Import…", this, next(88));
  export_ = Button("Export…", this, next(88));
  phaseButton_ = Button("Phase", this, next(72));
  phase_ = new PhaseStrip(context.Store(), this);
  phase_->setGeometry(kMargin, kMargin + kGraphHeight - kPhaseHeight, kWidth - 2 * kMargin, kPhaseHeight);
  phase_->hide();
  connect(phaseButton_, &SkinButton::clicked, this, [this] { ShowPhase(phase_->isHidden()); });
  connect(resetAll_, &SkinButton::clicked, this, [this] {
    ChangeAllBands("reset", [this](ParameterStore& store, int b) { ResetBand(store, spec_.Kind, channel_, b); });
  });
  connect(bypassAll_, &SkinButton::clicked, this, [this] {
    const bool restore = allBypassed_;
    allBypassed_ = !allBypassed_;
    ChangeAllBands(restore ? "bypass off" : "bypass", [this, restore](ParameterStore& store, int b) {
      if (restore)
        RestoreBand(store, spec_.Kind, channel_, b);
      else
        BypassBand(store, spec_.Kind, channel_, b);
    });
  });
  connect(zoom_, &SkinButton::clicked, this, [] { ResponseGraph::CycleZoom(); });
  connect(import_, &SkinButton::clicked, this, [this] {
    const QString path = Context().Prompts().FilterTextPath(this, false);
    if (!path.isEmpty()) ImportFile(path);
  });
  connect(export_, &SkinButton::clicked, this, [this] {
    const QString path = Context().Prompts().FilterTextPath(this, true);
    if (!path.isEmpty()) ExportFile(path);
  });

  ChannelRowsLook look;
  look.ButtonCaption = spec_.RowCaption;
  look.Swatches = SwatchColours(spec_.Kind);
  rows_ = new ChannelRows(look, this);
  rows_->SetChannelCount(context.ChannelCount(spec_.Kind));
  rows_->SetCurrent(channel_);
  rows_->SetShown(static_cast<uint8_t>(1u << channel_));
  rows_->setGeometry(QRect(QPoint(kMargin, kRowsTop), rows_->sizeHint()));
  connect(rows_, &ChannelRows::shownChanged, this, [this](uint8_t mask) { graph_->SetShownChannels(mask); });
  connect(rows_, &ChannelRows::currentChosen, this, [this](int ch) { ChooseChannel(ch); });

  if (spec_.Kind == ChannelKind::Input)
    graph_->ShowInputChannel(channel_);
  else
    graph_->ShowOutputChannel(channel_);
  graph_->SetShownChannels(rows_->Shown());
  for (int b = 1; b <= kEditorBands; ++b) allBypassed_ |= BandBypassed(context.Store(), spec_.Kind, channel_, b);
  SelectBand(1, BandMode::Frequency);
}

void EqEditorBase::ShowPhase(bool on) {
  phaseButton_->SetDown(on ? 1 : 0);
  graph_->setGeometry(kMargin, kMargin, kWidth - 2 * kMargin, on ? kGraphHeight - kPhaseHeight : kGraphHeight);
  phase_->setVisible(on);
  phase_->ShowChannel(spec_.Kind, channel_);
}

QRect EqEditorBase::ExtrasArea() {
  return {kBandsRight + 16, kColumnsTop, kWidth - kMargin - kBandsRight - 16, kButtonsTop + 24 - kColumnsTop};
}

void EqEditorBase::NameFilter(int filterIndex) {
  graph_->SetNamedFilter(filterIndex);
}

void EqEditorBase::SelectBand(int band, BandMode mode) {
  band_ = std::clamp(band, 1, kEditorBands);
  mode_ = mode;
  for (EqBandColumn* column : columns_) column->SetSelected(column->Band() == band_);
  NameFilter(band_ - 1);
  SetUpSlider();
}

void EqEditorBase::SetUpSlider() {
  const EqBand& band = BandRecord(Context().Store(), spec_.Kind, channel_, band_);
  const bool shelf = band.Type == static_cast<int>(EqType::LowShelf) || band.Type == static_cast<int>(EqType::HighShelf);
  BoundSlider& binding = slider_->Binding();
  switch (mode_) {
    case BandMode::Frequency:
      binding.SetText([](int code) { return QString::number(code); });
      slider_->SetMode(BandParam(spec_.Kind, band_, "freq"), channel_, "10Hz", "30000Hz");
      break;
    case BandMode::Width:
      if (shelf) {
        binding.SetText([](int code) { return QString::fromStdString(ShelfSlopeText(code)); });
        slider_->SetMode(BandParam(spec_.Kind, band_, "slope"), channel_, "6 oct", "12 oct");
      } else {
        binding.SetText([](int code) { return QString::fromStdString(WidthText(code)); });
        slider_->SetMode(BandParam(spec_.Kind, band_, "width"), channel_, "0.05oct", "3.00oct");
      }
      break;
    case BandMode::Gain:
      binding.SetText([](int code) { return QString::fromStdString(GainText(code)); });
      slider_->SetMode(BandParam(spec_.Kind, band_, "gain"), channel_, "-30dB", "+15dB");
      break;
  }
}

void EqEditorBase::ChooseChannel(int channel) {
  channel_ = std::clamp(channel, 0, kChannelSlots - 1);
  setWindowTitle(spec_.Caption(channel_));
  rows_->SetCurrent(channel_);
  // Only the edited channel's curve is shown after a switch.
  rows_->SetShown(static_cast<uint8_t>(1u << channel_));
  if (spec_.Kind == ChannelKind::Input)
    graph_->ShowInputChannel(channel_);
  else
    graph_->ShowOutputChannel(channel_);
  graph_->SetShownChannels(rows_->Shown());
  for (EqBandColumn* column : columns_) column->SetChannel(channel_);
  allBypassed_ = false;
  for (int b = 1; b <= kEditorBands; ++b) allBypassed_ |= BandBypassed(Context().Store(), spec_.Kind, channel_, b);
  ExtrasChannelChanged();
  SelectBand(band_, mode_);
  Reload();
}

void EqEditorBase::Refreshed(const RefreshScope& scope) {
  if (scope.Everything) {
    Reload();
    return;
  }
  // The controls show the editor's own channel only; the graph shows the
  // curves of every channel of the kind.
  if (scope.Touches(spec_.Kind, channel_)) {
    for (EqBandColumn* column : columns_) column->ReloadIfChanged();
    SetUpSlider();
    Column(band_)->SetSelected(true);
    bypassAll_->SetDown(allBypassed_);
    if (!phase_->isHidden()) phase_->ShowChannel(spec_.Kind, channel_);
    ReloadExtras();
  }
  graph_->ReloadChannels(scope.Mask(spec_.Kind));
}

void EqEditorBase::Reload() {
  for (EqBandColumn* column : columns_) column->Reload();
  SetUpSlider();
  Column(band_)->SetSelected(true);
  bypassAll_->SetDown(allBypassed_);
  rows_->SetChannelCount(Context().ChannelCount(spec_.Kind));
  graph_->Reload();
  if (!phase_->isHidden()) phase_->ShowChannel(spec_.Kind, channel_);
  ReloadExtras();
}

void EqEditorBase::ApplyGraphEdit(int filterIndex, const std::function<void(ParameterStore&)>& write) {
  const QString key = QString("graph/%1/%2/%3").arg(int(spec_.Kind)).arg(channel_).arg(filterIndex);
  const ChannelKind kind = spec_.Kind;
  const int channel = channel_;
  QString label;
  if (filterIndex < kEditorBands) {
    label = QString::fromStdString(ChannelLabel(kind, channel)) + QString(" EQ %1").arg(filterIndex + 1);
  } else {
    const bool highPass = filterIndex == ChannelCurve::kHighPassIndex;
    label = QString::fromStdString(
        ParamLabel(*FindParam(ChannelKind::Output, highPass ? "xover.hp.freq" : "xover.lp.freq"), channel));
  }
  Context().Apply(label, key, [&](ParameterStore& store, ChangeLog& log) {
    write(store);
    if (filterIndex < kEditorBands)
      BandWritten(store, kind, channel, filterIndex + 1, log);
    else
      SectionWritten(store, channel, filterIndex == ChannelCurve::kHighPassIndex ? kHighPass : kLowPass, log);
  });
}

void EqEditorBase::ChangeAllBands(const QString& what,
                                  const std::function<void(ParameterStore&, int band)>& change) {
  std::vector<int> bands;
  for (int b = 1; b <= kEditorBands; ++b) bands.push_back(b);
  ChangeBands(Context(), spec_.Kind, channel_, bands,
              QString::fromStdString(ChannelLabel(spec_.Kind, channel_)) + " EQ " + what,
              [&](ParameterStore& store) {
                for (int b = 1; b <= kEditorBands; ++b) change(store, b);
              });
}

bool EqEditorBase::ImportFile(const QString& path) {
  std::vector<std::byte> bytes;
  if (const std::string error = ReadFileBytes(path.toStdString(), kMaxFilterFile, bytes); !error.empty()) {
    Context().Prompts().Notice(this, QString::fromStdString(error));
    return false;
  }
  if (bytes.size() > kMaxFilterFile) {
    Context().Prompts().Notice(this, path + " is too large for a filter list.");
    return false;
  }
  const EqImport import =
      ReadFilterText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (!import.ok()) {
    Context().Prompts().Notice(this, "Not imported: " + QString::fromStdString(import.Error));
    return false;
  }
  auto* preview = new EqImportDialog(import, QFileInfo(path).fileName(), this);
  preview->setAttribute(Qt::WA_DeleteOnClose);
  connect(preview, &EqImportDialog::applied, this,
          [this](const std::vector<ImportedBand>& bands, const QStringList& notices) {
            ChangeAllBands("import", [this, &bands](ParameterStore& store, int b) {
              if (b == 1) ApplyEqImport(store, spec_.Kind, channel_, bands);
            });
            allBypassed_ = false;
            Reload();
            ShowImport(notices);
          });
  preview->open();
  return true;
}

void EqEditorBase::ShowImport(const QStringList& notices) {
  if (notices.empty()) return;
  Context().Prompts().Notice(this, "Imported with these changes:\n" + notices.join("\n"));
}

bool EqEditorBase::ExportFile(const QString& path) {
  const std::string text = WriteFilterText(Context().Store(), spec_.Kind, channel_);
  const SaveResult saved = SaveFileReplacing(path.toStdString(), std::as_bytes(std::span(text.data(), text.size())));
  if (!saved.ok()) {
    Context().Prompts().Notice(this, QString::fromStdString(saved.Error));
    return false;
  }
  return true;
}

}  // namespace veyra
