#include "editing/load_question.hpp"

#include <QFileInfo>

namespace veyra {

QString LoadQuestionText(const QString& path, const std::vector<RangeFinding>& findings,
                         const QString& kind) {
  const qsizetype count = static_cast<qsizetype>(findings.size());
  const QString first = findings.empty() ? QString() : QString::fromStdString(FindingName(findings.front()));
  const QString fields = count == 1
                             ? QString("1 field outside the ranges the editors can set (%1)").arg(first)
                             : QString("%1 fields outside the ranges the editors can set (the first: %2)")
                                   .arg(QString::number(count), first);
  return QString("%1 has %2. It may be damaged or not a %3.\n\nLoad it anyway?")
      .arg(QFileInfo(path).fileName(), fields, kind);
}

bool AcceptFileCheck(MainWindowPrompts& prompts, QWidget* owner, const QString& path,
                     const std::vector<RangeFinding>& findings, const QString& kind) {
  return findings.empty() || prompts.LoadAnyway(owner, LoadQuestionText(path, findings, kind));
}

}  // namespace veyra
