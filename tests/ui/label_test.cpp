#include <gtest/gtest.h>

#include <QSignalSpy>

#include "controls/skin_label.hpp"
#include "ui/ui_test_util.hpp"

namespace veyra {
namespace {

TEST(FormatLabelNumber, OffModesWholeAndFractionalValues) {
  struct Case {
    int offMode;
    double offset, value;
    const char* text;
  };
  const Case cases[] = {
      {1, 0, -60, "Th:OFF"},        // off mode 1 at the minimum
      {2, 0, 20, "Th:OFF"},         // off mode 2 at the maximum
      {0, 0, -60, "Th:-60dB"},      // no off mode
      {0, 0.5, 12.5, "Th:12.0dB"},  // other values less the offset, one decimal
      {0, 0, -3.25, "Th:-3.2dB"},
  };
  for (const Case& c : cases) {
    LabelNumber number{"Th:", "dB", c.offset, -60, 20, c.offMode};
    EXPECT_EQ(FormatLabelNumber(number, c.value), QString(c.text)) << c.value;
  }
}

TEST(SkinLabel, NumberDisplayFollowsTheValueAndClicksReport) {
  SkinLabel label;
  label.SetNumberFormat({"", "ms", 0, 0, 100, 1});
  label.SetValue(0);
  EXPECT_EQ(label.Text(), "OFF");
  label.SetValue(42);
  EXPECT_EQ(label.Text(), "42ms");
  label.SetText("通道 A");
  EXPECT_EQ(label.Text(), QString::fromUtf8("通道 A"));

  label.resize(80, 20);
  QSignalSpy clicked(&label, &SkinLabel::clicked);
  QSignalSpy doubled(&label, &SkinLabel::doubleClicked);
  QTest::mouseClick(&label, Qt::LeftButton);
  QTest::mouseDClick(&label, Qt::LeftButton);
  EXPECT_GE(clicked.count(), 1);
  EXPECT_EQ(doubled.count(), 1);
}

}  // namespace
}  // namespace veyra
