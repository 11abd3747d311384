// Whole-file reads and writes shared by the settings, program and export files.
//
// Saving never destroys the previous file: the bytes go to a temporary file
// beside the target, which is flushed to disk and then renamed over the target.
// A save that fails at any point removes the temporary file and leaves the
// target as it was.
//
// Loading opens for reading only (a write-protected stick or a shared folder
// can still be loaded), reads the whole file first and only then copies it
// into the caller's records, so a file that cannot be read leaves them untouched.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace veyra {

// The outcome of a save. Error is an operator-facing text naming the path and
// the system's reason; it is empty on success.
struct SaveResult {
  std::string Error;
  bool ok() const { return Error.empty(); }
};

// The outcome of loading a file into the store.
struct LoadResult {
  std::string Path;           // the path as UTF-8 text, for messages
  std::string Error;          // non-empty: nothing was changed; says why
  size_t BytesRead = 0;       // bytes taken from the file into the store
  size_t BytesExpected = 0;   // size of a complete file of this kind
  bool TrailingData = false;  // the file is longer than a complete file; the rest was ignored

  bool ok() const { return Error.empty(); }
  // The file held every byte of the layout and nothing more.
  bool complete() const { return ok() && BytesRead == BytesExpected && !TrailingData; }
};

// An operator-facing note about a file that loaded but was not of the expected
// size (empty when the load failed or the file was complete; see Error then).
std::string LoadNotice(const LoadResult& result);

// Writes one chunk of the temporary file and returns how many bytes it wrote;
// fewer than asked for is a failure, with errno telling why. The default
// writes with fwrite. Tests inject one that fails part-way.
using ChunkWriter = std::function<size_t(std::FILE* file, std::span<const std::byte> chunk)>;

struct SaveOptions {
  ChunkWriter Write;  // empty: fwrite
};

// The path as UTF-8 text, for messages.
std::string PathText(const std::filesystem::path& path);

// Writes bytes to path through a temporary file beside it (see above).
SaveResult SaveFileReplacing(const std::filesystem::path& path, std::span<const std::byte> bytes,
                             const SaveOptions& options = {});

// Lets a writer that insists on creating its own file (the workbook library)
// take part in the same replace-on-success scheme: produce(tempPath) writes the
// complete file at tempPath and returns an empty text, or an error text. On
// success the temporary file is flushed and renamed over path.
SaveResult SaveFileReplacing(const std::filesystem::path& path,
                             const std::function<std::string(const std::filesystem::path&)>& produce);

// Reads at most maxBytes + 1 bytes of the file at path into data (so that an
// over-long file is noticed without reading all of it). Returns an error text
// naming the path and the system's reason, or an empty text.
std::string ReadFileBytes(const std::filesystem::path& path, size_t maxBytes, std::vector<std::byte>& data);

}  // namespace veyra
