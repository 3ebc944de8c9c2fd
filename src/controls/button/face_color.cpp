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
  QImage block(w, h, QImage::Format_RGB32);
  const int steps = direction == 0 ? w : h;
  if (direction == 0) {
    auto* first = reinterpret_cast<std::uint32_t*>(block.scanLine(0));
    for (int i = 0; i < w; ++i) first[i] = draw::ToQRgb(GradientStep(from, to, i, steps));
    for (int row = 1; row < h; ++row)
      std::copy(first, first + w, reinterpret_cast<std::uint32_t*>(block.scanLine(row)));
  } else {
    for (int row = 0; row < h; ++row) {
      auto* line = reinterpret_cast<std::uint32_t*>(block.scanLine(row));
      std::fill(line, line + w, draw::ToQRgb(GradientStep(from, to, row, steps)));
    }
  }
  canvas.DrawImage(x, y, block);
}

}  // namespace velquin::button
