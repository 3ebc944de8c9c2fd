// The tooltip data a luxbutton hands its host on entering the hot state.
#include "button_fixture.h"
#include "draw/colour.h"

namespace velquin::button {
namespace {

using testing::LoadedButtonTest;

class TooltipTest : public LoadedButtonTest {
 protected:
  const TooltipData& Enter() {
    b_.Leave();
    b_.HoverCentre();
    EXPECT_FALSE(host_.tooltips.empty());
    return host_.tooltips.back();
  }
};

TEST_F(TooltipTest, DataCarriesTheTooltipProperties) {
  const TooltipData plain = Enter();
  EXPECT_EQ(plain.text, "");  // an empty text still makes the window
  EXPECT_FALSE(plain.set_title);
  EXPECT_FALSE(plain.balloon);
  EXPECT_FALSE(plain.right_to_left);
  EXPECT_EQ(plain.max_width, 240);
  EXPECT_EQ(plain.tool_rect, (draw::Rect{0, 0, 80, 30}));
  // The read default is the tooltip background system colour, resolved.
  EXPECT_EQ(plain.back_color, draw::Rgb(255, 255, 225));

  button_.setToolTip("Scans the folder.");
  button_.setTooltipTitle("Scan");
  button_.setToolTipIcon(1);
  button_.setToolTipType(ToolTipType::Balloon);
  button_.setRightToLeft(true);
  button_.setTooltipBackColor(draw::Rgb(0x99, 0x66, 0x33));
  const TooltipData custom = Enter();
  EXPECT_EQ(custom.text, "Scans the folder.");
  EXPECT_TRUE(custom.set_title);
  EXPECT_EQ(custom.title, "Scan");
  EXPECT_EQ(custom.icon, 1);
  EXPECT_TRUE(custom.balloon);
  EXPECT_TRUE(custom.right_to_left);
  EXPECT_EQ(custom.back_color, draw::Rgb(0x99, 0x66, 0x33));
}

TEST_F(TooltipTest, IconWithoutTitleStillSetsTheTitleAndColourZeroKeepsTheSystems) {
  button_.setToolTipIcon(2);
  button_.setTooltipBackColor(0);
  const TooltipData t = Enter();
  EXPECT_TRUE(t.set_title);
  EXPECT_EQ(t.icon, 2);
  EXPECT_EQ(t.title, "");
  EXPECT_EQ(t.back_color, std::nullopt);
}

TEST_F(TooltipTest, ChangesTakeEffectAtTheNextEntry) {
  Enter();
  button_.setToolTip("later");
  EXPECT_EQ(host_.tooltips.back().text, "");
  EXPECT_EQ(Enter().text, "later");
}

TEST_F(TooltipTest, NoTooltipWhenDisabledPressedSetOrHeldAfterTheMenu) {
  button_.setEnabled(false);
  b_.HoverCentre();
  EXPECT_TRUE(host_.tooltips.empty());
  b_.Leave();
  button_.setEnabled(true);

  b_.Press(10, 10);  // entering while held is Down
  b_.Hover(150, 10);
  b_.Hover(10, 10);
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);
  EXPECT_TRUE(host_.tooltips.empty());
  b_.Release(10, 10);
  b_.Leave();

  button_.setMode(ButtonMode::Option);
  button_.setValue(true);
  b_.HoverCentre();
  EXPECT_TRUE(host_.tooltips.empty());
  button_.setValue(false);
  b_.Leave();

  // Held down after its menu closed over it, then the form went inactive and came back: the
  // button is Normal again but still held after the menu, and makes no tooltip.
  button_.SetPopupMenu(1, 0, 0);
  host_.during_menu = [&] { button_.MouseLeave(); };
  b_.HoverCentre();
  host_.tooltips.clear();
  b_.Press(10, 10);
  ASSERT_TRUE(button_.isHeldAfterMenu());
  button_.ParentActivate(false);
  button_.ParentActivate(true);
  b_.Hover(12, 12);
  EXPECT_EQ(button_.buttonState(), ButtonState::Hot);
  EXPECT_TRUE(host_.tooltips.empty());
}

}  // namespace
}  // namespace velquin::button
