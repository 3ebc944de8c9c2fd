#include <gtest/gtest.h>

#include "controls/button/face.h"
#include "controls/button/face_symbol.h"
#include "controls/button/scheme.h"
#include "draw/colour.h"

namespace velquin::button {
namespace {

using draw::Rgb;

// An enabled 100 x 30 face of `style` without caption, at rest, on the classic palette.
ButtonFace Face(ButtonStyle style, Colour back = Rgb(236, 235, 231)) {
  static const EffectTables tables = MakeEffectTables();
  ButtonFace f;
  f.width = 100;
  f.height = 30;
  f.style = style;
  f.back_color = back;
  f.fore_color = Rgb(0, 0, 0);
  f.fore_color_hover = Rgb(0, 0, 0);
  f.parent_active = true;
  f.effect_tables = &tables;
  return f;
}

draw::Canvas Paint(ButtonFace& f) {
  draw::Canvas c(f.width, f.height, draw::SystemColour(draw::kColourButtonFace));
  PaintButtonFace(c, f);
  return c;
}

struct Pixel {
  int x, y;
  Colour expected;
};

void ExpectPixels(const draw::Canvas& c, std::initializer_list<Pixel> pixels) {
  for (const Pixel& p : pixels)
    EXPECT_EQ(c.GetPixel(p.x, p.y), p.expected) << "at (" << p.x << ", " << p.y << ")";
}

TEST(FacePainter, BandedGlassBandsAre11And19RowsAtHeight30) {
  ButtonFace f = Face(ButtonStyle::BandedGlass);
  f.state = ButtonState::Hot;
  const draw::Canvas c = Paint(f);
  ExpectPixels(c, {
                      {5, 1, Rgb(255, 253, 220)},   // upper band, step 1 of 11
                      {5, 10, Rgb(255, 234, 172)},  // last upper row: the band's end colour
                      {5, 11, Rgb(255, 215, 103)},  // lower band starts
                      {5, 28, Rgb(255, 227, 150)},  // step 17 of 19 (of 18 it would be 228)
                      {5, 29, ShiftColor(Rgb(236, 235, 231), -0.34)},  // frame
                  });
}

TEST(FacePainter, RoundedSchemeOliveFocusAtRest) {
  ButtonFace f = Face(ButtonStyle::RoundedScheme, Rgb(243, 238, 219));
  f.scheme = ColorScheme::Olive;
  f.has_focus = true;
  const draw::Canvas c = Paint(f);
  ExpectPixels(c, {
                      {50, 0, Rgb(55, 98, 6)},       // frame
                      {0, 15, Rgb(55, 98, 6)},       //
                      {1, 1, Rgb(132, 175, 83)},     // corner pixels Shift(frame, +0.3)
                      {98, 28, Rgb(132, 175, 83)},   //
                      {50, 1, Rgb(177, 203, 128)},   // olive inner lines
                      {50, 2, Rgb(194, 209, 143)},   //
                      {1, 15, Rgb(160, 200, 104)},   //
                      {97, 15, Rgb(160, 200, 104)},  //
                      {50, 28, Rgb(168, 167, 102)},  //
                  });
  // Not focused: the plain face lines instead of the olive ones.
  ButtonFace plain = Face(ButtonStyle::RoundedScheme, Rgb(243, 238, 219));
  plain.scheme = ColorScheme::Olive;
  EXPECT_EQ(Paint(plain).GetPixel(50, 28), ShiftColor(Rgb(243, 238, 219), -0.09));
}

TEST(FacePainter, FlatFillCustomSchemeHotColours) {
  ButtonFace f = Face(ButtonStyle::FlatFill, Rgb(200, 100, 50));
  f.scheme = ColorScheme::Custom;
  f.state = ButtonState::Hot;
  ExpectPixels(Paint(f), {{50, 15, Rgb(208, 108, 58)}, {0, 0, Rgb(169, 69, 19)}});
}

TEST(FacePainter, SystemThemeWithoutThemesFallsBackToRoundedSchemeBlue) {
  ButtonFace f = Face(ButtonStyle::SystemTheme, Rgb(10, 20, 30));
  f.themes_available = false;
  const draw::Canvas c = Paint(f);
  EXPECT_TRUE(f.fell_back_to_rounded_scheme);
  EXPECT_EQ(f.style, ButtonStyle::RoundedScheme);
  EXPECT_EQ(f.scheme, ColorScheme::Blue);
  EXPECT_EQ(f.back_color, Rgb(236, 235, 231));
  ExpectPixels(c, {{50, 0, Rgb(0, 60, 116)}, {1, 1, ShiftColor(Rgb(0, 60, 116), +0.3)}});
  ASSERT_TRUE(f.window_region);
  EXPECT_FALSE(f.window_region->Contains(0, 0));  // the rounded region of style 2
  EXPECT_TRUE(f.window_region->Contains(1, 0));

  ButtonFace themed = Face(ButtonStyle::SystemTheme);
  themed.themes_available = true;
  Paint(themed);
  EXPECT_FALSE(themed.fell_back_to_rounded_scheme);
  EXPECT_EQ(themed.style, ButtonStyle::SystemTheme);
  ASSERT_TRUE(themed.window_region);
  EXPECT_TRUE(themed.window_region->Contains(50, 15));
}

// Disabled faces: glass (also when pressed) and the styles without a disabled face show the face
// at rest, only the caption turns grey. Glyphs differ between text engines, so the test counts
// the pixels that changed instead of naming them.
TEST(FacePainter, DisabledFacesShowTheRestingFaceWithGreyCaption) {
  struct Case {
    ButtonStyle style;
    ButtonState state;
  };
  const Case cases[] = {
      {ButtonStyle::RoundedGlass, ButtonState::Normal},
      {ButtonStyle::RoundedGlass, ButtonState::Down},
      {ButtonStyle::FlatFill, ButtonState::Normal},
      {ButtonStyle::SplitGradient, ButtonState::Normal},
      {ButtonStyle::Toolbar, ButtonState::Normal},
      {ButtonStyle::BandedGlass, ButtonState::Normal},
  };
  const Colour grey = draw::SystemColour(draw::kColourGrayText);
  for (const Case& k : cases) {
    ButtonFace rest = Face(k.style, Rgb(213, 214, 225));
    rest.caption = "Scan";
    ButtonFace off = rest;
    off.enabled = false;
    off.state = k.state;
    const draw::Canvas a = Paint(rest);
    const draw::Canvas b = Paint(off);
    int grey_text = 0;
    int other_diffs = 0;
    for (int y = 0; y < a.Height(); ++y)
      for (int x = 0; x < a.Width(); ++x) {
        if (a.GetPixel(x, y) == b.GetPixel(x, y)) continue;
        if (b.GetPixel(x, y) == grey)
          ++grey_text;
        else
          ++other_diffs;
      }
    EXPECT_GT(grey_text, 10) << static_cast<int>(k.style);
    EXPECT_EQ(other_diffs, 0) << static_cast<int>(k.style);
  }
}

TEST(FacePainter, ToolbarOverwritesForeColorAtEveryPaint) {
  ButtonFace f = Face(ButtonStyle::Toolbar);
  f.fore_color = Rgb(200, 0, 0);
  Paint(f);
  EXPECT_EQ(f.fore_color_after_paint, draw::SystemColour(draw::kColourButtonText));
  f.state = ButtonState::Down;
  Paint(f);
  EXPECT_EQ(f.fore_color_after_paint, Rgb(255, 255, 255));
}

TEST(FacePainter, PictureWithMaskColourAndPlacement) {
  draw::Image pic(8, 8, draw::ToPixel(Rgb(224, 224, 224)));
  pic.SetPixelAt(4, 4, draw::ToPixel(Rgb(255, 0, 0)));
  for (int align : {0, 2}) {
    ButtonFace f = Face(ButtonStyle::Classic, Rgb(100, 100, 100));
    f.caption = "Go";
    f.caption_align = static_cast<CaptionAlign>(align);
    f.picture_align = PictureAlign::Background;
    f.picture_normal.image = pic;
    const draw::Canvas c = Paint(f);
    EXPECT_EQ(f.picture_rect, (draw::Rect{46, 11, 54, 19})) << align;  // centred whatever the caption
    EXPECT_EQ(c.GetPixel(50, 15), Rgb(255, 0, 0));
    EXPECT_EQ(c.GetPixel(47, 12), Rgb(100, 100, 100));  // mask colour skipped
  }
  // Pressed classic faces move the picture by one pixel.
  ButtonFace down = Face(ButtonStyle::Classic);
  down.picture_normal.image = pic;
  down.state = ButtonState::Down;
  Paint(down);
  EXPECT_EQ(down.picture_rect, (draw::Rect{47, 12, 55, 20}));
}

// Without the window-symbol font the arrow is drawn in its 14-pixel cell at the top-left of the
// symbol rectangle (W - 15, Nearest(H / 2 - 7), W, Nearest(H / 2 + 8)).
TEST(FacePainter, DropDownArrowAndSeparator) {
  ButtonFace f = Face(ButtonStyle::Classic, Rgb(100, 100, 100));
  f.drop_down_symbol = 6;
  f.drop_down_separator = true;
  f.fore_color = Rgb(0, 0, 200);
  const draw::Canvas c = Paint(f);
  EXPECT_EQ(f.drop_down_rect, (draw::Rect{85, 8, 100, 23}));
  if (!SymbolFontAvailable()) {
    // Down arrow centred on (92, 15): rows of 7, 5, 3 and 1 pixels from y = 14.
    ExpectPixels(c, {{89, 14, Rgb(0, 0, 200)},
                     {95, 14, Rgb(0, 0, 200)},
                     {92, 17, Rgb(0, 0, 200)},
                     {88, 14, Rgb(100, 100, 100)},
                     {91, 17, Rgb(100, 100, 100)},
                     {92, 18, Rgb(100, 100, 100)}});
  }
  // Separator: a dark and a light line beside the symbol, from the face colour at (7, 7).
  ExpectPixels(c, {{84, 3, ShiftColor(Rgb(100, 100, 100), -0.1)},
                   {85, 26, ShiftColor(Rgb(100, 100, 100), +0.1)},
                   {84, 27, Rgb(100, 100, 100)}});

  // The other arrows, drawn straight onto a plain canvas.
  draw::Canvas arrows(14, 14, Rgb(255, 255, 255));
  DrawDropDownSymbol(arrows, {0, 0, 14, 14}, '4', Rgb(0, 0, 0), false);
  ExpectPixels(arrows, {{6, 4, Rgb(0, 0, 0)},
                        {6, 10, Rgb(0, 0, 0)},
                        {9, 7, Rgb(0, 0, 0)},
                        {9, 6, Rgb(255, 255, 255)}});
}

TEST(FacePainter, CaptionEffectsDrawBeforeTheCaption) {
  ButtonFace f = Face(ButtonStyle::Classic, Rgb(100, 100, 100));
  f.caption = std::string("I");  // a move: GCC 12 warns wrongly on assigning a one-letter literal
  f.caption_effects = CaptionEffects::GreyShadow;
  const draw::Canvas shadowed = Paint(f);
  // The caption's rightmost ink column has its grey shadow one pixel right and down, wherever
  // the platform's text engine put the ink.
  int ink_x = -1, ink_y = -1;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x)
      if (shadowed.GetPixel(x, y) == Rgb(0, 0, 0) && x >= ink_x) {
        ink_x = x;
        ink_y = y;
      }
  ASSERT_GE(ink_x, 0);
  EXPECT_EQ(shadowed.GetPixel(ink_x + 1, ink_y + 1), Rgb(192, 192, 192));
}

// The rounded styles take the desktop's round region over (0, 0, W + 1, H + 1): with corner
// ellipses of 3 and of 4 pixels it leaves out the four corner pixels and nothing else.
TEST(FacePainter, RoundedStylesLeaveOutTheirCornerPixels) {
  for (ButtonStyle style : {ButtonStyle::RoundedScheme, ButtonStyle::Toolbar}) {
    const draw::Region region = ButtonRegion(style, 20, 10);
    EXPECT_EQ(region.Bounds(), (draw::Rect{0, 0, 20, 10})) << int(style);
    int left_out = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x) left_out += !region.Contains(x, y);
    EXPECT_EQ(left_out, 4) << int(style);
    for (const draw::Point corner : {draw::Point{0, 0}, {19, 0}, {0, 9}, {19, 9}})
      EXPECT_FALSE(region.Contains(corner.x, corner.y)) << int(style);
  }
  EXPECT_TRUE(ButtonRegion(ButtonStyle::Classic, 20, 10).Contains(0, 0));
}

}  // namespace
}  // namespace velquin::button
