// The questions and notices of the main window, and its file dialogs, behind
// one interface: the program shows the real dialogs, a test answers them.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <string>

#include "report/installation_report.hpp"

class QWidget;

namespace veyra {

// The program files of the Program dialog: one program (".preset") or all 30 (".dama").
enum class ProgramFileKind { Preset, Bank };

// What File > Export report documents: the live settings (kLiveSource) or a
// program 1..30, on which paper.
struct ReportChoice {
  int Source = kLiveSource;
  PaperSize Paper = PaperSize::A4;
};

class MainWindowPrompts {
 public:
  virtual ~MainWindowPrompts() = default;

  // A plain notice without caption and with an OK button ("Already connect!").
  virtual void Notice(QWidget* owner, const QString& text);
  // The program's own message box; returns its result code.
  virtual int Ask(QWidget* owner, const QString& text, const QString& caption, unsigned style);
  // The settings-file dialogs ("Dat Files (*.dat)", default name "*.dat");
  // empty when cancelled. Saving asks before replacing a file.
  virtual QString OpenSettingsPath(QWidget* owner);
  virtual QString SaveSettingsPath(QWidget* owner);
  // "HOST:PORT" of a report bridge; empty when cancelled.
  virtual QString BridgeAddress(QWidget* owner);
  // The EQ editors' filter text files ("Filter Files (*.txt)"): one to read
  // (save false) or to write; empty when cancelled.
  virtual QString FilterTextPath(QWidget* owner, bool save);
  // The Set Name dialog on a channel's name: the new name in device text
  // (at most 8 bytes), nothing when cancelled.
  virtual std::optional<std::string> ChannelName(QWidget* owner, const QString& current);
  // The program-file dialogs ("Preset Files (*.preset)", "DamA Files (*.dama)");
  // empty when cancelled. Saving asks before replacing a file.
  virtual QString ProgramFilePath(QWidget* owner, ProgramFileKind kind, bool save);
  // A file whose fields lie outside the editors' ranges (the text says how
  // many): true to load it anyway, false to cancel (the default answer).
  virtual bool LoadAnyway(QWidget* owner, const QString& text);

  // ---- The installation report ------------------------------------------------
  // Which settings to report and the paper, from the 30 program names;
  // nothing when cancelled. These prompts decline it: the dialog belongs to a
  // window above this layer, so the main window's own prompts show it.
  virtual std::optional<ReportChoice> ReportSettings(QWidget* owner, const QStringList& programNames);
  // The report file ("PDF Files (*.pdf)"); empty when cancelled. Asks before
  // replacing a file.
  virtual QString ReportPath(QWidget* owner);

  // The Data View's export file: the path as typed and whether the CSV
  // filter was chosen; empty when cancelled. It does not ask before replacing
  // a file: the extension is added after it, and the question with it.
  virtual QString ExportPath(QWidget* owner, bool& csvChosen);
};

// Prompts that show nothing and decline every question: a run that only
// takes a picture of the window must not stop at a dialog. Notices go to the
// standard error stream.
class UnattendedPrompts : public MainWindowPrompts {
 public:
  void Notice(QWidget* owner, const QString& text) override;
  int Ask(QWidget* owner, const QString& text, const QString& caption, unsigned style) override;
  QString OpenSettingsPath(QWidget*) override { return {}; }
  QString SaveSettingsPath(QWidget*) override { return {}; }
  QString BridgeAddress(QWidget*) override { return {}; }
  QString FilterTextPath(QWidget*, bool) override { return {}; }
  std::optional<std::string> ChannelName(QWidget*, const QString&) override { return std::nullopt; }
  QString ProgramFilePath(QWidget*, ProgramFileKind, bool) override { return {}; }
  bool LoadAnyway(QWidget* owner, const QString& text) override;
  QString ReportPath(QWidget*) override { return {}; }
  QString ExportPath(QWidget*, bool&) override { return {}; }
};

}  // namespace veyra
