#include "files/export.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "state/device_text.hpp"
#include "test_files.hpp"

namespace veyra {
namespace {

namespace fs = std::filesystem;
using testing::ReadAll;
using testing::ScratchDir;
using testing::WriteAll;
using Grid = std::vector<std::vector<std::string>>;

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
std::vector<std::string> Between(const std::string& text, const std::string& open, const std::string& close) {
  std::vector<std::string> parts;
  for (size_t at = text.find(open); at != std::string::npos; at = text.find(open, at)) {
    at += open.size();
    const size_t end = text.find(close, at);
    if (end == std::string::npos) break;
    parts.push_back(text.substr(at, end - at));
    at = end + close.size();
  }
  return parts;
}

std::string Attribute(const std::string& tag, const std::string& name) {
  const auto values = Between(tag, " " + name + "=\"", "\"");
  return values.empty() ? std::string() : values.front();
}

// XML entities, then the workbook's _xHHHH_ escapes.
std::string Unescape(std::string text) {
  for (const auto& [entity, ch] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}}) {
    for (size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, std::strlen(entity), ch);
  }
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "_x") == 0 && i + 7 <= text.size() && text[i + 6] == '_' &&
        std::all_of(text.begin() + i + 2, text.begin() + i + 6,
                    [](char c) { return std::isxdigit(c) != 0; })) {
      out += static_cast<char>(std::stoi(text.substr(i + 2, 4), nullptr, 16));
      i += 6;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string> SharedStrings(const std::string& xml) {
  std::vector<std::string> strings;
  for (const std::string& item : Between(xml, "<si>", "</si>")) {
    std::string text;
    for (const std::string& run : Between(item, "<t", "</t>")) text += run.substr(run.find('>') + 1);
    strings.push_back(Unescape(text));
  }
  return strings;
}

// The sheet's cells as a grid; a cell that is not a shared text is reported.
Grid SheetCells(const std::string& sheet, const std::vector<std::string>& strings) {
  Grid grid;
  for (const std::string& cell : Between(sheet, "<c ", "</c>")) {
    const std::string ref = Attribute(" " + cell, "r");
    size_t column = 0, letters = 0;
    for (; letters < ref.size() && std::isupper(ref[letters]); ++letters) {
      column = column * 26 + static_cast<size_t>(ref[letters] - 'A' + 1);
    }
    const size_t row = std::stoul(ref.substr(letters));
    const auto values = Between(cell, "<v>", "</v>");
    if (Attribute(" " + cell, "t") != "s" || values.size() != 1) {
      ADD_FAILURE() << "cell " << ref << " is not text";
      continue;
    }
    if (grid.size() < row) grid.resize(row);
    if (grid[row - 1].size() < column) grid[row - 1].resize(column);
    grid[row - 1][column - 1] = strings.at(std::stoul(values[0]));
  }
  return grid;
}

// The grid as the sheet holds it: empty cells are simply absent.
Grid WithoutTrailingEmptyCells(Grid grid) {
  for (auto& row : grid) {
    while (!row.empty() && row.back().empty()) row.pop_back();
  }
  return grid;
}

// ---- Tests ----------------------------------------------------------------------------

TEST(Export, GridIsTheTableUnderChannleAndTheHeaders) {
  const auto store = InitialisedStore();
  const DataTable table = BuildDataTable(*store);
  const Grid grid = ExportGrid(table);
  ASSERT_EQ(grid.size(), table.Rows.size() + 1);
  EXPECT_EQ(grid[0],
            (std::vector<std::string>{"Channle", "IN A", "IN B", "OUT 1", "OUT 2", "OUT 3", "OUT 4"}));
  EXPECT_EQ(grid[1], table.Rows[0]);
  EXPECT_EQ(grid.back(), table.Rows.back());
  EXPECT_EQ(ExportGrid(DataTable{}), Grid{{"Channle"}});
}

TEST(Export, CsvQuotesWhatNeedsIt) {
  DataTable table;
  table.Header = {"", "a,b", "say \"hi\"", "plain"};
  table.Rows = {{"Name", "line\nbreak", "", "x"}, {"Gain", "-1.0dB", "cr\r", " lead"}};
  EXPECT_EQ(CsvText(table),
            "Channle,\"a,b\",\"say \"\"hi\"\"\",plain\r\n"
            "Name,\"line\nbreak\",,x\r\n"
            "Gain,-1.0dB,\"cr\r\", lead\r\n");

  ScratchDir dir;
  const ExportResult result = ExportCsv(table, dir / "t.csv");
  EXPECT_TRUE(result.Ok);
  EXPECT_EQ(result.Message, "数据导出成功!");
  const auto bytes = ReadAll(dir / "t.csv");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()), CsvText(table));
}

