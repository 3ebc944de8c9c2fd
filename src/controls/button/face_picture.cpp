#include "controls/button/face_picture.h"

#include <algorithm>

#include "draw/rounding.h"

namespace velquin::button {

namespace {

struct Rgb {
  int r, g, b;
};

Rgb FromArgb(std::uint32_t argb) {
  return {int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF)};
}

std::uint32_t ToArgb(Rgb c) {
  return 0xFF000000u | (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | std::uint32_t(c.b);
}

Rgb FromColour(Colour c) {
  c = draw::TranslateColor(c);
  return {draw::Red(c), draw::Green(c), draw::Blue(c)};
}

// An icon with transparent parts laid onto its mask colour.
draw::Image OnMaskColour(const draw::Image& icon) {
  draw::Image flat = icon;
  const Rgb grey = FromArgb(draw::ToPixel(kIconMaskColor));
  for (int y = 0; y < flat.Height(); ++y) {
    std::uint32_t* row = flat.Row(y);
    for (int x = 0; x < flat.Width(); ++x) {
      const int a = int(row[x] >> 24);
      const Rgb s = FromArgb(row[x]);
      auto over = [a](int src, int dst) { return (src * a + dst * (255 - a) + 127) / 255; };
      row[x] = ToArgb({over(s.r, grey.r), over(s.g, grey.g), over(s.b, grey.b)});
    }
  }
  flat.MakeOpaque();
  return flat;
}

}  // namespace

EffectTables MakeEffectTables() {
  EffectTables t;
  for (int i = 0; i < 256; ++i) {
    t.brighten[i] = static_cast<std::uint8_t>(std::min(255, i * 293 / 255));
    t.darken[i] = static_cast<std::uint8_t>(i * 217 / 255);
  }
  return t;
}

int PictureOpacityFor(int state, bool enabled, int disabled_picture_mode, int picture_opacity,
                      int picture_opacity_on_over) {
  if (state == 1) return picture_opacity_on_over;
  if (enabled) return picture_opacity;
  if (disabled_picture_mode == 1) return draw::Nearest(0.75 * picture_opacity);
  return 52;
}

int PictureEffectFor(int state, int effect_on_over, int effect_on_down) {
  if (state == 1) return effect_on_over;
  if (state == 2) return effect_on_down;
  return 0;
}

int GreyLevel(int red, int green, int blue) {
  return draw::Nearest(draw::Nearest(0.30 * red) + 0.59 * green + 0.11 * blue);
}

void DrawPicture(draw::Image& surface, int x, int y, const draw::Image& picture,
                 const PictureInk& ink) {
  if (picture.IsNull() || ink.opacity <= 0) return;
  // Straight (non-premultiplied) alpha for pictures that have it; other pictures are read as
  // opaque colour, and icons are first laid onto their mask colour.
  const bool use_alpha = !ink.is_icon && picture.HasAlpha();
  draw::Image flattened;
  if (ink.is_icon && picture.HasAlpha()) flattened = OnMaskColour(picture);
  const draw::Image& src = flattened.IsNull() ? picture : flattened;
  const Colour transparent = ink.is_icon ? kIconMaskColor : draw::TranslateColor(ink.mask_color);
  const bool masked = !use_alpha && ink.use_mask_color;
  const std::uint32_t transparent_argb = draw::ToPixel(transparent) & 0x00FFFFFF;
  const bool solid = ink.silhouette.has_value();
  const Rgb silhouette = FromColour(ink.silhouette.value_or(0));
  static const EffectTables kDefaultTables = MakeEffectTables();
  const EffectTables& tables = ink.tables ? *ink.tables : kDefaultTables;
  const bool use_table = ink.effect == 1 || ink.effect == 2;
  const auto& table = ink.effect == 1 ? tables.brighten : tables.darken;
  const int A = std::min(ink.opacity, 255);

  const int x0 = std::max(0, -x);
  const int y0 = std::max(0, -y);
  const int x1 = std::min(src.Width(), surface.Width() - x);
  const int y1 = std::min(src.Height(), surface.Height() - y);
  for (int sy = y0; sy < y1; ++sy) {
    const std::uint32_t* in = src.Row(sy);
    std::uint32_t* out = surface.Row(sy + y);
    for (int sx = x0; sx < x1; ++sx) {
      const std::uint32_t px = in[sx];
      int a = A;
      if (use_alpha) {
        a = int(px >> 24) * A / 255;
      } else if (masked && (px & 0x00FFFFFF) == transparent_argb) {
        continue;
      }
      if (a == 0) continue;
      Rgb s = FromArgb(px);
      if (solid) {
        s = silhouette;
      } else if (ink.grey) {
        const int g = GreyLevel(s.r, s.g, s.b);
        s = {g, g, g};
      } else if (use_table) {
        s = {table[s.r], table[s.g], table[s.b]};
      }
      std::uint32_t& dst = out[sx + x];
      if (a < 255) {
        const Rgb d = FromArgb(dst);
        s = {(s.r * a + d.r * (255 - a)) / 256, (s.g * a + d.g * (255 - a)) / 256,
             (s.b * a + d.b * (255 - a)) / 256};
      }
      dst = ToArgb(s);
    }
  }
}

}  // namespace velquin::button
