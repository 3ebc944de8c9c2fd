// What a luxbutton face painter reads and hands back. The control's state machine fills one
// ButtonFace before every paint; PaintButtonFace draws it onto the canvas and reports back the few
// things a paint changes in the control (the state a set button is drawn in, the style-13
// fallback, the caption colour style 6 forces, the window region style 13 takes from the theme).
// A painter never touches the control itself.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "controls/button/button_types.h"
#include "draw/canvas.h"
#include "draw/colour.h"
#include "draw/font.h"
#include "draw/image.h"
#include "draw/region.h"

namespace velquin::button {

using draw::Colour;

// Per-channel lookup tables for the picture effects, built once per control:
// brighten[i] = min(255, i * 293 / 255), darken[i] = i * 217 / 255 (integer division).
struct EffectTables {
  std::array<std::uint8_t, 256> brighten{};
  std::array<std::uint8_t, 256> darken{};
};
EffectTables MakeEffectTables();

// A picture as the painter gets it: decoded once when the property is set. `is_icon` pictures
// are drawn onto (192, 192, 192) and use that as their transparent colour instead of MaskColor.
struct FacePicture {
  draw::Image image;
  bool is_icon = false;
  bool IsEmpty() const { return image.IsNull(); }
};

struct ButtonFace {
  // ---- Filled by the control before every paint ----
  int width = 0;   // client size in pixels
  int height = 0;
  // In/out: the state to draw. A set button (mode not Push, Value true) arrives already as Down
  // unless the style is Classic or Toolbar; a painter that changes the state writes it back here.
  ButtonState state = ButtonState::Normal;

  ButtonStyle style = ButtonStyle::ClassicThin;
  ColorScheme scheme = ColorScheme::Blue;
  // Colours as stored: 0x00BBGGRR or a system colour reference (resolve with TranslateColor).
  Colour back_color = 0;
  Colour fore_color = 0;
  Colour fore_color_hover = 0;
  bool enabled = true;
  ButtonMode mode = ButtonMode::Push;
  bool value = false;
  bool show_focus_rect = false;

  // Input flags of the state machine.
  bool has_focus = false;
  bool is_default = false;     // the form's default button
  bool parent_active = false;  // the parent form is the active window
  bool over = false;           // the cursor is over the control
  bool mouse_held = false;     // left button went down on the control and is still down
  bool user_mode = true;       // the form runs (false while it is being designed)

  std::string caption;  // UTF-8, with "&" access-key marks
  draw::FontSpec font;
  bool right_to_left = false;
  CaptionAlign caption_align = CaptionAlign::Center;
  CaptionEffects caption_effects = CaptionEffects::None;

  FacePicture picture_normal;
  FacePicture picture_hot;
  FacePicture picture_down;
  PictureAlign picture_align = PictureAlign::LeftOfCaption;
  bool picture_shadow = false;
  int picture_opacity = 255;
  int picture_opacity_on_over = 255;
  PictureEffect picture_effect_on_over = PictureEffect::Brighten;
  PictureEffect picture_effect_on_down = PictureEffect::Darken;
  DisabledPictureMode disabled_picture_mode = DisabledPictureMode::Faint;
  bool picture_push_on_hover = false;
  Colour mask_color = 0xE0E0E0;
  bool use_mask_color = true;

  int drop_down_symbol = 0;  // 0: none; otherwise its first decimal digit picks the arrow glyph
  bool drop_down_separator = false;

  const EffectTables* effect_tables = nullptr;  // never null when the control paints

  // In/out: whether the desktop draws with a visual style (draw/theme.h), for style 13. Empty
  // until a painter first needs it; the painter asks and leaves the answer here, and the control
  // keeps it for later paints.
  std::optional<bool> themes_available;

  // ---- Handed back by the paint ----
  // Style 13 without themes: the painter drew style 2 with scheme Blue (after applying
  // SchemeColorsFor(RoundedScheme, Blue) to this face) and sets this; the control then takes
  // style 2 and scheme 0 for good and runs its scheme colours.
  bool fell_back_to_rounded_scheme = false;
  // Style 6 overwrites ForeColor at every paint; the control stores this value.
  std::optional<Colour> fore_color_after_paint;
  // A face whose routine rebuilds the window region (ButtonRegion) or, for style 13, takes it
  // from the theme, leaves it here; the control applies it as its mask.
  std::optional<draw::Region> window_region;
  // Layout results, kept by the control for inspection (empty when there is no picture or symbol).
  draw::Rect caption_rect;
  draw::Rect picture_rect;
  draw::Rect drop_down_rect;
};

// Draws the whole button. The canvas is width x height and arrives cleared to the control
// window's background colour (the system button face).
void PaintButtonFace(draw::Canvas& canvas, ButtonFace& face);

// The window region of a style at a size: rounded corners for styles 2, 3, 7, 9 (corner ellipse
// 3 x 3) and 6, 10 (4 x 4) over the rounded rectangle (0, 0, W + 1, H + 1), built as the
// desktop's CreateRoundRectRgn builds it (draw::Region::RoundRect); the plain rectangle for the
// others. Style 13's region comes from the paint (window_region).
draw::Region ButtonRegion(ButtonStyle style, int width, int height);

}  // namespace velquin::button
