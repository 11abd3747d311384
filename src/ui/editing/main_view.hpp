// What the main window asks of the parts that show channels in it (the
// channel strips, the row panels, the routing views). A part registers with
// MainWindow::AddView and lives inside MainWindow::MixerArea() or
// MatrixArea(); the window calls it on its own thread.
#pragma once
#include "editing/refresh_scope.hpp"

namespace veyra {

struct ParameterStore;

// The routing view's state (ViewMode and the two toggles of the window).
struct RoutingViewState {
  int ViewMode = 1;               // 0 none, 1 mixer, 2 matrix
  bool InputSideSelected = true;  // the mixer view shows the inputs (else the outputs)
  bool MixButtonMode = true;      // the matrix view shows mix buttons (else routing lines)
};

class MainWindowView {
 public:
  virtual ~MainWindowView() = default;

  // RefreshMainWindow: rewrite every text and button state from the store.
  virtual void Refresh(const ParameterStore& store) = 0;
  // A refresh after a change of the scope's channels only; a part that
  // cannot tell what it shows of them refreshes as a whole.
  virtual void RefreshChannels(const ParameterStore& store, const RefreshScope& scope) {
    static_cast<void>(scope);
    Refresh(store);
  }
  // EnableChannelControls: the operating controls follow the lock.
  virtual void EnableControls(bool enabled) { static_cast<void>(enabled); }
  // ShowRoutingView: place and show the panels of the view for the model's
  // channel counts (also after a model switch).
  virtual void LayOut(const RoutingViewState& view, const ParameterStore& store) {
    static_cast<void>(view);
    static_cast<void>(store);
  }
  // New meter levels arrived in the store (only while a routing view is shown).
  virtual void ShowMeters(const ParameterStore& store) { static_cast<void>(store); }
  // The group choice lists are rebuilt from the group records (a file was
  // loaded, a group editor closed).
  virtual void RebuildGroupLists(const ParameterStore& store) { static_cast<void>(store); }
};

}  // namespace veyra
