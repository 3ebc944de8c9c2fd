#include "controls/button/scheme.h"

#include <algorithm>

#include "draw/rounding.h"

namespace velquin::button {

using draw::Rgb;

Colour ShiftColor(Colour rgb, double amount) {
  auto shift = [amount](int channel) {
    int v = draw::Nearest(channel + amount * 255.0);
    return amount > 0 ? std::min(v, 255) : std::max(v, 0);
  };
  return Rgb(shift(draw::Red(rgb)), shift(draw::Green(rgb)), shift(draw::Blue(rgb)));
}

std::optional<ColorScheme> StyleDefaultScheme(ButtonStyle style) {
  switch (style) {
    case ButtonStyle::RoundedPanel:
    case ButtonStyle::RoundedGlass:
      return ColorScheme::Silver;
    case ButtonStyle::SplitGradient:
    case ButtonStyle::ClassicSunken:
    case ButtonStyle::ClassicThinFlat:
    case ButtonStyle::SystemTheme:
      return std::nullopt;
    default:
      return ColorScheme::Blue;
  }
}

namespace {

// Face colour by style for the schemes Blue, Olive and Silver; styles that take the system face
// colour or keep their colour are handled by the caller.
std::optional<Colour> SchemeBackColor(ButtonStyle style, ColorScheme scheme) {
  if (scheme == ColorScheme::Custom) return std::nullopt;
  const int s = static_cast<int>(scheme);
  switch (style) {
    case ButtonStyle::RoundedScheme: {
      static const Colour c[] = {Rgb(236, 235, 231), Rgb(243, 238, 219), Rgb(240, 241, 252)};
      return c[s];
    }
    case ButtonStyle::RoundedPanel: {
      const Colour c[] = {Rgb(224, 236, 253), Rgb(232, 237, 222),
                          ShiftColor(Rgb(212, 212, 212), 0.06)};
      return c[s];
    }
    case ButtonStyle::SplitGradient: {
      const Colour c[] = {Rgb(202, 225, 252), Rgb(212, 214, 186),
                          ShiftColor(Rgb(160, 158, 186), 0.15)};
      return c[s];
    }
    case ButtonStyle::BandedGlass:
    case ButtonStyle::RoundedShaded: {
      static const Colour c[] = {Rgb(173, 209, 255), Rgb(212, 214, 186), Rgb(224, 223, 227)};
      return c[s];
    }
    case ButtonStyle::RoundedGlass: {
      static const Colour c[] = {Rgb(173, 209, 255), Rgb(212, 214, 186), Rgb(213, 214, 225)};
      return c[s];
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

SchemeColors SchemeColorsFor(ButtonStyle style, ColorScheme scheme) {
  SchemeColors out;
  switch (style) {
    case ButtonStyle::Classic:
    case ButtonStyle::ClassicThin:
    case ButtonStyle::FlatFill:
    case ButtonStyle::Toolbar:
    case ButtonStyle::RoundedSoft:
    case ButtonStyle::ClassicSunken:
    case ButtonStyle::ClassicThinFlat:
      out.back_color = draw::SystemColour(draw::kColourButtonFace);
      break;
    case ButtonStyle::SystemTheme:
      break;
    default:
      out.back_color = SchemeBackColor(style, scheme);
  }
  out.fore_color = draw::SystemColour(draw::kColourButtonText);
  out.show_focus_rect = style == ButtonStyle::Classic || style == ButtonStyle::ClassicThin ||
                        style == ButtonStyle::RoundedGlass;
  out.picture_push_on_hover = style == ButtonStyle::FlatFill;
  return out;
}

}  // namespace velquin::button
