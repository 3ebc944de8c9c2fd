#include "controls/progressbar/styles.h"

#include <array>
#include <cstdint>
#include <string>

#include "controls/progressbar/primitives.h"
#include "draw/rounding.h"

namespace velquin::progressbar {
namespace {

using draw::Brush;
using draw::Nearest;

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kBlack = 0x000000;
constexpr Colour kSilver = 0xC0C0C0;

void Gradient(Colour c1, Colour c2, int x, int y, int x2, int y2, Canvas& dc, bool vertical) {
  DrawGradient(c1, c2, x, y, x2, y2, dc, vertical);
}

int BlockLength(int style) { return style == 0 ? 6 : 0; }
constexpr int kGapWidth = 2;

// The rounded three-tone frame of styles 0 to 2 and 9.
void PaintFrame(Canvas& dc, int W, int H) {
  DrawLine(2, 1, W - 2, 1, dc, 0xBEBEBE);
  DrawLine(2, H - 2, W - 2, H - 2, dc, 0xEFEFEF);
  DrawLine(1, 2, 1, H - 2, dc, 0xBEBEBE);
  DrawLine(2, 2, 2, H - 2, dc, 0xEFEFEF);
  DrawLine(2, 2, W - 2, 2, dc, 0xEFEFEF);
  DrawLine(W - 2, 2, W - 2, H - 2, dc, 0xEFEFEF);
  FrameRectColor({0, 0, W, H}, 0x686868, dc);
  struct Px {
    int x, y;
    Colour c;
  };
  const Px corners[] = {
      {0, 0, 0xFFFFFF},         {0, 1, 0xA6ABAC},         {0, 2, 0x7D7E7F},
      {1, 0, 0xA7ABAC},         {1, 1, 0x777777},         {2, 0, 0x7D7E7F},
      {2, 2, 0xBEBEBE},         {0, H - 1, 0xFFFFFF},     {1, H - 1, 0xA6ABAC},
      {2, H - 1, 0x7D7E7F},     {0, H - 3, 0x7D7E7F},     {0, H - 2, 0xA7ABAC},
      {1, H - 2, 0x777777},     {W - 1, 0, 0xFFFFFF},     {W - 1, 1, 0xBEBEBE},
      {W - 1, 2, 0x7D7E7F},     {W - 2, 2, 0xBEBEBE},     {W - 2, 1, 0x686868},
      {W - 1, H - 1, 0xFFFFFF}, {W - 1, H - 2, 0xBEBEBE}, {W - 1, H - 3, 0x7D7E7F},
      {W - 2, H - 2, 0x777777}, {W - 2, H - 1, 0xBEBEBE}, {W - 3, H - 1, 0x7D7E7F},
  };
  for (const auto& p : corners) dc.SetPixel(p.x, p.y, p.c);
}

// Styles 0, 1, 2 and every unlisted number: shaded bar (cut into blocks for style 0, three
// marquee blocks for style 2) inside the rounded frame.
void PaintClassic(Canvas& dc, const ProgressBarLook& look) {
  const int W = look.width;
  const int H = look.height;
  const int P = look.percent;
  const Colour C = look.colour;
  Rect bar{3, 0, W, H};
  if (look.vertical) {
    bar.top = BarEdge(look);
  } else {
    bar.right = BarEdge(look);
  }

  if (!look.vertical) {
    if (bar.right <= 14) bar.right = 12;  // a nearly empty bar still shows columns 4 to 11
    const int fill_right = bar.right + 4 > W ? bar.right - 4 : bar.right;
    if (look.style != 2) {
      const Colour L = LightenColor(C, 150);
      Gradient(L, C, 4, 3, fill_right, 6, dc, false);
      FillRectColor({4, 8, fill_right, H - 8}, C, dc);
      Gradient(C, L, 4, H - 10, fill_right, 6, dc, false);
    } else {
      for (int i = 0; i < 3; ++i) {
        int x = Nearest(12 * i + bar.right - (100 - P) / 100.0 * 45);
        Gradient(LightenColor(C, 220 - 40 * i), LightenColor(C, 200 - 40 * i), x, 3, 9, H - 2, dc,
                 true);
      }
    }
  } else {
    const int T = bar.top;
    if (look.style != 2) {
      const Colour L = LightenColor(C, 150);
      Gradient(L, C, 4, T, 4, H, dc, true);
      FillRectColor({9, T, W - 8, H}, C, dc);
      Gradient(C, L, W - 8, T, 4, H, dc, true);
    } else {
      for (int i = 0; i < 3; ++i) {
        int top = 12 * i + T;
        Gradient(LightenColor(C, 220 - 40 * i), LightenColor(C, 200 - 40 * i), W - 2, top, 2, 9,
                 dc, false);
      }
    }
  }

  if (look.style == 0) {
    Rect block{3, 0, W, H};
    if (!look.vertical) {
      for (int x = bar.left + 6; x <= bar.right; x += 8) {
        block.left = x + 1;
        block.right = x + 3;
        FillRectColor(block, kWhite, dc);
      }
    } else {
      for (int y = bar.bottom; y >= bar.top + 6; y -= 8) {
        block.top = y - 2;
        block.bottom = y;
        FillRectColor(block, kWhite, dc);
      }
    }
  }
  PaintFrame(dc, W, H);
}

// Flat: light outline, very light fill (over the outline's right column at 100 %).
void PaintFlat(Canvas& dc, const ProgressBarLook& look) {
  const int W = look.width, H = look.height;
  FrameRectColor({0, 0, W, H}, LightenColor(look.colour, 100), dc);
  FillRectColor({1, 1, Nearest(look.percent / 100.0 * W), H - 1}, LightenColor(look.colour, 180),
                dc);
}

// Etched border, fill ramping from left to right over the filled length.
void PaintEtched(Canvas& dc, const ProgressBarLook& look) {
  const int W = look.width, H = look.height;
  dc.DrawEdge({0, 0, W, H}, draw::Edge::Etched, draw::EdgeFlags::Rect);
  int n = Nearest(look.percent / 100.0 * (W - 4));
  Gradient(LightenColor(look.colour, 140), LightenColor(look.colour, 200), 2, 2, n, H - 3, dc,
           true);
}

// Shaded full-width track, a lighter shaded bar and its end line.
void PaintTrack(Canvas& dc, const ProgressBarLook& look) {
  const int W = look.width, H = look.height;
  const Colour C = look.colour;
  FrameRectColor({0, 0, W, H}, LightenColor(C, 10), dc);
  int E = Nearest(look.percent / 101.0 * W);
  Gradient(C, LightenColor(C, 100), 2, 2, W - 2, H - 5, dc, false);
  Gradient(LightenColor(C, 250), C, 3, 3, E, H - 6, dc, false);
  DrawLine(E, 2, E, H - 2, dc, LightenColor(C, 25));
}

// Dark: on black, a bar ramping up from black.
void PaintDark(Canvas& dc, const ProgressBarLook& look) {
  const int W = look.width, H = look.height;
  const Colour C = look.colour;
  FrameRectColor({0, 0, W, H}, MixColors(C, kBlack, 200), dc);
  int n = Nearest(look.percent / 100.0 * (W - 5));
  Gradient(kBlack, LightenColor(MixColors(C, kBlack, 100), 10), 2, 2, n, H - 2, dc, true);
}

// Hatched bar inside a bump edge; the gaps between the hatch lines are a light tint.
void PaintHatched(Canvas& dc, const ProgressBarLook& look) {
  const int W = look.width, H = look.height;
  const Colour C = look.colour;
  dc.DrawEdge({0, 0, W, H}, draw::Edge::Bump, draw::EdgeFlags::Rect);
  // The pattern number is taken as a 16-bit value; one outside 0..5 gives no brush.
  Brush brush =
      Brush::Hatch(static_cast<draw::HatchStyle>(static_cast<std::int16_t>(look.brush_style)), C);
  Colour old_bk = dc.SetBkColor(LightenColor(C, 140));
  draw::BkMode old_mode = dc.SetBkMode(draw::BkMode::Opaque);  // whatever the text left behind
  dc.FillRect({2, 2, Nearest(look.percent / 101.0 * W), H - 2}, brush);
  dc.SetBkMode(old_mode);
  dc.SetBkColor(old_bk);
}

// Picture tiled from the surface origin inside a thin sunken border.
void PaintPicture(Canvas& dc, const ProgressBarLook& look) {
  const int W = look.width, H = look.height;
  dc.DrawEdge({0, 0, W, H}, draw::Edge::SunkenOuter, draw::EdgeFlags::Rect);
  if (look.image == nullptr || look.image->IsNull()) return;
  Brush previous = dc.SetBrush(Brush::Pattern(*look.image));
  dc.PatBlt(2, 2, Nearest(look.percent / 101.0 * W), H - 4, draw::Rop::PatCopy);
  dc.SetBrush(previous);
}

// Glass: white-to-silver track, two-tone bar, rounded frame.
void PaintGlass(Canvas& dc, const ProgressBarLook& look) {
  const int W = look.width, H = look.height;
  const Colour C = look.colour;
  int E = Nearest(look.percent / 100.0 * (W - 4));
  int half = Nearest((H - 3) / 2.0);
  Gradient(kWhite, kSilver, 2, 2, W - 3, half, dc, false);
  Gradient(MixColors(kSilver, kBlack, 255), kSilver, 2, half, W - 3, half, dc, false);
  Gradient(LightenColor(C, 150), MixColors(C, kBlack, 180), 2, 2, E, half, dc, false);
  Gradient(MixColors(C, kBlack, 190), C, 2, half, E, half, dc, false);
  PaintFrame(dc, W, H);
}

using Painter = void (*)(Canvas&, const ProgressBarLook&);
constexpr std::array<Painter, 10> kPainters = {
    PaintClassic, PaintClassic, PaintClassic, PaintFlat,    PaintEtched,
    PaintTrack,   PaintDark,    PaintHatched, PaintPicture, PaintGlass,
};

}  // namespace

int BarEdge(const ProgressBarLook& look) {
  const int W = look.width;
  const int H = look.height;
  const int step = BlockLength(look.style) + kGapWidth;
  double f = look.percent / 98.0;  // full from 98 % on
  if (f < 0) f = 0;
  if (!look.vertical) {
    int m = Nearest((W - 3) * f + 3);
    return std::max(3, m - draw::ModTrunc(m - 3, step));
  }
  int m = Nearest(H * (1 - f));
  return std::min(H, m - draw::ModTrunc(m - H, step));
}

std::string ProgressText(const ProgressBarLook& look) {
  if (look.style == 2) return "Gathering Required Information";
  return std::to_string(look.percent) + " %";
}

void PaintStyle(Canvas& dc, const ProgressBarLook& look) {
  Painter p = look.style >= 0 && look.style < static_cast<int>(kPainters.size())
                  ? kPainters[static_cast<std::size_t>(look.style)]
                  : PaintClassic;
  ProgressBarLook effective = look;
  if (p == PaintClassic && (look.style < 0 || look.style > 2)) effective.style = 1;
  p(dc, effective);
}

void PaintText(Canvas& dc, const ProgressBarLook& look) {
  if (!look.show_text) return;
  const int W = look.width, H = look.height, P = look.percent;
  const bool split = look.style == 6 || look.style == 9;
  const std::string text = ProgressText(look);

  draw::FontSpec previous = dc.SetFont(look.font);
  dc.SetBkMode(draw::BkMode::Transparent);
  dc.SetTextColor(look.style == 6 ? kSilver : Colour{0x000040});
  Rect measured{0, 0, W, H};
  dc.DrawTextIn(text, measured, draw::TextFormat::CalcRect);
  const int w = measured.Width(), h = measured.Height();
  Rect r;
  r.left = Nearest(W / 2.0 - w / 2.0);
  r.top = Nearest(H / 2.0 - h / 2.0);
  r.right = r.left + w;
  r.bottom = r.top + h;
  const double B = P / 100.0 * W;
  if (!(split && B > r.right)) dc.DrawTextIn(text, r, draw::TextFormat::SingleLine);
  dc.SetFont(previous);

  if (split && B >= r.left) {
    previous = dc.SetFont(look.font);
    dc.SetBkMode(draw::BkMode::Transparent);
    dc.SetTextColor(look.style == 6 ? LightenColor(look.colour, 80) : kWhite);
    r.right = Nearest(P / 100.0 * W);
    dc.DrawTextIn(text, r, draw::TextFormat::SingleLine);
    dc.SetFont(previous);
  }
}

void PaintProgressBar(Canvas& dc, const ProgressBarLook& look) {
  FillRectColor({0, 0, look.width, look.height}, look.style == 6 ? kBlack : kWhite, dc);
  PaintStyle(dc, look);
  PaintText(dc, look);
}

}  // namespace velquin::progressbar
