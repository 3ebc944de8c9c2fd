// Style 13: the desktop's visual style draws the push button, and its shape is the window region.
#include "controls/button/face_paint.h"
#include "draw/theme.h"

namespace velquin::button {

namespace {

draw::PushButtonState ThemeState(const FacePaint& p) {
  if (!p.face.enabled) return draw::PushButtonState::Disabled;
  switch (p.state()) {
    case ButtonState::Hot: return draw::PushButtonState::Hot;
    case ButtonState::Down: return draw::PushButtonState::Pressed;
    case ButtonState::Normal: break;
  }
  // The default look: at rest, focused or default, on the active form.
  return p.focusOrDefault() && p.face.parent_active ? draw::PushButtonState::Default
                                                     : draw::PushButtonState::Normal;
}

}  // namespace

void PaintSystemTheme(FacePaint& p) {
  const draw::Rect button_rect{0, 0, p.W, p.H};
  // The theme's region is taken over a rectangle one pixel beyond the button on every side and
  // two below it.
  const draw::Rect region_rect{-1, -1, p.W + 1, p.H + 2};
  draw::PushButtonLook look;
  look.state = ThemeState(p);
  look.window_active = p.face.parent_active;
  look.right_to_left = p.face.right_to_left;
  // Without a visual style to draw with, only the caption and picture are drawn.
  if (auto region = draw::DrawThemedPushButton(p.canvas, button_rect, region_rect, look))
    p.face.window_region = std::move(*region);
  p.Caption();
}

}  // namespace velquin::button
