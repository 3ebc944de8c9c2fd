#pragma once
// Rendering of a button picture onto the face: opacity, brighten/darken tables, mask colour,
// per-pixel alpha of 32-bit pictures, grey conversion and one-colour silhouettes.

#include <cstdint>
#include <optional>

#include "controls/button/face.h"
#include "controls/button/face_color.h"
#include "draw/image.h"

namespace velquin::button {

// The transparent colour of icons: they are laid on it before masking.
inline constexpr Colour kIconMaskColor = draw::Rgb(192, 192, 192);

struct PictureInk {
  int opacity = 255;  // A, 0..255
  int effect = 0;     // 0 none, 1 brighten, 2 darken (through tables)
  const EffectTables* tables = nullptr;
  bool grey = false;                 // disabled button, grey picture mode
  std::optional<Colour> silhouette;  // every drawn pixel gets this colour
  bool use_mask_color = true;
  Colour mask_color = 0xE0E0E0;
  bool is_icon = false;  // icons are masked by kIconMaskColor instead
};

// Opacity A for a state (0 Normal, 1 Hot, 2 Down).
int PictureOpacityFor(int state, bool enabled, int disabled_picture_mode, int picture_opacity,
                      int picture_opacity_on_over);
// Effect for a state: the over effect when Hot, the down effect when Down, none otherwise.
int PictureEffectFor(int state, int effect_on_over, int effect_on_down);

// Grey level of a pixel: weights .30, .59, .11, the red term rounded first.
int GreyLevel(int red, int green, int blue);

// Draws picture with its top-left corner at (x, y) on surface (opaque pixels), clipped to the
// surface. Pictures with an alpha channel use it (alpha x A / 255) and no mask colour.
void DrawPicture(draw::Image& surface, int x, int y, const draw::Image& picture,
                 const PictureInk& ink);

}  // namespace velquin::button
