// EqBandColumn: one band's column of the EQ editors, the same for inputs and
// outputs: type list, frequency, width and gain buttons (a click picks what
// the value slider edits), the band label, RESET and BYPASS, and the numeric
// row (typed frequency, width and gain, and the shelf slope list that takes
// the width field's place for a shelving band). Every value is bound to the
// band's parameter descriptors; RESET, BYPASS and a type change go through
// ChangeBands, so each is one undo step, sent as the band's message and
// repeated on linked channels.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "groups/channel_kind.hpp"

namespace veyra {

class BoundField;
class EditContext;
class SkinButton;
class SkinDropDown;
class SkinLabel;
struct EqBand;
struct ParameterStore;

// The slider modes a band's buttons pick.
enum class BandMode { Frequency = 1, Width = 2, Gain = 3 };

// One change of several bands of one channel: write runs on the store, then
// every band's message is sent (the edited channel's first, then each linked
// member's) and the bands' fields are repeated on the group. One undo step.
void ChangeBands(EditContext& context, ChannelKind kind, int channel, const std::vector<int>& bands,
                 const QString& label, const std::function<void(ParameterStore&)>& write);

class EqBandColumn : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kRowPitch = 26;
  static constexpr int kRows = 9;

  EqBandColumn(EditContext& context, ChannelKind kind, int band, QWidget* parent = nullptr);

  int Band() const { return band_; }
  void SetChannel(int channel);
  void SetSelected(bool selected);
  void Reload();
  // Reload when the band's record or bypass differs from what was last
  // shown: a change of another band or channel leaves the column as it is.
  void ReloadIfChanged();

  SkinDropDown* TypeList() const { return type_; }
  SkinButton* ModeButton(BandMode mode) const;
  SkinLabel* Label() const { return label_; }
  SkinButton* ResetButton() const { return reset_; }
  SkinButton* BypassButton() const { return bypass_; }
  BoundField* Field(BandMode mode) const;
  SkinDropDown* SlopeList() const { return slope_; }

 signals:
  void modeChosen(int band, BandMode mode);
  // The type changed: the value slider is set up again for the band.
  void typeChanged(int band);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  std::array<uint8_t, 17> Shown() const;  // the band's record and its bypass
  std::array<uint8_t, 17> shown_{};
  const EqBand& Record() const;
  bool Shelving() const;

  EditContext& context_;
  ChannelKind kind_;
  int band_;
  int channel_ = 0;
  SkinDropDown* type_;
  SkinButton* freq_;
  SkinButton* width_;
  SkinButton* gain_;
  SkinLabel* label_;
  SkinButton* reset_;
  SkinButton* bypass_;
  BoundField* freqField_;
  BoundField* widthField_;
  BoundField* gainField_;
  SkinDropDown* slope_;
};

}  // namespace veyra
