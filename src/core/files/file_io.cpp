#include "file_io.hpp"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>

#include "state/text_format.hpp"

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace veyra {
namespace fs = std::filesystem;

namespace {

std::FILE* OpenFile(const fs::path& path, const char* mode) {
#ifdef _WIN32
  std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(path.c_str(), wideMode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

std::string Reason(int error) {
  return std::generic_category().message(error);
}

std::string SaveError(const fs::path& path, const std::string& reason) {
  return Format("Cannot save \"%s\": %s", PathText(path).c_str(), reason.c_str());
}

// Pushes the file's data out of the system's caches, so that the rename
// below never publishes a file whose contents are still only in memory.
bool SyncToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
#ifdef _WIN32
  return _commit(_fileno(file)) == 0;
#else
  return fsync(fileno(file)) == 0;
#endif
}

bool SyncPathToDisk(const fs::path& path) {
#ifdef _WIN32
  (void)path;
  return true;
#else
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const bool synced = fsync(fd) == 0;
  close(fd);
  return synced;
#endif
}

// Creates a new, empty temporary file in the target's folder (so the final
// rename stays within one file system). The name is unique per attempt and
// the file is created exclusively, so two saves never share one.
std::FILE* CreateTemporaryBeside(const fs::path& target, fs::path& tempPath, int& error) {
  static std::atomic<unsigned> counter{0};
  const auto tick =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
#ifdef _WIN32
  const unsigned long long pid = static_cast<unsigned long long>(_getpid());
#else
  const unsigned long long pid = static_cast<unsigned long long>(getpid());
#endif
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string suffix = Format(".%llx-%llx-%x.tmp", pid, tick, counter.fetch_add(1));
    fs::path name(".");
    name += target.filename();
    name += suffix;
    tempPath = target;
    tempPath.replace_filename(name);
    if (std::FILE* file = OpenFile(tempPath, "wbx")) return file;
    error = errno;
    if (error != EEXIST) return nullptr;
  }
  return nullptr;
}

// Renames the finished temporary file over the target, or removes it.
SaveResult Publish(const fs::path& tempPath, const fs::path& target) {
  std::error_code ec;
  fs::rename(tempPath, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(tempPath, ignored);
    return {SaveError(target, ec.message())};
  }
  // Make the rename itself durable; a failure here no longer endangers either file.
  SyncPathToDisk(target.has_parent_path() ? target.parent_path() : fs::path("."));
  return {};
}

size_t DefaultWrite(std::FILE* file, std::span<const std::byte> chunk) {
  return std::fwrite(chunk.data(), 1, chunk.size(), file);
}

}  // namespace

std::string PathText(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string LoadNotice(const LoadResult& result) {
  if (!result.ok()) return {};
  if (result.BytesRead < result.BytesExpected) {
    return Format("\"%s\" is short: %zu bytes read, %zu expected; the rest kept its previous values.",
                  result.Path.c_str(), result.BytesRead, result.BytesExpected);
  }
  if (result.TrailingData) {
    return Format("\"%s\" is longer than %zu bytes; the bytes after them were ignored.", result.Path.c_str(),
                  result.BytesExpected);
  }
  return {};
}

SaveResult SaveFileReplacing(const fs::path& path, std::span<const std::byte> bytes,
                             const SaveOptions& options) {
  fs::path tempPath;
  int error = 0;
  std::FILE* file = CreateTemporaryBeside(path, tempPath, error);
  if (!file) return {SaveError(path, Reason(error))};

  const ChunkWriter& write = options.Write ? options.Write : ChunkWriter(DefaultWrite);
  constexpr size_t kChunk = 64 * 1024;
  bool written = true;
  for (size_t at = 0; at < bytes.size() && written; at += kChunk) {
    const auto chunk = bytes.subspan(at, std::min(kChunk, bytes.size() - at));
    errno = 0;
    written = write(file, chunk) == chunk.size();
  }
  if (written) {
    errno = 0;
    written = SyncToDisk(file);
  }
  if (!written) error = errno != 0 ? errno : EIO;
  errno = 0;
  if (std::fclose(file) != 0 && written) {
    written = false;
    error = errno != 0 ? errno : EIO;
  }
  if (!written) {
    std::error_code ignored;
    fs::remove(tempPath, ignored);
    return {SaveError(path, Reason(error))};
  }
  return Publish(tempPath, path);
}

SaveResult SaveFileReplacing(const fs::path& path,
                             const std::function<std::string(const fs::path&)>& produce) {
  fs::path tempPath;
  int error = 0;
  std::FILE* reserved = CreateTemporaryBeside(path, tempPath, error);
  if (!reserved) return {SaveError(path, Reason(error))};
  std::fclose(reserved);

  std::string failure = produce(tempPath);
  if (failure.empty() && !SyncPathToDisk(tempPath)) failure = Reason(errno);
  if (!failure.empty()) {
    std::error_code ignored;
    fs::remove(tempPath, ignored);
    return {SaveError(path, failure)};
  }
  return Publish(tempPath, path);
}

std::string ReadFileBytes(const fs::path& path, size_t maxBytes, std::vector<std::byte>& data) {
  data.clear();
  std::FILE* file = OpenFile(path, "rb");
  if (!file) {
    const int error = errno;
    return Format("Cannot open \"%s\": %s", PathText(path).c_str(), Reason(error).c_str());
  }
  data.resize(maxBytes + 1);
  errno = 0;
  size_t total = 0;
  while (total < data.size()) {
    const size_t got = std::fread(data.data() + total, 1, data.size() - total, file);
    if (got == 0) break;
    total += got;
  }
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) {
    data.clear();
    return Format("Cannot read \"%s\": %s", PathText(path).c_str(), Reason(error != 0 ? error : EIO).c_str());
  }
  data.resize(total);
  return {};
}

}  // namespace veyra
