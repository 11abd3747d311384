#include "files/export.hpp"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <regex>

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

// XML entities, then the workbook's _xHHHH_ escapes.
std::string Unescape(std::string text) {
  for (const auto& [entity, ch] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}}) {
    for (size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, std::strlen(entity), ch);
  }
  std::string out;
  const std::regex escape("_x([0-9A-Fa-f]{4})_");
  std::sregex_iterator it(text.begin(), text.end(), escape), end;
  size_t last = 0;
  for (; it != end; ++it) {
    out.append(text, last, it->position() - last);
    out += static_cast<char>(std::stoi((*it)[1].str(), nullptr, 16));
    last = it->position() + it->length();
  }
  return out + text.substr(last);
}

std::vector<std::string> SharedStrings(const std::string& xml) {
  std::vector<std::string> strings;
  const std::regex item("<si>(.*?)</si>"), run("<t[^>]*>([^<]*)</t>");
  for (std::sregex_iterator si(xml.begin(), xml.end(), item), end; si != end; ++si) {
    const std::string body = (*si)[1].str();
    std::string text;
    for (std::sregex_iterator t(body.begin(), body.end(), run); t != end; ++t) text += (*t)[1].str();
    strings.push_back(Unescape(text));
  }
  return strings;
}

// The sheet's cells as a grid; a cell that is not a shared text is reported.
Grid SheetCells(const std::string& sheet, const std::vector<std::string>& strings) {
  Grid grid;
  const std::regex cell("<c r=\"([A-Z]+)([0-9]+)\"([^>]*)>(.*?)</c>"), value("<v>([0-9]+)</v>");
  for (std::sregex_iterator c(sheet.begin(), sheet.end(), cell), end; c != end; ++c) {
    size_t column = 0;
    for (const char letter : (*c)[1].str()) column = column * 26 + static_cast<size_t>(letter - 'A' + 1);
    const size_t row = std::stoul((*c)[2].str());
    std::smatch v;
    const std::string body = (*c)[4].str();
    if ((*c)[3].str().find("t=\"s\"") == std::string::npos || !std::regex_search(body, v, value)) {
      ADD_FAILURE() << "cell " << (*c)[1] << row << " is not text";
      continue;
    }
    if (grid.size() < row) grid.resize(row);
    if (grid[row - 1].size() < column) grid[row - 1].resize(column);
    grid[row - 1][column - 1] = strings.at(std::stoul(v[1].str()));
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
  EXPECT_EQ(std::regex_search(workbook, std::regex("<sheet .*<sheet ")), false);

  const std::string sheet = Member(path, "xl/worksheets/sheet1.xml");
  const Grid cells = SheetCells(sheet, SharedStrings(Member(path, "xl/sharedStrings.xml")));
  EXPECT_EQ(cells, WithoutTrailingEmptyCells(ExportGrid(table)));
  ASSERT_GE(cells.size(), 3u);
  EXPECT_EQ(cells[0][2], "贝斯");
  EXPECT_EQ(cells[0][3], "a<&>\x01");
  EXPECT_EQ(cells[2][5], "_x0041_");
  EXPECT_EQ(cells[3][5], "Pol -");

  // Every column is as wide as its longest text ("XOVR Frq LO" in the first).
  const std::regex col("<col min=\"([0-9]+)\" max=\"[0-9]+\" width=\"([0-9.]+)\"");
  std::map<int, double> widths;
  for (std::sregex_iterator c(sheet.begin(), sheet.end(), col), end; c != end; ++c) {
    widths[std::stoi((*c)[1].str())] = std::stod((*c)[2].str());
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
