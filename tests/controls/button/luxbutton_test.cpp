// luxbutton's properties: defaults, the style and scheme rules, persistence, option groups, the
// size rule and what the control asks of its window for them.
#include "button_fixture.h"
#include "controls/button/scheme.h"
#include "draw/colour.h"
#include "support/form_data_fixture.h"

namespace velquin::button {
namespace {

using draw::PropertyBag;
using draw::Rgb;
using draw::SystemColour;
using testing::FakeForm;
using testing::LoadedButtonTest;
using testing::TestButton;

draw::Picture Square(draw::Colour colour) {
  return draw::Picture::FromImage(draw::Image(8, 8, draw::ToPixel(colour)));
}

std::string SavedKeys(const luxbutton& b) {
  PropertyBag bag;
  b.WriteProperties(bag);
  std::string keys;
  for (const auto& [key, value] : bag.Entries()) keys += (keys.empty() ? "" : " ") + key;
  return keys;
}

class ModelTest : public LoadedButtonTest {};

TEST_F(ModelTest, EmptyBagGivesTheReadDefaultsAndSavesNothing) {
  const luxbutton& b = button_;
  EXPECT_EQ(b.buttonStyle(), ButtonStyle::ClassicThin);
  EXPECT_EQ(b.colorScheme(), ColorScheme::Blue);
  EXPECT_EQ(b.pictureOpacity(), 255);
  EXPECT_EQ(b.pictureOpacityOnOver(), 255);
  EXPECT_EQ(b.pictureEffectOnOver(), PictureEffect::Brighten);
  EXPECT_EQ(b.pictureEffectOnDown(), PictureEffect::Darken);
  EXPECT_EQ(b.maskColor(), Colour{0xE0E0E0});
  EXPECT_TRUE(b.useMaskColor());
  EXPECT_EQ(b.pictureAlign(), PictureAlign::LeftOfCaption);
  EXPECT_EQ(b.captionAlign(), CaptionAlign::Center);
  EXPECT_EQ(b.caption(), kDefaultCaption);
  EXPECT_EQ(b.backColor(), SystemColour(draw::kColourButtonFace));
  EXPECT_EQ(b.foreColor(), SystemColour(draw::kColourButtonText));
  EXPECT_EQ(b.foreColorHover(), SystemColour(draw::kColourButtonText));
  EXPECT_EQ(b.tooltipBackColor(), SystemColour(draw::kColourInfoBackground));
  EXPECT_EQ(b.font(), b.ambient().font);
  EXPECT_FALSE(b.showFocusRect());
  EXPECT_TRUE(b.enabled());
  EXPECT_EQ(b.mode(), ButtonMode::Push);
  EXPECT_FALSE(b.value());
  EXPECT_EQ(SavedKeys(b), "");
}

TEST_F(ModelTest, SavesEveryChangedPropertyInItsOrderAndReadsItBack) {
  luxbutton& b = button_;
  b.setButtonStyle(ButtonStyle::RoundedScheme);
  b.setShowFocusRect(true);
  b.setEnabled(false);
  draw::FontSpec font;
  font.face = "Tahoma";
  font.weight = 700;
  b.setFont(font);
  b.setCaption("Start &Scan");
  b.setForeColor(Rgb(1, 2, 3));
  b.setForeColorHover(Rgb(4, 5, 6));
  b.setMode(ButtonMode::Check);
  b.setValue(true);
  b.setMouseIcon(Square(Rgb(9, 9, 9)));  // MousePointer 99
  b.setPictureNormal(Square(Rgb(255, 0, 0)));
  b.setPictureHot(Square(Rgb(0, 255, 0)));
  b.setPictureDown(Square(Rgb(0, 0, 255)));
  b.setPictureAlign(PictureAlign::Background);
  b.setPictureEffectOnOver(PictureEffect::Darken);
  b.setPictureEffectOnDown(PictureEffect::None);
  b.setPicturePushOnHover(true);
  b.setPictureShadow(true);
  b.setPictureOpacity(100);
  b.setPictureOpacityOnOver(200);
  b.setDisabledPictureMode(DisabledPictureMode::Grayscale);
  b.setCaptionEffects(CaptionEffects::DarkHalo);
  b.setUseMaskColor(false);
  b.setMaskColor(Rgb(255, 0, 255));
  b.setCaptionAlign(CaptionAlign::Right);
  b.setToolTip("Scan the target");
  b.setToolTipType(ToolTipType::Balloon);
  b.setToolTipIcon(2);
  b.setTooltipTitle("Scan");
  b.setTooltipBackColor(0);
  b.setRightToLeft(true);
  b.setDropDownSymbol(6);
  b.setDropDownSeparator(true);
  b.setBackColor(Rgb(200, 100, 50));  // scheme becomes Custom (3)

  PropertyBag bag;
  b.WriteProperties(bag);
  EXPECT_EQ(bag.ReadInt("MousePointer", -1), 99);
  EXPECT_EQ(bag.ReadInt("ColorScheme", -1), 3);
  // HandPointer cannot stand beside a mouse icon through the setters; stored data can hold both.
  bag.Set("HANDPOINTER", true);

  // The text form reads back into a button that saves every key in its own order.
  auto reread = PropertyBag::FromText(bag.ToText());
  ASSERT_TRUE(reread);
  TestButton copy;
  copy.button.ReadProperties(*reread);
  EXPECT_EQ(copy.button.caption(), "Start &Scan");
  EXPECT_EQ(copy.button.accessKey(), U's');
  EXPECT_EQ(copy.host.access_key, U's');
  EXPECT_FALSE(copy.button.enabled());
  EXPECT_FALSE(copy.host.window_enabled);
  EXPECT_EQ(copy.button.backColor(), Rgb(200, 100, 50));
  EXPECT_EQ(copy.button.pictureHot().ToImage().PixelAt(0, 0), draw::ToPixel(Rgb(0, 255, 0)));
  EXPECT_EQ(SavedKeys(copy.button),
            "buttonstyle showfocusrect enabled font backcolor caption forecolor forecolorhover "
            "mode value mousepointer handpointer mouseicon picturenormal picturehot picturedown "
            "picturealign pictureeffectonover pictureeffectondown picturepushonhover "
            "pictureshadow pictureopacity pictureopacityonover disabledpicturemode "
            "captioneffects usemaskcolor maskcolor captionalign tooltip tooltiptype tooltipicon "
            "tooltiptitle tooltipbackcolor righttoleft dropdownsymbol dropdownseparator "
            "colorscheme");
  PropertyBag again;
  copy.button.WriteProperties(again);
  for (const auto& [key, value] : bag.Entries()) EXPECT_EQ(again.Read(key), value) << key;
}

// Form data written before the bag left its toolkit (tests/draw/data): a button loaded from it
// writes it back unchanged, its pictures' PNG bytes and its odd caption included.
TEST_F(ModelTest, StoredSettingsWriteBackAsTheyWereRead) {
  auto form = draw::FormData::FromText(velquin::testing::FormDataFixture("controls.txt"));
  ASSERT_TRUE(form);
  for (const char* name : {"Scan", "Browser"}) {
    SCOPED_TRACE(name);
    const PropertyBag& stored = *form->Find(name);
    TestButton b;
    b.button.ReadProperties(stored);
    PropertyBag written;
    b.button.WriteProperties(written);
    EXPECT_EQ(written.ToText(), stored.ToText());
  }
  TestButton scan;
  scan.button.ReadProperties(*form->Find("Scan"));
  EXPECT_EQ(scan.button.caption(), "&Start Scan \u2014 \u00FC");
  EXPECT_EQ(scan.button.pictureNormal().ToImage().Width(), 24);
}

TEST_F(ModelTest, LoadingKeepsStoredColoursWithoutApplyingTheScheme) {
  PropertyBag bag;
  bag.Set("buttonstyle", 2);
  bag.Set("backcolor", draw::PropertyValue::OfColour(Rgb(10, 20, 30)));
  bag.Set("forecolor", draw::PropertyValue::OfColour(Rgb(40, 50, 60)));
  bag.Set("COLORSCHEME", 1);  // keys match without regard to case
  TestButton b;
  b.button.ReadProperties(bag);
  EXPECT_EQ(b.button.buttonStyle(), ButtonStyle::RoundedScheme);
  EXPECT_EQ(b.button.colorScheme(), ColorScheme::Olive);
  EXPECT_EQ(b.button.backColor(), Rgb(10, 20, 30));
  EXPECT_EQ(b.button.foreColor(), Rgb(40, 50, 60));
}

TEST_F(ModelTest, StoredValuesOutsideTheirRangeAreHandledSafely) {
  PropertyBag bag;
  bag.Set("pictureopacity", 1000);
  bag.Set("pictureopacityonover", -5);
  bag.Set("buttonstyle", 99);
  bag.Set("colorscheme", 7);
  TestButton b;
  b.button.ReadProperties(bag);
  EXPECT_EQ(b.button.pictureOpacity(), 255);
  EXPECT_EQ(b.button.pictureOpacityOnOver(), 0);
  b.button.setColorScheme(static_cast<ColorScheme>(7));
  b.button.RedrawButton();
  EXPECT_EQ(b.button.faceCanvas().Width(), 80);
  EXPECT_EQ(b.button.faceCanvas().Height(), 30);
}

TEST_F(ModelTest, StyleChangesApplyTheirSchemeAndColours) {
  struct Case {
    ButtonStyle style;
    ColorScheme scheme_before;
    ColorScheme scheme_after;
    Colour back;
    bool focus_rect;
  };
  const Colour face = SystemColour(draw::kColourButtonFace);
  const Case cases[] = {
      {ButtonStyle::RoundedGlass, ColorScheme::Blue, ColorScheme::Silver, Rgb(213, 214, 225), true},
      {ButtonStyle::ClassicThinFlat, ColorScheme::Olive, ColorScheme::Olive, face, false},
      {ButtonStyle::RoundedScheme, ColorScheme::Olive, ColorScheme::Blue, Rgb(236, 235, 231), false},
      {ButtonStyle::SplitGradient, ColorScheme::Olive, ColorScheme::Olive, Rgb(212, 214, 186), false},
      {ButtonStyle::Classic, ColorScheme::Silver, ColorScheme::Blue, face, true},
  };
  for (const Case& c : cases) {
    button_.setColorScheme(c.scheme_before);
    button_.setButtonStyle(c.style);
    EXPECT_EQ(button_.colorScheme(), c.scheme_after) << int(c.style);
    EXPECT_EQ(button_.backColor(), c.back) << int(c.style);
    EXPECT_EQ(button_.showFocusRect(), c.focus_rect) << int(c.style);
  }
  EXPECT_FALSE(button_.picturePushOnHover());
  button_.setButtonStyle(ButtonStyle::FlatFill);
  EXPECT_TRUE(button_.picturePushOnHover());
  button_.setButtonStyle(ButtonStyle::ClassicThin);
  EXPECT_TRUE(button_.picturePushOnHover());  // only ever switched on

  button_.setBackColor(Rgb(1, 2, 3));
  button_.setButtonStyle(ButtonStyle::SystemTheme);  // keeps the colour it has
  EXPECT_EQ(button_.backColor(), Rgb(1, 2, 3));
}

TEST_F(ModelTest, BackColorSwitchesToTheCustomSchemeExceptInStyle4) {
  button_.setButtonStyle(ButtonStyle::RoundedScheme);
  button_.setBackColor(Rgb(200, 100, 50));
  EXPECT_EQ(button_.colorScheme(), ColorScheme::Custom);
  EXPECT_EQ(button_.backColor(), Rgb(200, 100, 50));

  button_.setButtonStyle(ButtonStyle::FlatFill);
  button_.setBackColor(Rgb(200, 100, 50));
  EXPECT_EQ(button_.colorScheme(), ColorScheme::Blue);
}

TEST_F(ModelTest, SettingTheSchemeResetsTheCaptionColour) {
  button_.setButtonStyle(ButtonStyle::RoundedScheme);
  button_.setForeColor(Rgb(255, 0, 0));
  button_.setColorScheme(ColorScheme::Olive);
  EXPECT_EQ(button_.foreColor(), SystemColour(draw::kColourButtonText));
  EXPECT_EQ(button_.backColor(), Rgb(243, 238, 219));
}

TEST_F(ModelTest, ValueIsStoredOnlyOutsidePushMode) {
  button_.setValue(true);
  EXPECT_FALSE(button_.value());
  button_.setMode(ButtonMode::Check);
  button_.setValue(true);
  EXPECT_TRUE(button_.value());
  EXPECT_EQ(button_.buttonState(), ButtonState::Down);  // a set button is drawn pressed
  button_.setButtonStyle(ButtonStyle::Classic);         // except where it has a set face
  button_.setValue(false);
  button_.setValue(true);
  EXPECT_EQ(button_.buttonState(), ButtonState::Normal);
}

TEST_F(ModelTest, PictureRules) {
  const auto red = Square(Rgb(255, 0, 0));
  const auto green = Square(Rgb(0, 255, 0));
  button_.setPictureHot(red);  // without a normal picture it becomes the normal one
  EXPECT_EQ(button_.pictureNormal(), red);
  EXPECT_TRUE(button_.pictureHot().IsEmpty());
  button_.setPictureHot(green);
  button_.setPictureDown(green);
  EXPECT_EQ(button_.pictureHot(), green);
  EXPECT_EQ(button_.pictureDown(), green);
  button_.setPictureNormal({});  // clearing it drops the other two
  EXPECT_TRUE(button_.pictureHot().IsEmpty());
  EXPECT_TRUE(button_.pictureDown().IsEmpty());
}

TEST_F(ModelTest, PointerRulesAndWhatTheWindowShows) {
  button_.setMousePointer(11);
  EXPECT_EQ(host_.pointer.mouse_pointer, 11);
  button_.setHandPointer(true);
  EXPECT_EQ(button_.mousePointer(), 0);
  EXPECT_TRUE(host_.pointer.hand);
  button_.setMouseIcon(Square(Rgb(0, 0, 0)));
  EXPECT_FALSE(button_.handPointer());
  EXPECT_EQ(button_.mousePointer(), 99);
  EXPECT_EQ(host_.pointer.mouse_pointer, 99);
  EXPECT_FALSE(host_.pointer.icon.IsEmpty());
  button_.setMouseIcon({});
  EXPECT_EQ(button_.mousePointer(), 0);

  // Loaded with a hand the system cannot show: HandPointer is turned off.
  TestButton b;
  b.host.hand_available = false;
  PropertyBag bag;
  bag.Set("handpointer", true);
  b.button.ReadProperties(bag);
  EXPECT_FALSE(b.button.handPointer());
  EXPECT_FALSE(b.host.pointer.hand);
}

TEST_F(ModelTest, ChangeNotificationsCarryThePersistedNames) {
  button_.setMode(ButtonMode::Check);
  button_.setTooltipBackColor(0);
  button_.setToolTipType(ToolTipType::Balloon);
  button_.setToolTipIcon(1);
  button_.setEnabled(false);
  EXPECT_EQ(b_.log.Notified(), (testing::Events{"Value", "Mode", "TooltipBackcolor", "ToolTipType",
                                                "TooltipIcon", "Enabled"}));
  EXPECT_FALSE(host_.window_enabled);
}

TEST_F(ModelTest, RepaintsFollowTheSetters) {
  int before = button_.redrawCount();
  button_.setShowFocusRect(true);  // stored only
  button_.setUseMaskColor(false);  // redraws only with a picture
  button_.setPictureAlign(PictureAlign::RightEdge);
  EXPECT_EQ(button_.redrawCount(), before);
  button_.setPictureNormal(Square(Rgb(1, 1, 1)));
  before = button_.redrawCount();
  const int shown = host_.invalidations;
  button_.setUseMaskColor(true);
  button_.setPictureAlign(PictureAlign::LeftEdge);
  button_.setCaption("x");
  EXPECT_EQ(button_.redrawCount(), before + 3);
  EXPECT_EQ(host_.invalidations, shown + 3);  // each one shown
}

TEST_F(ModelTest, NewInstanceStartsAsStyle13WithBlankEffects) {
  TestButton b;
  Ambient ambient;
  ambient.display_name = "luxbutton3";
  b.button.SetAmbient(ambient);
  b.button.InitProperties();
  EXPECT_EQ(b.button.buttonStyle(), ButtonStyle::SystemTheme);
  EXPECT_EQ(b.button.caption(), "luxbutton3");
  EXPECT_EQ(b.button.font().face, "Tahoma");
  EXPECT_FALSE(b.button.showFocusRect());
  EXPECT_EQ(b.button.pictureEffectOnOver(), PictureEffect::None);
  EXPECT_EQ(b.button.pictureEffectOnDown(), PictureEffect::None);
  EXPECT_EQ(b.button.foreColor(), SystemColour(draw::kColourButtonText));
}

TEST_F(ModelTest, Style13WithoutThemesBecomesStyle2AtTheFirstRepaint) {
  button_.setThemesAvailable(false);
  button_.setBackColor(Rgb(9, 9, 9));
  button_.setButtonStyle(ButtonStyle::SystemTheme);
  EXPECT_EQ(button_.buttonStyle(), ButtonStyle::RoundedScheme);
  EXPECT_EQ(button_.colorScheme(), ColorScheme::Blue);
  EXPECT_EQ(button_.backColor(), Rgb(236, 235, 231));
  EXPECT_EQ(button_.faceCanvas().GetPixel(50, 0), Rgb(0, 60, 116));  // style 2's frame
  ASSERT_TRUE(host_.region);
  EXPECT_FALSE(host_.region->Contains(0, 0));  // and its rounded region
}

// Three option buttons in one frame and one in another: choosing one clears only its frame.
TEST_F(ModelTest, OptionGroupIsTheContainer) {
  FakeForm form;
  std::vector<std::unique_ptr<TestButton>> a;
  for (int i = 0; i < 3; ++i) a.push_back(std::make_unique<TestButton>(&form, 1));
  TestButton check_in_a(&form, 1);
  TestButton other(&form, 2);
  for (auto* b : {&a[0]->button, &a[1]->button, &a[2]->button, &other.button}) {
    b->ReadProperties({});
    b->setMode(ButtonMode::Option);
    b->setValue(true);  // from code: no group clearing
  }
  check_in_a.button.ReadProperties({});
  check_in_a.button.setMode(ButtonMode::Check);
  check_in_a.button.setValue(true);
  ASSERT_TRUE(a[0]->button.value() && a[1]->button.value() && a[2]->button.value());

  a[1]->ClickCentre();
  EXPECT_FALSE(a[0]->button.value());
  EXPECT_TRUE(a[1]->button.value());
  EXPECT_FALSE(a[2]->button.value());
  EXPECT_TRUE(check_in_a.button.value());  // not an option button
  EXPECT_TRUE(other.button.value());       // another container

  // A form whose Value notification removes a button of the group: the others are still cleared.
  a[0]->button.setValue(true);
  a[2]->button.setValue(true);
  a[0]->button.events.PropertyChanged = [&](std::string_view) {
    form.controls.erase(form.controls.begin() + 2);  // a[2] leaves the form
    a[2].reset();
  };
  a[1]->host.cursor_over = true;
  a[1]->KeyDown(kKeySpace);
  EXPECT_FALSE(a[0]->button.value());
  EXPECT_EQ(a[2], nullptr);
  EXPECT_TRUE(a[1]->button.value());
}

TEST_F(ModelTest, SizeRuleRaisesSidesTo220TwipsAndResizesTheWindow) {
  button_.setSizeTwips(100, 100);
  EXPECT_EQ(button_.sizeTwips(), (draw::Size{220, 220}));
  EXPECT_EQ(button_.width(), 15);
  EXPECT_EQ(button_.height(), 15);
  EXPECT_EQ(host_.resizes.back(), (draw::Size{15, 15}));
  button_.setSizeTwips(1200, 450);
  EXPECT_EQ(button_.sizeTwips(), (draw::Size{1200, 450}));
  EXPECT_EQ(host_.resizes.back(), (draw::Size{80, 30}));
  button_.setSizeTwips(1335, 300);
  EXPECT_EQ(host_.resizes.back(), (draw::Size{89, 20}));

  host_.resizes.clear();
  button_.Resize(10, 40);  // the window resized in pixels
  EXPECT_EQ(button_.sizeTwips(), (draw::Size{220, 600}));
  EXPECT_EQ(host_.resizes, (std::vector<draw::Size>{{15, 40}}));
  EXPECT_EQ(button_.faceCanvas().Width(), 15);
  EXPECT_EQ(button_.Paint().Height(), 40);
}

TEST_F(ModelTest, RegionFollowsTheStyleAndTheSize) {
  button_.setButtonStyle(ButtonStyle::Classic);
  ASSERT_TRUE(host_.region);
  EXPECT_EQ(*host_.region, draw::Region(draw::Rect{0, 0, 80, 30}));
  button_.setButtonStyle(ButtonStyle::Toolbar);
  EXPECT_EQ(*host_.region, draw::Region::RoundRect(0, 0, 81, 31, 4, 4));
  button_.Resize(60, 20);
  EXPECT_EQ(*host_.region, draw::Region::RoundRect(0, 0, 61, 21, 4, 4));
}

TEST_F(ModelTest, ContainerTooltipStaysEmptyWhileShown) {
  button_.setToolTip("Scan the target");
  button_.Hide();
  EXPECT_EQ(host_.container_tooltip, "Scan the target");
  button_.Show();
  EXPECT_EQ(host_.container_tooltip, "");
}

}  // namespace
}  // namespace velquin::button
