// The desktop's visual style ("theme") for the one control the system draws with it: the push
// button. Where the desktop has no visual style, or themes are off, the caller draws its own
// classic face instead.
#pragma once

#include <optional>

#include "draw/geometry.h"
#include "draw/region.h"

namespace velquin::draw {

class Canvas;

// The push button's state as the visual style knows it, numbered as the style's parts are.
enum class PushButtonState : int { Normal = 1, Hot = 2, Pressed = 3, Disabled = 4, Default = 5 };

struct PushButtonLook {
  PushButtonState state = PushButtonState::Normal;
  bool window_active = true;  // the window holding the button is the active one
  bool right_to_left = false;
};

// Whether the desktop draws controls with a visual style now (on Windows IsAppThemed; on Linux a
// Qt application with a widget style). PinThemesActive overrides the answer, so tests take the
// themed or the classic path on purpose.
bool ThemesActive();
void PinThemesActive(std::optional<bool> active);

// Draws the visual style's push button over `rect` of the canvas and returns the window region
// the style gives a button drawn over `region_rect`. std::nullopt, with nothing drawn, when there
// is no visual style to draw with: themes pinned off, or the style's button part cannot be opened.
std::optional<Region> DrawThemedPushButton(Canvas& canvas, const Rect& rect,
                                           const Rect& region_rect, const PushButtonLook& look);

}  // namespace velquin::draw
