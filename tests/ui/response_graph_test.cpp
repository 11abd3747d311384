// The response graph driven as an operator drives it: handle, width and
// crossover drags, the wheel, the keyboard, the zoom cycle, the labels and
// what the owner is told, on a real store.
#include "curves/response_graph.hpp"

#include <gtest/gtest.h>

#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "ui_test_util.hpp"

namespace veyra {
namespace {

using test::SendMouse;

constexpr int kChannel = 1;

class ResponseGraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    while (ResponseGraph::DecibelSpan() != kDefaultDecibelSpan) ResponseGraph::CycleZoom();
    store_ = std::make_unique<ParameterStore>();
    InitialiseStore(*store_);
    store_->CurrentModel = 3;
    store_->OutputCount = 8;
    SetBand(0, 0, 1000, 660);  // peaking +6 dB
    SetBand(1, 1, 120, 640);   // low shelf +4 dB
    Band(2).BandOff = 1;       // switched out of the curves
    SetBand(3, 2, 8000, 580);  // high shelf -2 dB
    SetBand(4, 0, 300, 565);   // peaking -3.5 dB
    SetBand(5, 0, 5000, 600);  // peaking 0 dB
    store_->Outputs[kChannel].Crossover[kHighPass] = {100, 0, 2};
    store_->Outputs[kChannel].Crossover[kLowPass] = {12000, 0, 2};
    host_ = std::make_unique<QWidget>();
    host_->resize(600, 330);
    graph_ = new ResponseGraph(*store_, host_.get());
    graph_->setGeometry(0, 0, 600, 330);  // a plot of 555 x 300 at (35, 10)
    graph_->ShowOutputChannel(kChannel);
    ASSERT_TRUE(test::ShowActive(host_.get()));
    spy_ = std::make_unique<QSignalSpy>(graph_, &ResponseGraph::filterEdited);
  }

  EqBand& Band(int b) { return store_->Outputs[kChannel].Bands[b]; }
  FilterSection& Section(int s) { return store_->Outputs[kChannel].Crossover[s]; }
  void SetBand(int b, uint8_t type, uint16_t hertz, uint16_t gain) {
    Band(b).Type = type;
    Band(b).Freq = hertz;
    Band(b).Gain = gain;
  }

  void Hover(QPoint at) { SendMouse(graph_, QEvent::MouseMove, at, Qt::NoButton); }
  void Drag(QPoint from, QPoint to) {
    Hover(from);
    SendMouse(graph_, QEvent::MouseButtonPress, from);
    SendMouse(graph_, QEvent::MouseMove, to);
    SendMouse(graph_, QEvent::MouseButtonRelease, to);
  }
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(graph_, Qt::Key(key), modifiers);
  }

  std::unique_ptr<ParameterStore> store_;
  std::unique_ptr<QWidget> host_;
  ResponseGraph* graph_ = nullptr;
  std::unique_ptr<QSignalSpy> spy_;
};

struct BandDragCase {
  const char* name;
  uint8_t type;
  uint16_t startHz;
  int toX, toY;  // relative to the plot's top-left; far values leave the plot
  int hertz, gainCode;
};

TEST_F(ResponseGraphTest, HandleDragsOfABand) {
  const BandDragCase cases[] = {
      {"far left", 0, 1000, -60, 100, 10, 700},
      {"plot middle", 0, 1000, 277, 225, 543, 450},
      {"above the +15 dB ceiling", 0, 1000, 277, -50, 543, 750},
      {"top row counts as 8 pixels down", 0, 1000, 277, 0, 543, 750},
      {"low shelf held at 2000 Hz", 1, 120, 500, 100, 2000, 700},
      {"high shelf held at 2000 Hz", 2, 8000, 40, 100, 2000, 700},
  };
  const QPoint origin = graph_->PlotRect().topLeft();
  for (const BandDragCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetBand(0, c.type, c.startHz, 660);
    graph_->Reload();
    Drag(graph_->HandleCentre(0), origin + QPoint(c.toX, c.toY));
    EXPECT_EQ(Band(0).Freq, c.hertz);
    EXPECT_EQ(Band(0).Gain, c.gainCode);
    ASSERT_FALSE(spy_->isEmpty());
    EXPECT_EQ(spy_->last(), (QList<QVariant>{0, ResponseGraph::kOutputView}));
  }
}

