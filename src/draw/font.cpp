#include "draw/font.h"

#include "draw/platform.h"
#include "draw/rounding.h"

namespace velquin::draw {

FontSpec DefaultFont() { return FontSpec{}; }

int PixelHeight(const FontSpec& f) {
  if (f.pixel_height > 0) return f.pixel_height;
  int px = Nearest(f.points * 96.0 / 72.0);
  return px > 0 ? px : 1;
}

bool FontInstalled(std::string_view face) { return platform::FontFaceInstalled(face); }

}  // namespace velquin::draw
