// progressbar-gallery [OUTPUT.png]: draws every progress bar style at 0, 37 and 100 percent,
// without and with its text, horizontally and (styles 0 to 2) vertically, into one PNG.
#include "controls/progressbar/gallery/gallery.h"

#include <cstdio>
#include <fstream>
#include <string>

#include "controls/progressbar/xp_progressbar.h"
#include "draw/canvas.h"
#include "draw/picture.h"

using namespace velquin;
using progressbar::XP_ProgressBar;

namespace {

constexpr int kPercents[] = {0, 37, 100};
constexpr draw::Colour kGreen = 0x00FF00;
constexpr draw::Colour kPage = draw::Rgb(236, 236, 236);

draw::Image Tile() {
  draw::Image tile(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      tile.SetPixelAt(x, y, draw::ToPixel(((x + y) / 2) % 2 ? draw::Rgb(40, 120, 200)
                                                            : draw::Rgb(250, 210, 80)));
  return tile;
}

// Paints one control the way the window does and copies it onto the page at (x, y).
void Place(draw::Canvas& page, int x, int y, int w, int h, int style, bool vertical, int percent,
           bool text) {
  XP_ProgressBar bar(w, h);
  bar.SetColor(kGreen);
  bar.SetScrolling(style);
  bar.SetOrientation(vertical ? 1 : 0);
  bar.SetShowText(text);
  bar.SetBrushStyle(style == 7 ? 4 : 0);
  if (style == 8) bar.SetImage(Tile());
  (void)bar.SetValue(percent);
  draw::Canvas own(w, h);
  progressbar::CanvasSurface surface(own);
  bar.DrawProgressBar(surface);
  page.BitBlt(x, y, w, h, own, 0, 0);
}

void Label(draw::Canvas& page, int x, int y, const std::string& text) {
  page.DrawTextIn(text, draw::Rect{x, y, x + 300, y + 16},
                  draw::TextFormat::SingleLine | draw::TextFormat::NoPrefix);
}

bool WritePng(const char* path, const draw::Image& image) {
  const std::vector<std::uint8_t> png = draw::EncodePng(image);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  return !png.empty() && out.good();
}

}  // namespace

int velquin::progressbar::RunGallery(int argc, char** argv) {
  const char* out = argc > 1 ? argv[1] : "progressbar-gallery.png";
  draw::PinSystemColours(draw::ClassicSystemColours());

  constexpr int kLabelW = 90, kBarW = 200, kBarH = 20, kCellW = 212, kRowH = 30, kTop = 26;
  constexpr int kVertW = 20, kVertH = 100, kVertCell = 30;
  const int page_w = kLabelW + 6 * kCellW;
  const int vert_top = kTop + 10 * kRowH + 30;
  const int page_h = vert_top + 20 + kVertH + 10;
  draw::Canvas page(page_w, page_h, kPage);
  page.SetBkMode(draw::BkMode::Transparent);

  for (int c = 0; c < 6; ++c) {
    Label(page, kLabelW + c * kCellW, 6,
          "P " + std::to_string(kPercents[c % 3]) + (c >= 3 ? ", text" : ""));
  }
  for (int style = 0; style < 10; ++style) {
    int y = kTop + style * kRowH;
    Label(page, 6, y + 2, std::string("Scrolling ") + std::to_string(style));
    for (int c = 0; c < 6; ++c)
      Place(page, kLabelW + c * kCellW, y, kBarW, kBarH, style, false, kPercents[c % 3], c >= 3);
  }

  Label(page, 6, vert_top + 2, "Orientation 1");
  for (int style = 0; style < 3; ++style) {
    int x0 = kLabelW + style * (6 * kVertCell + 40);
    Label(page, x0, vert_top + 2, std::string("Scrolling ") + std::to_string(style) + ": P 0, 37, 100; text");
    for (int c = 0; c < 6; ++c)
      Place(page, x0 + c * kVertCell, vert_top + 20, kVertW, kVertH, style, true,
            kPercents[c % 3], c >= 3);
  }

  if (!WritePng(out, page.Pixels())) {
    std::fprintf(stderr, "progressbar-gallery: cannot write %s\n", out);
    return 1;
  }
  return 0;
}
