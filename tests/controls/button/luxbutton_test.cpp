// luxbutton's properties: defaults, the style and scheme rules, persistence, option groups and
// the size rule.
#include <QFrame>
#include <QSignalSpy>

#include "button_fixture.h"
#include "controls/button/container.h"
#include "controls/button/scheme.h"
#include "draw/colour.h"
#include "support/form_data_fixture.h"

namespace velquin::button {
namespace {

using draw::PropertyBag;
using draw::Rgb;
using draw::SystemColour;

draw::Image Square(draw::Colour colour) { return draw::Image(8, 8, draw::ToPixel(colour)); }

class ModelTest : public ::testing::Test {
 protected:
  ModelTest() {
    form_.resize(300, 200);
    button_ = new luxbutton(&form_);
    button_->setGeometry(10, 10, 80, 30);
    button_->ReadProperties({});
  }

  QStringList SavedKeys() const {
    PropertyBag bag;
    button_->WriteProperties(bag);
    QStringList keys;
    for (const auto& [key, value] : bag.Entries()) keys << QString::fromStdString(key);
    return keys;
  }

  QWidget form_;
  luxbutton* button_;
};

TEST_F(ModelTest, EmptyBagGivesTheReadDefaultsAndSavesNothing) {
  const luxbutton& b = *button_;
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
  EXPECT_EQ(b.caption(), QString(kDefaultCaption));
  EXPECT_EQ(b.backColor(), SystemColour(draw::kColourButtonFace));
  EXPECT_EQ(b.foreColor(), SystemColour(draw::kColourButtonText));
  EXPECT_EQ(b.foreColorHover(), SystemColour(draw::kColourButtonText));
  EXPECT_EQ(b.tooltipBackColor(), SystemColour(draw::kColourInfoBackground));
  EXPECT_EQ(b.buttonFont(), AmbientFont(b));
  EXPECT_FALSE(b.showFocusRect());
  EXPECT_TRUE(b.isEnabled());
  EXPECT_EQ(b.mode(), ButtonMode::Push);
  EXPECT_FALSE(b.value());
  EXPECT_TRUE(SavedKeys().isEmpty()) << SavedKeys().join(' ').toStdString();
}

TEST_F(ModelTest, SavesEveryChangedPropertyInItsOrderAndReadsItBack) {
  luxbutton& b = *button_;
  b.setButtonStyle(ButtonStyle::RoundedScheme);
  b.setShowFocusRect(true);
  b.setEnabled(false);
  draw::FontSpec font;
  font.face = "Tahoma";
  font.weight = 700;
  b.setButtonFont(font);
  b.setCaption("Start &Scan");
  b.setForeColor(Rgb(1, 2, 3));
  b.setForeColorHover(Rgb(4, 5, 6));
  b.setMode(ButtonMode::Check);
  b.setValue(true);
  b.setMouseIcon(draw::Picture::FromImage(Square(Rgb(9, 9, 9))));  // MousePointer 99
  b.setPictureNormal(draw::Picture::FromImage(Square(Rgb(255, 0, 0))));
  b.setPictureHot(draw::Picture::FromImage(Square(Rgb(0, 255, 0))));
  b.setPictureDown(draw::Picture::FromImage(Square(Rgb(0, 0, 255))));
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
  b.setButtonToolTip("Scan the target");
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
  luxbutton copy(&form_);
  copy.ReadProperties(*reread);
  EXPECT_EQ(copy.caption(), "Start &Scan");
  EXPECT_EQ(copy.accessKey(), QChar('s'));
  EXPECT_FALSE(copy.isEnabled());
  EXPECT_EQ(copy.backColor(), Rgb(200, 100, 50));
  EXPECT_EQ(copy.pictureHot().ToImage().PixelAt(0, 0), draw::ToPixel(Rgb(0, 255, 0)));
  PropertyBag again;
  copy.WriteProperties(again);
  QStringList keys;
  for (const auto& [key, value] : again.Entries()) keys << QString::fromStdString(key);
  EXPECT_EQ(keys.join(' ').toStdString(),
            "buttonstyle showfocusrect enabled font backcolor caption forecolor forecolorhover "
            "mode value mousepointer handpointer mouseicon picturenormal picturehot picturedown "
            "picturealign pictureeffectonover pictureeffectondown picturepushonhover "
            "pictureshadow pictureopacity pictureopacityonover disabledpicturemode "
            "captioneffects usemaskcolor maskcolor captionalign tooltip tooltiptype tooltipicon "
            "tooltiptitle tooltipbackcolor righttoleft dropdownsymbol dropdownseparator "
            "colorscheme");
  for (const auto& [key, value] : bag.Entries()) {
    EXPECT_EQ(again.Read(key), value) << key;
  }
}

// Form data written before the bag left its toolkit (tests/draw/data): a button loaded from it
// writes it back unchanged, its pictures' PNG bytes and its odd caption included.
TEST_F(ModelTest, StoredSettingsWriteBackAsTheyWereRead) {
  auto form = draw::FormData::FromText(velquin::testing::FormDataFixture("controls.txt"));
  ASSERT_TRUE(form);
  for (const char* name : {"Scan", "Browser"}) {
    SCOPED_TRACE(name);
    const PropertyBag& stored = *form->Find(name);
    luxbutton b(&form_);
    b.ReadProperties(stored);
    PropertyBag written;
    b.WriteProperties(written);
    EXPECT_EQ(written.ToText(), stored.ToText());
  }
  luxbutton scan(&form_);
  scan.ReadProperties(*form->Find("Scan"));
  EXPECT_EQ(scan.caption(), QString::fromUtf8("&Start Scan \u2014 \u00FC"));
  EXPECT_EQ(scan.pictureNormal().ToImage().Width(), 24);
}

TEST_F(ModelTest, LoadingKeepsStoredColoursWithoutApplyingTheScheme) {
  PropertyBag bag;
  bag.Set("buttonstyle", 2);
  bag.Set("backcolor", draw::PropertyValue::OfColour(Rgb(10, 20, 30)));
  bag.Set("forecolor", draw::PropertyValue::OfColour(Rgb(40, 50, 60)));
  bag.Set("COLORSCHEME", 1);  // keys match without regard to case
  luxbutton b(&form_);
  b.ReadProperties(bag);
  EXPECT_EQ(b.buttonStyle(), ButtonStyle::RoundedScheme);
  EXPECT_EQ(b.colorScheme(), ColorScheme::Olive);
  EXPECT_EQ(b.backColor(), Rgb(10, 20, 30));
  EXPECT_EQ(b.foreColor(), Rgb(40, 50, 60));
}

TEST_F(ModelTest, StoredValuesOutsideTheirRangeAreHandledSafely) {
  PropertyBag bag;
  bag.Set("pictureopacity", 1000);
  bag.Set("pictureopacityonover", -5);
  bag.Set("buttonstyle", 99);
  bag.Set("colorscheme", 7);
  luxbutton b(&form_);
  b.ReadProperties(bag);
  EXPECT_EQ(b.pictureOpacity(), 255);
  EXPECT_EQ(b.pictureOpacityOnOver(), 0);
  b.setColorScheme(static_cast<ColorScheme>(7));
  b.RedrawButton();
  EXPECT_EQ(b.faceImage().Width(), b.width());
  EXPECT_EQ(b.faceImage().Height(), b.height());
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
    button_->setColorScheme(c.scheme_before);
    button_->setButtonStyle(c.style);
    EXPECT_EQ(button_->colorScheme(), c.scheme_after) << int(c.style);
    EXPECT_EQ(button_->backColor(), c.back) << int(c.style);
    EXPECT_EQ(button_->showFocusRect(), c.focus_rect) << int(c.style);
  }
  EXPECT_FALSE(button_->picturePushOnHover());
  button_->setButtonStyle(ButtonStyle::FlatFill);
  EXPECT_TRUE(button_->picturePushOnHover());
  button_->setButtonStyle(ButtonStyle::ClassicThin);
  EXPECT_TRUE(button_->picturePushOnHover());  // only ever switched on

