// The Qt host's tooltip popup: it shows a button's tooltip data by the desktop's rules.
#include "controls/button/qt/tooltip_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QPointer>
#include <QTest>

#include "widget_fixture.h"

namespace velquin::button::qt {
namespace {

class TooltipWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control.resize(120, 30);
    control.show();
  }
  TooltipWindow* Make(const TooltipData& data) { return new TooltipWindow(&control, data); }
  QWidget control;
};

TEST_F(TooltipWindowTest, ShapeDirectionAndColourFollowTheData) {
  TooltipWindow* plain = Make(TooltipData{});
  EXPECT_EQ(plain->backColor(), plain->palette().color(QPalette::ToolTipBase));
  EXPECT_EQ(plain->layoutDirection(), Qt::LeftToRight);

  TooltipData custom;
  custom.right_to_left = true;
  custom.back_color = draw::Rgb(0x99, 0x66, 0x33);
  TooltipWindow* w = Make(custom);
  EXPECT_EQ(w->backColor(), QColor(0x99, 0x66, 0x33));
  EXPECT_EQ(w->layoutDirection(), Qt::RightToLeft);
}

TEST_F(TooltipWindowTest, PopUpWrapsAtTheMaximumWidthHidesOnPressAndEmptyShowsNothing) {
  TooltipData data;
  data.text =
      "The quick brown fox jumps over the lazy dog and keeps running across the wide "
      "green field until the evening comes.";
  data.title = "Title";
  data.set_title = true;
  data.icon = 3;
  data.tool_rect = {0, 0, 120, 30};
  for (bool balloon : {false, true}) {
    data.balloon = balloon;
    TooltipWindow* w = Make(data);
    w->popUp(control.mapToGlobal(QPoint(10, 10)));
    EXPECT_TRUE(w->isVisible());
    EXPECT_LE(w->width(), 240 + 2 * 8 + 3);
    EXPECT_GT(w->height(), 3 * QFontMetrics(w->font()).height());
    QTest::mouseClick(&control, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    delete w;
  }

  TooltipWindow* empty = Make(TooltipData{});
  empty->popUp(control.mapToGlobal(QPoint(10, 10)));
  EXPECT_FALSE(empty->isVisible());
}

// Over a real button: the tip wakes while the cursor rests on it, shows after the delay and hides
// when the cursor leaves or a button is pressed.
class ButtonTooltipTest : public testing::FormFixture {};

TEST_F(ButtonTooltipTest, ShowsAfterTheWakeUpDelayAndHidesOnLeaveOrPress) {
  Core().setToolTip("Start the scan");
  HoverOutside();
  Hover(QPoint(10, 10));
  TooltipWindow* w = widget_->tooltipWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isWaking());
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return w->isVisible(); }, w->wakeUpDelay() + 1000));
  QTest::mousePress(widget_, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(w->isVisible());
  QPointer<TooltipWindow> pressed = w;
  QTest::mouseRelease(widget_, Qt::LeftButton, {}, QPoint(10, 10));

  // The click ends in Normal; the next move enters Hot again with a fresh, waking tip.
  Hover(QPoint(14, 14));
  EXPECT_TRUE(pressed.isNull());
  w = widget_->tooltipWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isWaking());
  HoverOutside();
  EXPECT_FALSE(w->isWaking());
  EXPECT_FALSE(w->isVisible());
}

}  // namespace
}  // namespace velquin::button::qt
