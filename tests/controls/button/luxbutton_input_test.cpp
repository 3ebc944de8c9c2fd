// luxbutton's input: event sequences in, state, events and the window's requests out.
#include <functional>
#include <memory>

#include "button_fixture.h"
#include "draw/theme.h"

namespace velquin::button {
namespace {

using testing::Events;
using testing::LoadedButtonTest;
using testing::TestButton;

class InputTest : public LoadedButtonTest {
 protected:
  void Press() { b_.Press(40, 15); }
  void Release() { b_.Release(40, 15); }
  void DragTo(int x, int y) { b_.Hover(x, y); }  // a move while held (the window has the mouse)
  Events EventsSoFar() const { return b_.log.Events(); }
  int Count(const std::string& e) const { return b_.log.Count(e); }
};

TEST_F(InputTest, ClickNeedsAReleaseStrictlyInside) {
  struct Case {
    int x, y;
    bool clicks;
  };
  for (const Case& c : {Case{0, 5, false}, Case{5, 0, false}, Case{1, 1, true}, Case{79, 29, true},
                        Case{80, 5, false}, Case{5, 30, false}, Case{-3, 5, false}}) {
    b_.log.Clear();
    b_.ClickAt(c.x, c.y);
    EXPECT_EQ(Count("Click"), c.clicks ? 1 : 0) << c.x << "," << c.y;
    EXPECT_EQ(EventsSoFar().back(), "MouseUp(1,0)");
  }
}

TEST_F(InputTest, PressDragOutAndBackInClicksOnce) {
  b_.HoverCentre();
  Press();
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  EXPECT_TRUE(button_.hasFocusFlag());
  DragTo(150, 10);
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  EXPECT_FALSE(button_.isOver());
  DragTo(40, 15);
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  Release();
  EXPECT_EQ(EventsSoFar(), (Events{"MouseDown(1,0)", "Click", "MouseUp(1,0)"}));
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
}

TEST_F(InputTest, ReleaseOutsideAfterDragRaisesNoClick) {
  Press();
  DragTo(150, 10);
  b_.Release(150, 10);
  EXPECT_EQ(EventsSoFar(), (Events{"MouseDown(1,0)", "MouseUp(1,0)"}));
}

TEST_F(InputTest, RightButtonRaisesOnlyMouseUp) {
  b_.ClickAt(40, 15, kRightButton);
  EXPECT_EQ(EventsSoFar(), (Events{"MouseUp(2,0)"}));
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  EXPECT_FALSE(button_.hasFocusFlag());
}

TEST_F(InputTest, HoverMakesHotWithAFreshTooltipPerEntryAndLeavingRaisesMouseLeave) {
  button_.setToolTip("Scan the target");
  b_.HoverCentre();
  EXPECT_EQ(button_.buttonState(), ButtonState::Hot);
  EXPECT_TRUE(button_.isOver());
  EXPECT_EQ(Count("MouseEnter"), 1);
  EXPECT_EQ(host_.leave_requests, 1);
  ASSERT_EQ(host_.tooltips.size(), 1u);
  EXPECT_EQ(host_.tooltips[0].text, "Scan the target");

  b_.Hover(43, 15);  // still inside: another MouseEnter, no new tooltip
  EXPECT_EQ(Count("MouseEnter"), 2);
  EXPECT_EQ(host_.tooltips.size(), 1u);

  b_.Leave();
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  EXPECT_FALSE(button_.isOver());
  EXPECT_EQ(Count("MouseLeave"), 1);

  b_.HoverCentre();
  EXPECT_EQ(host_.tooltips.size(), 2u);  // the host replaces the window
}

TEST_F(InputTest, SpaceThenEnterThenSpaceUpClicksTwice) {
  b_.KeyDown(kKeySpace);
  EXPECT_TRUE(button_.isSpaceHeld());
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  EXPECT_TRUE(host_.captured);
  b_.KeyDown(kKeyEnter);
  EXPECT_EQ(Count("Click"), 1);
  EXPECT_TRUE(button_.isSpaceHeld());
  b_.KeyUp(kKeyEnter);  // only the space bar's release is handled
  b_.KeyUp(kKeySpace);
  EXPECT_EQ(EventsSoFar(),
            (Events{"KeyDown(32,0)", "Click", "KeyDown(13,0)", "Click", "KeyUp(32,0)"}));
  EXPECT_FALSE(button_.isSpaceHeld());
  EXPECT_FALSE(host_.captured);
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
}

TEST_F(InputTest, SpaceUpOverTheButtonLeavesItHot) {
  b_.HoverCentre();
  b_.KeyDown(kKeySpace);
  b_.KeyUp(kKeySpace);
  EXPECT_EQ(button_.buttonState(), ButtonState::Hot);
  // With the left button held too, the release is the mouse's: no click from the keyboard.
  b_.log.Clear();
  Press();
  b_.KeyDown(kKeySpace);
  EXPECT_FALSE(button_.isSpaceHeld());
  b_.KeyUp(kKeySpace);
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  EXPECT_FALSE(button_.isMouseHeld());
  EXPECT_EQ(Count("Click"), 0);
}

TEST_F(InputTest, HeldSpaceKeepsTheButtonDownWhileTheCursorLeaves) {
  b_.HoverCentre();
  b_.KeyDown(kKeySpace);
  b_.log.Clear();
  b_.Leave();
  DragTo(150, 10);  // the space bar took the mouse: moves outside still arrive
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  EXPECT_EQ(Count("MouseLeave"), 0);
  b_.KeyUp(kKeySpace);
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  EXPECT_EQ(EventsSoFar(), (Events{"Click", "KeyUp(32,0)"}));
}

TEST_F(InputTest, AltSpaceRaisesNothingAndChangesNothing) {
  const int redraws = button_.redrawCount();
  b_.KeyDown(kKeySpace, kAltMask);
  EXPECT_TRUE(EventsSoFar().empty());
  EXPECT_FALSE(button_.isSpaceHeld());
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  EXPECT_EQ(button_.redrawCount(), redraws);
}

TEST_F(InputTest, AnotherKeyWhileSpaceHeldCancelsTheKeyboardPress) {
  b_.KeyDown(kKeySpace);
  b_.KeyDown('X');
  EXPECT_FALSE(button_.isSpaceHeld());
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  b_.KeyUp(kKeySpace);
  EXPECT_EQ(Count("Click"), 0);
  EXPECT_EQ(Count("KeyDown(88,0)"), 1);
}

TEST_F(InputTest, CheckModeTogglesOnSpaceDownAndOnMouseRelease) {
  button_.setMode(ButtonMode::Check);
  b_.KeyDown(kKeySpace);
  EXPECT_TRUE(button_.value());
  EXPECT_EQ(Count("Click"), 0);
  button_.KeyDown(kKeySpace, 0, true);  // held: the repeat does not toggle again
  b_.KeyUp(kKeySpace);
  EXPECT_TRUE(button_.value());
  EXPECT_EQ(Count("Click"), 1);

  Press();
  EXPECT_TRUE(button_.value());
  Release();
  EXPECT_FALSE(button_.value());
  EXPECT_EQ(Count("Click"), 2);
}

TEST_F(InputTest, SetButtonIsDrawnDownAndGetsNoTooltip) {
  button_.setMode(ButtonMode::Check);
  b_.ClickCentre();
  EXPECT_TRUE(button_.value());
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  b_.HoverCentre();  // the repaint on entering Hot puts it back to Down
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  EXPECT_TRUE(host_.tooltips.empty());
  button_.setValue(false);
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
}

TEST_F(InputTest, NoTooltipWhenDisabledOrEnteredWithTheButtonHeld) {
  Press();
  DragTo(150, 10);
  DragTo(40, 15);
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  Release();
  button_.setEnabled(false);
  b_.Leave();
  b_.HoverCentre();
  EXPECT_EQ(button_.buttonState(), ButtonState::Hot);
  EXPECT_TRUE(host_.tooltips.empty());
}

// Enter, delivered as the default button's access key, clicks only in push mode; in every mode
// the access key itself clicks, toggling in check mode and only when enabled.
TEST_F(InputTest, AccessKeyPressByMode) {
  struct Case {
    ButtonMode mode;
    int key;
    int clicks;
    bool value_after;
  };
  const Case cases[] = {
      {ButtonMode::Push, kKeyEnter, 1, false},   {ButtonMode::Check, kKeyEnter, 0, false},
      {ButtonMode::Option, kKeyEnter, 0, false}, {ButtonMode::Push, kKeyEscape, 1, false},
      {ButtonMode::Check, 'a', 1, true},         {ButtonMode::Option, 'a', 1, true},
  };
  for (const Case& c : cases) {
    button_.setMode(c.mode);
    button_.setValue(false);
    b_.log.Clear();
    const int pending = host_.pending_processed;
    button_.AccessKeyPress(c.key);
    EXPECT_EQ(Count("Click"), c.clicks) << int(c.mode) << " " << c.key;
    EXPECT_EQ(button_.value(), c.value_after) << int(c.mode) << " " << c.key;
    // Pending messages are handled before the click.
    EXPECT_EQ(host_.pending_processed - pending, c.clicks);
  }
  button_.setEnabled(false);
  b_.log.Clear();
  button_.AccessKeyPress('a');
  EXPECT_EQ(Count("Click"), 0);
}

TEST_F(InputTest, AccessKeyFollowsTheCaption) {
  button_.setCaption("&Apply");
  EXPECT_EQ(host_.access_key, U'a');
  button_.setCaption("Fish && Chips");
  EXPECT_EQ(host_.access_key, std::nullopt);
}

TEST_F(InputTest, DeactivationWhileHeldReturnsToNormalAndTheReleaseStillClicks) {
  EXPECT_TRUE(button_.isParentActive());  // the form was active when the hooks went in
  Press();
  ASSERT_TRUE(button_.isMouseHeld());
  button_.ParentActivate(false);
  EXPECT_FALSE(button_.isMouseHeld());
  EXPECT_FALSE(button_.isParentActive());
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  Release();
  EXPECT_EQ(EventsSoFar(), (Events{"MouseDown(1,0)", "Click", "MouseUp(1,0)"}));
  button_.ParentActivate(true);
  EXPECT_TRUE(button_.isParentActive());
}

TEST_F(InputTest, LosingFocusClearsTheKeyboardPressAndRepaintsTwiceForTheDefaultButton) {
  button_.GotFocus();
  b_.KeyDown(kKeySpace);
  int before = button_.redrawCount();
  button_.LostFocus();
  EXPECT_FALSE(button_.isSpaceHeld());
  EXPECT_FALSE(button_.hasFocusFlag());
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  EXPECT_EQ(button_.redrawCount() - before, 1);
  b_.KeyUp(kKeySpace);
  EXPECT_EQ(Count("Click"), 0);

  button_.SetDefault(true);
  b_.HoverCentre();
  button_.GotFocus();
  before = button_.redrawCount();
  button_.LostFocus();
  EXPECT_EQ(button_.buttonState(), ButtonState::Hot);  // the cursor is still over it
  EXPECT_EQ(button_.redrawCount() - before, 2);
}

TEST_F(InputTest, DoubleClickReplaysMouseDownBeforeDblClick) {
  b_.ClickCentre();
  button_.DblClick();
  EXPECT_TRUE(host_.captured);
  Release();
  EXPECT_FALSE(host_.captured);  // the release ends the capture
  EXPECT_EQ(EventsSoFar(), (Events{"MouseDown(1,0)", "Click", "MouseUp(1,0)", "MouseDown(1,0)",
                                   "DblClick", "Click", "MouseUp(1,0)"}));
}

TEST_F(InputTest, DoubleClickAfterARightPressDoesNothing) {
  b_.ClickAt(40, 15, kRightButton);
  b_.log.Clear();
  button_.DblClick();
  EXPECT_TRUE(EventsSoFar().empty());
  EXPECT_FALSE(host_.captured);
}

TEST_F(InputTest, ArrowKeysMoveTheFocusInTabOrder) {
  for (int key : {kKeyRight, kKeyDown, kKeyLeft, kKeyUp}) b_.KeyDown(key);
  EXPECT_EQ(host_.focus_moves, (std::vector<bool>{true, true, false, false}));
  EXPECT_EQ(Count("KeyDown(39,0)"), 1);
}

TEST_F(InputTest, DropDownMenuReplacesMouseEventsAndHoldsTheButtonDown) {
  button_.SetPopupMenu(0x1234, 0, 0x2, 0x99);
  b_.HoverCentre();
  b_.log.Clear();
  // The menu opens over the button: the cursor leaves for it and is over the button when it closes.
  host_.during_menu = [&] { button_.MouseLeave(); };
  Press();
  ASSERT_EQ(host_.menus.size(), 1u);
  EXPECT_EQ(host_.menus[0].menu, 0x1234u);
  EXPECT_EQ(host_.menus[0].default_item, 0x99u);
  EXPECT_EQ(host_.menus[0].flags, 0x2);
  EXPECT_TRUE(button_.isHeldAfterMenu());
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  Release();
  EXPECT_FALSE(button_.isHeldAfterMenu());
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
  EXPECT_TRUE(EventsSoFar().empty());

  button_.UnsetPopupMenu();
  b_.ClickCentre();
  EXPECT_EQ(Count("Click"), 1);
}

TEST_F(InputTest, MenuClosedAwayFromTheButtonReleasesIt) {
  button_.SetPopupMenu(1, 0, 0);
  host_.during_menu = [&] { host_.cursor_over = false; };
  Press();
  EXPECT_FALSE(button_.isHeldAfterMenu());
  EXPECT_FALSE(button_.isMouseHeld());
  EXPECT_FALSE(button_.isMenuOpening());
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
}

TEST_F(InputTest, DropDownMenuPlacementByAlignment) {
  struct Case {
    int align;
    draw::Point at;
    int flags_after;
  };
  const Case cases[] = {
      {0, {0, 30}, 0x1},   {1, {0, 0}, 0x20},  {2, {0, 0}, 0x9},    {3, {80, 0}, 0x1},
      {4, {0, 0}, 0x28},   {5, {0, 30}, 0x9},  {6, {80, 0}, 0x20},  {7, {80, 30}, 0x1},
  };
  for (const Case& c : cases) {
    button_.SetPopupMenu(1, c.align, 0x1);
    host_.menus.clear();
    Press();
    Release();
    ASSERT_EQ(host_.menus.size(), 1u) << c.align;
    EXPECT_EQ(host_.menus[0].at, c.at) << "align " << c.align;
    EXPECT_EQ(host_.menus[0].flags, c.flags_after) << "align " << c.align;
    EXPECT_EQ(button_.popupFlags(), c.flags_after) << "align " << c.align;
  }
  // The adjusted flags stay for the next opening.
  button_.SetPopupMenu(1, 2, 0x1);
  Press();
  Release();
  Press();
  Release();
  EXPECT_EQ(button_.popupFlags(), 0x9);

  button_.SetPopupMenu(1, 8, 0);  // no such alignment: no menu
  host_.menus.clear();
  Press();
  Release();
  EXPECT_TRUE(host_.menus.empty());
  EXPECT_FALSE(button_.isMenuOpening());
}

TEST_F(InputTest, NoMenuHandleIsIgnored) {
  button_.SetPopupMenu(0, 0, 0);
  EXPECT_FALSE(button_.isMenuAttached());
  b_.ClickCentre();
  EXPECT_EQ(Count("Click"), 1);
}

TEST_F(InputTest, ThemeAndSystemColourChangesRepaint) {
  int before = button_.redrawCount();
  button_.ThemeChanged();
  EXPECT_EQ(button_.redrawCount(), before + 1);
  // System colour changes repaint only when the desktop drew with a visual style at load.
  draw::PinThemesActive(false);
  TestButton classic;
  classic.button.ReadProperties({});
  draw::PinThemesActive(true);
  TestButton themed;
  themed.button.ReadProperties({});
  draw::PinThemesActive(std::nullopt);
  before = classic.button.redrawCount();
  classic.button.SysColorChanged();
  EXPECT_EQ(classic.button.redrawCount(), before);
  before = themed.button.redrawCount();
  themed.button.SysColorChanged();
  EXPECT_EQ(themed.button.redrawCount(), before + 1);
}

// A form may destroy the button from its own handlers; the button touches nothing afterwards.
TEST(ButtonLifetime, HandlersMayDestroyTheButton) {
  struct Case {
    const char* how;
    std::function<void(TestButton&)> act;
  };
  const Case cases[] = {
      {"mouse", [](TestButton& b) { b.ClickCentre(); }},
      {"enter", [](TestButton& b) { b.KeyDown(kKeyEnter); }},
      {"space", [](TestButton& b) {
         b.KeyDown(kKeySpace);
         b.KeyUp(kKeySpace);
       }},
      {"access key", [](TestButton& b) { b.button.AccessKeyPress('a'); }},
      {"menu item", [](TestButton& b) {
         b.button.SetPopupMenu(1, 0, 0);
         b.Press(5, 5);
       }},
  };
  for (const Case& c : cases) {
    auto doomed = std::make_unique<TestButton>();
    doomed->button.ReadProperties({});
    std::weak_ptr<const luxbutton*> alive = doomed->button.lifeToken();
    doomed->button.events.Click = [&] { doomed.reset(); };
    doomed->host.during_menu = [&] { doomed.reset(); };
    c.act(*doomed);
    EXPECT_TRUE(alive.expired()) << c.how;
  }
}

TEST(ButtonHooks, DesignTimeButtonInstallsNoHooksAndIgnoresHookedInput) {
  TestButton designed;
  Ambient ambient;
  ambient.user_mode = false;
  designed.button.SetAmbient(ambient);
  designed.button.ReadProperties({});
  EXPECT_FALSE(designed.button.hooksInstalled());
  EXPECT_EQ(designed.host.hook_installs, 0);
  designed.HoverCentre();
  designed.Leave();
  EXPECT_EQ(designed.log.Count("MouseLeave"), 0);

  // Shown without being loaded, at run time: hooked once.
  TestButton plain;
  plain.button.Show();
  plain.button.Show();
  EXPECT_EQ(plain.host.hook_installs, 1);
  plain.HoverCentre();
  EXPECT_EQ(plain.button.buttonState(), ButtonState::Hot);
  plain.Leave();
  EXPECT_EQ(plain.button.buttonState(), ButtonState::Normal);
  EXPECT_EQ(plain.log.Count("MouseLeave"), 1);
}

}  // namespace
}  // namespace velquin::button
