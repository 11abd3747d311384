// The schemes every build knows. The simulator adds "sim" at run time.
#include <map>

#include "link/transport.hpp"

namespace veyra {

std::map<std::string, TransportFactory> BuiltinTransportFactories() {
  return {};
}

}  // namespace veyra
