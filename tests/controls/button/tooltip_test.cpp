#include "controls/button/tooltip.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>

#include "controls/button/luxbutton.h"

namespace velquin::button {
namespace {

TooltipWindow* Tip(QObject* o) { return qobject_cast<TooltipWindow*>(o); }

// A shown style-2 button on a form, the cursor moved onto it and off it with real mouse events.
class ButtonTooltipTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form.resize(200, 100);
    button = new luxbutton(&form);
    button->setGeometry(20, 20, 120, 30);
    button->ReadProperties(draw::PropertyBag{});
    button->setButtonStyle(ButtonStyle::RoundedScheme);
    button->setButtonToolTip(QStringLiteral("Start the scan"));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    Leave();  // a move to the last cursor position would be dropped as no move
  }
  void Enter() { QTest::mouseMove(button, QPoint(10, 10)); }
  void Leave() { QTest::mouseMove(&form, QPoint(190, 90)); }

  QWidget form;
  luxbutton* button = nullptr;
};

TEST_F(ButtonTooltipTest, EveryEntryMakesANewWindow) {
  Enter();
  ASSERT_EQ(button->buttonState(), ButtonState::Hot);
  QPointer<TooltipWindow> first = Tip(button->tooltipWindow());
  ASSERT_TRUE(first);
  EXPECT_EQ(first->parentWidget(), button);
  EXPECT_EQ(first->text(), QStringLiteral("Start the scan"));

  Leave();
  Enter();
  EXPECT_TRUE(first.isNull());
  ASSERT_NE(Tip(button->tooltipWindow()), nullptr);
  EXPECT_EQ(button->findChildren<TooltipWindow*>().size(), 1);
}

TEST_F(ButtonTooltipTest, NoTooltipWhenDisabledPressedOrSet) {
  button->setEnabled(false);
  Enter();
  EXPECT_EQ(button->tooltipWindow(), nullptr);
  Leave();

  button->setEnabled(true);
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseMove(button, QPoint(12, 12));
  EXPECT_EQ(button->buttonState(), ButtonState::Down);
  EXPECT_EQ(button->tooltipWindow(), nullptr);
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(12, 12));
  Leave();

  // A set check button is drawn pressed: the repaint on entering puts it back to Down.
  button->setMode(ButtonMode::Check);
  button->setValue(true);
  delete button->tooltipWindow();
  Enter();
  EXPECT_EQ(button->buttonState(), ButtonState::Down);
  EXPECT_EQ(button->tooltipWindow(), nullptr);
}

// The tip follows the desktop's rules by itself: it wakes while the cursor rests on the control,
// shows after the delay and hides when the cursor leaves or a button is pressed.
TEST_F(ButtonTooltipTest, ShowsAfterTheWakeUpDelayAndHidesOnLeaveOrPress) {
  Enter();
  TooltipWindow* w = Tip(button->tooltipWindow());
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isWaking());
  EXPECT_FALSE(w->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return w->isVisible(); }, w->wakeUpDelay() + 1000));
  QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(w->isVisible());
  QPointer<TooltipWindow> pressed = w;
  QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));

  // The click ends in Normal; the next move enters Hot again with a fresh, waking tip.
  QTest::mouseMove(button, QPoint(14, 14));
  EXPECT_TRUE(pressed.isNull());
  w = Tip(button->tooltipWindow());
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->isWaking());
  Leave();
  EXPECT_FALSE(w->isWaking());
  EXPECT_FALSE(w->isVisible());
}

TEST_F(ButtonTooltipTest, IconWithoutTitleStillSetsTheTitle) {
  button->setToolTipIcon(2);
  Enter();
  TooltipWindow* w = Tip(button->tooltipWindow());
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->titleSet());
  EXPECT_EQ(w->titleIcon(), 2);
  EXPECT_EQ(w->title(), QString());
}

class TooltipWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control.resize(120, 30);
    control.show();
  }
  TooltipWindow* Make(const TooltipSettings& s) { return Tip(CreateTooltipWindow(control, s)); }
  QWidget control;
};

TEST_F(TooltipWindowTest, ToolDescriptionTitleWidthAndColour) {
  TooltipSettings plain;
  TooltipWindow* w = Make(plain);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->hasTool());
  EXPECT_EQ(w->toolRect(), QRect(0, 0, 120, 30));
  EXPECT_FALSE(w->titleSet());
  EXPECT_EQ(w->maxTipWidth(), 240);
  EXPECT_FALSE(w->hasCustomBackColor());  // 0 keeps the desktop's colour
  EXPECT_EQ(w->backColor(), w->palette().color(QPalette::ToolTipBase));
  EXPECT_FALSE(w->isBalloon());
  EXPECT_EQ(w->layoutDirection(), Qt::LeftToRight);

  TooltipSettings custom;
  custom.text = "x";
  custom.title = "Note";
  custom.icon = 1;
  custom.type = ToolTipType::Balloon;
  custom.right_to_left = true;
  custom.back_color = draw::Rgb(0x99, 0x66, 0x33);
  w = Make(custom);
  EXPECT_TRUE(w->titleSet());
  EXPECT_EQ(w->title(), QStringLiteral("Note"));
  EXPECT_EQ(w->backColor(), QColor(0x99, 0x66, 0x33));
  EXPECT_TRUE(w->isBalloon());
  EXPECT_EQ(w->layoutDirection(), Qt::RightToLeft);

  TooltipSettings system;  // the read default: the tooltip background system colour
  system.back_color = draw::SystemColourRef(draw::kColourInfoBackground);
  w = Make(system);
  EXPECT_TRUE(w->hasCustomBackColor());
  EXPECT_EQ(w->backColor(), QColor(255, 255, 225));
}

TEST_F(TooltipWindowTest, PopUpWrapsAtTheMaximumWidthHidesOnPressAndEmptyShowsNothing) {
  TooltipSettings s;
  s.text =
      "The quick brown fox jumps over the lazy dog and keeps running across the wide "
      "green field until the evening comes.";
  s.title = "Title";
  s.icon = 3;
  for (ToolTipType type : {ToolTipType::Standard, ToolTipType::Balloon}) {
    s.type = type;
    TooltipWindow* w = Make(s);
    w->popUp(control.mapToGlobal(QPoint(10, 10)));
    EXPECT_TRUE(w->isVisible());
    EXPECT_LE(w->width(), 240 + 2 * 8 + 3);
    EXPECT_GT(w->height(), 3 * QFontMetrics(w->font()).height());
    QTest::mouseClick(&control, Qt::LeftButton);
    EXPECT_FALSE(w->isVisible());
    delete w;
  }

  TooltipWindow* empty = Make(TooltipSettings{});
  empty->popUp(control.mapToGlobal(QPoint(10, 10)));
  EXPECT_FALSE(empty->isVisible());
}

}  // namespace
}  // namespace velquin::button
