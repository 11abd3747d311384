#include <gtest/gtest.h>

#include <QSignalSpy>

#include "controls/skin_spin_value.hpp"
#include "state/scales.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

TEST(SpinRepeatValue, StepRulesPerKind) {
  struct Case {
    int kind, value, direction, tick, min, max, expected;
  };
  const Case cases[] = {
      {kKindQ, 50, 1, 5, 0, 100, 51},         // one per tick, however long it is held
      {kKindDelay, 100, 1, 3, 0, 1470, 103},  // growing: 1, 2, 3 ...
      {kKindRatio, 20, -1, 4, 1, 40, 16},
      {kKindDelay, 1468, 1, 5, 0, 1470, 1470},  // clamped to the range
      {kKindFrequency4, 1000, 1, 3, 10, 30000, 1003},
      // Held downward, frequencies jump by equal ratios: trunc(10 B^(trunc(log_B(trunc(v/10))) - 1)).
      {kKindFrequency4, 1000, -1, 1, 10, 30000, 956},
      {kKindFrequency8, 5000, -1, 7, 10, 30000, 4809},
      {kKindFrequency4, 15, -1, 1, 10, 30000, 10},      // 9 is below the range
      {kKindFrequency4, 5, -1, 1, 0, 30000, 4},         // under 10 Hz there is no ratio step
      {kKindFrequency9, 1000, -1, 1, 10, 30000, 1000},  // no held downward rule for this kind
      {0, 50, 1, 1, 0, 100, 50},                        // kinds without a rule do not repeat
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SpinRepeatValue(c.kind, c.value, c.direction, c.tick, c.min, c.max), c.expected)
        << "kind " << c.kind << " value " << c.value << " dir " << c.direction << " tick " << c.tick;
  }
}

struct Spin {
  SkinSpinValue spin;
  Spin(int kind, int value, int min = 0, int max = 1470) {
    spin.resize(91, 16);
    spin.SetId(1000);
    spin.SetKind(kind);
    spin.SetRange(min, max);
    spin.SetValue(value);
  }
  QPoint Left() const { return spin.DecrementArrow().center(); }
  QPoint Right() const { return spin.IncrementArrow().center(); }
};

TEST(SkinSpinValue, ArrowClicksWheelAndKeysStepByOneWithinTheRange) {
  Spin s(kKindLevelDb, 1, 0, 720);
  QSignalSpy changed(&s.spin, &SkinSpinValue::valueChanged);
  for (const QPoint at : {s.Left(), s.Left(), s.Right()}) {  // the second is at the minimum: nothing happens
    test::SendMouse(&s.spin, QEvent::MouseButtonPress, at);
    test::SendMouse(&s.spin, QEvent::MouseButtonRelease, at);
  }
  ASSERT_EQ(changed.count(), 2);
  EXPECT_EQ(changed.at(0).at(0).toInt(), 1000);
  EXPECT_EQ(changed.at(0).at(1).toInt(), 0);
  EXPECT_EQ(s.spin.Text(), QString::fromStdString(FormatValueText(kKindLevelDb, 1)));
  s.spin.SetValue(700);
  for (const int delta : {60, 60, 120, -120}) test::SendWheel(&s.spin, delta);  // halves never add up
  EXPECT_EQ(s.spin.GetValue(), 700);
  QTest::keyClick(&s.spin, Qt::Key_Left);
  EXPECT_EQ(s.spin.GetValue(), 699);
  QTest::keyClick(&s.spin, Qt::Key_Right);
  QTest::keyClick(&s.spin, Qt::Key_Up);
  EXPECT_EQ(s.spin.GetValue(), 701);
  EXPECT_EQ(changed.count(), 7);
  s.spin.SetValue(900);  // clamped, and the text follows
  EXPECT_EQ(s.spin.Text(), "OFF");
  s.spin.SetKind(99);
  EXPECT_EQ(s.spin.Text(), "NULL");
}

TEST(SkinSpinValue, HoldRepeatsWithAGrowingStepUntilReleased) {
  Spin s(kKindDelay, 100);
  QSignalSpy changed(&s.spin, &SkinSpinValue::valueChanged);
  test::SendMouse(&s.spin, QEvent::MouseButtonPress, s.Right());
  EXPECT_TRUE(s.spin.IsRepeating());
  // The click's step, then after the rest +1, +2 ... on successive ticks.
  EXPECT_TRUE(QTest::qWaitFor([&] { return changed.count() >= 3; }, 2000));
  EXPECT_EQ(changed.at(0).at(1).toInt() * 1000000 + changed.at(1).at(1).toInt() * 1000 +
                changed.at(2).at(1).toInt(),
            101102104);
  test::SendMouse(&s.spin, QEvent::MouseButtonRelease, s.Right());
  EXPECT_FALSE(s.spin.IsRepeating());
  const int released = s.spin.GetValue();
  QTest::qWait(2 * SkinSpinValue::kRepeatIntervalMs + 20);
  EXPECT_EQ(s.spin.GetValue(), released);
}

}  // namespace
}  // namespace veyra
