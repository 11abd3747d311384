#include "mainwin/editor_registry.hpp"

#include <algorithm>
#include <array>

#include "admin/copy_dialog.hpp"
#include "admin/security_dialog.hpp"
#include "admin/system_setting_dialog.hpp"
#include "editors/delay_editor.hpp"
#include "editors/dynamics_editor.hpp"
#include "editors/gain_editor.hpp"
#include "editors/group_editor.hpp"
#include "editors/input_eq_editor.hpp"
#include "editors/mic_line_editor.hpp"
#include "editors/output_eq_editor.hpp"
#include "editors/system_response_window.hpp"
#include "files/data_view.hpp"
#include "files/program_dialog.hpp"

namespace veyra {
namespace {

constexpr auto kInput = ChannelKind::Input;
constexpr auto kOutput = ChannelKind::Output;

// Keep one line per window kind; a dialog joins by naming its factory here.
const std::array<EditorInfo, kWindowKinds> kEditors{{
    {WindowKind::InputEqEditor, "input-eq", kInput, MakeInputEqEditor},
    {WindowKind::OutputEqEditor, "output-eq", kOutput, MakeOutputEqEditor},
    {WindowKind::CompressorEditor, "compressor", kInput, MakeCompressorEditor},
    {WindowKind::LimiterEditor, "limiter", kOutput, MakeLimiterEditor},
    {WindowKind::DelayEditor, "delay", std::nullopt, MakeDelayEditor},
    {WindowKind::InputGainEditor, "input-gain", std::nullopt, MakeInputGainEditor},
    {WindowKind::OutputGainEditor, "output-gain", std::nullopt, MakeOutputGainEditor},
    {WindowKind::MicLineEditor, "mic", std::nullopt, MakeMicLineEditor},
    {WindowKind::InputGroupEditor, "input-group", std::nullopt, MakeInputGroupEditor},
    {WindowKind::OutputGroupEditor, "output-group", std::nullopt, MakeOutputGroupEditor},
    {WindowKind::ProgramDialog, "program", std::nullopt, MakeProgramDialog},
    {WindowKind::DataView, "data", std::nullopt, MakeDataView},
    {WindowKind::CopyDialog, "copy", std::nullopt, MakeCopyDialog},
    {WindowKind::Security, "security", std::nullopt, MakeSecurityDialog},
    {WindowKind::SystemSetting, "system", std::nullopt, MakeSystemSettingDialog},
    // "system:A": the same word with an input names the System response window.
    {WindowKind::SystemResponse, "system", kInput, MakeSystemResponseWindow},
}};

std::string WorkingNames() {
  std::string names;
  for (const EditorInfo& info : kEditors) {
    if (!info.Make) continue;
    if (!names.empty()) names += ", ";
    names += info.Name;
    if (info.Channels) names += *info.Channels == kInput ? "[:A..H]" : "[:1..8]";
  }
  return names.empty() ? std::string("none yet") : names;
}

}  // namespace

std::span<const EditorInfo> Editors() {
  return kEditors;
}

const EditorInfo* FindEditor(WindowKind kind) {
  const auto it = std::find_if(kEditors.begin(), kEditors.end(), [kind](const EditorInfo& e) { return e.Kind == kind; });
  return it == kEditors.end() ? nullptr : &*it;
}

EditorRequest ParseEditorRequest(std::string_view text) {
  EditorRequest request;
  const size_t colon = text.find(':');
  const std::string_view name = text.substr(0, colon);
  // Where two windows share a name, the one that takes a channel answers a
  // request with one.
  const bool withChannel = colon != std::string_view::npos;
  auto it = std::find_if(kEditors.begin(), kEditors.end(), [name, withChannel](const EditorInfo& e) {
    return e.Make && name == e.Name && e.Channels.has_value() == withChannel;
  });
  if (it == kEditors.end())
    it = std::find_if(kEditors.begin(), kEditors.end(),
                      [name](const EditorInfo& e) { return e.Make && name == e.Name; });
  if (it == kEditors.end()) {
    request.Error = "no editor named '" + std::string(name) + "'; editors: " + WorkingNames();
    return request;
  }
  if (colon != std::string_view::npos) {
    const std::string_view channel = text.substr(colon + 1);
    const char first = channel.size() == 1 ? channel[0] : '\0';
    const char lowest = it->Channels == kInput ? 'A' : '1';
    if (!it->Channels || first < lowest || first >= lowest + kChannelSlots) {
      request.Error = "'" + std::string(text) + "': " +
                      (it->Channels ? std::string("the channel is ") + (it->Channels == kInput ? "A..H" : "1..8")
                                    : std::string(it->Name) + " takes no channel");
      return request;
    }
    request.Channel = first - lowest;
  }
  request.Editor = &*it;
  return request;
}

}  // namespace veyra
