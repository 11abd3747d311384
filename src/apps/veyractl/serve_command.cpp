#include "serve_command.hpp"

#include <CLI/CLI.hpp>
#include <atomic>
#include <csignal>
#include <memory>

#include "link/bridge_server.hpp"
#include "link/hid_transport.hpp"
#include "list_command.hpp"

namespace veyra::ctl {

namespace {

struct ServeOptions {
  std::string Listen = "127.0.0.1:5750";
  std::vector<std::string> Allow;
};

std::atomic<bool> gStopServing{false};

void OnStopSignal(int) {
  gStopServing = true;
}

// Installs the stop handlers for as long as the server runs.
class StopSignals {
 public:
  StopSignals() {
    gStopServing = false;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
  }
  ~StopSignals() {
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
  }
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

 private:
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
};

int RunServe(const Console& console, const GlobalOptions& global, const ServeOptions& options) {
  std::string host, error;
  uint16_t port = 0;
  // Port 0 (any free port) is a server's own; the address syntax is the bridge client's.
  const bool anyPort =
      options.Listen.size() > 2 && options.Listen.compare(options.Listen.size() - 2, 2, ":0") == 0;
  if (!ParseHostPort(anyPort ? options.Listen.substr(0, options.Listen.size() - 1) + "1" : options.Listen,
                     host, port, error)) {
    return console.Usage("--listen: " + error);
  }
  if (anyPort) port = 0;
  std::vector<AllowedNetwork> allowed;
  for (const std::string& text : options.Allow) {
    AllowedNetwork network;
    if (!ParseAllowedNetwork(text, network, error)) return console.Usage("--allow: " + error);
    allowed.push_back(network);
  }
  TransportOrError made = CreateTransport(global.Device);
  if (!made.transport) return console.Usage("--device " + global.Device + ": " + made.error);
  if (made.transport->Address() == "usb") {
    const std::string note = SeveralProcessorsNote(EnumerateProcessorInterfaces());
    if (!note.empty()) console.Err() << note << "\n";
  }
  std::ostream& out = console.Out();
  ReportBridgeServer server(std::move(made.transport),
                            [&out](const std::string& line) { out << line << std::endl; });
  server.SetAllowed(std::move(allowed));
  if (!global.Trace.empty()) {
    auto recorder = TranscriptRecorder::Create(global.Trace, error);
    if (!recorder) return console.Failure(error);
    recorder->Note("veyractl --device " + global.Device + " serve --listen " + options.Listen);
    server.SetTranscript(std::move(recorder));
  }
  // The address is the operator's choice: a host other than loopback is asked for by name.
  if (!server.Listen(host, port, true, error)) return console.Failure(error);
  const bool v6 = host.find(':') != std::string::npos;
  out << "Listening on " << (v6 ? "[" : "") << host << (v6 ? "]" : "") << ":" << server.Port() << " (serving "
      << global.Device << ")" << std::endl;
  StopSignals signals;
  server.Serve(&gStopServing);
  out << "Stopped." << std::endl;
  return kExitOk;
}

}  // namespace

void AddServeCommand(CLI::App& app, const GlobalOptions& global, std::function<int(const Console&)>& run) {
  auto options = std::make_shared<ServeOptions>();
  CLI::App* serve = app.add_subcommand(
      "serve",
      "Serve the device on the TCP report bridge (one client at a time) until interrupted; "
      "the bridge has no authentication: serve on trusted networks only");
  serve->add_option("--listen", options->Listen, "HOST:PORT to listen on (port 0 picks a free one)")
      ->capture_default_str();
  serve->add_option("--allow", options->Allow, "Accept clients only from these networks (CIDR, repeatable)")
      ->type_name("CIDR");
  serve->callback([&run, &global, options] {
    run = [&global, options](const Console& console) { return RunServe(console, global, *options); };
  });
}

}  // namespace veyra::ctl
