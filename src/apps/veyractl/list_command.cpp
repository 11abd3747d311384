#include "list_command.hpp"

#include <CLI/CLI.hpp>

#include "info_report.hpp"
#include "state/text_format.hpp"
#include "text_table.hpp"

namespace veyra::ctl {

namespace {

std::string OrDash(const std::string& text) {
  return text.empty() ? "-" : text;
}

std::string Release(const HidInterfaceInfo& info) {
  return Format("%04X", info.ReleaseNumber);
}

}  // namespace

std::string ListText(const std::vector<InterfaceProbe>& probes) {
  if (probes.empty()) return "No processor is connected by USB.\n";
  std::vector<std::vector<std::string>> grid{
      {"PATH", "SERIAL", "RELEASE", "MANUFACTURER", "PRODUCT", "OPEN"}};
  std::string problems;
  for (const InterfaceProbe& p : probes) {
    const char* open = !p.Info.matches() ? "not used" : p.CanOpen ? "yes" : "no";
    grid.push_back({p.Info.Path, OrDash(p.Info.Serial), Release(p.Info), OrDash(p.Info.Manufacturer),
                    OrDash(p.Info.Product), open});
    if (!p.Problem.empty()) problems += p.Problem + "\n";
  }
  return AlignedText(grid) + (problems.empty() ? "" : "\n" + problems);
}

std::string ListJson(const std::vector<InterfaceProbe>& probes) {
  std::string json = "[";
  for (const InterfaceProbe& p : probes) {
    if (json.size() > 1) json += ",";
    json += "{\"path\":" + JsonString(p.Info.Path) + ",\"serial\":" + JsonString(p.Info.Serial) +
            ",\"release\":" + JsonString(Release(p.Info)) +
            ",\"manufacturer\":" + JsonString(p.Info.Manufacturer) +
            ",\"product\":" + JsonString(p.Info.Product) +
            ",\"used\":" + (p.Info.matches() ? "true" : "false") +
            ",\"can_open\":" + (p.CanOpen ? "true" : "false") + ",\"problem\":" + JsonString(p.Problem) + "}";
  }
  return json + "]\n";
}

std::string SeveralProcessorsNote(const std::vector<HidInterfaceInfo>& interfaces) {
  std::vector<const HidInterfaceInfo*> usable;
  for (const HidInterfaceInfo& info : interfaces) {
    if (info.matches()) usable.push_back(&info);
  }
  if (usable.size() < 2) return {};
  std::string note = Format("%zu processors are connected; using %s. Also connected:", usable.size(),
                            DescribeInterface(*usable.front()).c_str());
  for (size_t i = 1; i < usable.size(); ++i) note += (i > 1 ? ", " : " ") + DescribeInterface(*usable[i]);
  return note + ". Pick one with --device usb:serial=SERIAL or usb:PATH.";
}

void AddListCommand(CLI::App& app, std::function<int(const Console&)>& run) {
  CLI::App* list = app.add_subcommand(
      "list",
      "List the processors connected by USB (path, serial number, release, whether they can be opened)");
  auto json = std::make_shared<bool>(false);
  list->add_flag("--json", *json, "Print one JSON array");
  list->callback([&run, json] {
    run = [json](const Console& console) {
      const auto probes = ProbeProcessorInterfaces();
      console.Out() << (*json ? ListJson(probes) : ListText(probes));
      return kExitOk;
    };
  });
}

}  // namespace veyra::ctl