TEST(Export, CsvOfTheWholeTable) {
  auto store = InitialisedStore();
  ASSERT_TRUE(SetFieldBytes(store->Inputs[0].Name, EncodeDeviceText("人声", kNameBytes).Bytes));
  const std::string csv = CsvText(BuildDataTable(*store));
  EXPECT_EQ(csv.rfind("Channle,人声,IN B,OUT 1,OUT 2,OUT 3,OUT 4\r\nGain,0.0dB,", 0), 0u)
      << csv.substr(0, 80);
  EXPECT_NE(csv.find("\r\nThesh,,,0.0dB,0.0dB,0.0dB,0.0dB\r\n"), std::string::npos);
  EXPECT_NE(csv.find("\r\nRatio,--,--,--,--,--,--\r\n"), std::string::npos);
  EXPECT_NE(csv.find("\r\nEQW  1,0.30oct,"), std::string::npos);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 41);
}

TEST(Export, XlsxHoldsSheet1WithEveryTextAsTheTableShowsIt) {
  auto store = InitialisedStore();
  SwitchModel(*store, 3);
  ASSERT_TRUE(SetFieldBytes(store->Inputs[1].Name, EncodeDeviceText("贝斯", kNameBytes).Bytes));
  ASSERT_TRUE(SetFieldBytes(store->Inputs[2].Name, "a<&>\x01"));
  ASSERT_TRUE(SetFieldBytes(store->Outputs[0].Name, "_x0041_"));
  store->Outputs[0].Polarity = 1;
  const DataTable table = BuildDataTable(*store);

  ScratchDir dir;
  const fs::path path = dir / "table.xlsx";
  const ExportResult result = ExportXlsx(table, path);
  ASSERT_TRUE(result.Ok) << result.Message;
  EXPECT_EQ(result.Message, "数据导出成功!");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"table.xlsx"});

  const std::string workbook = Member(path, "xl/workbook.xml");
  EXPECT_NE(workbook.find("<sheet name=\"Sheet1\""), std::string::npos) << workbook;
  EXPECT_EQ(Between(workbook, "<sheet ", "/>").size(), 1u);

  const std::string sheet = Member(path, "xl/worksheets/sheet1.xml");
  const Grid cells = SheetCells(sheet, SharedStrings(Member(path, "xl/sharedStrings.xml")));
  EXPECT_EQ(cells, WithoutTrailingEmptyCells(ExportGrid(table)));
  ASSERT_GE(cells.size(), 3u);
  EXPECT_EQ(cells[0][2], "贝斯");
  EXPECT_EQ(cells[0][3], "a<&>\x01");
  EXPECT_EQ(cells[2][5], "_x0041_");
  EXPECT_EQ(cells[3][5], "Pol -");

  // Every column is as wide as its longest text ("XOVR Frq LO" in the first).
  std::map<int, double> widths;
  for (const std::string& col : Between(sheet, "<col ", "/>")) {
    widths[std::stoi(Attribute(" " + col, "min"))] = std::stod(Attribute(" " + col, "width"));
  }
  ASSERT_EQ(widths.size(), 13u);
  EXPECT_GE(widths[1], 11.0);
  EXPECT_LT(widths[1], 14.0);
  EXPECT_GE(widths[6], 7.0);  // "30000Hz"
}

TEST(Export, FailuresSayWhyAndKeepTheOldFile) {
  const auto store = InitialisedStore();
  const DataTable table = BuildDataTable(*store);
  ScratchDir dir;
  for (const char* name : {"old.xlsx", "old.csv"}) {
    SCOPED_TRACE(name);
    const fs::path path = dir / name;
    const std::vector<std::byte> old(100, std::byte{0x42});
    WriteAll(path, old);
    ASSERT_TRUE(fs::is_regular_file(path));

    const bool xlsx = path.extension() == ".xlsx";
    const auto exportTo = [&](const fs::path& target) {
      return xlsx ? ExportXlsx(table, target) : ExportCsv(table, target);
    };
    const ExportResult nowhere = exportTo(dir / "missing" / name);
    EXPECT_FALSE(nowhere.Ok);
    EXPECT_NE(nowhere.Message.find("No such file or directory"), std::string::npos) << nowhere.Message;
    EXPECT_NE(nowhere.Message.find((dir / "missing" / name).string()), std::string::npos) << nowhere.Message;

    fs::create_directory(dir / "folder");
    EXPECT_FALSE(exportTo(dir / "folder").Ok);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    EXPECT_EQ(ReadAll(path), old);

    ASSERT_TRUE(exportTo(path).Ok);
    EXPECT_NE(ReadAll(path), old);
    fs::remove_all(dir / "folder");
  }
  SaveOptions full;
  full.Write = [](std::FILE*, std::span<const std::byte>) {
    errno = ENOSPC;
    return size_t{0};
  };
  const auto kept = ReadAll(dir / "old.csv");
  const ExportResult failed = ExportCsv(table, dir / "old.csv", full);
  EXPECT_FALSE(failed.Ok);
  EXPECT_NE(failed.Message.find("No space left on device"), std::string::npos) << failed.Message;
  EXPECT_EQ(ReadAll(dir / "old.csv"), kept);
  EXPECT_EQ(dir.Entries().size(), 2u);
}

}  // namespace
}  // namespace veyra
