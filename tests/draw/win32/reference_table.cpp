// The reference table: each drawing case runs once through the canvas and once through the same
// calls of GDI into a top-down 32-bit DIB section of the same size and starting pixels, and the
// two results must be equal pixel for pixel (the fourth byte aside). Where they may differ, the
// case says so with an allowance and its reason; the test fails when a case differs beyond it.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "draw/canvas.h"
#include "draw/colour.h"
#include "draw/flags.h"
#include "draw/image.h"
#include "draw/region.h"
#include "draw/win32/gdi.h"

namespace velquin::draw {
namespace {

// A known difference: at most `pixels` pixels may differ, each by at most `channel` in any of
// red, green and blue.
struct Allowance {
  const char* reason = nullptr;  // null: no pixel may differ
  int pixels = 0;
  int channel = 0;
};

struct DrawingCase {
  std::string name;
  int width;
  int height;
  std::function<void(Canvas&)> canvas;
  std::function<void(HDC)> gdi;
  Allowance allowance;
};

// Wine's GDI (the one these tests run on) paints a block of negative width or height one pixel
// right of and below where Windows paints it: Windows fills x + w .. x and y + h .. y, Wine
// x + w + 1 .. x + 1 (Wine bug 27584, with tests recorded on Windows). The canvas follows
// Windows, so such a block differs in its first and last columns and rows.
Allowance WineNegativeExtents(int w, int h) {
  return {"Wine bug 27584: a negative width or height is painted one pixel off on Wine",
          2 * (std::abs(w) + std::abs(h)), 255};
}

// Windows inverts the focus rectangle's outline through a checkerboard brush aligned to the
// surface origin, as the canvas does; Wine draws it with an alternate-dot pen around the outline
// (R2_NOT), whose dots may take the other half of the checkerboard. Any outline pixel may differ.
Allowance WineFocusDots(const Rect& r) {
  return {"Wine draws the focus dots with a pen along the outline, not a checkerboard brush",
          2 * (r.Width() + r.Height()), 255};
}

void Add(std::vector<DrawingCase>& cases, std::string name, int width, int height,
         std::function<void(Canvas&)> canvas, std::function<void(HDC)> gdi,
         Allowance allowance = {}) {
  cases.push_back({std::move(name), width, height, std::move(canvas), std::move(gdi), allowance});
}

// The pixels every case starts from: no two neighbours alike, so that inverting, transparent and
// missing pixels all show.
Image StartPixels(int w, int h) {
  Image image(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.SetPixelAt(x, y, ToPixel(Rgb(40 + (x * 23) % 200, 30 + (y * 41) % 210,
                                         (x * 7 + y * 13) % 256)));
  return image;
}

// A top-down 32-bit DIB section selected into a memory device context, holding `start`.
class Dib {
 public:
  explicit Dib(const Image& start) : width_(start.Width()), height_(start.Height()) {
    dc_ = CreateCompatibleDC(nullptr);
    const BITMAPINFO info = win32::DibHeader(width_, height_);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    std::memcpy(bits_, start.Bytes(), start.ByteCount());
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~Dib() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Dib(const Dib&) = delete;
  Dib& operator=(const Dib&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  Image Pixels() const {
    GdiFlush();
    Image out(width_, height_);
    std::memcpy(out.Bytes(), bits_, out.ByteCount());
    out.MakeOpaque();
    return out;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};

// The 5 x 3 tile of the pattern-brush cases: odd sizes, so a tiling that does not start at the
// surface origin shows.
Image PatternTile() {
  Image tile(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      tile.SetPixelAt(x, y, ToPixel(Rgb(50 * x, 255 - 60 * y, (x + y) % 2 != 0 ? 255 : 0)));
  return tile;
}

// GDI objects made for one call and deleted after it, as the controls make theirs.
template <typename Make, typename Use>
void WithBrush(Make make, Use use) {
  HBRUSH brush = make();
  use(brush);
  DeleteObject(brush);
}

HBRUSH PatternBrush() {
  const Image tile = PatternTile();
  const BITMAPINFO info = win32::DibHeader(tile.Width(), tile.Height());
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::memcpy(bits, tile.Bytes(), tile.ByteCount());
  HBRUSH brush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);  // the brush keeps its own copy
  return brush;
}

void GdiFill(HDC dc, const Rect& r, Colour c) {
  WithBrush([&] { return CreateSolidBrush(c); }, [&](HBRUSH b) {
    const RECT rect{r.left, r.top, r.right, r.bottom};
    FillRect(dc, &rect, b);
  });
}

void GdiLine(HDC dc, int x1, int y1, int x2, int y2, Colour c) {
  HPEN pen = CreatePen(PS_SOLID, 1, c);
  HGDIOBJ previous = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, previous);
  DeleteObject(pen);
}

constexpr Colour kInk = Rgb(200, 30, 90);
constexpr Colour kPaper = Rgb(250, 240, 120);

const char* HatchName(HatchStyle s) {
  static const char* const names[] = {"horizontal", "vertical", "forward diagonal",
                                      "backward diagonal", "cross", "diagonal cross"};
  return names[Bits(s)];
}

void AddFills(std::vector<DrawingCase>& cases) {
  const Rect r{3, 2, 37, 21};  // not on the 8 x 8 grid of the hatches
  Add(cases, "FillRect solid", 40, 24, [=](Canvas& c) { c.FillRect(r, kInk); },
                   [=](HDC dc) { GdiFill(dc, r, kInk); });
  const Rect inverted{30, 20, 5, 4};
  Add(cases, "FillRect solid, right and bottom before left and top", 40, 24,
      [=](Canvas& c) { c.FillRect(inverted, kInk); }, [=](HDC dc) { GdiFill(dc, inverted, kInk); },
      WineNegativeExtents(inverted.Width(), inverted.Height()));
  for (int s = 0; s <= 5; ++s) {
    const auto style = static_cast<HatchStyle>(s);
    for (BkMode mode : {BkMode::Opaque, BkMode::Transparent}) {
      const bool opaque = mode == BkMode::Opaque;
      Add(cases,
          std::string("FillRect hatch ") + HatchName(style) + (opaque ? ", opaque" : ", transparent"),
           40, 24,
           [=](Canvas& c) {
             c.SetBkMode(mode);
             c.SetBkColor(kPaper);
             c.FillRect(r, Brush::Hatch(style, kInk));
           },
           [=](HDC dc) {
             SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
             SetBkColor(dc, kPaper);
             WithBrush([&] { return CreateHatchBrush(s, kInk); }, [&](HBRUSH b) {
               const RECT rect{r.left, r.top, r.right, r.bottom};
               FillRect(dc, &rect, b);
             });
           });
    }
  }
  Add(cases, "FillRect pattern, tiled from the surface origin", 40, 24,
                   [=](Canvas& c) { c.FillRect(r, Brush::Pattern(PatternTile())); },
                   [=](HDC dc) {
                     WithBrush(PatternBrush, [&](HBRUSH b) {
                       const RECT rect{r.left, r.top, r.right, r.bottom};
                       FillRect(dc, &rect, b);
                     });
                   });
}

void AddFrames(std::vector<DrawingCase>& cases) {
  const Rect frames[] = {{2, 3, 30, 17},   {5, 5, 6, 15},  {4, 8, 25, 9},
                         {10, 10, 10, 14}, {0, 0, 32, 20}, {25, 15, 3, 2}};
  for (const Rect& r : frames) {
    Add(cases, "FrameRect (" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
                   std::to_string(r.right) + ", " + std::to_string(r.bottom) + ")",
                     32, 20, [=](Canvas& c) { c.FrameRect(r, kInk); },
                     [=](HDC dc) {
                       WithBrush([&] { return CreateSolidBrush(kInk); }, [&](HBRUSH b) {
                         const RECT rect{r.left, r.top, r.right, r.bottom};
                         FrameRect(dc, &rect, b);
                       });
                     });
  }
}

void AddEdges(std::vector<DrawingCase>& cases) {
  // The edges the controls draw: the button faces' raised, sunken and thin raised edges, and the
  // progress bar's etched, bump and thin sunken borders, all four sides.
  const struct {
    const char* name;
    Edge edge;
  } edges[] = {
      {"raised", Edge::Raised},         {"sunken", Edge::Sunken},
      {"raised inner", Edge::RaisedInner}, {"etched", Edge::Etched},
      {"bump", Edge::Bump},             {"sunken outer", Edge::SunkenOuter},
  };
  for (const auto& e : edges) {
    const Rect r{0, 0, 30, 14};
    const Edge edge = e.edge;
    Add(cases, std::string("DrawEdge ") + e.name + ", all sides", 30, 14,
                     [=](Canvas& c) { c.DrawEdge(r, edge, EdgeFlags::Rect); },
                     [=](HDC dc) {
                       RECT rect{r.left, r.top, r.right, r.bottom};
                       DrawEdge(dc, &rect, Bits(edge), BF_RECT);
                     });
  }
}

void AddFocusRects(std::vector<DrawingCase>& cases) {
  // Inside a face, at an even and an odd origin, and over the whole surface.
  const Rect rects[] = {{2, 2, 28, 16}, {3, 1, 20, 12}, {0, 0, 30, 18}};
  for (const Rect& r : rects) {
    Add(cases, "DrawFocusRect (" + std::to_string(r.left) + ", " + std::to_string(r.top) +
                         ") " + std::to_string(r.Width()) + " x " + std::to_string(r.Height()),
                     30, 18, [=](Canvas& c) { c.DrawFocusRect(r); },
                     [=](HDC dc) {
                       const RECT rect{r.left, r.top, r.right, r.bottom};
                       DrawFocusRect(dc, &rect);
                     },
        WineFocusDots(r));
  }
}

void AddLines(std::vector<DrawingCase>& cases) {
  // From the middle of a 33 x 33 surface to end points in every direction: along the axes, the
  // diagonals, and slopes whose steps fall exactly half way between two pixels.
  const int runs[][2] = {{12, 0}, {12, 12}, {12, 6}, {12, 4}, {12, 3}, {10, 4}, {11, 7}, {9, 2}};
  std::set<std::pair<int, int>> seen;
  for (const auto& run : runs) {
    for (int turn = 0; turn < 8; ++turn) {
      int dx = run[0];
      int dy = run[1];
      if (turn & 1) std::swap(dx, dy);
      if (turn & 2) dx = -dx;
      if (turn & 4) dy = -dy;
      if (!seen.insert({dx, dy}).second) continue;
      const int x2 = 16 + dx;
      const int y2 = 16 + dy;
      Add(cases, "LineTo (16, 16) to (" + std::to_string(x2) + ", " + std::to_string(y2) + ")",
                       33, 33, [=](Canvas& c) { c.DrawLine(16, 16, x2, y2, kInk); },
                       [=](HDC dc) { GdiLine(dc, 16, 16, x2, y2, kInk); });
    }
  }
  Add(cases, "LineTo from the current position, three segments", 33, 33,
                   [](Canvas& c) {
                     c.SetPenColour(kInk);
                     c.MoveTo(2, 3);
                     c.LineTo(30, 3);
                     c.LineTo(30, 29);
                     c.LineTo(4, 20);
                   },
                   [](HDC dc) {
                     HPEN pen = CreatePen(PS_SOLID, 1, kInk);
                     HGDIOBJ previous = SelectObject(dc, pen);
                     MoveToEx(dc, 2, 3, nullptr);
                     LineTo(dc, 30, 3);
                     LineTo(dc, 30, 29);
                     LineTo(dc, 4, 20);
                     SelectObject(dc, previous);
                     DeleteObject(pen);
                   });
}

void AddPatBlts(std::vector<DrawingCase>& cases) {
  const struct {
    const char* name;
    Rop rop;
  } rops[] = {{"PATCOPY", Rop::PatCopy},     {"PATINVERT", Rop::PatInvert}, {"DSTINVERT", Rop::DstInvert},
              {"BLACKNESS", Rop::Blackness}, {"WHITENESS", Rop::Whiteness}};
  const struct {
    const char* name;
    std::function<Brush()> canvas;
    std::function<HBRUSH()> gdi;
  } brushes[] = {
      {"solid", [] { return Brush::Solid(kInk); }, [] { return CreateSolidBrush(kInk); }},
      {"cross hatch", [] { return Brush::Hatch(HatchStyle::Cross, kInk); },
       [] { return CreateHatchBrush(HS_CROSS, kInk); }},
      {"pattern", [] { return Brush::Pattern(PatternTile()); }, PatternBrush},
  };
  struct Block {
    int x, y, w, h;
  };
  const Block blocks[] = {{3, 2, 30, 17}, {33, 19, -30, -17}};
  for (const auto& rop : rops) {
    for (const auto& brush : brushes) {
      // The brush matters only to the operations that read it.
      if (rop.rop != Rop::PatCopy && rop.rop != Rop::PatInvert && &brush != &brushes[0]) continue;
      for (const Block& b : blocks) {
        if (b.w < 0 && &brush != &brushes[0]) continue;
        const Rop r = rop.rop;
        const auto make_canvas = brush.canvas;
        const auto make_gdi = brush.gdi;
        Add(cases, std::string("PatBlt ") + rop.name + ", " + brush.name + " brush" +
                             (b.w < 0 ? ", negative width and height" : ""),
                         40, 24,
                         [=](Canvas& c) {
                           c.SetBkColor(kPaper);
                           c.SetBrush(make_canvas());
                           c.PatBlt(b.x, b.y, b.w, b.h, r);
                         },
                         [=](HDC dc) {
                           SetBkColor(dc, kPaper);
                           WithBrush(make_gdi, [&](HBRUSH h) {
                             HGDIOBJ previous = SelectObject(dc, h);
                             PatBlt(dc, b.x, b.y, b.w, b.h, Bits(r));
                             SelectObject(dc, previous);
                           });
                         },
            b.w < 0 ? WineNegativeExtents(b.w, b.h) : Allowance{});
      }
    }
  }
}

void AddRoundRegions(std::vector<DrawingCase>& cases) {
  // The button regions (W + 1, H + 1 with 3 x 3 or 4 x 4 corners) at the window's button sizes,
  // and other sizes and corners: round, flat, taller than wide, larger than the rectangle.
  const int shapes[][6] = {
      {0, 0, 90, 21, 3, 3},   {0, 0, 106, 26, 3, 3}, {0, 0, 90, 21, 4, 4},  {0, 0, 113, 31, 4, 4},
      {2, 3, 30, 20, 10, 10}, {1, 1, 39, 23, 7, 5},  {0, 0, 40, 30, 40, 30}, {4, 2, 20, 28, 6, 15},
      {0, 0, 16, 10, 30, 30}, {3, 3, 13, 13, 2, 2},  {3, 3, 13, 13, 1, 1},  {30, 20, 5, 4, 6, 6},
  };
  for (const auto& s : shapes) {
    const int l = s[0], t = s[1], r = s[2], b = s[3], ew = s[4], eh = s[5];
    const int w = std::max(l, r) + 2;
    const int h = std::max(t, b) + 2;
    Add(cases, "CreateRoundRectRgn (" + std::to_string(l) + ", " + std::to_string(t) + ", " +
                         std::to_string(r) + ", " + std::to_string(b) + ") corners " +
                         std::to_string(ew) + " x " + std::to_string(eh) + ", filled",
                     w, h,
                     [=](Canvas& c) {
                       const Region region = Region::RoundRect(l, t, r, b, ew, eh);
                       for (const Rect& rect : region.Rects()) c.FillRect(rect, kInk);
                     },
                     [=](HDC dc) {
                       HRGN region = CreateRoundRectRgn(l, t, r, b, ew, eh);
                       WithBrush([&] { return CreateSolidBrush(kInk); },
                                 [&](HBRUSH brush) { FillRgn(dc, region, brush); });
                       DeleteObject(region);
                     });
  }
}

// The controls' gradient block (the button faces' GradientFill): step i of n steps has, per
// channel, from + (to - from) * i / (n - 1), truncated, and a single step from / 2 + to / 2; the
// steps run over the columns or, with `rows`, over the rows.
void ControlsGradient(Canvas& c, int x, int y, int w, int h, Colour from, Colour to, bool rows) {
  const int n = rows ? h : w;
  auto step = [&](int i) {
    auto channel = [&](int f, int t) { return n == 1 ? f / 2 + t / 2 : f + (t - f) * i / (n - 1); };
    return Rgb(channel(Red(from), Red(to)), channel(Green(from), Green(to)),
               channel(Blue(from), Blue(to)));
  };
  for (int i = 0; i < n; ++i)
    c.FillRect(rows ? Rect{x, y + i, x + w, y + i + 1} : Rect{x + i, y, x + i + 1, y + h}, step(i));
}

void GdiGradient(HDC dc, int x, int y, int w, int h, Colour from, Colour to, bool rows) {
  auto vertex = [](int vx, int vy, Colour c) {
    return TRIVERTEX{vx, vy, static_cast<COLOR16>(Red(c) << 8), static_cast<COLOR16>(Green(c) << 8),
                     static_cast<COLOR16>(Blue(c) << 8), 0};
  };
  TRIVERTEX vertices[2] = {vertex(x, y, from), vertex(x + w, y + h, to)};
  GRADIENT_RECT rect{0, 1};
  GradientFill(dc, vertices, 2, &rect, 1, rows ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

void AddGradients(std::vector<DrawingCase>& cases) {
  // msimg32's GradientFill spreads the ramp over the block and would reach `to` one step past
  // its end; the controls' rule reaches it on the last step, and a one-step block takes the
  // mean of both ends. By design the two differ, by at most |to - from| / (n - 1) + 1.
  const struct {
    int w, h;
    bool rows;
    Colour from, to;
  } blocks[] = {
      {60, 1, true, Rgb(255, 255, 255), Rgb(255, 255, 255)},
      {60, 2, true, Rgb(255, 255, 255), Rgb(255, 255, 255)},
      {60, 2, true, Rgb(0, 0, 0), Rgb(255, 255, 255)},
      {60, 14, true, Rgb(250, 10, 128), Rgb(20, 200, 90)},
      {40, 10, false, Rgb(0, 0, 0), Rgb(255, 255, 255)},
      {1, 10, false, Rgb(200, 100, 50), Rgb(10, 20, 30)},
      {40, 10, false, Rgb(90, 180, 45), Rgb(90, 180, 45)},
  };
  for (const auto& b : blocks) {
    const int n = b.rows ? b.h : b.w;
    const int spread = std::max({std::abs(Red(b.to) - Red(b.from)), std::abs(Green(b.to) - Green(b.from)),
                                 std::abs(Blue(b.to) - Blue(b.from))});
    const Allowance by_design{"by design: the controls' last step is the end colour (one step: the mean of "
                              "both ends); GDI's ramp would reach it one step past the block",
                              b.w * b.h, spread / std::max(1, n - 1) + 1};
    char name[128];
    std::snprintf(name, sizeof name, "GradientFill %s, %d x %d, (%d, %d, %d) to (%d, %d, %d)",
                  b.rows ? "rows (GRADIENT_FILL_RECT_V)" : "columns (GRADIENT_FILL_RECT_H)", b.w, b.h,
                  Red(b.from), Green(b.from), Blue(b.from), Red(b.to), Green(b.to), Blue(b.to));
    Add(cases, name, b.w + 4, b.h + 4,
        [=](Canvas& c) { ControlsGradient(c, 2, 2, b.w, b.h, b.from, b.to, b.rows); },
        [=](HDC dc) { GdiGradient(dc, 2, 2, b.w, b.h, b.from, b.to, b.rows); },
        b.from == b.to && n > 1 ? Allowance{} : by_design);
  }
}

void AddPixels(std::vector<DrawingCase>& cases) {
  Add(cases, "SetPixelV inside and outside the surface", 8, 8,
                   [](Canvas& c) {
                     c.SetPixel(0, 0, kInk);
                     c.SetPixel(7, 7, kPaper);
                     c.SetPixel(8, 3, kInk);
                     c.SetPixel(-1, 3, kInk);
                   },
                   [](HDC dc) {
                     SetPixelV(dc, 0, 0, kInk);
                     SetPixelV(dc, 7, 7, kPaper);
                     SetPixelV(dc, 8, 3, kInk);
                     SetPixelV(dc, -1, 3, kInk);
                   });
}

std::vector<DrawingCase> ReferenceTable() {
  std::vector<DrawingCase> cases;
  AddFills(cases);
  AddFrames(cases);
  AddEdges(cases);
  AddFocusRects(cases);
  AddLines(cases);
  AddPatBlts(cases);
  AddRoundRegions(cases);
  AddGradients(cases);
  AddPixels(cases);
  return cases;
}

struct Difference {
  int pixels = 0;
  int channel = 0;  // the largest difference in any channel
  std::string where;  // the first few pixels: (x, y) canvas/GDI as RRGGBB
};

Difference Compare(const Image& canvas, const Image& gdi) {
  Difference d;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      const std::uint32_t pa = canvas.PixelAt(x, y) & 0xFFFFFFu;
      const std::uint32_t pb = gdi.PixelAt(x, y) & 0xFFFFFFu;
      const Colour a = FromPixel(pa);
      const Colour b = FromPixel(pb);
      if (a == b) continue;
      ++d.pixels;
      d.channel = std::max({d.channel, std::abs(Red(a) - Red(b)), std::abs(Green(a) - Green(b)),
                            std::abs(Blue(a) - Blue(b))});
      if (d.pixels <= 6) {
        char text[64];
        std::snprintf(text, sizeof text, " (%d, %d) %06X/%06X", x, y, static_cast<unsigned>(pa),
                      static_cast<unsigned>(pb));
        d.where += text;
      }
    }
  }
  return d;
}

TEST(GdiReference, EveryCaseDrawsWhatGdiDrawsOrDiffersOnlyAsItsAllowanceSays) {
  PinSystemColours(std::nullopt);  // the edges in the system's own colours, on both sides
  const std::vector<DrawingCase> cases = ReferenceTable();
  int equal = 0;
  int allowed = 0;
  for (const DrawingCase& k : cases) {
    SCOPED_TRACE(k.name);
    const Image start = StartPixels(k.width, k.height);
    Canvas canvas(start);
    k.canvas(canvas);
    Dib dib(start);
    k.gdi(dib.dc());
    const Difference d = Compare(canvas.Pixels(), dib.Pixels());
    const Allowance& a = k.allowance;
    if (d.pixels == 0) {
      ++equal;
      std::printf("equal     %s%s\n", k.name.c_str(), a.reason ? " (allowance not needed)" : "");
      continue;
    }
    const bool within = a.reason != nullptr && d.pixels <= a.pixels && d.channel <= a.channel;
    std::printf("%s %s: %d pixels, by up to %d;%s%s%s\n", within ? "allowed  " : "DIFFERENT",
                k.name.c_str(), d.pixels, d.channel, d.where.c_str(), a.reason ? "\n          " : "",
                a.reason ? a.reason : "");
    if (within) {
      ++allowed;
    } else {
      ADD_FAILURE() << d.pixels << " pixels differ, by up to " << d.channel << ":" << d.where;
    }
  }
  std::printf("GDI reference: %zu cases, %d equal pixel for pixel, %d within their allowance\n",
              cases.size(), equal, allowed);
}

}  // namespace
}  // namespace velquin::draw
