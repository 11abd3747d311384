#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTemporaryDir>

#include "controls/mac_radio_button.hpp"
#include "controls/png_button.hpp"
#include "controls/skin_button.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

TEST(SkinButton, OwnerSetsTheStateAndSameStateDoesNotRepaint) {
  SkinButton button("MUTE");
  button.resize(60, 24);
  test::EventCounter paints(&button, QEvent::Paint);
  button.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return paints.count > 0; }, 1000));
  QApplication::processEvents();
  paints.count = 0;

  button.SetDown(0);  // already up
  QApplication::processEvents();
  EXPECT_EQ(paints.count, 0);

  button.SetDown(1);
  QApplication::processEvents();
  EXPECT_EQ(button.GetDown(), 1);
  EXPECT_GE(paints.count, 1);
  const int afterChange = paints.count;
  button.SetDown(1);
  QApplication::processEvents();
  EXPECT_EQ(paints.count, afterChange);

  // A click only reports: the state stays until the owner changes it.
  QSignalSpy clicked(&button, &SkinButton::clicked);
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_EQ(button.GetDown(), 1);
}

TEST(PngButton, LoadsItsFaceAndStaysFacelessWithoutOne) {
  QTemporaryDir dir;
  QImage image(24, 24, QImage::Format_ARGB32);
  ASSERT_TRUE(image.save(dir.filePath("face.png")));
  PngButton button;
  EXPECT_TRUE(button.LoadImage(dir.filePath("face.png")) && button.HasImage());
  EXPECT_FALSE(button.LoadImage(dir.filePath("missing.png")) || button.HasImage());
}

struct RadioRow {
  QWidget window;
  CMacRadioButton* buttons[4];
  RadioRow() {
    for (int i = 0; i < 4; ++i) {
      buttons[i] = new CMacRadioButton(QString("B%1").arg(i), &window);
      buttons[i]->setGeometry(10 + 90 * i, 10, 80, 24);
    }
    window.resize(400, 50);
  }
};

TEST(CMacRadioButton, ArrowKeysMoveTheSelectionWithoutAnswering) {
  RadioRow row;
  row.buttons[2]->hide();  // hidden buttons are not part of the row
  ASSERT_TRUE(test::ShowActive(&row.window));
  row.buttons[0]->setFocus();
  EXPECT_TRUE(row.buttons[0]->isChecked());
  QSignalSpy clicked1(row.buttons[1], &CMacRadioButton::clicked);

  struct Step {
    Qt::Key key;
    int selected;
  };
  for (const Step s :
       {Step{Qt::Key_Right, 1}, {Qt::Key_Right, 3}, {Qt::Key_Down, 0}, {Qt::Key_Left, 3}, {Qt::Key_Up, 1}}) {
    QTest::keyClick(QApplication::focusWidget(), s.key);
    EXPECT_EQ(QApplication::focusWidget(), row.buttons[s.selected]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(row.buttons[i]->isChecked(), i == s.selected) << i;
  }
  EXPECT_EQ(clicked1.count(), 0);
  QTest::keyClick(row.buttons[1], Qt::Key_Return);
  EXPECT_EQ(clicked1.count(), 1);
}

}  // namespace
}  // namespace veyra
