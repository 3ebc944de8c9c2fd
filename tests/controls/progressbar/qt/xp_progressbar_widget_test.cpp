#include "controls/progressbar/qt/xp_progressbar_widget.h"

#include <QSignalSpy>

#include "draw/qt/convert.h"

#include <gtest/gtest.h>

namespace velquin::progressbar {
namespace {

TEST(XP_ProgressBarWidget, ShowsExactlyWhatTheControlPaintsThroughItsBuffer) {
  XP_ProgressBarWidget widget;
  widget.resize(489, 17);
  widget.bar().SetScrolling(2);
  widget.bar().SetColor(0x00FF00);
  ASSERT_EQ(widget.bar().SetValue(50), ValueError::kNone);

  QImage shown = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(widget.bar().UsesBuffer());
  EXPECT_EQ(widget.bar().Buffer().width(), 489);
  draw::Canvas expected(489, 17);
  PaintProgressBar(expected, widget.bar().Look());
  EXPECT_EQ(shown, draw::qt::AsQImage(expected.Pixels()));

  widget.resize(300, 17);  // smaller: the buffer stays
  EXPECT_EQ(widget.grab().size(), QSize(300, 17));
  EXPECT_EQ(widget.bar().ClientWidth(), 300);
  EXPECT_EQ(widget.bar().Buffer().width(), 489);
  EXPECT_EQ(widget.bar().Buffer().creations(), 1);
}

TEST(XP_ProgressBarWidget, ForwardsPropertyChanges) {
  XP_ProgressBarWidget widget;
  QSignalSpy spy(&widget, &XP_ProgressBarWidget::propertyChanged);
  widget.bar().SetMax(10);
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(0).toString(), "Max");
}

}  // namespace
}  // namespace velquin::progressbar
