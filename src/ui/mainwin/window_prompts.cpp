#include "mainwin/window_prompts.hpp"

#include "files/report_dialog.hpp"

namespace veyra {

std::optional<ReportChoice> WindowPrompts::ReportSettings(QWidget* owner, const QStringList& programNames) {
  ReportDialog dialog(programNames, owner);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace veyra
