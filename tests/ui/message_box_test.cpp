#include "controls/message_box.hpp"

#include <gtest/gtest.h>

#include <QTimer>

#include "controls/mac_radio_button.hpp"
#include "controls/set_name_dialog.hpp"
#include "controls/value_entry_field.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

QStringList ShownCaptions(const MessageBoxDialog& box) {
  QStringList captions;
  for (int result : box.ShownResults()) captions << box.Button(result)->text();
  return captions;
}

TEST(MessageBox, ButtonSetsIconsAndClosingByStyle) {
  struct Case {
    unsigned style;
    QStringList captions;
    unsigned icon;
    bool closable;
  };
  const Case cases[] = {
      {0x41, {"OK", "Cancel"}, 0x40, true},
      {0x12, {"终止(&A)", "重试(&R)", "忽略(&I)"}, 0x10, true},
      {0x23, {"YES", "NO", "Cancel"}, 0x20, true},
      {0x34, {"YES", "NO"}, 0x30, false},
      {0x05, {"重试(&R)", "Cancel"}, 0, true},
      {0x0E, {"OK"}, 0, true},  // no such set: still one way to answer
      {0x70, {"OK"}, 0, true},  // no such icon
  };
  for (const Case& c : cases) {
    MessageBoxDialog box("Text", "Warning", c.style);
    EXPECT_EQ(ShownCaptions(box), c.captions) << std::hex << c.style;
    EXPECT_EQ(box.IconBits(), c.icon) << std::hex << c.style;
    EXPECT_EQ(box.CloseEnabled(), c.closable) << std::hex << c.style;
    int hidden = 0;
    for (int result : MessageBoxDialog::kButtonResults) hidden += box.Button(result)->isHidden() ? 1 : 0;
    EXPECT_EQ(hidden, 7 - c.captions.size());
  }
}

TEST(MessageBox, YesNoCancelReturnsSixSevenOrTwo) {
  struct Case {
    int clicked;
    int result;
  };
  for (const Case c : {Case{kResultYes, 6}, {kResultNo, 7}, {kResultCancel, 2}, {0, 2}}) {
    MessageBoxDialog box("Do you want to save your setting?", "Warning", 0x23);
    box.open();
    if (c.clicked != 0) {
      QTest::mouseClick(box.Button(c.clicked), Qt::LeftButton);
    } else {
      box.close();  // the close box
    }
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), c.result);
  }
}

TEST(MessageBox, YesNoCannotBeClosedAndYesHasTheFocus) {
  MessageBoxDialog box("Lock the device?", "Warning", 0x04);
  box.open();
  ASSERT_TRUE(test::ShowActive(&box));
  EXPECT_EQ(QApplication::focusWidget(), box.Button(kResultYes));
  box.close();
  QTest::keyClick(&box, Qt::Key_Escape);
  EXPECT_TRUE(box.isVisible());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);  // selection moves, nothing answers
  EXPECT_TRUE(box.isVisible());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(box.result(), kResultNo);
}

TEST(MessageBox, EmptyCaptionTakesTheOwnersAndRunsModally) {
  QWidget owner;
  owner.setWindowTitle("Veyra QL Series Loudspeaker Control System");
  QString seenTitle;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<MessageBoxDialog*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seenTitle = box->windowTitle();
    QTest::mouseClick(box->Button(kResultOk), Qt::LeftButton);
  });
  EXPECT_EQ(ShowMessageBox("Save Successfully.", "", 0x40, &owner), kResultOk);
  EXPECT_EQ(seenTitle, owner.windowTitle());
}

TEST(MessageBox, SizedAroundItsText) {
  MessageBoxDialog small("OK?", "Warning", 0x00);
  MessageBoxDialog wide(QString("many words ").repeated(9), "Warning", 0x41);
  MessageBoxDialog tall("One\nTwo\nThree\nFour\nFive", "Warning", 0x00);
  EXPECT_GT(wide.width(), small.width());
  EXPECT_LE(wide.width(), 560) << "long texts wrap instead of making a very wide box";
  EXPECT_GT(tall.height(), small.height());
}

TEST(SetNameDialog, OkOnlyWhenTheNameFitsEightBytes) {
  struct Case {
    const char* name;
    bool accepted;
  };
  const Case cases[] = {
      {"ABCDEFGH", true},
      {"通道一二", true},     // four Chinese characters are eight bytes
      {"通道一二三", false},  // five characters, but ten bytes
      {"A😀", false},          // not in the device's character set
  };
  for (const Case& c : cases) {
    SetNameDialog dialog;
    dialog.SetName(QString::fromUtf8(c.name));
    dialog.open();
    dialog.accept();
    EXPECT_EQ(!dialog.isVisible(), c.accepted) << c.name;
    if (c.accepted) {
      EXPECT_EQ(dialog.result(), QDialog::Accepted);
      EXPECT_LE(dialog.NameBytes().size(), 8u);
    } else {
      EXPECT_FALSE(dialog.Notice().isEmpty());
      dialog.reject();
    }
  }
}

TEST(SetNameDialog, EnterInTheFieldIsOk) {
  SetNameDialog dialog;
  dialog.open();
  ASSERT_TRUE(test::ShowActive(&dialog));
  QTest::keyClicks(dialog.Field(), "IN A");
  QTest::keyClick(dialog.Field(), Qt::Key_Return);
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.NameBytes(), "IN A");
}

}  // namespace
}  // namespace veyra
