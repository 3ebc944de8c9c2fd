// luxbutton driven by real Qt input: mouse, keyboard, focus, activation and the drop-down menu.
#include <functional>

#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "button_fixture.h"

namespace velquin::button {
namespace {

using testing::EventLog;
using testing::FormFixture;

class InputTest : public FormFixture {};

// Closes the menu that the next press opens, once it is on screen, and records where it stood.
struct MenuCloser {
  QRect geometry;
  void Arm() {
    QTimer::singleShot(0, [this] {
      if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
        geometry = menu->geometry();
        menu->close();
      }
    });
  }
};

TEST_F(InputTest, ClickNeedsAReleaseStrictlyInside) {
  struct Case {
    QPoint at;
    bool clicks;
  };
  const int w = button_->width();
  const int h = button_->height();
  for (const Case& c : {Case{{0, 5}, false}, Case{{5, 0}, false}, Case{{1, 1}, true},
                        Case{{w - 1, h - 1}, true}, Case{{w, 5}, false}, Case{{5, h}, false}}) {
    log_.Clear();
    QTest::mousePress(button_, Qt::LeftButton, {}, c.at);
    QTest::mouseRelease(button_, Qt::LeftButton, {}, c.at);
    EXPECT_EQ(log_.Count("Click"), c.clicks ? 1 : 0) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(log_.Count("MouseUp(1,0)"), 1);
  }
}

TEST_F(InputTest, PressDragOutAndBackInClicksOnce) {
  QTest::mousePress(button_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  QTest::mouseMove(button_, QPoint(150, 10));  // held: the button keeps the mouse
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  EXPECT_FALSE(button_->isOver());
  QTest::mouseMove(button_, Center());
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(log_.Events(), QStringList({"MouseDown(1,0)", "Click", "MouseUp(1,0)"}));
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
}

TEST_F(InputTest, ReleaseOutsideAfterDragRaisesNoClick) {
  QTest::mousePress(button_, Qt::LeftButton, {}, Center());
  QTest::mouseMove(button_, QPoint(150, 10));
  QTest::mouseRelease(button_, Qt::LeftButton, {}, QPoint(150, 10));
  EXPECT_EQ(log_.Events(), QStringList({"MouseDown(1,0)", "MouseUp(1,0)"}));
}

TEST_F(InputTest, RightButtonRaisesOnlyMouseUp) {
  QTest::mouseClick(button_, Qt::RightButton, {}, Center());
  EXPECT_EQ(log_.Events(), QStringList({"MouseUp(2,0)"}));
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
}

TEST_F(InputTest, HoverMakesHotWithAFreshTooltipPerEntryAndLeavingRaisesMouseLeave) {
  Hover(Center());
  EXPECT_EQ(button_->buttonState(), ButtonState::Hot);
  EXPECT_TRUE(button_->isOver());
  EXPECT_GE(log_.Count("MouseEnter"), 1);
  QPointer<QObject> first = button_->tooltipWindow();
  ASSERT_TRUE(first);

  Hover(Center() + QPoint(3, 0));  // still inside: no new tooltip
  EXPECT_EQ(button_->tooltipWindow(), first.data());

  HoverOutside();
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  EXPECT_FALSE(button_->isOver());
  EXPECT_EQ(log_.Count("MouseLeave"), 1);

  Hover(Center());
  EXPECT_TRUE(button_->tooltipWindow());
  EXPECT_FALSE(first);  // the old window is gone, a new one stands
}

TEST_F(InputTest, NoTooltipWhenDisabledOrEnteredWithTheButtonHeld) {
  QTest::mousePress(button_, Qt::LeftButton, {}, Center());
  QTest::mouseMove(button_, QPoint(150, 10));
  QTest::mouseMove(button_, Center());
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  EXPECT_EQ(button_->tooltipWindow(), nullptr);
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());

  button_->setMode(ButtonMode::Check);
  button_->setValue(true);  // a set button is drawn Down, so entering it makes no tooltip
  HoverOutside();
  Hover(Center());
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  EXPECT_EQ(button_->tooltipWindow(), nullptr);
}

TEST_F(InputTest, SpaceThenEnterThenSpaceUpClicksTwice) {
  button_->setFocus();
  QTest::keyPress(button_, Qt::Key_Space);
  EXPECT_TRUE(button_->isSpaceHeld());
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  QTest::keyClick(button_, Qt::Key_Return);
  EXPECT_EQ(log_.Count("Click"), 1);
  EXPECT_TRUE(button_->isSpaceHeld());
  QTest::keyRelease(button_, Qt::Key_Space);
  EXPECT_EQ(log_.Events(), QStringList({"KeyDown(32,0)", "KeyPress(32)", "Click", "KeyDown(13,0)",
                                        "KeyPress(13)", "Click", "KeyUp(32,0)"}));
  EXPECT_FALSE(button_->isSpaceHeld());
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
}

TEST_F(InputTest, HeldSpaceKeepsTheButtonDownWhileTheCursorLeaves) {
  Hover(Center());
  button_->setFocus();
  QTest::keyPress(button_, Qt::Key_Space);
  log_.Clear();
  HoverOutside();
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  EXPECT_EQ(log_.Count("MouseLeave"), 0);
  QTest::keyRelease(button_, Qt::Key_Space);
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  EXPECT_EQ(log_.Events(), QStringList({"Click", "KeyUp(32,0)"}));
}

TEST_F(InputTest, AltSpaceRaisesNothingAndChangesNothing) {
  button_->setFocus();
  const int redraws = button_->redrawCount();
  QTest::keyPress(button_, Qt::Key_Space, Qt::AltModifier);
  // Only the Alt key's own press is reported.
  EXPECT_EQ(log_.Events(), QStringList({"KeyDown(18,4)"}));
  EXPECT_FALSE(button_->isSpaceHeld());
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  EXPECT_EQ(button_->redrawCount(), redraws);
}

TEST_F(InputTest, AnotherKeyWhileSpaceHeldCancelsTheKeyboardPress) {
  button_->setFocus();
  QTest::keyPress(button_, Qt::Key_Space);
  QTest::keyClick(button_, Qt::Key_X);
  EXPECT_FALSE(button_->isSpaceHeld());
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  QTest::keyRelease(button_, Qt::Key_Space);
  EXPECT_EQ(log_.Count("Click"), 0);
  EXPECT_EQ(log_.Count("KeyDown(88,0)"), 1);
}

TEST_F(InputTest, CheckModeTogglesOnSpaceDownAndOnMouseRelease) {
  button_->setMode(ButtonMode::Check);
  button_->setFocus();
  QTest::keyPress(button_, Qt::Key_Space);
  EXPECT_TRUE(button_->value());
  EXPECT_EQ(log_.Count("Click"), 0);
  QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
  QApplication::sendEvent(button_, &repeat);  // held: the repeat does not toggle again
  QTest::keyRelease(button_, Qt::Key_Space);
  EXPECT_TRUE(button_->value());
  EXPECT_EQ(log_.Count("Click"), 1);

  QTest::mousePress(button_, Qt::LeftButton, {}, Center());
  EXPECT_TRUE(button_->value());
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
  EXPECT_FALSE(button_->value());
  EXPECT_EQ(log_.Count("Click"), 2);
}

TEST_F(InputTest, SetCheckButtonIsDrawnDownAndStaysDownWhenHovered) {
  button_->setMode(ButtonMode::Check);
  QTest::mouseClick(button_, Qt::LeftButton, {}, Center());
  EXPECT_TRUE(button_->value());
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  button_->setValue(false);
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
}

// Enter reaches the default button as its access key when the focus is elsewhere in the form.
TEST_F(InputTest, EnterAsDefaultButtonClicksOnlyInPushMode) {
  auto* edit = new QLineEdit(form_.get());
  edit->setGeometry(20, 100, 100, 20);
  edit->show();
  button_->setDefault(true);
  struct Case {
    ButtonMode mode;
    int clicks;
  };
  for (const Case& c : {Case{ButtonMode::Push, 1}, Case{ButtonMode::Check, 0},
                        Case{ButtonMode::Option, 0}}) {
    button_->setMode(c.mode);
    button_->setValue(false);
    edit->setFocus();
    log_.Clear();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(log_.Count("Click"), c.clicks) << int(c.mode);
    EXPECT_FALSE(button_->value());
  }
}

TEST_F(InputTest, AccessKeyClicksAndTogglesInCheckMode) {
  button_->setCaption("&Apply");
  QTest::keyClick(form_.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(log_.Count("Click"), 1);
  button_->setMode(ButtonMode::Check);
  QTest::keyClick(form_.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(button_->value());
  EXPECT_EQ(log_.Count("Click"), 2);
  button_->setEnabled(false);
  QTest::keyClick(form_.get(), Qt::Key_A, Qt::AltModifier);
  EXPECT_EQ(log_.Count("Click"), 2);
}

TEST_F(InputTest, DeactivationWhileHeldReturnsToNormalAndTheReleaseStillClicks) {
  QTest::mousePress(button_, Qt::LeftButton, {}, Center());
  ASSERT_TRUE(button_->isMouseHeld());
  QWidget other;
  other.setGeometry(600, 400, 50, 50);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_FALSE(button_->isMouseHeld());
  EXPECT_FALSE(button_->isParentActive());
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(log_.Events(), QStringList({"MouseDown(1,0)", "Click", "MouseUp(1,0)"}));
  form_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form_.get()));
  EXPECT_TRUE(button_->isParentActive());
}

TEST_F(InputTest, LosingFocusClearsTheKeyboardPress) {
  auto* edit = new QLineEdit(form_.get());
  edit->show();
  button_->setFocus();
  QTest::keyPress(button_, Qt::Key_Space);
  edit->setFocus();
  EXPECT_FALSE(button_->isSpaceHeld());
  EXPECT_FALSE(button_->hasFocusFlag());
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  QTest::keyRelease(button_, Qt::Key_Space);
  EXPECT_EQ(log_.Count("Click"), 0);
}

TEST_F(InputTest, DoubleClickReplaysMouseDownBeforeDblClick) {
  QTest::mouseClick(button_, Qt::LeftButton, {}, Center());
  QTest::mouseDClick(button_, Qt::LeftButton, {}, Center());
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(log_.Events(), QStringList({"MouseDown(1,0)", "Click", "MouseUp(1,0)", "MouseDown(1,0)",
                                        "DblClick", "Click", "MouseUp(1,0)"}));
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(InputTest, DoubleClickAfterARightPressDoesNothing) {
  QTest::mouseClick(button_, Qt::RightButton, {}, Center());
  log_.Clear();
  QTest::mouseDClick(button_, Qt::LeftButton, {}, Center());
  EXPECT_TRUE(log_.Events().isEmpty());
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
}

TEST_F(InputTest, ArrowKeysMoveTheFocusInTabOrder) {
  auto* left = AddButton(form_.get(), "left", QRect(120, 20, 60, 30));
  auto* right = AddButton(form_.get(), "right", QRect(200, 20, 60, 30));
  QWidget::setTabOrder(left, button_);
  QWidget::setTabOrder(button_, right);
  left->show();
  right->show();
  struct Case {
    Qt::Key key;
    QWidget* expected;
  };
  for (const Case& c : {Case{Qt::Key_Right, right}, Case{Qt::Key_Down, right},
                        Case{Qt::Key_Left, left}, Case{Qt::Key_Up, left}}) {
    button_->setFocus();
    QTest::keyClick(button_, c.key);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), c.expected) << c.key;
  }
}

