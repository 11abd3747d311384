// Until the channel panels take their place, the routing view regions show
// one slot per channel of the model: its caption, name, gain and meter, read
// from the store on every refresh. It is an ordinary MainWindowView; the
// panels replace it by removing it from the window.
#pragma once

#include <QWidget>

#include "mainwin/main_view.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

class ViewPlaceholder : public MainWindowView {
 public:
  ViewPlaceholder(QWidget* mixerArea, QWidget* matrixArea);
  ~ViewPlaceholder() override;

  void Refresh(const ParameterStore& store) override;
  void EnableControls(bool enabled) override;
  void LayOut(const RoutingViewState& view, const ParameterStore& store) override;
  void ShowMeters(const ParameterStore& store) override;

  // What the slots show: one entry per channel in view order.
  struct Slot {
    QString Caption;  // "IN A", "OUT 1"
    QString Name;
    QString Gain;   // "-3.0dB"
    int Meter = 0;  // 0..10 segments
    bool Muted = false;
  };
  struct Snapshot {
    bool InputSide = true;
    bool Enabled = true;
    std::vector<Slot> Inputs;
    std::vector<Slot> Outputs;
  };
  const Snapshot& Shown() const { return shown_; }

 private:
  void Take(const ParameterStore& store);

  QWidget* mixer_;
  QWidget* matrix_;
  Snapshot shown_;
};

}  // namespace veyra