  button_->setBackColor(Rgb(1, 2, 3));
  button_->setButtonStyle(ButtonStyle::SystemTheme);  // keeps the colour it has
  EXPECT_EQ(button_->backColor(), Rgb(1, 2, 3));
}

TEST_F(ModelTest, BackColorSwitchesToTheCustomSchemeExceptInStyle4) {
  button_->setButtonStyle(ButtonStyle::RoundedScheme);
  button_->setBackColor(Rgb(200, 100, 50));
  EXPECT_EQ(button_->colorScheme(), ColorScheme::Custom);
  EXPECT_EQ(button_->backColor(), Rgb(200, 100, 50));

  button_->setButtonStyle(ButtonStyle::FlatFill);
  button_->setBackColor(Rgb(200, 100, 50));
  EXPECT_EQ(button_->colorScheme(), ColorScheme::Blue);
}

TEST_F(ModelTest, SettingTheSchemeResetsTheCaptionColour) {
  button_->setButtonStyle(ButtonStyle::RoundedScheme);
  button_->setForeColor(Rgb(255, 0, 0));
  button_->setColorScheme(ColorScheme::Olive);
  EXPECT_EQ(button_->foreColor(), SystemColour(draw::kColourButtonText));
  EXPECT_EQ(button_->backColor(), Rgb(243, 238, 219));
}

TEST_F(ModelTest, ValueIsStoredOnlyOutsidePushMode) {
  button_->setValue(true);
  EXPECT_FALSE(button_->value());
  button_->setMode(ButtonMode::Check);
  button_->setValue(true);
  EXPECT_TRUE(button_->value());
  EXPECT_EQ(button_->buttonState(), ButtonState::Down);  // a set button is drawn pressed
  button_->setButtonStyle(ButtonStyle::Classic);         // except where it has a set face
  button_->setValue(false);
  button_->setValue(true);
  EXPECT_EQ(button_->buttonState(), ButtonState::Normal);
}

TEST_F(ModelTest, PictureRules) {
  const auto red = draw::Picture::FromImage(Square(Rgb(255, 0, 0)));
  const auto green = draw::Picture::FromImage(Square(Rgb(0, 255, 0)));
  button_->setPictureHot(red);  // without a normal picture it becomes the normal one
  EXPECT_EQ(button_->pictureNormal(), red);
  EXPECT_TRUE(button_->pictureHot().IsEmpty());
  button_->setPictureHot(green);
  button_->setPictureDown(green);
  EXPECT_EQ(button_->pictureHot(), green);
  EXPECT_EQ(button_->pictureDown(), green);
  button_->setPictureNormal({});  // clearing it drops the other two
  EXPECT_TRUE(button_->pictureHot().IsEmpty());
  EXPECT_TRUE(button_->pictureDown().IsEmpty());
}

TEST_F(ModelTest, PointerRules) {
  button_->setMousePointer(11);
  button_->setHandPointer(true);
  EXPECT_EQ(button_->mousePointer(), 0);
  button_->setMouseIcon(draw::Picture::FromImage(Square(Rgb(0, 0, 0))));
  EXPECT_FALSE(button_->handPointer());
  EXPECT_EQ(button_->mousePointer(), 99);
  button_->setMouseIcon({});
  EXPECT_EQ(button_->mousePointer(), 0);
}

TEST_F(ModelTest, ChangeNotificationsCarryThePersistedNames) {
  QStringList names;
  QObject::connect(button_, &luxbutton::PropertyChanged, [&](const QString& n) { names << n; });
  button_->setMode(ButtonMode::Check);
  button_->setTooltipBackColor(0);
  button_->setToolTipType(ToolTipType::Balloon);
  button_->setToolTipIcon(1);
  button_->setEnabled(false);
  EXPECT_EQ(names, QStringList({"Value", "Mode", "TooltipBackcolor", "ToolTipType", "TooltipIcon",
                                "Enabled"}));
}

TEST_F(ModelTest, RepaintsFollowTheSetters) {
  int before = button_->redrawCount();
  button_->setShowFocusRect(true);  // stored only
  button_->setUseMaskColor(false);  // redraws only with a picture
  button_->setPictureAlign(PictureAlign::RightEdge);
  EXPECT_EQ(button_->redrawCount(), before);
  button_->setPictureNormal(draw::Picture::FromImage(Square(Rgb(1, 1, 1))));
  before = button_->redrawCount();
  button_->setUseMaskColor(true);
  button_->setPictureAlign(PictureAlign::LeftEdge);
  button_->setCaption("x");
  EXPECT_EQ(button_->redrawCount(), before + 3);
}

TEST_F(ModelTest, NewInstanceStartsAsStyle13WithBlankEffects) {
  luxbutton b(&form_);
  b.setObjectName("luxbutton3");
  b.InitProperties();
  EXPECT_EQ(b.buttonStyle(), ButtonStyle::SystemTheme);
  EXPECT_EQ(b.caption(), "luxbutton3");
  EXPECT_EQ(b.buttonFont().face, "Tahoma");
  EXPECT_FALSE(b.showFocusRect());
  EXPECT_EQ(b.pictureEffectOnOver(), PictureEffect::None);
  EXPECT_EQ(b.pictureEffectOnDown(), PictureEffect::None);
  EXPECT_EQ(b.foreColor(), SystemColour(draw::kColourButtonText));
}

TEST_F(ModelTest, Style13WithoutThemesBecomesStyle2AtTheFirstRepaint) {
  luxbutton b(&form_);
  b.setThemesAvailable(false);
  b.setBackColor(Rgb(9, 9, 9));
  b.setButtonStyle(ButtonStyle::SystemTheme);
  EXPECT_EQ(b.buttonStyle(), ButtonStyle::RoundedScheme);
  EXPECT_EQ(b.colorScheme(), ColorScheme::Blue);
  EXPECT_EQ(b.backColor(), Rgb(236, 235, 231));
}

// Three option buttons in one frame and one in another: choosing one clears only its frame.
TEST_F(ModelTest, OptionGroupIsTheContainer) {
  auto* frame_a = new QFrame(&form_);
  auto* frame_b = new QFrame(&form_);
  QList<luxbutton*> a;
  for (int i = 0; i < 3; ++i) {
    auto* b = new luxbutton(frame_a);
    b->ReadProperties({});
    b->setMode(ButtonMode::Option);
    b->setValue(true);  // from code: no group clearing
    a << b;
  }
  auto* push_in_a = new luxbutton(frame_a);
  push_in_a->ReadProperties({});
  push_in_a->setMode(ButtonMode::Check);
  push_in_a->setValue(true);
  auto* other = new luxbutton(frame_b);
  other->ReadProperties({});
  other->setMode(ButtonMode::Option);
  other->setValue(true);
  ASSERT_TRUE(a[0]->value() && a[1]->value() && a[2]->value());

  QTest::mouseClick(a[1], Qt::LeftButton, {}, a[1]->rect().center());
  EXPECT_FALSE(a[0]->value());
  EXPECT_TRUE(a[1]->value());
  EXPECT_FALSE(a[2]->value());
  EXPECT_TRUE(push_in_a->value());  // not an option button
  EXPECT_TRUE(other->value());      // another container
}

TEST_F(ModelTest, SizeRuleRaisesSidesTo220Twips) {
  button_->setSizeTwips(100, 100);
  EXPECT_EQ(button_->sizeTwips(), QSize(220, 220));
  EXPECT_EQ(button_->size(), QSize(15, 15));
  button_->setSizeTwips(1200, 450);
  EXPECT_EQ(button_->sizeTwips(), QSize(1200, 450));
  EXPECT_EQ(button_->size(), QSize(80, 30));
  button_->setGeometryTwips(6240, 1440, 1335, 300);
  EXPECT_EQ(button_->geometry(), QRect(416, 96, 89, 20));
  form_.show();
  button_->resize(10, 40);  // a resize in pixels
  EXPECT_EQ(button_->sizeTwips(), QSize(220, 600));
  EXPECT_EQ(button_->size(), QSize(15, 40));
}

}  // namespace
}  // namespace velquin::button
