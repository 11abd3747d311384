// veyra-sim: serves a simulated processor on the TCP report bridge, so that
// the application and the command-line tool can be tried without hardware:
//   veyra-sim --listen 127.0.0.1:5750 --model orvane [--seed N] [faults] [--trace FILE]
// then connect to tcp:127.0.0.1:5750. Port 0 picks a free port; the line
// "Listening on HOST:PORT" tells which.
//   veyra-sim --hid-gadget [--serial S] [--release 0200] [--udc NAME] ...
// puts the same processor behind a USB HID gadget instead (Linux, as root),
// so that the host sees it as a real one; "Gadget on UDC at NODE" says when.
#include <CLI/CLI.hpp>
#include <atomic>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "link/bridge_server.hpp"
#include "sim/engine.hpp"
#include "sim/hid_gadget.hpp"
#include "sim/sim_transport.hpp"

namespace {

std::atomic<bool> gStop{false};

void OnSignal(int) {
  gStop = true;
}

// "HOST:PORT" or "[V6]:PORT", port 0..65535 (0: any free port).
bool ParseListen(const std::string& text, std::string& host, uint16_t& port) {
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  const std::string digits = text.substr(colon + 1);
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size() || value > 65535)
    return false;
  port = static_cast<uint16_t>(value);
  return !host.empty();
}

bool ParseRelease(const std::string& text, uint16_t& release) {
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (text.size() != 4 || ec != std::errc{} || end != text.data() + text.size()) return false;
  release = static_cast<uint16_t>(value);
  return true;
}

int ServeGadget(const std::shared_ptr<veyra::sim::SimulatorEngine>& engine,
                const veyra::sim::GadgetIdentity& identity, const std::string& description) {
  veyra::sim::HidGadget gadget(engine);
  std::string error;
  if (!gadget.Create(identity, error)) {
    std::fprintf(stderr, "veyra-sim: %s\n", error.c_str());
    return 1;
  }
  std::printf("Gadget on %s at %s (serial %s, release %04X, %s)\n", gadget.Udc().c_str(),
              gadget.Node().c_str(), identity.Serial.c_str(), identity.Release, description.c_str());
  std::fflush(stdout);
  gadget.Serve(gStop);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  using veyra::sim::SimOptionTable;
  CLI::App app{"Serves a simulated Veyra QL processor on the TCP report bridge (65-byte reports each way)."};
  std::string listen = "127.0.0.1:5750";
  std::string tracePath;
  bool allowRemote = false;
  app.add_option("--listen", listen, "HOST:PORT to listen on (port 0 picks a free one)")
      ->capture_default_str();
  app.add_flag("--allow-remote", allowRemote, "allow a listening address other than loopback");
  app.add_option("--trace", tracePath, "write every report and fault to FILE (a link transcript)");
  bool hidGadget = false;
  veyra::sim::GadgetIdentity identity;
  std::string release = "0200";
  app.add_flag("--hid-gadget", hidGadget,
               "serve on a USB HID gadget (configfs, Linux, as root) instead of the TCP bridge");
  app.add_option("--serial", identity.Serial, "the gadget's USB serial number")->capture_default_str();
  app.add_option("--release", release, "the gadget's release (bcdDevice, 4 hex digits; only 0200 is used)")
      ->capture_default_str();
  app.add_option("--udc", identity.Udc, "the USB device controller to bind to (default: the first free one)");

  // The device options are the ones of the sim: address (a served device is always present).
  std::map<std::string, std::string> values;
  std::map<std::string, CLI::Option*> valueOptions;
  std::map<std::string, bool> flags;
  for (const auto& option : SimOptionTable()) {
    if (option.Name == "absent") continue;
    const std::string name = "--" + std::string(option.Name);
    const std::string help(option.Help);
    if (option.ValueName.empty()) {
      app.add_flag(name, flags[std::string(option.Name)], help);
    } else {
      valueOptions[std::string(option.Name)] = app.add_option(name, values[std::string(option.Name)], help)
                                                   ->type_name(std::string(option.ValueName));
    }
  }
  CLI11_PARSE(app, argc, argv);

  veyra::sim::SimOptions options;
  std::string error;
  for (const auto& option : SimOptionTable()) {
    if (option.Name == "absent") continue;
    const std::string name(option.Name);
    // Given, even with an empty value: --locked "" locks with the empty password.
    const bool given = option.ValueName.empty() ? flags[name] : valueOptions[name]->count() > 0;
    if (given && !veyra::sim::SetSimOption(options, name, values[name], error)) {
      std::fprintf(stderr, "veyra-sim: %s\n", error.c_str());
      return 2;
    }
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  auto engine = std::make_shared<veyra::sim::SimulatorEngine>(options);
  if (hidGadget) {
    if (!ParseRelease(release, identity.Release)) {
      std::fprintf(stderr, "veyra-sim: --release needs 4 hex digits (0200), not \"%s\".\n", release.c_str());
      return 2;
    }
    return ServeGadget(engine, identity, veyra::sim::DescribeSimOptions(options));
  }

  std::string host;
  uint16_t port = 0;
  if (!ParseListen(listen, host, port)) {
    std::fprintf(stderr, "veyra-sim: --listen needs HOST:PORT, not \"%s\".\n", listen.c_str());
    return 2;
  }

  veyra::ReportBridgeServer server(std::make_unique<veyra::sim::SimulatorTransport>(engine, options));
  if (!tracePath.empty()) {
    auto transcript = veyra::TranscriptRecorder::Create(tracePath, error);
    if (!transcript) {
      std::fprintf(stderr, "veyra-sim: %s\n", error.c_str());
      return 1;
    }
    transcript->Note("veyra-sim " + veyra::sim::DescribeSimOptions(options));
    engine->SetTrace([transcript](const std::string& line) { transcript->Note(line); });
    server.SetTranscript(transcript);
  }
  if (!server.Listen(host, port, allowRemote, error)) {
    std::fprintf(stderr, "veyra-sim: %s\n", error.c_str());
    return 1;
  }
  const bool v6 = host.find(':') != std::string::npos;
  std::printf("Listening on %s%s%s:%u (%s)\n", v6 ? "[" : "", host.c_str(), v6 ? "]" : "", server.Port(),
              veyra::sim::DescribeSimOptions(options).c_str());
  std::fflush(stdout);
  server.Serve(&gStop);
  return 0;
}
