// What each platform gives the drawing layer: text drawn and measured by the platform's own text
// engine, the desktop's system colours and the visual style's push button. The canvas draws all
// its geometry itself; only these functions differ between platforms.
//
// Exactly one body defines them, chosen by CMake: src/draw/qt (Qt's text layout, palette and
// widget style) or src/draw/win32 (GDI text, GetSysColor, the visual-styles interface). Callers
// outside src/draw use canvas.h, colour.h and theme.h instead.
#pragma once

#include <optional>
#include <string_view>

#include "draw/colour.h"
#include "draw/flags.h"
#include "draw/font.h"
#include "draw/geometry.h"
#include "draw/image.h"
#include "draw/region.h"
#include "draw/theme.h"

namespace velquin::draw::platform {

// The desktop's current RGB value of system colour `index` (0..30).
Colour SystemColour(int index);

// How text is put down: its colour, and the background filled behind it when `opaque`. Colours
// are resolved RGB values.
struct TextInk {
  Colour colour = 0;
  bool opaque = false;
  Colour background = 0;
};

// Width and height of one line of non-empty text ("&" access-key marks as in RenderText).
Size MeasureTextLine(const FontSpec& font, std::string_view text, TextFormat format);
// The CalcRect form of RenderText for non-empty text: sets rect's right and bottom to fit the
// text and returns its height.
int CalculateTextRect(const FontSpec& font, std::string_view text, Rect& rect, TextFormat format);
// Draws non-empty text into `rect` of `pixels` with the TextFormat rules of Canvas::DrawTextIn,
// writing 0xFF into the fourth byte of every pixel it changes. Returns the text's height.
int RenderText(Image& pixels, const FontSpec& font, std::string_view text, const Rect& rect,
               TextFormat format, const TextInk& ink);
// Whether the text engine has a font of this face (not a substitute).
bool FontFaceInstalled(std::string_view face);

// Whether the desktop draws controls with a visual style now.
bool ThemesActive();
// Draws the visual style's push button over `rect` of `pixels` and returns the region the style
// gives it over `region_rect`; std::nullopt, with nothing drawn, when there is no style to draw.
std::optional<Region> DrawThemedPushButton(Image& pixels, const Rect& rect, const Rect& region_rect,
                                           const PushButtonLook& look);

}  // namespace velquin::draw::platform
