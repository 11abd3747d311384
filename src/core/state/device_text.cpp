#include "device_text.hpp"

#include <cerrno>
#include <cstdio>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace veyra {

namespace {

#ifndef _WIN32
// iconv descriptor for one conversion; closed on scope exit.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

constexpr const char* kDeviceCodePage = "CP936";

// Converts as much as it can. On an invalid input sequence returns false with
// `in` pointing at the offending byte.
bool Convert(iconv_t cd, const char*& in, size_t& inLeft, std::string& out) {
  char buffer[256];
  while (inLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    char* src = const_cast<char*>(in);
    const size_t rc = iconv(cd, &src, &inLeft, &dst, &dstLeft);
    out.append(buffer, sizeof buffer - dstLeft);
    in = src;
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      return false;  // EILSEQ or EINVAL (truncated sequence at the end)
    }
  }
  return true;
}
#endif

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

std::string_view FieldText(const char* field, size_t size) {
  const void* zero = std::memchr(field, 0, size);
  const size_t n = zero ? static_cast<size_t>(static_cast<const char*>(zero) - field) : size;
  return {field, n};
}

std::string DecodeDeviceText(std::string_view raw) {
  if (IsAscii(raw)) return std::string(raw);
#ifdef _WIN32
  // Code page 936 through the platform API; invalid bytes become U+FFFD there too.
  const int wideLen = MultiByteToWideChar(936, 0, raw.data(), static_cast<int>(raw.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(wideLen), L'\0');
  MultiByteToWideChar(936, 0, raw.data(), static_cast<int>(raw.size()), wide.data(), wideLen);
  const int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(len), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLen, out.data(), len, nullptr, nullptr);
  return out;
#else
  Converter conv("UTF-8", kDeviceCodePage);
  std::string out;
  if (!conv.valid()) {
    for (unsigned char c : raw) out += c < 0x80 ? std::string(1, static_cast<char>(c)) : "\xEF\xBF\xBD";
    return out;
  }
  const char* in = raw.data();
  size_t left = raw.size();
  while (!Convert(conv.get(), in, left, out)) {
    out += "\xEF\xBF\xBD";  // U+FFFD for the byte that is not valid here
    ++in;
    --left;
    iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
#endif
}

EncodedDeviceText EncodeDeviceText(std::string_view utf8, size_t maxBytes) {
  EncodedDeviceText result;
  if (IsAscii(utf8)) {
    result.Bytes.assign(utf8);
  } else {
#ifdef _WIN32
    const int wideLen = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                            static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLen <= 0) {
      result.Error = DeviceTextError::InvalidUtf8;
      return result;
    }
    std::wstring wide(static_cast<size_t>(wideLen), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLen);
    BOOL lossy = FALSE;
    const int len = WideCharToMultiByte(936, 0, wide.data(), wideLen, nullptr, 0, nullptr, &lossy);
    if (len <= 0 || lossy) {
      result.Error = DeviceTextError::NotEncodable;
      return result;
    }
    result.Bytes.resize(static_cast<size_t>(len));
    WideCharToMultiByte(936, 0, wide.data(), wideLen, result.Bytes.data(), len, nullptr, nullptr);
#else
    // Check the UTF-8 first so that malformed input is told apart from
    // characters the device cannot show.
    {
      Converter check("UTF-32LE", "UTF-8");
      const char* in = utf8.data();
      size_t left = utf8.size();
      std::string sink;
      if (check.valid() && !Convert(check.get(), in, left, sink)) {
        result.Error = DeviceTextError::InvalidUtf8;
        return result;
      }
    }
    Converter conv(kDeviceCodePage, "UTF-8");
    const char* in = utf8.data();
    size_t left = utf8.size();
    if (!conv.valid() || !Convert(conv.get(), in, left, result.Bytes)) {
      result.Bytes.clear();
      result.Error = DeviceTextError::NotEncodable;
      return result;
    }
#endif
  }
  if (result.Bytes.size() > maxBytes) {
    result.Bytes.clear();
    result.Error = DeviceTextError::TooLong;
  }
  return result;
}

std::string DeviceTextErrorMessage(DeviceTextError error, size_t maxBytes) {
  char text[160];
  switch (error) {
    case DeviceTextError::None:
      return {};
    case DeviceTextError::TooLong:
      std::snprintf(text, sizeof text,
                    "The text is longer than %zu bytes (a Chinese character takes two).", maxBytes);
      return text;
    case DeviceTextError::NotEncodable:
      return "The text contains characters the processor cannot show.";
    case DeviceTextError::InvalidUtf8:
      return "The text is not valid UTF-8.";
  }
  return {};
}

size_t DisplayColumns(std::string_view utf8) {
  size_t columns = 0;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    columns += lead >= 0xE1 ? 2 : 1;  // U+1100 and up: the East Asian scripts
    i += length;
  }
  return columns;
}

bool SetFieldBytes(char* field, size_t size, std::string_view raw) {
  if (size == 0 || raw.size() + 1 > size) return false;
  std::memset(field, 0, size);
  std::memcpy(field, raw.data(), raw.size());
  return true;
}

}  // namespace veyra
