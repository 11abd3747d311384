// The compressor ("Comp", inputs) and limiter ("LIMIT", outputs) editors.
// Both are one dialog: the transfer curve on the left, the threshold, attack,
// release and ratio columns on the right, the View and Control rows below.
// What tells them apart is data: the parameters, which columns and entry
// fields are shown, what Reset stores and the curve colours.
#pragma once

#include <QColor>
#include <array>
#include <optional>
#include <string>

#include "editing/editor_dialog.hpp"
#include "groups/channel_kind.hpp"

namespace veyra {

class ChannelRows;
class SkinButton;
class SliderColumn;
class TransferCurveView;

struct DynamicsColumnSpec {
  const char* Param;    // scripting name in the parameter table
  const char* Caption;  // "Threshold"
  bool Shown = true;
  bool Entry = false;                            // an entry field under the fader
  std::string (*EntryText)(int code) = nullptr;  // the field's text, when not the parameter's own
  std::optional<int> ResetCode;                  // what Reset stores; none: Reset keeps it
};

struct DynamicsEditorSpec {
  const char* Caption;  // the window's caption
  ChannelKind Kind;
  const char* Block;  // the block in the label of the Reset step: "limiter"
  // Threshold, attack, release, ratio: the curve reads columns 0 and 3.
  std::array<DynamicsColumnSpec, 4> Columns;
  bool Readouts = true;                 // the readouts under the faders
  bool Reset = false;                   // a "Reset" button
  std::array<QColor, 8> Colours;        // the swatches and the other channels' curves
  std::array<QColor, 8> EditedColours;  // the edited channel's curve
};

const DynamicsEditorSpec& CompressorEditorSpec();
const DynamicsEditorSpec& LimiterEditorSpec();

class DynamicsEditor : public EditorDialog {
  Q_OBJECT

 public:
  enum Column { kThreshold = 0, kAttack = 1, kRelease = 2, kRatio = 3 };

  DynamicsEditor(EditContext& context, const DynamicsEditorSpec& spec, int channel,
                 QWidget* parent = nullptr);

  int CurrentChannel() const { return current_; }
  // Makes channel the edited one (as its Control button does).
  void ChooseChannel(int channel);

  SliderColumn* ColumnAt(Column column) const { return columns_[column]; }
  ChannelRows* Rows() const { return rows_; }
  TransferCurveView* Curve() const { return curve_; }
  SkinButton* ResetButton() const { return reset_; }

 protected:
  void Reload() override;

 private:
  void Layout();
  void ResetBlock();
  void UpdateCurves();

  const DynamicsEditorSpec& spec_;
  int current_;
  std::array<SliderColumn*, 4> columns_{};
  // The codes the threshold and ratio faders show, dragged or stored: the
  // edited curve follows the thumb, not only the store.
  std::array<int, 4> shownCodes_{};
  TransferCurveView* curve_ = nullptr;
  ChannelRows* rows_ = nullptr;
  SkinButton* reset_ = nullptr;
};

class CompressorEditor : public DynamicsEditor {
  Q_OBJECT

 public:
  CompressorEditor(EditContext& context, int channel, QWidget* parent = nullptr);
};

class LimiterEditor : public DynamicsEditor {
  Q_OBJECT

 public:
  LimiterEditor(EditContext& context, int channel, QWidget* parent = nullptr);
};

QDialog* MakeCompressorEditor(EditContext& context, int channel, QWidget* parent);
QDialog* MakeLimiterEditor(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
