// The colour rules a luxbutton applies when its style or colour scheme changes.
#pragma once

#include <optional>

#include "controls/button/button_types.h"
#include "draw/colour.h"

namespace velquin::button {

using draw::Colour;

// Every channel of an RGB colour plus amount * 255, rounded to the nearest integer (halves to
// even), capped at 255 for a positive amount and floored at 0 otherwise.
Colour ShiftColor(Colour rgb, double amount);

// The scheme a style selects when it is chosen; std::nullopt leaves the scheme as it is.
std::optional<ColorScheme> StyleDefaultScheme(ButtonStyle style);

// What applying the scheme colours assigns for a style and scheme. Colours are RGB values
// (system colours resolved at the time of the call).
struct SchemeColors {
  std::optional<Colour> back_color;  // nullopt: BackColor stays as it is
  Colour fore_color = 0;             // always the system button-text colour
  bool show_focus_rect = false;
  bool picture_push_on_hover = false;  // only ever switched on (style 4)
};
SchemeColors SchemeColorsFor(ButtonStyle style, ColorScheme scheme);

}  // namespace velquin::button
