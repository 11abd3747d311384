// A PDF as poppler's tools read it: its text (pdftotext -layout, so a table
// row stays on one line) and its page count and size (pdfinfo).
#pragma once

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace veyra::testing {

inline bool HavePdfTools() {
  return std::system("pdftotext -v >/dev/null 2>&1") == 0 && std::system("pdfinfo -v >/dev/null 2>&1") == 0;
}

inline std::string CommandOutput(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// Runs of white space as one space, none at either end.
inline std::string Squeezed(const std::string& text) {
  std::istringstream words(text);
  std::string out;
  for (std::string word; words >> word;) out += (out.empty() ? "" : " ") + word;
  return out;
}

// The text's lines, each squeezed.
inline std::vector<std::string> PdfLines(const std::filesystem::path& pdf) {
  std::istringstream text(CommandOutput("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null"));
  std::vector<std::string> lines;
  for (std::string line; std::getline(text, line);) lines.push_back(Squeezed(line));
  return lines;
}

// The line holding every piece in order, or "" when there is none.
inline std::string LineWith(const std::vector<std::string>& lines, const std::vector<std::string>& pieces) {
  for (const std::string& line : lines) {
    size_t at = 0;
    for (const std::string& piece : pieces)
      if (at != std::string::npos && (at = line.find(piece, at)) != std::string::npos) at += piece.size();
    if (at != std::string::npos) return line;
  }
  return {};
}

// "Pages:" and "Page size:" of pdfinfo, e.g. {"6", "595 x 842 pts (A4)"}.
struct PdfFacts {
  std::string Pages, PageSize;
};
inline PdfFacts PdfInfo(const std::filesystem::path& pdf) {
  std::istringstream info(CommandOutput("pdfinfo '" + pdf.string() + "' 2>/dev/null"));
  PdfFacts facts;
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("Pages:", 0) == 0) facts.Pages = Squeezed(line.substr(6));
    if (line.rfind("Page size:", 0) == 0) facts.PageSize = Squeezed(line.substr(10));
  }
  return facts;
}

}  // namespace veyra::testing
