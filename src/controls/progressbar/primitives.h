// Colour mixing and the line, gradient and rectangle helpers the progress bar styles are built
// from. Every colour given is resolved first, so system colour references work everywhere.
#pragma once

#include "draw/canvas.h"
#include "draw/colour.h"

namespace velquin::progressbar {

using draw::Canvas;
using draw::Colour;
using draw::Rect;

// Mixes `k` towards white: each channel becomes amount + (255 - amount) * ch / 255 (integer
// division), at most 255. Amount 0 keeps the colour, 255 gives white.
Colour LightenColor(Colour k, int amount);

// Per channel k1 * amount / 255 + k2 * (255 - amount) / 255, to the nearest integer (halves to
// even). Amount 255 gives k1, 0 gives k2; with k2 black it darkens k1 to amount / 255.
Colour MixColors(Colour k1, Colour k2, int amount);

// A one-pixel solid line; the end point is not painted.
void DrawLine(int x1, int y1, int x2, int y2, Canvas& dc, Colour line_colour);

// A colour ramp drawn as a run of lines from `color1` to `color2`; both are resolved and written
// back. With `vertical_lines`, x2 is a count of steps (x2 + 1 columns from x, rows y to y2 - 1);
// otherwise y2 is the count (y2 + 1 rows from y, columns x to x2 - 1). A count of 0 draws one line
// in color1; a negative count draws nothing.
void DrawGradient(Colour& color1, Colour& color2, int x, int y, int x2, int y2, Canvas& dc,
                  bool& vertical_lines);

void FillRectColor(const Rect& r, Colour c, Canvas& dc);
void FrameRectColor(const Rect& r, Colour c, Canvas& dc);

}  // namespace velquin::progressbar