TEST_F(InputTest, DropDownMenuReplacesMouseEventsAndHoldsTheButtonDown) {
  QMenu menu;
  menu.addAction("Local Disk");
  button_->SetPopupMenu(&menu, 0, 0);
  Hover(Center());  // the cursor rests on the button while the menu opens and closes
  log_.Clear();
  MenuCloser closer;
  closer.Arm();
  QTest::mousePress(button_, Qt::LeftButton, {}, Center());
  EXPECT_FALSE(closer.geometry.isNull()) << "the menu did not open";
  EXPECT_TRUE(button_->isHeldAfterMenu());
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
  EXPECT_FALSE(button_->isHeldAfterMenu());
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  EXPECT_TRUE(log_.Events().isEmpty()) << log_.Events().join(' ').toStdString();

  button_->UnsetPopupMenu();
  QTest::mouseClick(button_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(log_.Count("Click"), 1);
}

TEST_F(InputTest, MenuClosedAwayFromTheButtonReleasesIt) {
  QMenu menu;
  menu.addAction("Local Disk");
  button_->SetPopupMenu(&menu, 0, 0);
  QCursor::setPos(form_->mapToGlobal(QPoint(250, 150)));
  MenuCloser closer;
  closer.Arm();
  QTest::mousePress(button_, Qt::LeftButton, {}, Center());
  EXPECT_FALSE(button_->isHeldAfterMenu());
  EXPECT_FALSE(button_->isMouseHeld());
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
}

TEST_F(InputTest, DropDownMenuPlacementByAlignment) {
  QMenu menu;
  menu.addAction("Local Disk");
  const QSize m = menu.sizeHint();
  const QPoint origin = button_->mapToGlobal(QPoint(0, 0));
  const int w = button_->width();
  const int h = button_->height();
  struct Case {
    int align;
    QPoint top_left;  // relative to the button's origin
    int flags_after;
  };
  const Case cases[] = {
      {0, {0, h}, 0},
      {1, {0, -m.height()}, 0x20},
      {2, {-m.width(), 0}, 0x8},
      {3, {w, 0}, 0},
      {4, {-m.width(), -m.height()}, 0x28},
      {5, {-m.width(), h}, 0x8},
      {6, {w, -m.height()}, 0x20},
      {7, {w, h}, 0},
  };
  for (const Case& c : cases) {
    button_->SetPopupMenu(&menu, c.align, 0);
    QCursor::setPos(form_->mapToGlobal(QPoint(250, 150)));
    MenuCloser closer;
    closer.Arm();
    QTest::mousePress(button_, Qt::LeftButton, {}, Center());
    QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
    EXPECT_EQ(closer.geometry.topLeft(), origin + c.top_left) << "align " << c.align;
    EXPECT_EQ(button_->popupFlags(), c.flags_after) << "align " << c.align;
  }
  button_->SetPopupMenu(&menu, 8, 0);  // no such alignment: no menu
  MenuCloser closer;
  closer.Arm();
  QTest::mousePress(button_, Qt::LeftButton, {}, Center());
  QTest::mouseRelease(button_, Qt::LeftButton, {}, Center());
  EXPECT_TRUE(closer.geometry.isNull());
  EXPECT_FALSE(button_->isMenuOpening());
}

TEST_F(InputTest, SomethingOtherThanAMenuIsIgnored) {
  QObject not_a_menu;
  button_->SetPopupMenu(&not_a_menu, 0, 0);
  button_->SetPopupMenu(nullptr, 0, 0);
  EXPECT_FALSE(button_->isMenuAttached());
  QTest::mouseClick(button_, Qt::LeftButton, {}, Center());
  EXPECT_EQ(log_.Count("Click"), 1);
}

TEST_F(InputTest, StyleAndPaletteChangesRepaint) {
  int before = button_->redrawCount();
  QPalette p = button_->palette();
  p.setColor(QPalette::Button, Qt::red);
  button_->setPalette(p);
  EXPECT_GT(button_->redrawCount(), before);
  before = button_->redrawCount();
  QEvent style_change(QEvent::StyleChange);
  QApplication::sendEvent(button_, &style_change);
  EXPECT_GT(button_->redrawCount(), before);
}

TEST_F(InputTest, ContainerTooltipStaysEmptyWhileShown) {
  button_->setButtonToolTip("Scan the target");
  form_->hide();
  EXPECT_EQ(button_->toolTip(), "Scan the target");
  ShowForm();
  EXPECT_TRUE(button_->toolTip().isEmpty());
}

TEST_F(InputTest, LosingFocusRepaintsTwiceForTheDefaultButton) {
  auto* edit = new QLineEdit(form_.get());
  edit->show();
  for (bool is_default : {false, true}) {
    button_->setDefault(is_default);
    button_->setFocus();
    ASSERT_TRUE(button_->hasFocusFlag());
    const int before = button_->redrawCount();
    edit->setFocus();
    EXPECT_EQ(button_->redrawCount() - before, is_default ? 2 : 1);
  }
}

// A form may delete the button from its own Click handler; the button touches nothing after.
TEST_F(InputTest, ClickHandlerMayDeleteTheButton) {
  struct Case {
    const char* how;
    std::function<void(luxbutton*)> press;
  };
  const Case cases[] = {
      {"mouse", [](luxbutton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10)); }},
      {"enter", [](luxbutton* b) { QTest::keyClick(b, Qt::Key_Return); }},
      {"space", [](luxbutton* b) { QTest::keyClick(b, Qt::Key_Space); }},
  };
  for (const Case& c : cases) {
    QPointer<luxbutton> doomed = AddButton(form_.get(), "doomed", QRect(150, 100, 80, 30));
    doomed->show();
    doomed->setFocus();
    QObject::connect(doomed, &luxbutton::Click, doomed, [&doomed] { delete doomed.data(); });
    c.press(doomed);
    EXPECT_FALSE(doomed) << c.how;
  }
}

TEST_F(InputTest, ButtonShownWithoutLoadingStillTracksTheCursor) {
  auto* plain = new luxbutton(form_.get());
  plain->setGeometry(150, 100, 80, 30);
  plain->show();
  EXPECT_TRUE(plain->hooksInstalled());
  EventLog log;
  log.Watch(*plain);
  QTest::mouseMove(plain, QPoint(40, 15));
  EXPECT_EQ(plain->buttonState(), ButtonState::Hot);
  HoverOutside();
  EXPECT_EQ(plain->buttonState(), ButtonState::Normal);
  EXPECT_EQ(log.Count("MouseLeave"), 1);
}

TEST_F(InputTest, DesignTimeButtonInstallsNoHooks) {
  luxbutton designed(form_.get());
  designed.setUserMode(false);
  designed.ReadProperties({});
  EXPECT_FALSE(designed.hooksInstalled());
  EXPECT_TRUE(button_->hooksInstalled());
}

}  // namespace
}  // namespace velquin::button
