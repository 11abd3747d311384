// OutputEqEditor: the output EQ and crossover editor, the shared EQ editor
// with the crossover beside the bands: the low-pass row above the high-pass
// row (type list, frequency and slope buttons), the crossover slider and the
// typed frequency and slope of each section under it.
#pragma once

#include <array>

#include "editors/parts/eq_editor_base.hpp"

namespace veyra {

class SkinDropDown;

class OutputEqEditor : public EqEditorBase {
  Q_OBJECT

 public:
  enum class SectionMode { Frequency, Slope };

  OutputEqEditor(EditContext& context, int channel, QWidget* parent = nullptr);

  // What a section button does; section is kHighPass or kLowPass.
  void SelectSection(int section, SectionMode mode);
  int SelectedSection() const { return section_; }

  SkinDropDown* TypeList(int section) const { return types_[static_cast<size_t>(section)]; }
  SkinButton* SectionButton(int section, SectionMode mode) const;
  ModeSlider* CrossoverSlider() const { return slider_; }
  BoundField* SectionField(int section, SectionMode mode) const;

 protected:
  void ReloadExtras() override;
  void ExtrasChannelChanged() override;
  void SectionEdited(int filterIndex) override;

 private:
  void LimitFrequencies();
  void SetUpSlider();

  int section_ = 0;
  SectionMode mode_ = SectionMode::Frequency;
  std::array<SkinDropDown*, 2> types_{};
  std::array<SkinButton*, 2> freq_{};
  std::array<SkinButton*, 2> slope_{};
  std::array<BoundField*, 2> freqFields_{};
  std::array<BoundField*, 2> slopeFields_{};
  ModeSlider* slider_ = nullptr;
};

QDialog* MakeOutputEqEditor(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
