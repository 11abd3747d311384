// The routing views of the main window. The mixer view shows the strips of
// one side (inputs or outputs) after its head strip; the matrix view shows
// one row panel per input on the left and one per output on the right, with
// either their routing buttons (mix-button mode) or, in the gap between the
// columns, one line per route in the input's colour (routing-lines mode).
//
// Placements are those of the processor's classic screen, measured from the
// view region's origin: mixer strips at x 170 + 100k (the head strip at 170,
// 130 wide), rows 75 high from y 100; lines from (350, 110 + 75i + 3k) to
// (500, 110 + 75k + 3i) for input i routed to output k.
#pragma once

#include <QObject>
#include <QPoint>
#include <array>
#include <vector>

#include "editing/main_view.hpp"
#include "strips/channel_actions.hpp"

class QScrollArea;
class QWidget;

namespace veyra {

class ChannelPanel;
class ChannelStrip;
class EditContext;
class MatrixCanvas;
class RowPanel;
class SkinLabel;
class StripHead;

// One routing line, in the classic screen's coordinates.
struct RoutingLine {
  int Input;
  int Output;
  QPoint From;
  QPoint To;
};
// The lines of every set flag of inputs below InputCount and outputs below OutputCount.
std::vector<RoutingLine> RoutingLines(const ParameterStore& store);

class RoutingViews : public QObject, public MainWindowView {
  Q_OBJECT

 public:
  // The classic screen's point that sits at the view region's origin.
  static constexpr QPoint kMixerOrigin{150, 70};
  static constexpr QPoint kMatrixOrigin{-12, 74};

  // The views live in the two regions the main window gives them.
  RoutingViews(EditContext& context, QWidget* mixerArea, QWidget* matrixArea);
  ~RoutingViews() override;

  void Refresh(const ParameterStore& store) override;
  void RefreshChannels(const ParameterStore& store, const RefreshScope& scope) override;
  void EnableControls(bool enabled) override;
  void LayOut(const RoutingViewState& view, const ParameterStore& store) override;
  void ShowMeters(const ParameterStore& store) override;
  void RebuildGroupLists(const ParameterStore& store) override;

  ChannelStrip* Strip(ChannelKind kind, int channel) const;
  StripHead* Head(ChannelKind kind) const;
  RowPanel* Row(ChannelKind kind, int channel) const;
  // Every panel of all four kinds, strips first.
  std::vector<ChannelPanel*> Panels() const;
  // The widget the panels of a view sit on (scrolled when the window is small).
  QWidget* MixerContent() const;
  QWidget* MatrixContent() const;
  // How many routing lines the matrix view drew when it was last painted.
  int LinesPainted() const;
  SkinLabel* SelectCaption(ChannelKind kind) const { return selectCaptions_[Index(kind)]; }

 private:
  static size_t Index(ChannelKind kind) { return kind == ChannelKind::Input ? 0 : 1; }
  // Each adds the widgets it places to shown.
  void LayOutMixer(const ParameterStore& store, std::vector<QWidget*>& shown);
  void LayOutMatrix(const ParameterStore& store, std::vector<QWidget*>& shown);
  void ShowOnly(const std::vector<QWidget*>& shown);

  // The routing flags of the last refresh, bit 8 * output + input: the
  // input panels show them too, so a change of them reaches past the outputs.
  static uint64_t RoutingBits(const ParameterStore& store);
  uint64_t routing_ = 0;

  QWidget* mixerArea_;
  QWidget* matrixArea_;
  ChannelActions actions_;
  RoutingViewState view_;
  QScrollArea* mixerScroll_;
  QScrollArea* matrixScroll_;
  QWidget* mixer_;
  MatrixCanvas* matrix_;
  std::array<StripHead*, 2> heads_{};
  std::array<std::array<ChannelStrip*, kChannelSlots>, 2> strips_{};
  std::array<std::array<RowPanel*, kChannelSlots>, 2> rows_{};
  std::array<SkinLabel*, 2> columnCaptions_{};
  std::array<SkinLabel*, 2> selectCaptions_{};
};

}  // namespace veyra
