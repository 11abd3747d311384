#include "link/transcript.hpp"

#include <cerrno>
#include <cstring>
#include <sstream>

#include "state/text_format.hpp"

namespace veyra {

std::string TranscriptLine(TranscriptDirection direction, std::span<const uint8_t> bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string line = direction == TranscriptDirection::Sent ? ">" : "<";
  line.reserve(1 + 3 * bytes.size());
  for (uint8_t b : bytes) {
    line += ' ';
    line += kHex[b >> 4];
    line += kHex[b & 0xF];
  }
  return line;
}

std::optional<std::vector<TranscriptEntry>> ReadTranscript(std::istream& in, std::string& error) {
  std::vector<TranscriptEntry> entries;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    TranscriptEntry entry;
    if (line[0] == '>') {
      entry.Direction = TranscriptDirection::Sent;
    } else if (line[0] == '<') {
      entry.Direction = TranscriptDirection::Received;
    } else {
      error = Format("transcript line %d does not start with '>' or '<'", number);
      return std::nullopt;
    }
    std::istringstream hex(line.substr(1));
    std::string token;
    while (hex >> token) {
      unsigned value = 0;
      char extra = 0;
      if (token.size() != 2 || std::sscanf(token.c_str(), "%2x%c", &value, &extra) != 1) {
        error = Format("transcript line %d: \"%s\" is not a hex byte", number, token.c_str());
        return std::nullopt;
      }
      entry.Bytes.push_back(static_cast<uint8_t>(value));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::shared_ptr<TranscriptRecorder> TranscriptRecorder::Create(const std::string& path, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    error = Format("Cannot create the transcript file %s: %s", path.c_str(), std::strerror(errno));
    return nullptr;
  }
  return std::shared_ptr<TranscriptRecorder>(new TranscriptRecorder(file));
}

TranscriptRecorder::~TranscriptRecorder() {
  std::fclose(file_);
}

void TranscriptRecorder::Record(TranscriptDirection direction, std::span<const uint8_t> bytes) {
  WriteLine(TranscriptLine(direction, bytes));
}

void TranscriptRecorder::Note(const std::string& text) {
  WriteLine("# " + text);
}

void TranscriptRecorder::WriteLine(std::string line) {
  line += '\n';
  std::lock_guard lock(mutex_);
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

}  // namespace veyra
