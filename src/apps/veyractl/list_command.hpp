// veyractl list: every processor interface on USB, whether it is used and
// whether this user may open it; and the note a bare "usb" address gives
// when it has several to choose from.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "console.hpp"
#include "link/hid_transport.hpp"

namespace CLI {
class App;
}

namespace veyra::ctl {

// The table (one row per interface, then a line per problem) or, with json,
// one array of objects.
std::string ListText(const std::vector<InterfaceProbe>& probes);
std::string ListJson(const std::vector<InterfaceProbe>& probes);

// For a bare "usb" with several usable interfaces: which one is taken and
// how to pick another. Empty with fewer than two.
std::string SeveralProcessorsNote(const std::vector<HidInterfaceInfo>& interfaces);

void AddListCommand(CLI::App& app, std::function<int(const Console&)>& run);

}  // namespace veyra::ctl
