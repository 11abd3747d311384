#include "editors/dynamics_editor.hpp"

#include <algorithm>

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "controls/value_entry_field.hpp"
#include "curves/transfer_curve_view.hpp"
#include "editing/edit_context.hpp"
#include "editors/parts/channel_rows.hpp"
#include "editors/parts/slider_column.hpp"
#include "params/param_table.hpp"
#include "state/scales.hpp"

namespace veyra {
namespace {

// The curve colours of channels 1..8. The compressor's edited curve takes the
// colour of its Control button, which differs from the swatches at 7 and 8.
const std::array<QColor, 8> kCurveColours = {
    QColor(255, 51, 51),  QColor(153, 204, 204), QColor(255, 255, 255), QColor(0, 153, 204),
    QColor(204, 51, 153), QColor(255, 255, 0),   QColor(125, 128, 0),   QColor(0, 0, 255)};
const std::array<QColor, 8> kCompressorControlColours = {
    QColor(255, 51, 51),  QColor(153, 204, 204), QColor(255, 255, 255), QColor(0, 153, 204),
    QColor(204, 51, 153), QColor(255, 255, 0),   QColor(153, 255, 0),   QColor(255, 153, 204)};

// Where the parts sit.
constexpr int kMargin = 12;
constexpr int kColumnGap = 6;
constexpr QSize kCurveSize{380, 340};
constexpr int kResetHeight = 26;

const SliderColumnLook& ColumnLook(bool readouts) {
  static const SliderColumnLook withReadout{.Width = 76, .FaderHeight = 240};
  // Without readouts the entry field sits right under the fader.
  static const SliderColumnLook withoutReadout{.Width = 76, .ReadoutHeight = 0, .FaderHeight = 240};
  return readouts ? withReadout : withoutReadout;
}

std::string ReleaseFieldText(int code) {
  const std::string text = LimiterReleaseFieldText(code);
  return text.empty() ? std::to_string(code) : text;  // a code off the scale shows as itself
}

const ParamDescriptor& Param(const DynamicsEditorSpec& spec, int column) {
  return *FindParam(spec.Kind, spec.Columns[static_cast<size_t>(column)].Param);
}

}  // namespace

const DynamicsEditorSpec& CompressorEditorSpec() {
  static const DynamicsEditorSpec spec{
      .Caption = "Comp",
      .Kind = ChannelKind::Input,
      .Block = "compressor",
      // Every value can be typed, as in the limiter; the ratio as "1:4" or "4".
      .Columns = {{{"comp.threshold", "Threshold", true, true},
                   {"comp.attack", "Attack", true, true},
                   {"comp.release", "Release", true, true},
                   {"comp.ratio", "Ratio", true, true}}},
      .Colours = kCurveColours,
      .EditedColours = kCompressorControlColours,
  };
  return spec;
}

const DynamicsEditorSpec& LimiterEditorSpec() {
  static const DynamicsEditorSpec spec{
      .Caption = "LIMIT",
      .Kind = ChannelKind::Output,
      .Block = "limiter",
      // Reset: +20.0 dB, 0.3 ms, twice the attack; the ratio stays.
      .Columns = {{{"limiter.threshold", "Threshold", true, true, nullptr, kThresholdMax},
                   {"limiter.attack", "Attack", true, true, nullptr, 0},
                   {"limiter.release", "Release", true, true, ReleaseFieldText, 0},
                   {"limiter.ratio", "Ratio", false}}},
      .Readouts = false,
      .Reset = true,
      .Colours = kCurveColours,
      .EditedColours = kCurveColours,
  };
  return spec;
}

DynamicsEditor::DynamicsEditor(EditContext& context, const DynamicsEditorSpec& spec, int channel,
                               QWidget* parent)
    : EditorDialog(context, spec.Caption, parent),
      spec_(spec),
      current_(std::clamp(channel, 0, std::max(1, context.ChannelCount(spec.Kind)) - 1)) {
  curve_ = new TransferCurveView(this);
  curve_->setObjectName("TransferCurve");
  for (int i = 0; i < 4; ++i) {
    const DynamicsColumnSpec& c = spec_.Columns[static_cast<size_t>(i)];
    auto* column =
        new SliderColumn(context, Param(spec_, i), current_, c.Caption, ColumnLook(spec_.Readouts), this);
    column->setVisible(c.Shown);
    column->Readout()->setVisible(spec_.Readouts);
    if (c.Entry) {
      column->AddEntryField(i);
      if (c.EntryText)
        column->SetEntryText([f = c.EntryText](int code) { return QString::fromStdString(f(code)); });
    }
    connect(column, &SliderColumn::codeShown, this, [this, i, column](int code) {
      // The field follows the thumb while it is dragged, unless the operator is typing in it.
      if (BoundField* entry = column->Entry()) {
        ValueEntryField* field = entry->Field();
        if (!(field->hasFocus() && field->isModified())) field->setText(entry->Text(code));
      }
      shownCodes_[static_cast<size_t>(i)] = code;
      if (i == kThreshold || i == kRatio) UpdateCurves();
    });
    columns_[static_cast<size_t>(i)] = column;
  }
  if (spec_.Reset) {
    reset_ = new SkinButton("Reset", this);
    reset_->setFont(skin::ControlFont(12, true));
    connect(reset_, &SkinButton::clicked, this, [this] { ResetBlock(); });
  }

  ChannelRowsLook look;
  const bool inputs = spec_.Kind == ChannelKind::Input;
  look.ButtonCaption = [inputs](int ch) {
    return inputs ? QString(QChar('A' + ch)) : QString::number(ch + 1);
  };
  look.ButtonWidth = 44;
  look.Swatches = spec_.Colours;
  rows_ = new ChannelRows(look, this);
  // Opening shows the opened channel's curve only.
  rows_->SetCurrent(current_);
  rows_->SetShown(0);
  connect(rows_, &ChannelRows::currentChosen, this, [this](int ch) { ChooseChannel(ch); });
  connect(rows_, &ChannelRows::shownChanged, this, [this] { UpdateCurves(); });

  Layout();
  Reload();
}

void DynamicsEditor::Layout() {
  curve_->setGeometry(QRect(QPoint(kMargin, kMargin), kCurveSize));
  int x = kMargin + kCurveSize.width() + kMargin;
  int bottom = kMargin + kCurveSize.height();
  for (SliderColumn* column : columns_) {
    if (column->isHidden()) continue;
    column->setGeometry(x, kMargin, column->width(), column->minimumHeight());
    x += column->width() + kColumnGap;
    bottom = std::max(bottom, kMargin + column->minimumHeight());
  }
  int right = x - kColumnGap;
  if (reset_) {
    const int left = kMargin + kCurveSize.width() + kMargin;
    reset_->setGeometry(left + (right - left - 90) / 2, bottom + 8, 90, kResetHeight);
    bottom += 8 + kResetHeight;
  }
  const QSize rows = rows_->sizeHint();
  rows_->setGeometry(kMargin, bottom + kMargin, std::max(rows.width(), right - kMargin), rows.height());
  right = std::max(right, rows_->geometry().right());
  setFixedSize(right + kMargin, rows_->geometry().bottom() + 1 + kMargin);
}

void DynamicsEditor::ChooseChannel(int channel) {
  current_ = std::clamp(channel, 0, rows_->ChannelCount() - 1);
  // Another channel: only its own curve is shown.
  rows_->SetCurrent(current_);
  rows_->SetShown(0);
  for (SliderColumn* column : columns_) column->SetChannel(current_);
  Reload();
}

void DynamicsEditor::Reload() {
  rows_->SetChannelCount(Context().ChannelCount(spec_.Kind));
  if (current_ >= rows_->ChannelCount()) {
    ChooseChannel(rows_->ChannelCount() - 1);
    return;
  }
  for (SliderColumn* column : columns_) column->Reload();  // shows the codes, and the curve follows
  UpdateCurves();
}

void DynamicsEditor::ResetBlock() {
  const ParamDescriptor& first = Param(spec_, kThreshold);
  ChannelEdit edit;
  edit.Kind = spec_.Kind;
  edit.Channel = current_;
  edit.Label =
      QString("%1 %2 reset").arg(QString::fromStdString(ChannelLabel(spec_.Kind, current_)), spec_.Block);
  edit.Write = [this, channel = current_](ParameterStore& store) {
    for (int i = 0; i < 4; ++i)
      if (const auto code = spec_.Columns[static_cast<size_t>(i)].ResetCode)
        WriteCode(store, Param(spec_, i), channel, *code);
  };
  if (first.Group != kNotSent) edit.Groups = {first.Group};
  edit.Link = first.Link;
  edit.LinkFields = first.LinkFields;
  Context().Apply(edit);
}

void DynamicsEditor::UpdateCurves() {
  if (!rows_) return;  // still being built
  const ParameterStore& store = Context().Store();
  const auto segments = [](int thresholdCode, int ratioCode) {
    TransferSegments s;
    s.ThresholdDb = DynamicsThresholdDb(thresholdCode);
    // A ratio off the scale (the factory defaults leave 999) draws as the
    // fader shows it: at the nearest end.
    s.SlopeAbove = 1.0 / CompressorRatioMultiple(std::clamp(ratioCode, 0, kCompressorRatioMax));
    return TransferCurvePoints(s);
  };
  std::vector<TransferCurve> curves;
  for (int ch = 0; ch < rows_->ChannelCount(); ++ch) {
    if (ch == current_ || !((rows_->Shown() >> ch) & 1)) continue;
    curves.push_back(
        {ch, spec_.Colours[static_cast<size_t>(ch)],
         segments(ReadCode(store, Param(spec_, kThreshold), ch), ReadCode(store, Param(spec_, kRatio), ch))});
  }
  curves.push_back({current_, spec_.EditedColours[static_cast<size_t>(current_)],
                    segments(shownCodes_[kThreshold], shownCodes_[kRatio])});
  curve_->SetCurves(std::move(curves));
}

CompressorEditor::CompressorEditor(EditContext& context, int channel, QWidget* parent)
    : DynamicsEditor(context, CompressorEditorSpec(), channel, parent) {}

LimiterEditor::LimiterEditor(EditContext& context, int channel, QWidget* parent)
    : DynamicsEditor(context, LimiterEditorSpec(), channel, parent) {}

QDialog* MakeCompressorEditor(EditContext& context, int channel, QWidget* parent) {
  return new CompressorEditor(context, channel, parent);
}

QDialog* MakeLimiterEditor(EditContext& context, int channel, QWidget* parent) {
  return new LimiterEditor(context, channel, parent);
}

}  // namespace veyra
