#include <gtest/gtest.h>

#include <QSignalSpy>

#include "controls/skin_slider.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

using test::SendMouse;
using test::SendWheel;

// The editors' fader: 0..6 on a 40 x 160 track, thumb 14 long, margins 14, 0, 0, 0.
struct Fader {
  SkinSlider slider;
  Fader(bool vertical = true, int min = 0, int max = 6) {
    slider.SetVertical(vertical);
    slider.resize(vertical ? QSize(40, 160) : QSize(160, 40));
    slider.SetThumbSize(14, 26);
    slider.SetMargins(14, 0, 0, 0);
    slider.SetRange(min, max);
    slider.SetId(1201);
  }
};

TEST(SkinSlider, PixelFormulaRoundTripAndClamping) {
  Fader f;  // travel = 160 - 0 - 14 - 0 = 146, first centre at 7
  const std::pair<int, int> pixels[] = {{0, 7}, {6, 153}, {-4, 7}, {9, 153}};
  for (const auto& [pos, pixel] : pixels) EXPECT_EQ(f.slider.PixelFromPos(pos), pixel) << pos;
  Fader h(false, 0, 4);  // along a horizontal travel the horizontal margins count: 160 - 14 - 14 = 132
  EXPECT_EQ(h.slider.PixelFromPos(1), 21 + 33);
  EXPECT_EQ(h.slider.PixelFromPos(4), 21 + 132);

  struct Case {
    bool vertical;
    int min, max;
  };
  for (const Case c : {Case{true, 0, 6}, {false, -50, 50}, {true, 240, 386}}) {
    Fader r(c.vertical, c.min, c.max);
    for (int pos = c.min; pos <= c.max; ++pos) {
      const int pixel = r.slider.PixelFromPos(pos);
      EXPECT_EQ(r.slider.PosFromPixel(pixel), pos) << c.min << ".." << c.max << " at " << pos;
      // One pixel before a step's centre still belongs to the step before it.
      if (pos > c.min && pixel - 1 > r.slider.PixelFromPos(pos - 1)) {
        EXPECT_EQ(r.slider.PosFromPixel(pixel - 1), pos - 1);
      }
    }
  }
  f.slider.SetPos(10);
  EXPECT_EQ(f.slider.GetPos(), 6);
  f.slider.SetPos(-3);
  EXPECT_EQ(f.slider.GetPos(), 0);
  f.slider.SetPos(5);
  f.slider.SetRange(0, 3);
  EXPECT_EQ(f.slider.GetPos(), 3);
  Fader flat(true, 4, 4);  // no travel to divide: everything is the one position
  EXPECT_EQ(flat.slider.PosFromPixel(90), 4);
}

TEST(SkinSlider, ArrowKeysStepAndAlwaysCommit) {
  struct Case {
    bool vertical;
    Qt::Key key;
    int from, to;
  };
  const Case cases[] = {
      {true, Qt::Key_Up, 0, 0},  // already at the top: stays, still reports
      {true, Qt::Key_Down, 0, 1},  {true, Qt::Key_Left, 3, 4}, {true, Qt::Key_Right, 3, 2},
      {false, Qt::Key_Left, 3, 2}, {false, Qt::Key_Up, 6, 6},
  };
  for (const Case& c : cases) {
    Fader f(c.vertical);
    f.slider.SetPos(c.from);
    QSignalSpy changed(&f.slider, &SkinSlider::sliderChanged);
    QTest::keyClick(&f.slider, c.key);
    EXPECT_EQ(f.slider.GetPos(), c.to) << c.vertical << " key " << c.key << " from " << c.from;
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 1201);
  }
}

TEST(SkinSlider, WheelStepsOnlyOnAWholeNotchPerMessage) {
  struct Case {
    bool vertical;
    std::vector<int> deltas;
    int to;
    int emitted;
  };
  const Case cases[] = {
      {true, {60, 60}, 3, 0},  // halves never add up: the counter is cleared after each message
      {true, {120}, 2, 1},     // wheel up moves a fader's thumb up
      {true, {360}, 2, 1},     // a big delta is still one step
      {false, {-120, -120}, 1, 2},
  };
  for (const Case& c : cases) {
    Fader f(c.vertical);
    f.slider.SetPos(3);
    QSignalSpy changed(&f.slider, &SkinSlider::sliderChanged);
    for (int delta : c.deltas) SendWheel(&f.slider, delta);
    EXPECT_EQ(f.slider.GetPos(), c.to);
    EXPECT_EQ(changed.count(), c.emitted);
  }
}

TEST(SkinSlider, DragKeepsTheGrabOffsetAndCommitsOnRelease) {
  Fader f(true, 0, 146);  // one position per pixel
  f.slider.SetPos(50);
  const int centre = f.slider.PixelFromPos(50);
  QSignalSpy changing(&f.slider, &SkinSlider::sliderChanging);
  QSignalSpy changed(&f.slider, &SkinSlider::sliderChanged);

  SendMouse(&f.slider, QEvent::MouseButtonPress, {20, centre + 5});  // on the thumb, 5 below its centre
  EXPECT_EQ(f.slider.GetPos(), 50) << "a press on the thumb must not make it jump";
  SendMouse(&f.slider, QEvent::MouseMove, {20, centre + 25});
  EXPECT_EQ(f.slider.GetPos(), 70);
  EXPECT_EQ(changing.count(), 1);
  EXPECT_EQ(changed.count(), 0);
  SendMouse(&f.slider, QEvent::MouseMove, {20, 400});  // beyond the end: clamped
  EXPECT_EQ(f.slider.GetPos(), 146);
  SendMouse(&f.slider, QEvent::MouseButtonRelease, {20, 400});
  EXPECT_EQ(changed.count(), 1);

  // A press away from the thumb jumps to the pointer.
  SendMouse(&f.slider, QEvent::MouseButtonPress, {20, f.slider.PixelFromPos(10)});
  EXPECT_EQ(f.slider.GetPos(), 10);
  SendMouse(&f.slider, QEvent::MouseButtonRelease, {20, f.slider.PixelFromPos(10)});
}

TEST(SkinSlider, DisabledIgnoresMouseKeysAndWheel) {
  Fader f;
  f.slider.SetPos(3);
  f.slider.setEnabled(false);
  QSignalSpy changing(&f.slider, &SkinSlider::sliderChanging);
  QSignalSpy changed(&f.slider, &SkinSlider::sliderChanged);
  QTest::keyClick(&f.slider, Qt::Key_Down);
  SendWheel(&f.slider, 120);
  SendMouse(&f.slider, QEvent::MouseButtonPress, {20, 150});
  SendMouse(&f.slider, QEvent::MouseButtonRelease, {20, 150});
  EXPECT_EQ(f.slider.GetPos(), 3);
  EXPECT_EQ(changing.count() + changed.count(), 0);
}

}  // namespace
}  // namespace veyra
