#include "controls/button/face_color.h"

#include <algorithm>

#include "draw/rounding.h"

namespace velquin::button {

using draw::Blue;
using draw::Green;
using draw::Red;

Colour BlendColors(Colour a, Colour b) {
  a = draw::TranslateColor(a);
  b = draw::TranslateColor(b);
  auto mean = [](int x, int y) { return draw::Nearest((x + y) / 2.0); };
  return draw::Rgb(mean(Red(a), Red(b)), mean(Green(a), Green(b)), mean(Blue(a), Blue(b)));
}

Colour GradientStep(Colour from, Colour to, int i, int n) {
  if (n == 1)
    return draw::Rgb(Red(from) / 2 + Red(to) / 2, Green(from) / 2 + Green(to) / 2,
                     Blue(from) / 2 + Blue(to) / 2);
  auto step = [&](int f, int t) { return f + draw::DivTrunc((t - f) * i, n - 1); };
  return draw::Rgb(step(Red(from), Red(to)), step(Green(from), Green(to)),
                   step(Blue(from), Blue(to)));
}

void GradientFill(draw::Canvas& canvas, int x, int y, int w, int h, Colour from, Colour to,
                  int direction) {
  if (w <= 0 || h <= 0) return;
  from = draw::TranslateColor(from);
  to = draw::TranslateColor(to);
  draw::Image block(w, h);
  const int steps = direction == 0 ? w : h;
  if (direction == 0) {
    std::uint32_t* first = block.Row(0);
    for (int i = 0; i < w; ++i) first[i] = draw::ToPixel(GradientStep(from, to, i, steps));
    for (int row = 1; row < h; ++row) std::copy(first, first + w, block.Row(row));
  } else {
    for (int row = 0; row < h; ++row) {
      std::uint32_t* line = block.Row(row);
      std::fill(line, line + w, draw::ToPixel(GradientStep(from, to, row, steps)));
    }
  }
  canvas.DrawImage(x, y, block);
}

}  // namespace velquin::button
