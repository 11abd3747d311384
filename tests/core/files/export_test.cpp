#include "files/export.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "state/device_text.hpp"
#include "test_files.hpp"

namespace veyra {
namespace {

namespace fs = std::filesystem;
using namespace veyra::testing;
using Row = std::vector<std::string>;
using Grid = std::vector<Row>;

std::unique_ptr<ParameterStore> InitialisedStore() {
  auto store = std::make_unique<ParameterStore>();
  InitialiseStore(*store);
  return store;
}

// ---- A small reader for the workbook, through the system's unzip ----------------

std::string Member(const fs::path& workbook, const std::string& member) {
  const std::string command = "unzip -p '" + workbook.string() + "' '" + member + "' 2>/dev/null";
  std::FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::string text;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  pclose(pipe);
  return text;
}

// Every text between an occurrence of open and the next close.
Row Between(const std::string& text, const std::string& open, const std::string& close) {
  Row parts;
  for (size_t at = text.find(open), end; at != std::string::npos; at = text.find(open, end)) {
    at += open.size();
    if ((end = text.find(close, at)) == std::string::npos) break;
    parts.push_back(text.substr(at, end - at));
  }
  return parts;
}

std::string Attribute(const std::string& tag, const std::string& name) {
  const Row values = Between(" " + tag, " " + name + "=\"", "\"");
  return values.empty() ? std::string() : values.front();
}

// The sheet's cells in file order as "B3=text"; a cell that does not hold a
// shared text shows as "B3?".
Row SheetCells(const fs::path& book) {
  Row strings, cells;
  for (const std::string& item : Between(Member(book, "xl/sharedStrings.xml"), "<si>", "</si>")) {
    const Row runs = Between(item, "<t", "</t>");
    strings.push_back(runs.size() == 1 ? runs[0].substr(runs[0].find('>') + 1) : "?");
  }
  for (const std::string& cell : Between(Member(book, "xl/worksheets/sheet1.xml"), "<c ", "</c>")) {
    const Row value = Between(cell, "<v>", "</v>");
    const bool text = Attribute(cell, "t") == "s" && value.size() == 1;
    cells.push_back(Attribute(cell, "r") + (text ? "=" + strings.at(std::stoul(value[0])) : "?"));
  }
  return cells;
}

// What SheetCells should find for a grid of up to 26 columns.
Row ExpectedCells(const Grid& grid) {
  Row cells;
  for (size_t r = 0; r < grid.size(); ++r) {
    for (size_t c = 0; c < grid[r].size(); ++c) {
      if (!grid[r][c].empty()) cells.push_back(char('A' + c) + std::to_string(r + 1) + "=" + grid[r][c]);
    }
  }
  return cells;
}

// ---- Tests ----------------------------------------------------------------------------

TEST(Export, CsvQuotesWhatNeedsIt) {
  DataTable table;
  table.Header = {"", "a,b", "say \"hi\"", "人声"};
  table.Rows = {{"Name", "line\nbreak", "", "x"}, {"Gain", "-1.0dB", "cr\r", " lead"}};
  const std::string csv =
      "Channle,\"a,b\",\"say \"\"hi\"\"\",人声\r\n"
      "Name,\"line\nbreak\",,x\r\n"
      "Gain,-1.0dB,\"cr\r\", lead\r\n";
  EXPECT_EQ(CsvText(table), csv);
  ScratchDir dir;
  const ExportResult result = ExportCsv(table, dir / "t.csv");
  EXPECT_TRUE(result.Ok);
  EXPECT_EQ(result.Message, "数据导出成功!");
  const auto bytes = ReadAll(dir / "t.csv");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()), csv);
}

TEST(Export, XlsxHoldsSheet1WithEveryTextAsTheTableShowsIt) {
  auto store = InitialisedStore();
  SwitchModel(*store, 3);
  ASSERT_TRUE(SetFieldBytes(store->Inputs[1].Name, EncodeDeviceText("贝斯", kNameBytes).Bytes));
  const DataTable table = BuildDataTable(*store);
  const Grid grid = ExportGrid(table);

  ScratchDir dir;
  const fs::path path = dir / "table.xlsx";
  const ExportResult result = ExportXlsx(table, path);
  ASSERT_TRUE(result.Ok) << result.Message;
  EXPECT_EQ(dir.Count(), 1u);

  const Row sheets = Between(Member(path, "xl/workbook.xml"), "<sheet ", "/>");
  ASSERT_EQ(sheets.size(), 1u);
  EXPECT_EQ(Attribute(sheets[0], "name"), "Sheet1");
  const Row cells = SheetCells(path);
  EXPECT_EQ(cells, ExpectedCells(grid));
  EXPECT_EQ(Row(cells.begin(), cells.begin() + 3), (Row{"A1=Channle", "B1=IN A", "C1=贝斯"}));

  // Every column is as wide as its longest text ("XOVR Frq LO" in the first).
  const Row cols = Between(Member(path, "xl/worksheets/sheet1.xml"), "<col ", "/>");
  ASSERT_EQ(cols.size(), 13u);
  EXPECT_NEAR(std::stod(Attribute(cols[0], "width")), 12.5, 1.5);
}

TEST(Export, FailuresSayWhyAndKeepTheOldFile) {
  const DataTable table = BuildDataTable(*InitialisedStore());
  ScratchDir dir;
  fs::create_directory(dir / "folder");
  const std::vector<std::byte> old(100, std::byte{0x42});
  SaveOptions diskFull;
  diskFull.Write = [](std::FILE*, std::span<const std::byte>) {
    errno = ENOSPC;
    return size_t{0};
  };
  for (const bool xlsx : {true, false}) {
    const auto exportTo = [&](const fs::path& target) {
      return xlsx ? ExportXlsx(table, target) : ExportCsv(table, target);
    };
    const fs::path missing = dir / "missing" / "t";
    EXPECT_EQ(exportTo(missing).Message,
              "Cannot save \"" + missing.string() + "\": No such file or directory");
    EXPECT_FALSE(exportTo(dir / "folder").Ok);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    WriteAll(dir / "old", old);
    ASSERT_TRUE(exportTo(dir / "old").Ok);
    EXPECT_NE(ReadAll(dir / "old"), old);
  }
  WriteAll(dir / "old", old);
  EXPECT_FALSE(ExportCsv(table, dir / "old", diskFull).Ok);
  EXPECT_EQ(ReadAll(dir / "old"), old);
  EXPECT_EQ(dir.Count(), 2u);
}

}  // namespace
}  // namespace veyra
