#pragma once
// Colour arithmetic of the button faces: shifts, blends and gradients, in exact integer steps so
// that every face colour can be predicted to the unit.

#include "controls/button/scheme.h"
#include "draw/canvas.h"
#include "draw/colour.h"

namespace velquin::button {

using draw::Colour;

inline constexpr Colour kWhite = draw::Rgb(255, 255, 255);
inline constexpr Colour kBlack = draw::Rgb(0, 0, 0);

// Channel-wise mean, halves to even.
Colour BlendColors(Colour a, Colour b);

// Colour of step i (0-based) of an n-step gradient: from + (to - from) * i / (n - 1) per
// channel, truncating; a single step is from / 2 + to / 2.
Colour GradientStep(Colour from, Colour to, int i, int n);

// Gradient block w x h at (x, y): direction 0 runs over the columns left to right, 1 over the
// rows top to bottom. Built as one image and copied at its own size; nothing for w or h <= 0.
void GradientFill(draw::Canvas& canvas, int x, int y, int w, int h, Colour from, Colour to,
                  int direction);

}  // namespace velquin::button
