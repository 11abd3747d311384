// The Data View: every channel parameter of the live settings ("Default") or
// of one stored program as a table, one row per parameter and one column per
// channel of the model, and "Export" to a workbook or CSV file. The table is
// the core's BuildDataTable, the one place that makes it; the dialog only
// reads the store and sends nothing.
#pragma once

#include <QString>
#include <array>

#include "editing/editor_dialog.hpp"
#include "files/data_table.hpp"
#include "files/export.hpp"

class QTableWidget;
class QWidget;

namespace veyra {

class SkinButton;
class SkinDropDown;

class DataView : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kColumnWidth = 100;

  DataView(EditContext& context, QWidget* parent = nullptr);

  QTableWidget* Table() const { return table_; }
  SkinDropDown* SourceChooser() const { return source_; }
  SkinButton* ExportButton() const { return export_; }
  // What the table shows now.
  const DataTable& Shown() const { return shown_; }

  enum class ExportFormat { Workbook, Csv };
  // Writes what the table shows; tells the operator how it went and returns it.
  ExportResult ExportTo(const QString& path, ExportFormat format);

 public slots:
  void Export();  // the save dialog, then ExportTo

 protected:
  void Reload() override;

 private:
  void Fill();

  QTableWidget* table_;
  SkinDropDown* source_;
  SkinButton* export_;
  DataTable shown_;
  // The input names head the columns as they were when the dialog opened,
  // whichever program is shown.
  std::array<InputChannel, kChannelSlots> headerInputs_{};
};

QDialog* MakeDataView(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
