#include "link/transport.hpp"

#include <algorithm>
#include <charconv>
#include <map>
#include <mutex>

namespace veyra {

// The schemes built into the core (usb, tcp); transport_builtin.cpp.
std::map<std::string, TransportFactory> BuiltinTransportFactories();

namespace {

std::mutex& RegistryMutex() {
  static std::mutex m;
  return m;
}

// Starts with the built-in schemes; callers hold RegistryMutex.
std::map<std::string, TransportFactory>& Registry() {
  static std::map<std::string, TransportFactory> schemes = BuiltinTransportFactories();
  return schemes;
}

std::string KnownSchemesText() {
  std::string text;
  for (const std::string& s : TransportSchemes()) {
    if (!text.empty()) text += ", ";
    if (s == "usb") {
      text += "usb, usb:serial=SERIAL, usb:PATH";
    } else if (s == "tcp") {
      text += "tcp:HOST:PORT";
    } else if (s == "sim") {
      text += "sim:MODEL";
    } else {
      text += s + ":...";
    }
  }
  return text;
}

}  // namespace

std::string ConnectionFailedText(const OpenResult& result) {
  std::string text = "Connection failed, please check the device.";
  if (!result.Detail.empty()) text += "\n" + result.Detail;
  return text;
}

void RegisterTransportScheme(std::string scheme, TransportFactory factory) {
  std::lock_guard lock(RegistryMutex());
  Registry()[std::move(scheme)] = std::move(factory);
}

std::vector<std::string> TransportSchemes() {
  std::lock_guard lock(RegistryMutex());
  std::vector<std::string> names;
  for (const auto& [name, factory] : Registry()) names.push_back(name);
  return names;
}

TransportOrError CreateTransport(std::string_view address) {
  if (address.empty()) return {nullptr, "Empty device address; use " + KnownSchemesText() + "."};
  const size_t colon = address.find(':');
  const std::string scheme(address.substr(0, colon));
  const std::string_view rest =
      colon == std::string_view::npos ? std::string_view{} : address.substr(colon + 1);
  TransportFactory factory;
  {
    std::lock_guard lock(RegistryMutex());
    auto it = Registry().find(scheme);
    if (it != Registry().end()) factory = it->second;
  }
  if (!factory) {
    return {nullptr,
            "Unknown device address \"" + std::string(address) + "\"; use " + KnownSchemesText() + "."};
  }
  std::string error;
  auto transport = factory(rest, error);
  if (!transport && error.empty()) error = "Cannot use the device address \"" + std::string(address) + "\".";
  return {std::move(transport), transport ? std::string{} : error};
}

bool ParseHostPort(std::string_view text, std::string& host, uint16_t& port, std::string& error) {
  std::string_view portText;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos || close + 1 >= text.size() || text[close + 1] != ':') {
      error = "Expected [HOST]:PORT, got \"" + std::string(text) + "\".";
      return false;
    }
    host = std::string(text.substr(1, close - 1));
    portText = text.substr(close + 2);
  } else {
    const size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) {
      error = "Expected HOST:PORT, got \"" + std::string(text) + "\" (e.g. tcp:127.0.0.1:5750).";
      return false;
    }
    host = std::string(text.substr(0, colon));
    portText = text.substr(colon + 1);
  }
  if (host.empty()) {
    error = "The host is missing in \"" + std::string(text) + "\".";
    return false;
  }
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), value);
  if (portText.empty() || ec != std::errc{} || end != portText.data() + portText.size() || value < 1 ||
      value > 65535) {
    error = "The port in \"" + std::string(text) + "\" must be a number from 1 to 65535.";
    return false;
  }
  port = static_cast<uint16_t>(value);
  return true;
}

}  // namespace veyra
