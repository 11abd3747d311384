// PhaseStrip: the phase of one channel's filters (the ones its response
// curve sums), wrapped to (-180, 180], drawn on the response graph's
// frequency axis so that it lines up under the magnitude.
#pragma once

#include <QWidget>

#include "curves/complex_response.hpp"
#include "groups/channel_kind.hpp"

namespace veyra {

struct ParameterStore;

class PhaseStrip : public QWidget {
  Q_OBJECT

 public:
  PhaseStrip(const ParameterStore& store, QWidget* parent = nullptr);

  void ShowChannel(ChannelKind kind, int channel);
  // Re-reads the channel's records.
  void Reload();
  const ComplexArray& Response() const { return response_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ParameterStore& store_;
  ChannelKind kind_ = ChannelKind::Input;
  int channel_ = 0;
  ComplexArray response_{};
};

}  // namespace veyra
