#include "files/data_view.hpp"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>

#include "controls/message_box.hpp"
#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "controls/skin_label.hpp"
#include "editing/edit_context.hpp"
#include "editing/prompts.hpp"

namespace veyra {

namespace {

constexpr int kMargin = 12;
constexpr int kDefaultWidth = 875;
constexpr int kDefaultHeight = 470;

QString Text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

}  // namespace

DataView::DataView(EditContext& context, QWidget* parent) : EditorDialog(context, "Data View", parent) {
  const ParameterStore& store = context.Store();
  std::copy(std::begin(store.Inputs), std::end(store.Inputs), headerInputs_.begin());

  auto* caption = new SkinLabel("Source", this);
  caption->SetFont("Arial", 14, true);
  caption->setFixedSize(60, 26);
  source_ = new SkinDropDown(this);
  source_->SetId(1278);
  source_->setFixedSize(180, 26);
  for (const std::string& name : DataSourceNames(store)) source_->AddEntry(Text(name));
  source_->SetCurrentIndex(kLiveSource);
  connect(source_, &SkinDropDown::selectionChanged, this, [this] { Fill(); });
  export_ = new SkinButton("Export", this);
  export_->setFixedSize(96, 28);
  connect(export_, &SkinButton::clicked, this, &DataView::Export);

  table_ = new QTableWidget(this);
  table_->setObjectName("dataTable");
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setShowGrid(true);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(22);
  table_->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table_->setStyleSheet(
      "QTableWidget { background: #f4f6f7; color: #101518; gridline-color: #9aa4aa; }"
      "QTableWidget::item:selected { background: #02a6e3; color: white; }"
      "QHeaderView { background: #485459; }"
      "QHeaderView::section { background: #485459; color: #f0f4f6; border: 1px solid #35404a;"
      " padding: 2px 4px; font-weight: bold; }");

  auto* top = new QHBoxLayout;
  top->addWidget(caption);
  top->addWidget(source_);
  top->addStretch(1);
  top->addWidget(export_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
  layout->setSpacing(10);
  layout->addLayout(top);
  layout->addWidget(table_, 1);
  // The table scrolls; the dialog may be made as small as its top row.
  setMinimumSize(360, 200);
  Fill();
  // Wide enough for every column of the model where the screen has room.
  int width = kDefaultWidth;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const int wanted = table_->columnCount() * kColumnWidth + 2 * table_->frameWidth() +
                       table_->verticalScrollBar()->sizeHint().width() + 2 * kMargin;
    width =
        std::clamp(wanted, kDefaultWidth, std::max(kDefaultWidth, screen->availableGeometry().width() - 80));
  }
  resize(width, kDefaultHeight);
}

void DataView::Reload() {
  Fill();
}

void DataView::Fill() {
  DataTableOptions options;
  options.Source = std::max(source_->GetCurrentIndex(), 0);
  options.HeaderInputs = headerInputs_;
  shown_ = BuildDataTable(Context().Store(), options);

  table_->clear();
  const int columns = static_cast<int>(shown_.Header.size());
  table_->setColumnCount(columns);
  table_->setRowCount(static_cast<int>(shown_.Rows.size()));
  QStringList headers;
  for (const std::string& header : shown_.Header) headers << Text(header);
  table_->setHorizontalHeaderLabels(headers);
  for (int r = 0; r < static_cast<int>(shown_.Rows.size()); ++r) {
    const std::vector<std::string>& row = shown_.Rows[static_cast<size_t>(r)];
    for (int c = 0; c < columns && c < static_cast<int>(row.size()); ++c)
      table_->setItem(r, c, new QTableWidgetItem(Text(row[static_cast<size_t>(c)])));
  }
  for (int c = 0; c < columns; ++c) table_->setColumnWidth(c, kColumnWidth);
}

void DataView::Export() {
  bool csvChosen = false;
  QString path = Context().Prompts().ExportPath(this, csvChosen);
  if (path.isEmpty()) return;
  const bool csv = path.endsWith(".csv", Qt::CaseInsensitive) ||
                   (!path.endsWith(".xlsx", Qt::CaseInsensitive) && csvChosen);
  if (!path.endsWith(".csv", Qt::CaseInsensitive) && !path.endsWith(".xlsx", Qt::CaseInsensitive))
    path += csv ? ".csv" : ".xlsx";
  // Asked here, on the name that is written: the file dialog saw it without its extension.
  if (QFileInfo::exists(path) &&
      Context().Prompts().Ask(this, QString("\"%1\" already exists.\nDo you want to replace it?").arg(path),
                              "Warning", kStyleYesNo | kIconExclamation) != kResultYes)
    return;
  ExportTo(path, csv ? ExportFormat::Csv : ExportFormat::Workbook);
}

ExportResult DataView::ExportTo(const QString& path, ExportFormat format) {
  const std::filesystem::path file(path.toStdU16String());
  const ExportResult result =
      format == ExportFormat::Csv ? ExportCsv(shown_, file) : ExportXlsx(shown_, file);
  Context().Prompts().Notice(this, Text(result.Message));
  return result;
}

QDialog* MakeDataView(EditContext& context, int, QWidget* parent) {
  return new DataView(context, parent);
}

}  // namespace veyra
