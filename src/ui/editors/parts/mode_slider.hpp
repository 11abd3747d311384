// ModeSlider: the horizontal slider of the EQ editors with its end labels and
// readout. It edits one parameter of the edited channel at a time; the editor
// switches it between parameters (a band's frequency, width or slope, gain; a
// crossover section's frequency or slope) with SetMode, which sets the range,
// the end labels and the position from the store. The noise-gate slider is
// the same part held on one parameter.
#pragma once

#include <QWidget>

#include "editing/param_binding.hpp"

namespace veyra {

class SkinLabel;

class ModeSlider : public QWidget {
  Q_OBJECT

 public:
  ModeSlider(EditContext& context, const ParamDescriptor& param, int channel, const QString& caption,
             QWidget* parent = nullptr);

  // Edits param of channel from now on, with these end labels.
  void SetMode(const ParamDescriptor& param, int channel, const QString& low, const QString& high);
  void SetChannel(int channel);
  void Reload();

  BoundSlider& Binding() { return *binding_; }
  SkinSlider* Slider() const { return binding_->Slider(); }
  SkinLabel* LowLabel() const { return low_; }
  SkinLabel* HighLabel() const { return high_; }
  SkinLabel* Readout() const { return readout_; }

 signals:
  // While the thumb moves and after every reload: the code it shows.
  void codeShown(int code, const QString& text);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  SkinLabel* caption_;
  SkinLabel* low_;
  SkinLabel* high_;
  SkinLabel* readout_;
  BoundSlider* binding_;
};

}  // namespace veyra
