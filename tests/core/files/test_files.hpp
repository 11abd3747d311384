// Scratch folders and whole-file helpers for the file tests.
#pragma once

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "state/text_format.hpp"

namespace veyra::testing {

// A fresh folder, removed with everything in it when the test ends.
class ScratchDir {
 public:
  ScratchDir() {
    static int made = 0;
    path_ = std::filesystem::temp_directory_path() / Format("veyra-files-%d-%d", getpid(), made++);
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() { std::filesystem::remove_all(path_); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Proves that no temporary file stays behind.
  size_t Count() const {
    const std::filesystem::directory_iterator entries(path_);
    return static_cast<size_t>(std::distance(begin(entries), end(entries)));
  }

 private:
  std::filesystem::path path_;
};

inline std::vector<std::byte> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::byte> bytes(text.size());
  std::memcpy(bytes.data(), text.data(), text.size());
  return bytes;
}

inline void WriteAll(const std::filesystem::path& path, const std::vector<std::byte>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::byte> RandomBytes(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::byte> bytes(n);
  for (auto& b : bytes) b = static_cast<std::byte>(random() & 0xFF);
  return bytes;
}

template <class T>
void FillRandom(T& object, unsigned seed) {
  std::memcpy(&object, RandomBytes(sizeof(T), seed).data(), sizeof(T));
}

}  // namespace veyra::testing
