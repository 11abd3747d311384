#include <gtest/gtest.h>

#include <QSignalSpy>

#include "controls/skin_drop_down.hpp"
#include "controls/skin_drop_list.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

struct Selector {
  QWidget window;
  SkinDropDown* drop = new SkinDropDown(&window);
  Selector() {
    drop->SetId(1339);
    for (const char* name : {"Sistel", "Merial", "Orvane"}) drop->AddEntry(name);
    drop->SetCurrentIndex(0);
    drop->setGeometry(20, 20, 120, 24);
    window.resize(200, 120);
  }
};

TEST(SkinDropDown, ClickOpensAListAsWideAsTheButtonAndChoosingReports) {
  Selector s;
  ASSERT_TRUE(test::ShowActive(&s.window));
  QSignalSpy changed(s.drop, &SkinDropDown::selectionChanged);
  QTest::mouseClick(s.drop, Qt::LeftButton);
  ASSERT_TRUE(s.drop->IsListShown());
  SkinDropList* list = s.drop->List();
  EXPECT_EQ(list->width(), s.drop->width());
  EXPECT_EQ(list->geometry().top(), s.drop->mapToGlobal(QPoint(0, s.drop->height())).y());
  EXPECT_EQ(list->height(), 3 * list->EntryHeight() + 2);

  QTest::mouseClick(list, Qt::LeftButton, {}, list->EntryRect(2).center());
  EXPECT_FALSE(s.drop->IsListShown());
  EXPECT_EQ(s.drop->GetCurrentIndex(), 2);
  EXPECT_EQ(s.drop->CurrentText(), "Orvane");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed.at(0).at(0).toInt(), 1339);
}

TEST(SkinDropDown, WheelStepsWithinTheList) {
  Selector s;
  QSignalSpy changed(s.drop, &SkinDropDown::selectionChanged);
  struct Step {
    int delta;
    int index;
    int emitted;
  };
  // Already the first entry; halves never add up; the last entry; back up.
  for (const Step step :
       {Step{120, 0, 0}, {60, 0, 0}, {-60, 0, 0}, {-120, 1, 1}, {-120, 2, 2}, {-120, 2, 2}, {120, 1, 3}}) {
    test::SendWheel(s.drop, step.delta);
    EXPECT_EQ(s.drop->GetCurrentIndex(), step.index) << step.delta;
    EXPECT_EQ(changed.count(), step.emitted);
  }
  s.drop->SetCurrentIndex(7);  // outside the list: ignored
  EXPECT_EQ(s.drop->GetCurrentIndex(), 1);
  EXPECT_EQ(changed.count(), 3) << "setting the index is not a choice of the operator";
}

}  // namespace
}  // namespace veyra
