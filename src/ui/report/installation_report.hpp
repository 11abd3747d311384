// The installation report: a PDF that documents a setup for the customer. It
// holds the processor (model, firmware versions, device id, program), every
// channel's settings as the Data View's table, the routing matrix, the
// channel groups and one response graph per channel, drawn by the editors'
// graph painter in its print style. Qt Gui only: the command line writes it
// without a display (it needs a QGuiApplication, offscreen will do).
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <filesystem>
#include <string>

#include "files/data_table.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

enum class PaperSize { A4, Letter };

// What a report documents: which records of the store, of which model, and
// where they came from.
struct ReportSubject {
  int Source = kLiveSource;  // the live records, or program 1..30
  int Model = 0;             // 1..3; 0 = the store's current model
  // The records were read from this file (its name is shown as "from file
  // NAME"); a file carries no firmware versions nor device id.
  std::string FileName;
  // The store mirrors a connected processor: its versions and id are shown.
  bool FromDevice = false;
  // The program line: the number (0 when not known) and the name (UTF-8).
  int ProgramNumber = 0;
  std::string ProgramName;
};

// The subject of the store's own records, as the program reports them: the
// live records of a device with its current program, a program with its
// number and name.
ReportSubject StoreSubject(const ParameterStore& store, int source, bool online);

struct ReportOptions {
  PaperSize Paper = PaperSize::A4;
  QDateTime Date;  // the report's date; invalid: now
};

struct ReportOutcome {
  std::string Error;  // operator-facing; empty on success
  int Pages = 0;
  bool ok() const { return Error.empty(); }
};

// The report as the bytes of a PDF file; pages, when given, gets the page
// count. Empty without a QGuiApplication.
QByteArray InstallationReportPdf(const ParameterStore& store, const ReportSubject& subject,
                                 const ReportOptions& options, int* pages = nullptr);

// Writes the report to path through a temporary file beside it and a rename,
// so a failed write keeps an earlier file.
ReportOutcome WriteInstallationReport(const ParameterStore& store, const ReportSubject& subject,
                                      const ReportOptions& options, const std::filesystem::path& path);

}  // namespace veyra
