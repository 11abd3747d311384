// A transcript of the reports exchanged on a link: one line per report,
// "> " for sent and "< " for received, then the bytes in hex separated by
// spaces. Used for diagnostics and as replay fixtures in tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <istream>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace veyra {

enum class TranscriptDirection { Sent, Received };

struct TranscriptEntry {
  TranscriptDirection Direction = TranscriptDirection::Sent;
  std::vector<uint8_t> Bytes;
  bool operator==(const TranscriptEntry&) const = default;
};

// "> 00 5A 5A ..." without the line end.
std::string TranscriptLine(TranscriptDirection direction, std::span<const uint8_t> bytes);

// Parses a transcript. Empty lines and lines starting with '#' are skipped;
// nothing is returned when a line is not a transcript line (error says which).
std::optional<std::vector<TranscriptEntry>> ReadTranscript(std::istream& in, std::string& error);

// Appends lines to a file, flushing each so that a transcript of a session
// that ends badly is complete. Thread-safe: the reception thread records
// received reports while the sending thread records sent ones.
class TranscriptRecorder {
 public:
  // Nothing, with error set, when the file cannot be created.
  static std::shared_ptr<TranscriptRecorder> Create(const std::string& path, std::string& error);
  ~TranscriptRecorder();
  TranscriptRecorder(const TranscriptRecorder&) = delete;
  TranscriptRecorder& operator=(const TranscriptRecorder&) = delete;

  void Record(TranscriptDirection direction, std::span<const uint8_t> bytes);
  // A "# " comment line (ReadTranscript skips it).
  void Note(const std::string& text);

 private:
  explicit TranscriptRecorder(std::FILE* file) : file_(file) {}
  void WriteLine(std::string line);
  std::mutex mutex_;
  std::FILE* file_;
};

}  // namespace veyra
