// EqEditorBase: everything the input and output EQ editors share. The graph
// on top, six band columns with their row titles, the value slider with its
// three modes, "RESET ALL", "BYPASSALL", "Zoom", "Import…", "Export…" and the
// "View" and "Control" rows. What differs between the two editors is the
// spec (channel kind, captions, graph view) and what each adds in the area
// to the right of the bands: the noise gate of an input, the crossover of an
// output.
#pragma once

#include <QRect>
#include <array>

#include "editing/editor_dialog.hpp"
#include "editors/parts/eq_band_column.hpp"

namespace veyra {

class ChannelRows;
class ModeSlider;
class PhaseStrip;
class ResponseGraph;
class SkinButton;
class SkinLabel;

struct EqEditorSpec {
  ChannelKind Kind = ChannelKind::Input;
  QString (*Caption)(int channel) = nullptr;     // "Input EQ A", "Output EQ3"
  QString (*RowCaption)(int channel) = nullptr;  // "EQ A", "EQ1"
  const char* ResetAllCaption = "RESET ALL";
};

class EqEditorBase : public EditorDialog {
  Q_OBJECT

 public:
  EqEditorBase(EditContext& context, const EqEditorSpec& spec, int channel, QWidget* parent);

  ChannelKind Kind() const { return spec_.Kind; }
  int Channel() const { return channel_; }
  int SelectedBand() const { return band_; }
  BandMode Mode() const { return mode_; }

  // What a band's frequency, width or gain button does.
  void SelectBand(int band, BandMode mode);
  // What the Control row does.
  void ChooseChannel(int channel);
  // "Import…" and "Export…" without their file dialogs; false when the file
  // was refused or could not be read or written (the operator was told why).
  // An import opens its preview (EqImportDialog), whose Apply writes the bands.
  bool ImportFile(const QString& path);
  bool ExportFile(const QString& path);
  // "Phase": the edited channel's phase in a strip under its magnitude.
  void ShowPhase(bool on);
  PhaseStrip* Phase() const { return phase_; }

  ResponseGraph* Graph() const { return graph_; }
  EqBandColumn* Column(int band) const { return columns_.at(static_cast<size_t>(band - 1)); }
  ModeSlider* ValueSlider() const { return slider_; }
  ChannelRows* Rows() const { return rows_; }
  SkinButton* ResetAllButton() const { return resetAll_; }
  SkinButton* BypassAllButton() const { return bypassAll_; }
  SkinButton* ZoomButton() const { return zoom_; }

 protected:
  void Reload() override;
  void Refreshed(const RefreshScope& scope) override;
  // The derived editor's controls right of the band columns.
  virtual void ReloadExtras() {}
  virtual void ExtrasChannelChanged() {}
  // A graph edit of a filter that is not a band (a crossover section).
  virtual void SectionEdited(int /*filterIndex*/) {}
  static QRect ExtrasArea();
  // The graph's named filter: the selected band, or what the derived editor names.
  void NameFilter(int filterIndex);

 private:
  void SetUpSlider();
  void ApplyGraphEdit(int filterIndex, const std::function<void(ParameterStore&)>& write);
  void ChangeAllBands(const QString& what, const std::function<void(ParameterStore&, int band)>& change);
  void ShowImport(const QStringList& notices);

  EqEditorSpec spec_;
  int channel_;
  int band_ = 1;
  BandMode mode_ = BandMode::Frequency;
  bool allBypassed_ = false;
  ResponseGraph* graph_;
  std::array<EqBandColumn*, 6> columns_{};
  ModeSlider* slider_;
  ChannelRows* rows_;
  SkinButton* resetAll_;
  SkinButton* bypassAll_;
  SkinButton* zoom_;
  SkinButton* import_;
  SkinButton* export_;
  SkinButton* phaseButton_ = nullptr;
  PhaseStrip* phase_ = nullptr;
};

}  // namespace veyra
