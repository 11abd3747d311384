// The group editors on the real stack: flags and names reach the store at
// once through the change path (so they can be undone), Cancel keeps them,
// and the strips' group selectors list the names.
#include "editors/group_editor.hpp"

#include <gtest/gtest.h>

#include <QUndoStack>

#include "controls/skin_button.hpp"
#include "controls/skin_drop_down.hpp"
#include "editor_test_support.hpp"
#include "state/device_text.hpp"
#include "strips/channel_strip.hpp"
#include "strips/group_selector.hpp"
#include "strips/routing_views.hpp"

namespace veyra::testing {
namespace {

constexpr ChannelKind kIn = ChannelKind::Input;
constexpr ChannelKind kOut = ChannelKind::Output;

using GroupEditorTest = EditorTest;

// The MIC and MIX columns belong to an eight-input model only; none of the
// three models is one.
TEST_F(GroupEditorTest, ColumnsAndCaptionsPerKindAndModel) {
  struct Case {
    const char* model;
    ChannelKind kind;
    int model4Columns;
    std::vector<std::string> captions;
  };
  const std::vector<std::string> in = {"MUTE", "GAIN", "EQ", "POL", "DLY", "LIMIT"};
  const std::vector<std::string> out = {"MUTE", "GAIN", "EQ", "XOVR", "POL", "DLY", "LIMIT"};
  for (const Case& c : {Case{"sistel", kIn, 7, in}, {"orvane", kOut, 8, out}}) {
    Start(false, c.model);
    GroupEditor editor(Context(), c.kind);
    editor.show();
    EXPECT_EQ(GroupEditor::ShownColumns(c.kind, Store().CurrentModel), static_cast<int>(c.captions.size()));
    EXPECT_EQ(GroupEditor::ShownColumns(c.kind, 4), c.model4Columns);
    const auto columns = GroupEditor::Columns(c.kind);
    for (size_t k = 0; k < columns.size(); ++k) {
      const bool shown = k < c.captions.size();
      EXPECT_EQ(editor.FlagButton(7, static_cast<int>(k))->isVisible(), shown) << c.model << k;
      if (shown) {
        EXPECT_EQ(columns[k].Caption, c.captions[k]);
      }
    }
    TearDown();
  }
}

TEST_F(GroupEditorTest, FlagClicksReachTheStoreAtOnceAndUndo) {
  Start(true);
  GroupEditor editor(Context(), kOut);
  struct Click {
    int group, column;
    uint8_t ChannelGroup::*flag;
  };
  for (const Click& c : {Click{0, 0, &ChannelGroup::LinkMute},
                         {1, 3, &ChannelGroup::LinkCrossover},
                         {7, 6, &ChannelGroup::LinkLimiter}}) {
    editor.FlagButton(c.group, c.column)->click();
    EXPECT_EQ(Store().OutputGroups[c.group].*c.flag, 1) << c.group;
    EXPECT_TRUE(editor.FlagButton(c.group, c.column)->GetDown());
    EXPECT_EQ(Store().InputGroups[c.group].*c.flag, 0) << "the other kind's group";
  }
  EXPECT_EQ(Context().History().undoText(), "Output group 8 limiter link");
  editor.FlagButton(0, 0)->click();
  EXPECT_EQ(Store().OutputGroups[0].LinkMute, 0);
  for (int i = 0; i < 4; ++i) Context().History().undo();
  EXPECT_EQ(Store().OutputGroups[0].LinkMute, 0);
  EXPECT_EQ(Store().OutputGroups[1].LinkCrossover, 0);
  EXPECT_FALSE(editor.FlagButton(1, 3)->GetDown());
  // Groups live in the program: nothing went to the device.
  rig_->Settle();
  for (const Request& r : device_->Requests()) EXPECT_NE(r.Command, WriteCommand);
}

TEST_F(GroupEditorTest, NamesAreStoredAsTypedLimitedAndKeptByCancel) {
  Start(false);
  auto editor = std::make_unique<GroupEditor>(Context(), kIn);
  editor->show();
  QLineEdit* name = editor->NameField(2);
  Type(name, "Choir");
  EXPECT_EQ(FieldText(Store().InputGroups[2].Name), "Choir");
  // Typing is one undo step.
  EXPECT_EQ(Context().History().count(), 1);
  EXPECT_EQ(Context().History().undoText(), "Input group 3 name");
  // The name area holds 15 bytes and a terminator.
  Type(name, "0123456789XYZ");
  EXPECT_EQ(FieldText(Store().InputGroups[2].Name), "Choir0123456789");
  EXPECT_EQ(name->text(), "Choir0123456789");
  name->clear();
  Type(name, QString::fromUtf8("合唱团左右声道八"));  // two bytes each: seven fit
  EXPECT_EQ(DecodeField(Store().InputGroups[2].Name), "合唱团左右声道");
  editor->CancelButton()->click();
  EXPECT_EQ(editor->result(), QDialog::Rejected);
  EXPECT_EQ(DecodeField(Store().InputGroups[2].Name), "合唱团左右声道");
}

TEST_F(GroupEditorTest, OkRefillsTheSelectorsOfItsKind) {
  Start(false, "sistel");
  GroupEditor editor(Context(), kOut);
  editor.show();
  Type(editor.NameField(0), "Mains");
  editor.OkButton()->click();
  EXPECT_EQ(editor.result(), QDialog::Accepted);
  rig_->window->RefreshMainWindow();
  for (int ch = 0; ch < 4; ++ch)
    EXPECT_EQ(rig_->window->Routing()->Strip(kOut, ch)->Group()->EntryText(1), "Mains") << ch;
  EXPECT_EQ(rig_->window->Routing()->Strip(kIn, 0)->Group()->EntryText(1), "Group 1");
}

}  // namespace
}  // namespace veyra::testing