TEST_F(ResponseGraphTest, ADragOntoZeroDbSwitchesTheBandOff) {
  Drag(graph_->HandleCentre(0), graph_->PlotRect().topLeft() + QPoint(319, 150));
  EXPECT_EQ(Band(0).Gain, kGainZero);
  // Pixel 319 reads back as 996 Hz: frequencies are truncated to whole hertz.
  EXPECT_EQ(graph_->LabelText(0), "EQ1\nPEQ  996Hz 0.30Oct 0.0dB");
  // Byte 6 is the editors' switch, not the graph's: the handle stays to grab.
  EXPECT_EQ(Band(0).BandOff, 0);
  EXPECT_EQ(graph_->HandleCentre(0).y(), 10 + 150);
}

TEST_F(ResponseGraphTest, CrossoverDragsMoveInFrequencyOnly) {
  struct Case {
    const char* name;
    int filter;
    int toX, toY;
    int highPassHz, lowPassHz;
  } const cases[] = {
      {"high-pass held under the low-pass", ChannelCurve::kHighPassIndex, 540, 20, 12000, 12000},
      {"high-pass at the left edge opens to 10 Hz", ChannelCurve::kHighPassIndex, -30, 280, 10, 12000},
      {"low-pass held over the high-pass", ChannelCurve::kLowPassIndex, 0, 10, 100, 100},
  };
  const QPoint origin = graph_->PlotRect().topLeft();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Section(kHighPass).Freq = 100;
    Section(kLowPass).Freq = 12000;
    graph_->Reload();
    const int rowY = graph_->HandleCentre(c.filter).y();
    Drag(graph_->HandleCentre(c.filter), origin + QPoint(c.toX, c.toY));
    EXPECT_EQ(Section(kHighPass).Freq, c.highPassHz);
    EXPECT_EQ(Section(kLowPass).Freq, c.lowPassHz);
    EXPECT_EQ(graph_->HandleCentre(c.filter).y(), rowY);
    ASSERT_FALSE(spy_->isEmpty());
    EXPECT_EQ(spy_->last(), (QList<QVariant>{c.filter, ResponseGraph::kOutputView}));
  }
}

