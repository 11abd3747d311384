// The group editors: "Input Group" and "Output Group" show the eight groups of
// their kind, each with its name and one link flag per processing block. A
// click changes a flag at once and a name changes with every keystroke, each
// an undoable step; Cancel closes and keeps them, as OK does. The two differ
// only in their columns and sizes, so one dialog serves both.
#pragma once

#include <QLineEdit>
#include <array>
#include <vector>

#include "editing/editor_dialog.hpp"
#include "groups/channel_kind.hpp"
#include "groups/group_links.hpp"

class QWidget;

namespace veyra {

class SkinButton;

using GroupFlagColumn = GroupLinkColumn;

class GroupEditor : public EditorDialog {
  Q_OBJECT

 public:
  static constexpr int kGroups = kChannelSlots;
  // The model whose editor shows the MIC (inputs) or MIX (outputs) column.
  static constexpr int kLinkColumnModel = veyra::kLinkColumnModel;
  static constexpr int kNameLimit = 15;  // bytes of device text; the 16-byte area keeps its terminator

  GroupEditor(EditContext& context, ChannelKind kind, QWidget* parent = nullptr);

  ChannelKind Kind() const { return kind_; }
  static std::vector<GroupFlagColumn> Columns(ChannelKind kind);
  // How many of the columns the model shows (the last one only on kLinkColumnModel).
  static int ShownColumns(ChannelKind kind, int model);

  QLineEdit* NameField(int group) const { return names_.at(static_cast<size_t>(group)); }
  SkinButton* FlagButton(int group, int column) const;
  SkinButton* OkButton() const { return ok_; }
  SkinButton* CancelButton() const { return cancel_; }

 protected:
  void Reload() override;

 private:
  void FlagClicked(int group, int column);
  void NameEdited(int group, const QString& text);

  ChannelKind kind_;
  std::vector<GroupFlagColumn> columns_;
  std::vector<QLineEdit*> names_;
  std::vector<std::vector<SkinButton*>> flags_;  // [group][column]
  std::vector<QWidget*> captions_;
  SkinButton* ok_;
  SkinButton* cancel_;
};

QDialog* MakeInputGroupEditor(EditContext& context, int channel, QWidget* parent);
QDialog* MakeOutputGroupEditor(EditContext& context, int channel, QWidget* parent);

}  // namespace veyra
