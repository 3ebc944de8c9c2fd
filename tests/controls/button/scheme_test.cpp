#include "controls/button/scheme.h"

#include <gtest/gtest.h>

#include "draw/colour.h"

namespace velquin::button {
namespace {

using draw::Rgb;

TEST(SchemeTest, ShiftColorRoundsHalvesToEvenAndClamps) {
  EXPECT_EQ(ShiftColor(Rgb(250, 10, 128), 0.1), Rgb(255, 36, 154));
  EXPECT_EQ(ShiftColor(Rgb(250, 10, 128), -0.1), Rgb(224, 0, 102));
  EXPECT_EQ(ShiftColor(Rgb(212, 212, 212), 0.06), Rgb(227, 227, 227));
}

TEST(SchemeTest, StyleSelectsItsSchemeOrKeepsIt) {
  const std::pair<ButtonStyle, std::optional<ColorScheme>> cases[] = {
      {ButtonStyle::RoundedPanel, ColorScheme::Silver},
      {ButtonStyle::RoundedGlass, ColorScheme::Silver},
      {ButtonStyle::Classic, ColorScheme::Blue},
      {ButtonStyle::FlatFill, ColorScheme::Blue},
      {ButtonStyle::RoundedShaded, ColorScheme::Blue},
      {ButtonStyle::SplitGradient, std::nullopt},
      {ButtonStyle::ClassicSunken, std::nullopt},
      {ButtonStyle::ClassicThinFlat, std::nullopt},
      {ButtonStyle::SystemTheme, std::nullopt},
  };
  for (const auto& [style, scheme] : cases) {
    EXPECT_EQ(StyleDefaultScheme(style), scheme) << int(style);
  }
}

TEST(SchemeTest, SchemeColorsByStyleAndScheme) {
  const Colour face = draw::SystemColour(draw::kColourButtonFace);
  struct Case {
    ButtonStyle style;
    ColorScheme scheme;
    std::optional<Colour> back;
    bool focus_rect;
  };
  const Case cases[] = {
      {ButtonStyle::RoundedScheme, ColorScheme::Blue, Rgb(236, 235, 231), false},
      {ButtonStyle::RoundedScheme, ColorScheme::Olive, Rgb(243, 238, 219), false},
      {ButtonStyle::RoundedScheme, ColorScheme::Custom, std::nullopt, false},
      {ButtonStyle::RoundedPanel, ColorScheme::Silver, Rgb(227, 227, 227), false},
      {ButtonStyle::SplitGradient, ColorScheme::Silver, Rgb(198, 196, 224), false},
      {ButtonStyle::BandedGlass, ColorScheme::Silver, Rgb(224, 223, 227), false},
      {ButtonStyle::RoundedShaded, ColorScheme::Blue, Rgb(173, 209, 255), false},
      {ButtonStyle::RoundedGlass, ColorScheme::Silver, Rgb(213, 214, 225), true},
      {ButtonStyle::Classic, ColorScheme::Olive, face, true},
      {ButtonStyle::ClassicThin, ColorScheme::Blue, face, true},
      {ButtonStyle::ClassicThinFlat, ColorScheme::Silver, face, false},
      {ButtonStyle::SystemTheme, ColorScheme::Blue, std::nullopt, false},
  };
  for (const Case& c : cases) {
    const SchemeColors got = SchemeColorsFor(c.style, c.scheme);
    EXPECT_EQ(got.back_color, c.back) << int(c.style) << "/" << int(c.scheme);
    EXPECT_EQ(got.show_focus_rect, c.focus_rect) << int(c.style);
    EXPECT_EQ(got.fore_color, draw::SystemColour(draw::kColourButtonText));
    EXPECT_EQ(got.picture_push_on_hover, c.style == ButtonStyle::FlatFill);
  }
  EXPECT_TRUE(SchemeColorsFor(ButtonStyle::FlatFill, ColorScheme::Olive).picture_push_on_hover);
  // A scheme number outside the four leaves the face colour alone.
  EXPECT_EQ(SchemeColorsFor(ButtonStyle::RoundedScheme, static_cast<ColorScheme>(7)).back_color,
            std::nullopt);
}

}  // namespace
}  // namespace velquin::button
