#include "controls/button/tooltip.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace velquin::button {
namespace {

class TooltipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        control.resize(120, 30);
        control.show();
    }
    QWidget control;
    ButtonTooltip tip{&control};
};

TEST_F(TooltipTest, NoTooltipWhenDisabledHeldAfterMenuOrDown)
{
    TooltipRequest disabled;
    disabled.enabled = false;
    TooltipRequest afterMenu;
    afterMenu.heldAfterMenu = true;
    TooltipRequest down;
    down.down = true;
    for (const auto& r : {disabled, afterMenu, down}) {
        tip.CreateTooltip(r);
        EXPECT_EQ(tip.window(), nullptr);
    }
    EXPECT_EQ(tip.windowsCreated(), 0);
}

TEST_F(TooltipTest, EveryEntryReplacesTheWindow)
{
    TooltipRequest r;
    r.text = "Scan now";
    tip.CreateTooltip(r);
    QPointer<TooltipWindow> first = tip.window();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->parentWidget(), &control);
    tip.CreateTooltip(r);
    EXPECT_TRUE(first.isNull());  // destroyed before the new one is made
    ASSERT_NE(tip.window(), nullptr);
    EXPECT_EQ(tip.windowsCreated(), 2);
    EXPECT_EQ(control.findChildren<TooltipWindow*>().size(), 1);
}

TEST_F(TooltipTest, ToolDescriptionTitleWidthAndColour)
{
    TooltipRequest r;
    r.icon = 2;  // icon without a title still sends the title
    tip.CreateTooltip(r);
    TooltipWindow* w = tip.window();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->hasTool());
    EXPECT_EQ(w->toolRect(), QRect(0, 0, 120, 30));
    EXPECT_TRUE(w->titleSet());
    EXPECT_EQ(w->titleIcon(), 2);
    EXPECT_EQ(w->title(), QString());
    EXPECT_EQ(w->maxTipWidth(), 240);
    EXPECT_FALSE(w->hasCustomBackColor());
    EXPECT_FALSE(w->isBalloon());

    TooltipRequest plain;
    plain.text = "x";
    plain.backColor = 0x00336699;  // 0x00BBGGRR
    plain.type = 1;
    plain.rightToLeft = true;
    tip.CreateTooltip(plain);
    w = tip.window();
    EXPECT_FALSE(w->titleSet());
    EXPECT_TRUE(w->hasCustomBackColor());
    EXPECT_EQ(w->backColor(), QColor(0x99, 0x66, 0x33));
    EXPECT_TRUE(w->isBalloon());
    EXPECT_EQ(w->layoutDirection(), Qt::RightToLeft);
}

TEST_F(TooltipTest, PopUpWrapsAtTheMaximumWidthAndEmptyTextShowsNothing)
{
    TooltipRequest r;
    r.text = "The quick brown fox jumps over the lazy dog and keeps running across the wide "
             "green field until the evening comes.";
    r.title = "Title";
    r.icon = 1;
    tip.CreateTooltip(r);
    TooltipWindow* w = tip.window();
    w->popUp(control.mapToGlobal(QPoint(10, 10)));
    EXPECT_TRUE(w->isVisible());
    EXPECT_LE(w->width(), 240 + 2 * 8 + 3);
    EXPECT_GT(w->height(), 3 * QFontMetrics(w->font()).height());

    QTest::mouseClick(&control, Qt::LeftButton);  // a press hides it
    EXPECT_FALSE(w->isVisible());

    tip.CreateTooltip(TooltipRequest{});
    tip.window()->popUp(control.mapToGlobal(QPoint(10, 10)));
    EXPECT_FALSE(tip.window()->isVisible());
}

}  // namespace
}  // namespace velquin::button