TEST_F(ResponseGraphTest, WidthDragsStayWithinTheirLimits) {
  struct Case {
    const char* name;
    bool right;
    int toX;  // relative to the width handle's centre
    int widthCode;
  } const cases[] = {
      {"right handle far out", true, 800, 295},
      {"left handle onto the band", false, 60, 0},
      {"right handle nudged keeps its width", true, 1, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Band(0).Width = 25;
    graph_->Reload();
    Hover(graph_->HandleCentre(0));
    ASSERT_EQ(graph_->SelectedFilter(), 0);
    const QPoint grip = graph_->WidthHandle(0, c.right).center();
    Drag(grip, grip + QPoint(c.toX, 0));
    // One pixel on this plot is about 0.015 octaves.
    EXPECT_NEAR(Band(0).Width, c.widthCode, c.widthCode == 25 ? 2 : 0);
  }
}

TEST_F(ResponseGraphTest, WheelStepsWithTheAccumulator) {
  struct Step {
    int delta;
    int gainCode;
  } const steps[] = {
      {120, 661},  {120, 662},             // no reset: the next notch steps again at once
      {-120, 662},                         // the first notch back only returns to 0
      {-120, 661}, {-60, 660},             // held at -120, so even half a notch steps
      {60, 660},   {60, 660},  {60, 660},  // -60, 0, +60
      {60, 661},
  };
  Hover(graph_->HandleCentre(0));
  ASSERT_EQ(graph_->SelectedFilter(), 0);
  int notifications = 0;
  for (const Step& s : steps) {
    const int before = Band(0).Gain;
    test::SendWheel(graph_, s.delta);
    EXPECT_EQ(Band(0).Gain, s.gainCode) << "after a delta of " << s.delta;
    if (Band(0).Gain != before) ++notifications;
  }
  EXPECT_EQ(spy_->count(), notifications);
}

TEST_F(ResponseGraphTest, WheelHoldsTheGainLimitsAndStepsSectionsByOneHertz) {
  Band(0).Gain = kEqGainMax;
  graph_->Reload();
  Hover(graph_->HandleCentre(0));
  test::SendWheel(graph_, 120);
  EXPECT_EQ(Band(0).Gain, kEqGainMax);
  EXPECT_EQ(spy_->count(), 0);

  Hover(graph_->HandleCentre(ChannelCurve::kHighPassIndex));
  ASSERT_EQ(graph_->SelectedFilter(), ChannelCurve::kHighPassIndex);
  test::SendWheel(graph_, 120);
  EXPECT_EQ(Section(kHighPass).Freq, 101);
  test::SendWheel(graph_, -120);
  test::SendWheel(graph_, -120);
  EXPECT_EQ(Section(kHighPass).Freq, 100);
  EXPECT_EQ(spy_->count(), 2);
}

TEST_F(ResponseGraphTest, LabelTextsOfAShelfABandAndASection) {
  Band(4).Width = 115;
  graph_->Reload();
  const std::pair<int, const char*> labels[] = {
      {1, "EQ2\nLo 120Hz 6dB/oct 4.0dB"},
      {4, "EQ5\nPEQ  300Hz 1.20Oct -3.5dB"},
      {ChannelCurve::kLowPassIndex, "LPF12000Hz "},
  };
  for (const auto& [filter, text] : labels) EXPECT_EQ(graph_->LabelText(filter), QString::fromLatin1(text));
}

// A band switched out (byte 6) or a section of type 6 has no handle to take.
TEST_F(ResponseGraphTest, TabWalksTheActiveHandles) {
  Section(kLowPass).CrossoverType = 6;
  graph_->Reload();
  graph_->setFocus(Qt::OtherFocusReason);
  const int order[] = {0, 1, 3, 4, 5, ChannelCurve::kHighPassIndex};
  for (int expected : order) {
    Key(Qt::Key_Tab);
    EXPECT_EQ(graph_->SelectedFilter(), expected);
  }
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(graph_->SelectedFilter(), 5);
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(graph_->SelectedFilter(), 4);
}

TEST_F(ResponseGraphTest, KeyboardSteps) {
  struct Case {
    const char* name;
    int filter;
    int key;
    int hertz, gainCode;  // of the band, or the section's frequency
  } const cases[] = {
      {"right: next grid frequency", 0, Qt::Key_Right, 1030, 660},
      {"up: +0.1 dB", 0, Qt::Key_Up, 1000, 661},
      {"page down: -1 dB", 0, Qt::Key_PageDown, 1000, 650},
      {"high-pass right", ChannelCurve::kHighPassIndex, Qt::Key_Right, 102, -1},
      {"high-pass up does nothing", ChannelCurve::kHighPassIndex, Qt::Key_Up, 100, -1},
      {"low-pass left", ChannelCurve::kLowPassIndex, Qt::Key_Left, 11987, -1},
  };
  graph_->setFocus(Qt::OtherFocusReason);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SetBand(0, 0, 1000, 660);
    Section(kHighPass).Freq = 100;
    Section(kLowPass).Freq = 12000;
    graph_->Reload();
    Hover(graph_->HandleCentre(c.filter));
    ASSERT_EQ(graph_->SelectedFilter(), c.filter);
    spy_->clear();
    Key(c.key);
    if (c.gainCode < 0) {
      const bool highPass = c.filter == ChannelCurve::kHighPassIndex;
      const int hertz = Section(highPass ? kHighPass : kLowPass).Freq;
      EXPECT_EQ(hertz, c.hertz);
      EXPECT_EQ(spy_->count(), hertz != (highPass ? 100 : 12000) ? 1 : 0);
      continue;
    }
    EXPECT_EQ(Band(c.filter).Freq, c.hertz);
    EXPECT_EQ(Band(c.filter).Gain, c.gainCode);
  }
}

