// SystemResponseWindow: the alignment window. For one input it draws every
// output that takes it and their complex sum (magnitude, and phase or group
// delay below), and beside the plot, for each shown output, the settings an
// alignment turns: delay (ms, metres or feet), polarity, gain and both
// crossover sections. Every control goes through the editing context: live
// while a fader moves, one undo step per gesture, sent while online.
#pragma once

#include <array>

#include "curves/system_response.hpp"
#include "editing/editor_dialog.hpp"

class QCheckBox;
class QScrollArea;
class QVBoxLayout;

namespace veyra {

class BoundField;
class BoundToggle;
class ParamBinding;
class SkinButton;
class SkinDropDown;
class SkinLabel;
class SkinSlider;
class SystemGraph;
struct ParamDescriptor;

// A fader that changes its parameter while it moves: every step goes through
// the change path under one merge key, and the release ends the step.
class LiveSlider : public QObject {
  Q_OBJECT

 public:
  LiveSlider(EditContext& context, const ParamDescriptor& param, int channel, QWidget* parent);
  SkinSlider* Slider() const { return slider_; }
  SkinLabel* Readout() const { return readout_; }
  // What the slider's signals do: a move stores the code under the thumb, a
  // release stores it too and closes the undo step.
  void Drag(int position);
  void Release();
  void Reload();

 signals:
  void aboutToChange();

 private:
  ParamBinding* binding_;
  SkinSlider* slider_;
  SkinLabel* readout_;
};

// The alignment controls of one output.
class AlignmentPanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 300, kHeight = 206;

  AlignmentPanel(EditContext& context, int output, QWidget* parent);
  int Output() const { return output_; }
  void Reload();

  BoundField* DelayField(int unit) const { return delay_[static_cast<size_t>(unit)]; }  // 0 ms, 1 m, 2 ft
  BoundToggle* Polarity() const { return polarity_; }
  LiveSlider* Gain() const { return gain_; }
  LiveSlider* Frequency(int section) const { return freq_[static_cast<size_t>(section)]; }
  SkinDropDown* Type(int section) const { return type_[static_cast<size_t>(section)]; }
  SkinDropDown* Slope(int section) const { return slope_[static_cast<size_t>(section)]; }

 signals:
  void aboutToChange(int output);

 private:
  void BuildSection(int section, int y);
  void ChooseFromList(SkinDropDown* list, const char* param);

  EditContext& context_;
  int output_;
  SkinLabel* title_ = nullptr;
  std::array<BoundField*, 3> delay_{};
  BoundToggle* polarity_ = nullptr;
  LiveSlider* gain_ = nullptr;
  std::array<LiveSlider*, 2> freq_{};
  std::array<SkinDropDown*, 2> type_{};
  std::array<SkinDropDown*, 2> slope_{};
};

class SystemResponseWindow : public EditorDialog {
  Q_OBJECT

 public:
  SystemResponseWindow(EditContext& context, int input, QWidget* parent = nullptr);
  ~SystemResponseWindow() override;

  int Input() const { return system_.Input(); }
  void ChooseInput(int input);
  // The outputs drawn and given a panel (bit k = output k).
  uint8_t ShownOutputs() const { return system_.OutputMask(); }
  void SetOutputShown(int output, bool shown);
  void SetGroupDelay(bool on);

  const SystemResponse& System() const { return system_; }
  SystemGraph* Graph() const { return graph_; }
  QCheckBox* OutputBox(int output) const { return boxes_[static_cast<size_t>(output)]; }
  AlignmentPanel* Panel(int output) const { return panels_[static_cast<size_t>(output)]; }
  SkinLabel* Readout() const { return readout_; }

  // What a panel calls before it changes its output: a change that no linked
  // group repeats elsewhere recomputes that output alone.
  void OutputAboutToChange(int output);

 protected:
  void Reload() override;

 private:
  void Recompute();
  void UpdateBoxes();
  void UpdatePanels();
  void ShowReadout(int index);

  SystemResponse system_;
  int changed_ = -1;    // the output a pending change touches alone, -1 unknown
  uint8_t hidden_ = 0;  // outputs the operator unticked
  SkinDropDown* inputs_ = nullptr;
  SkinButton* groupDelay_ = nullptr;
  SystemGraph* graph_ = nullptr;
  SkinLabel* readout_ = nullptr;
  std::array<QCheckBox*, kChannelSlots> boxes_{};
  std::array<AlignmentPanel*, kChannelSlots> panels_{};
  QVBoxLayout* panelColumn_ = nullptr;
};

QDialog* MakeSystemResponseWindow(EditContext& context, int input, QWidget* parent);

}  // namespace veyra
