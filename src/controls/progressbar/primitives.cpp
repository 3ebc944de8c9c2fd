#include "controls/progressbar/primitives.h"

#include <algorithm>

#include "draw/rounding.h"

namespace velquin::progressbar {

using draw::Blue;
using draw::Green;
using draw::Nearest;
using draw::Red;
using draw::Rgb;
using draw::TranslateColor;

Colour LightenColor(Colour k, int amount) {
  k = TranslateColor(k);
  auto lift = [amount](int ch) { return std::min(255, amount + ((255 - amount) * ch) / 255); };
  return Rgb(lift(Red(k)), lift(Green(k)), lift(Blue(k)));
}

Colour MixColors(Colour k1, Colour k2, int amount) {
  k1 = TranslateColor(k1);
  k2 = TranslateColor(k2);
  auto mix = [amount](int a, int b) {
    return std::clamp(Nearest(a * amount / 255.0 + b * (255 - amount) / 255.0), 0, 255);
  };
  return Rgb(mix(Red(k1), Red(k2)), mix(Green(k1), Green(k2)), mix(Blue(k1), Blue(k2)));
}

void DrawLine(int x1, int y1, int x2, int y2, Canvas& dc, Colour line_colour) {
  dc.DrawLine(x1, y1, x2, y2, TranslateColor(line_colour));
}

void DrawGradient(Colour& color1, Colour& color2, int x, int y, int x2, int y2, Canvas& dc,
                  bool& vertical_lines) {
  color1 = TranslateColor(color1);
  color2 = TranslateColor(color2);
  const int r1 = Red(color1), g1 = Green(color1), b1 = Blue(color1);
  const int n = vertical_lines ? x2 : y2;
  // Steps are single precision; with no steps they stay 0 and the one line has color1.
  float step_r = 0, step_g = 0, step_b = 0;
  if (n != 0) {
    step_r = static_cast<float>(static_cast<double>(Red(color2) - r1) / n);
    step_g = static_cast<float>(static_cast<double>(Green(color2) - g1) / n);
    step_b = static_cast<float>(static_cast<double>(Blue(color2) - b1) / n);
  }
  auto channel = [](int base, float step, int i) {
    return std::clamp(Nearest(base + static_cast<double>(step) * i), 0, 255);
  };
  for (int i = 0; i <= n; ++i) {
    Colour c = Rgb(channel(r1, step_r, i), channel(g1, step_g, i), channel(b1, step_b, i));
    if (vertical_lines) {
      DrawLine(x + i, y, x + i, y2, dc, c);
    } else {
      DrawLine(x, y + i, x2, y + i, dc, c);
    }
  }
}

void FillRectColor(const Rect& r, Colour c, Canvas& dc) { dc.FillRect(r, TranslateColor(c)); }

void FrameRectColor(const Rect& r, Colour c, Canvas& dc) { dc.FrameRect(r, TranslateColor(c)); }

}  // namespace velquin::progressbar
