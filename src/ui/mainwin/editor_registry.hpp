// The editor host's registry: which dialog each window kind opens, the name
// it answers to on the command line (`veyra --open NAME[:CHANNEL]`) and
// whether it edits one channel at a time. The main window opens every editor
// through it; a kind whose dialog is not part of the program yet has no
// factory and its buttons and keys stay idle.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "editing/window_kind.hpp"
#include "groups/channel_kind.hpp"

class QDialog;
class QWidget;

namespace veyra {

class EditContext;

struct EditorInfo {
  WindowKind Kind;
  const char* Name;                      // "input-eq", "program"
  std::optional<ChannelKind> Channels;   // the kind of channel it starts on, if it edits one
  // Makes the dialog on channel (0 when the editor has none); null: not built yet.
  QDialog* (*Make)(EditContext& context, int channel, QWidget* parent);
};

std::span<const EditorInfo> Editors();
const EditorInfo* FindEditor(WindowKind kind);

// "NAME[:CHANNEL]" of --open: the editor and its channel (A..H for inputs,
// 1..8 for outputs, none for editors without a channel).
struct EditorRequest {
  const EditorInfo* Editor = nullptr;
  int Channel = 0;
  std::string Error;  // why the request was refused, with the names that work
};
EditorRequest ParseEditorRequest(std::string_view text);

}  // namespace veyra
