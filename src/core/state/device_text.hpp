// Text in device records (channel, program and group names, version texts,
// the model code) is kept as raw bytes in the device's code page (GBK, the
// Simplified Chinese ANSI code page). This module is the only place where such
// bytes become UTF-8 for display and entry, and back.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace veyra {

// The raw bytes of a fixed-size field up to its first zero (or the whole field).
std::string_view FieldText(const char* field, size_t size);
template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return FieldText(field, N);
}

// Device bytes to UTF-8. Bytes that are not valid in the code page become U+FFFD.
std::string DecodeDeviceText(std::string_view raw);
template <size_t N>
std::string DecodeField(const char (&field)[N]) {
  return DecodeDeviceText(FieldText(field));
}

enum class DeviceTextError { None, TooLong, NotEncodable, InvalidUtf8 };

struct EncodedDeviceText {
  std::string Bytes;  // in the device code page, no terminator
  DeviceTextError Error = DeviceTextError::None;
  bool ok() const { return Error == DeviceTextError::None; }
};

// UTF-8 to device bytes. maxBytes counts bytes in the device encoding; text
// that does not fit is refused whole, never cut inside a character.
EncodedDeviceText EncodeDeviceText(std::string_view utf8, size_t maxBytes);

// Columns a UTF-8 text takes in a fixed-width layout (a text table, a sheet
// column): East Asian characters take two.
size_t DisplayColumns(std::string_view utf8);

// An operator-facing explanation of an encoding failure, e.g. for a name field.
std::string DeviceTextErrorMessage(DeviceTextError error, size_t maxBytes);

// Copies raw device bytes into a fixed field and zero-fills the rest. Returns
// false (and leaves the field alone) when the bytes and a terminator do not fit.
bool SetFieldBytes(char* field, size_t size, std::string_view raw);
template <size_t N>
bool SetFieldBytes(char (&field)[N], std::string_view raw) {
  return SetFieldBytes(field, N, raw);
}

}  // namespace veyra
