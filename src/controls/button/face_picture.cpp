#include "controls/button/face_picture.h"

#include <QPainter>
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

// The picture as straight (non-premultiplied) 32-bit pixels; icons are flattened onto their mask
// colour, other pictures without alpha are read as opaque colour.
QImage SourcePixels(const QImage& picture, const PictureInk& ink, bool& use_alpha) {
  use_alpha = !ink.is_icon && picture.hasAlphaChannel();
  if (use_alpha) return picture.convertToFormat(QImage::Format_ARGB32);
  if (ink.is_icon) {
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(QColor::fromRgb(draw::ToQRgb(kIconMaskColor)));
    QPainter p(&flat);
    p.drawImage(0, 0, picture);
    p.end();
    return flat;
  }
  return picture.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

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

void DrawPicture(QImage& surface, int x, int y, const QImage& picture, const PictureInk& ink) {
  if (picture.isNull() || ink.opacity <= 0) return;
  if (surface.depth() != 32) surface.convertTo(QImage::Format_RGB32);
  bool use_alpha = false;
  const QImage src = SourcePixels(picture, ink, use_alpha);
  const Colour transparent = ink.is_icon ? kIconMaskColor : draw::TranslateColor(ink.mask_color);
  const bool masked = !use_alpha && ink.use_mask_color;
  const std::uint32_t transparent_argb = draw::ToQRgb(transparent) & 0x00FFFFFF;
  const bool solid = ink.silhouette.has_value();
  const Rgb silhouette = FromColour(ink.silhouette.value_or(0));
  static const EffectTables kDefaultTables = MakeEffectTables();
  const EffectTables& tables = ink.tables ? *ink.tables : kDefaultTables;
  const bool use_table = ink.effect == 1 || ink.effect == 2;
  const auto& table = ink.effect == 1 ? tables.brighten : tables.darken;
  const int A = std::min(ink.opacity, 255);

  const int x0 = std::max(0, -x);
  const int y0 = std::max(0, -y);
  const int x1 = std::min(src.width(), surface.width() - x);
  const int y1 = std::min(src.height(), surface.height() - y);
  for (int sy = y0; sy < y1; ++sy) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(src.constScanLine(sy));
    auto* out = reinterpret_cast<std::uint32_t*>(surface.scanLine(sy + y));
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
