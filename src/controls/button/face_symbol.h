#pragma once
// The drop-down symbol: one glyph of the window-symbol font ("Marlett") picked by a character,
// or, where that font is not installed, the same arrows drawn pixel by pixel at the same size
// and place.

#include "draw/canvas.h"

namespace velquin::button {

// Whether the window-symbol font is installed.
bool SymbolFontAvailable();

// Draws glyph `symbol` ('3' left, '4' right, '5' up, '6' down arrow; '0' to '2' the window
// buttons) at the top-left of `rect` in a 14-pixel cell.
void DrawDropDownSymbol(draw::Canvas& canvas, const draw::Rect& rect, char symbol,
                        draw::Colour colour, bool use_symbol_font = SymbolFontAvailable());

}  // namespace velquin::button
