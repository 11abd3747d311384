// The schemes every build knows. The simulator adds "sim" at run time.
#include <map>

#include "link/hid_transport.hpp"
#include "link/tcp_transport.hpp"
#include "link/transport.hpp"

namespace veyra {

std::map<std::string, TransportFactory> BuiltinTransportFactories() {
  std::map<std::string, TransportFactory> schemes;
  schemes["usb"] = [](std::string_view rest, std::string& error) -> std::unique_ptr<Transport> {
    UsbSelector selector;
    if (!ParseUsbAddress(rest, selector, error)) return nullptr;
    return std::make_unique<HidTransport>(std::move(selector));
  };
  schemes["tcp"] = [](std::string_view rest, std::string& error) -> std::unique_ptr<Transport> {
    std::string host;
    uint16_t port = 0;
    if (!ParseHostPort(rest, host, port, error)) {
      error = "Bad device address \"tcp:" + std::string(rest) + "\" (use tcp:HOST:PORT): " + error;
      return nullptr;
    }
    return std::make_unique<TcpTransport>(host, port);
  };
  return schemes;
}

}  // namespace veyra
