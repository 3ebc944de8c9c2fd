#include "controls/button/scheme.h"

#include <algorithm>

#include "draw/rounding.h"

namespace velquin::button {

using draw::Rgb;

Colour ShiftColor(Colour rgb, double amount) {
  // The amount is held in single precision and the sum formed in double precision, as the stored
  // forms' amounts always were: decimal amounts then land just beside the halves
  // (0.3 x 255 = 76.500003, 0.1 x 255 = 25.5000004) and that decides their rounding.
  const double step = static_cast<double>(static_cast<float>(amount)) * 255.0;
  auto shift = [amount, step](int channel) {
    int v = draw::Nearest(channel + step);
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
  const int s = static_cast<int>(scheme);
  if (s < 0 || s > 2) return std::nullopt;  // Custom, or a value stored by a newer version
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