TEST_F(ResponseGraphTest, ZoomCyclesEveryGraph) {
  ResponseGraph other(*store_);
  other.resize(600, 330);
  other.ShowOutputChannel(kChannel);
  const int spans[] = {25, 20, 15, 30};
  for (int span : spans) {
    ResponseGraph::CycleZoom();
    EXPECT_EQ(ResponseGraph::DecibelSpan(), span);
    // +6 dB at 300 pixels of height: 150 - 6 * 150 / span below the top.
    EXPECT_EQ(graph_->HandleCentre(0).y(), 10 + 150 - 6 * 150 / span);
    EXPECT_EQ(other.HandleCentre(0).y(), graph_->HandleCentre(0).y());
  }
}

TEST_F(ResponseGraphTest, EditsGoThroughTheSink) {
  std::vector<int> handed;
  bool apply = true;
  graph_->SetEditSink([&](int filter, const std::function<void(ParameterStore&)>& write) {
    handed.push_back(filter);
    if (apply) write(*store_);
  });
  Hover(graph_->HandleCentre(4));
  test::SendWheel(graph_, 120);
  EXPECT_EQ(Band(4).Gain, 566);
  // A sink that refuses leaves the store and the graph as they were.
  apply = false;
  const QPoint before = graph_->HandleCentre(4);
  test::SendWheel(graph_, 120);
  EXPECT_EQ(Band(4).Gain, 566);
  EXPECT_EQ(graph_->HandleCentre(4), before);
  EXPECT_EQ(handed, (std::vector<int>{4, 4}));
}

TEST_F(ResponseGraphTest, InputViewNotifiesModeOne) {
  store_->Inputs[2].Bands[0].Gain = 640;
  graph_->ShowInputChannel(2);
  EXPECT_EQ(graph_->ViewMode(), ResponseGraph::kInputView);
  EXPECT_EQ(graph_->Channel(), 2);
  EXPECT_EQ(graph_->LabelText(ChannelCurve::kHighPassIndex), QString());
  Hover(graph_->HandleCentre(0));
  test::SendWheel(graph_, -120);
  EXPECT_EQ(store_->Inputs[2].Bands[0].Gain, 639);
  ASSERT_EQ(spy_->count(), 1);
  EXPECT_EQ(spy_->last(), (QList<QVariant>{0, ResponseGraph::kInputView}));
}

// The frame kept in layers must show what one painting of everything shows,
// also after another shown channel changed and the graph was reloaded.
TEST_F(ResponseGraphTest, LayeredFrameMatchesAFullPainting) {
  store_->Outputs[3].Bands[0].Gain = 700;
  graph_->SetShownChannels(0x09);
  Hover(graph_->HandleCentre(4));
  store_->Outputs[3].Bands[1] = Band(0);
  graph_->Reload();
  Drag(graph_->HandleCentre(4), graph_->HandleCentre(4) + QPoint(30, 20));

  QImage expected(graph_->Frame().size(), QImage::Format_ARGB32_Premultiplied);
  {
    GraphCurveSet curves;
    curves.Attach(*store_, true);
    curves.SetClientSize(graph_->size(), ResponseGraph::DecibelSpan());
    GraphView view;
    view.Channel = kChannel;
    view.ShownMask = 0x09;
    view.SelectedFilter = view.FilledFilter = 4;
    view.Focused = graph_->hasFocus();
    QPainter painter(&expected);
    PaintResponseGraph(painter, QRect(QPoint(0, 0), graph_->size()), curves, view);
  }
  const QImage actual = graph_->Frame().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  int different = 0;
  for (int y = 0; y < actual.height(); ++y)
    for (int x = 0; x < actual.width(); ++x) {
      const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
      if (std::abs(qRed(a) - qRed(e)) + std::abs(qGreen(a) - qGreen(e)) + std::abs(qBlue(a) - qBlue(e)) > 24)
        ++different;
    }
  EXPECT_LT(different, 20);
}

}  // namespace
}  // namespace veyra
