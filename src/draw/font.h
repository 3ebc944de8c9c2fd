// A font as the controls store and select it: face, size in points (or a pixel height), weight and
// style. Each platform's text engine turns it into its own font (src/draw/qt, src/draw/win32).
#pragma once

#include <string>
#include <string_view>

namespace velquin::draw {

struct FontSpec {
  std::string face = "MS Sans Serif";  // UTF-8
  double points = 8.25;
  int weight = 400;     // 400 normal, 700 bold
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  int charset = 0;      // 2: the symbol character set
  int pixel_height = 0; // > 0: character height in pixels, used instead of `points`

  bool operator==(const FontSpec&) const = default;
};

// The default font of a new control: "MS Sans Serif", 8.25 points, normal weight.
FontSpec DefaultFont();

// Character height in pixels at 96 dots per inch (8.25 points -> 11).
int PixelHeight(const FontSpec& f);

// Whether the platform's text engine has a font of this face itself (not a stand-in).
bool FontInstalled(std::string_view face);

}  // namespace velquin::draw
