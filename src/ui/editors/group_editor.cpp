#include "editors/group_editor.hpp"

#include "controls/skin_button.hpp"
#include "controls/skin_label.hpp"
#include "controls/skin_style.hpp"
#include "editing/edit_context.hpp"
#include "state/device_text.hpp"

namespace veyra {
namespace {

constexpr int kRowTop = 30;
constexpr int kRowPitch = 30;
constexpr int kNameX = 20;
constexpr int kFlagX = 100;
constexpr int kColumnPitch = 80;
constexpr int kCellWidth = 64;
constexpr int kCellHeight = 20;
constexpr int kButtonsTop = 300;

QString GroupLabel(ChannelKind kind, int group, const char* what) {
  return QString("%1 group %2 %3")
      .arg(kind == ChannelKind::Input ? "Input" : "Output")
      .arg(group + 1)
      .arg(what);
}

ChannelGroup& GroupOf(ParameterStore& store, ChannelKind kind, int group) {
  return (kind == ChannelKind::Input ? store.InputGroups : store.OutputGroups)[group];
}

const ChannelGroup& GroupOf(const ParameterStore& store, ChannelKind kind, int group) {
  return (kind == ChannelKind::Input ? store.InputGroups : store.OutputGroups)[group];
}

}  // namespace

std::vector<GroupFlagColumn> GroupEditor::Columns(ChannelKind kind) {
  const std::span<const GroupLinkColumn> columns = GroupLinkColumns(kind);
  return {columns.begin(), columns.end()};
}

int GroupEditor::ShownColumns(ChannelKind kind, int model) {
  return ShownGroupLinkColumns(kind, model);
}

GroupEditor::GroupEditor(EditContext& context, ChannelKind kind, QWidget* parent)
    : EditorDialog(context, kind == ChannelKind::Input ? "Input Group" : "Output Group", parent),
      kind_(kind),
      columns_(Columns(kind)) {
  for (size_t c = 0; c < columns_.size(); ++c) {
    auto* caption = new SkinLabel(columns_[c].Caption, this);
    caption->SetFont("Arial", 12, true);
    caption->SetTextColor(skin::kTextLight);
    caption->SetAlignment(Qt::AlignCenter);
    caption->setGeometry(kFlagX + kColumnPitch * static_cast<int>(c), kRowTop - kCellHeight - 4, kCellWidth,
                         kCellHeight);
    captions_.push_back(caption);
  }
  for (int g = 0; g < kGroups; ++g) {
    const int y = kRowTop + kRowPitch * g;
    auto* name = new QLineEdit(this);
    name->setFont(skin::ControlFont(12));
    name->setGeometry(kNameX, y, kCellWidth, kCellHeight);
    connect(name, &QLineEdit::textEdited, this, [this, g](const QString& text) { NameEdited(g, text); });
    names_.push_back(name);
    flags_.emplace_back();
    for (size_t c = 0; c < columns_.size(); ++c) {
      // Captioned as its column, so that a lit button reads as what it links.
      auto* button = new SkinButton(columns_[c].Caption, this);
      button->setFont(skin::ControlFont(11, true));
      button->setGeometry(kFlagX + kColumnPitch * static_cast<int>(c), y, kCellWidth, kCellHeight);
      connect(button, &SkinButton::clicked, this, [this, g, c] { FlagClicked(g, static_cast<int>(c)); });
      flags_.back().push_back(button);
    }
  }
  const bool input = kind == ChannelKind::Input;
  ok_ = new SkinButton("OK", this);
  ok_->setGeometry(input ? 150 : 200, kButtonsTop, 100, 24);
  cancel_ = new SkinButton("Cancel", this);
  cancel_->setGeometry(input ? 300 : 400, kButtonsTop, 100, 24);
  connect(ok_, &SkinButton::clicked, this, &QDialog::accept);
  // The changes are in the store already; Cancel keeps them as OK does.
  connect(cancel_, &SkinButton::clicked, this, &QDialog::reject);
  Reload();
}

SkinButton* GroupEditor::FlagButton(int group, int column) const {
  return flags_.at(static_cast<size_t>(group)).at(static_cast<size_t>(column));
}

void GroupEditor::FlagClicked(int group, int column) {
  const auto flag = columns_[static_cast<size_t>(column)].Flag;
  const uint8_t now = GroupOf(Context().Store(), kind_, group).*flag;
  Context().Write(
      GroupLabel(kind_, group, columns_[static_cast<size_t>(column)].What),
      [this, group, flag, now](ParameterStore& store) { GroupOf(store, kind_, group).*flag = now ? 0 : 1; });
}

void GroupEditor::NameEdited(int group, const QString& text) {
  const EncodedDeviceText encoded = EncodeDeviceText(text.toStdString(), kNameLimit);
  if (!encoded.ok()) {
    // Longer than the name area, or a character the device cannot show: the
    // field keeps the stored name.
    QLineEdit* field = NameField(group);
    const int cursor = field->cursorPosition();
    field->setText(QString::fromStdString(DecodeField(GroupOf(Context().Store(), kind_, group).Name)));
    field->setCursorPosition(std::max(0, cursor - 1));
    return;
  }
  const QString key = QString("group-name/%1/%2").arg(int(kind_)).arg(group);
  Context().Apply(GroupLabel(kind_, group, "name"), key,
                  [this, group, bytes = encoded.Bytes](ParameterStore& store, ChangeLog&) {
                    SetFieldBytes(GroupOf(store, kind_, group).Name, bytes);
                  });
}

void GroupEditor::Reload() {
  const ParameterStore& store = Context().Store();
  const int shown = ShownColumns(kind_, store.CurrentModel);
  for (int g = 0; g < kGroups; ++g) {
    const ChannelGroup& group = GroupOf(store, kind_, g);
    const QString name = QString::fromStdString(DecodeField(group.Name));
    // Rewriting the same text would move the cursor of the field being typed in.
    if (names_[static_cast<size_t>(g)]->text() != name) names_[static_cast<size_t>(g)]->setText(name);
    for (size_t c = 0; c < columns_.size(); ++c) {
      SkinButton* button = FlagButton(g, static_cast<int>(c));
      button->SetDown(group.*(columns_[c].Flag) != 0);
      button->setVisible(static_cast<int>(c) < shown);
    }
  }
  for (size_t c = 0; c < captions_.size(); ++c) captions_[c]->setVisible(static_cast<int>(c) < shown);
  // Wide enough for the shown columns, never narrower than the dialog always was.
  const int needed = kFlagX + kColumnPitch * (shown - 1) + kCellWidth + kNameX;
  const bool wide = shown == static_cast<int>(columns_.size());
  const int usual = kind_ == ChannelKind::Input ? (wide ? 700 : 550) : (wide ? 800 : 700);
  setFixedSize(std::max(needed, usual), kButtonsTop + 24 + 16);
}

QDialog* MakeInputGroupEditor(EditContext& context, int, QWidget* parent) {
  return new GroupEditor(context, ChannelKind::Input, parent);
}

QDialog* MakeOutputGroupEditor(EditContext& context, int, QWidget* parent) {
  return new GroupEditor(context, ChannelKind::Output, parent);
}

}  // namespace veyra
