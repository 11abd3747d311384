// The question before a settings or program file that fails the file check
// is taken into the store: how many fields lie outside the editors' ranges,
// the first of them, and Load anyway or Cancel.
#pragma once

#include <QString>
#include <vector>

#include "editing/prompts.hpp"
#include "files/file_check.hpp"

class QWidget;

namespace veyra {

// "settings file" for .dat, "program file" for .preset and .dama.
QString LoadQuestionText(const QString& path, const std::vector<RangeFinding>& findings, const QString& kind);

// True when the file has no findings or the operator chose to load it anyway.
bool AcceptFileCheck(MainWindowPrompts& prompts, QWidget* owner, const QString& path,
                     const std::vector<RangeFinding>& findings, const QString& kind);

}  // namespace veyra
