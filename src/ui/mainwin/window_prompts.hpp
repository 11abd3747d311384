// The main window's real dialogs: those of MainWindowPrompts, and the ones
// that belong to windows above the editing layer, which MainWindowPrompts
// cannot reach (the report's settings).
#pragma once

#include "editing/prompts.hpp"

namespace veyra {

class WindowPrompts : public MainWindowPrompts {
 public:
  std::optional<ReportChoice> ReportSettings(QWidget* owner, const QStringList& programNames) override;
};

}  // namespace veyra
