#include "draw/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "draw/platform.h"

namespace velquin::draw {
namespace {

// 8x8 hatch patterns, one byte per row, bit 7 is the leftmost column. The patterns are aligned to
// the surface origin.
constexpr std::uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00},  // horizontal
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // vertical
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // forward diagonal "\"
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // backward diagonal "/"
    {0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08},  // cross
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // diagonal cross
};

bool HatchBit(HatchStyle style, int x, int y) {
  return (kHatch[Bits(style)][y & 7] & (0x80 >> (x & 7))) != 0;
}

std::uint32_t PixelOf(Colour c) { return ToPixel(TranslateColor(c)); }

// The block a pattern copy of r's width and height covers: a right or bottom before the left or
// top counts back from there.
Rect Ordered(const Rect& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

Image Opaque(Image image) {
  image.MakeOpaque();
  return image;
}

}  // namespace

Brush Brush::Solid(Colour c) {
  Brush b;
  b.kind_ = Kind::Solid;
  b.colour_ = c;
  return b;
}

Brush Brush::Hatch(HatchStyle style, Colour c) {
  Brush b;
  if (Bits(style) < Bits(HatchStyle::Horizontal) || Bits(style) > Bits(HatchStyle::DiagonalCross))
    return b;
  b.kind_ = Kind::Hatch;
  b.hatch_ = style;
  b.colour_ = c;
  return b;
}

Brush Brush::Pattern(const Image& picture) {
  Brush b;
  if (picture.IsNull()) return b;
  b.kind_ = Kind::Pattern;
  b.pattern_ = Opaque(picture);
  return b;
}

Canvas::Canvas() = default;

Canvas::Canvas(int width, int height, Colour fill)
    : pixels_(std::max(width, 0), std::max(height, 0), PixelOf(fill)) {}

Canvas::Canvas(Image pixels) : pixels_(Opaque(std::move(pixels))) {}

void Canvas::SetPixel(int x, int y, Colour c) { pixels_.SetPixelAt(x, y, PixelOf(c)); }

Colour Canvas::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return kInvalidColour;
  return FromPixel(pixels_.Row(y)[x]);
}

void Canvas::FillClipped(const Rect& r, std::uint32_t pixel) {
  Rect c = r.Intersect(Bounds());
  if (c.IsEmpty()) return;
  for (int y = c.top; y < c.bottom; ++y) {
    std::uint32_t* row = pixels_.Row(y);
    std::fill(row + c.left, row + c.right, pixel);
  }
}

void Canvas::FillRect(const Rect& r, Colour c) { FillClipped(Ordered(r), PixelOf(c)); }

void Canvas::FillRect(const Rect& r, const Brush& brush) {
  if (brush.kind() == Brush::Kind::Solid) {
    FillRect(r, brush.colour());
    return;
  }
  Brush previous = SetBrush(brush);
  PatBlt(r.left, r.top, r.Width(), r.Height(), Rop::PatCopy);
  SetBrush(previous);
}

void Canvas::FrameRect(const Rect& r, Colour c) {
  if (r.IsEmpty()) return;
  const std::uint32_t pixel = PixelOf(c);
  FillClipped({r.left, r.top, r.right, r.top + 1}, pixel);
  FillClipped({r.left, r.bottom - 1, r.right, r.bottom}, pixel);
  FillClipped({r.left, r.top, r.left + 1, r.bottom}, pixel);
  FillClipped({r.right - 1, r.top, r.right, r.bottom}, pixel);
}

Rect Canvas::DrawEdge(const Rect& r, Edge edge, EdgeFlags flags) {
  // One border ring: the top and left sides in `tl` stop one pixel short of the far corners, the
  // bottom and right sides in `br` run the full length and so own those corners.
  auto ring = [&](const Rect& q, Colour tl, Colour br) {
    if (q.IsEmpty()) return;
    const std::uint32_t a = PixelOf(tl);
    const std::uint32_t b = PixelOf(br);
    if (Has(flags, EdgeFlags::Top)) FillClipped({q.left, q.top, q.right - 1, q.top + 1}, a);
    if (Has(flags, EdgeFlags::Left)) FillClipped({q.left, q.top, q.left + 1, q.bottom - 1}, a);
    if (Has(flags, EdgeFlags::Bottom)) FillClipped({q.left, q.bottom - 1, q.right, q.bottom}, b);
    if (Has(flags, EdgeFlags::Right)) FillClipped({q.right - 1, q.top, q.right, q.bottom}, b);
  };
  auto shrink = [&](Rect q) {
    if (Has(flags, EdgeFlags::Left)) ++q.left;
    if (Has(flags, EdgeFlags::Top)) ++q.top;
    if (Has(flags, EdgeFlags::Right)) --q.right;
    if (Has(flags, EdgeFlags::Bottom)) --q.bottom;
    return q;
  };

  const Colour light = SystemColourRef(kColourButtonHighlight);
  const Colour light3d = SystemColourRef(kColour3DLight);
  const Colour shadow = SystemColourRef(kColourButtonShadow);
  const Colour dark = SystemColourRef(kColour3DDarkShadow);
  const Colour face = SystemColourRef(kColourButtonFace);

  Rect inside = r;
  const Edge outer = edge & (Edge::RaisedOuter | Edge::SunkenOuter);
  const Edge inner = edge & (Edge::RaisedInner | Edge::SunkenInner);
  if (Has(flags, EdgeFlags::Flat | EdgeFlags::Mono)) {
    const bool mono = Has(flags, EdgeFlags::Mono);
    const Colour o = mono ? Colour{0x000000} : shadow;
    const Colour i = mono ? SystemColourRef(kColourWindow) : face;
    if (Bits(outer) != 0) {
      ring(inside, o, o);
      inside = shrink(inside);
    }
    if (Bits(inner) != 0) {
      ring(inside, i, i);
      inside = shrink(inside);
    }
  } else {
    if (outer == Edge::RaisedOuter) {
      ring(inside, light3d, dark);
      inside = shrink(inside);
    } else if (outer == Edge::SunkenOuter) {
      ring(inside, shadow, light);
      inside = shrink(inside);
    }
    if (inner == Edge::RaisedInner) {
      ring(inside, light, shadow);
      inside = shrink(inside);
    } else if (inner == Edge::SunkenInner) {
      ring(inside, dark, light3d);
      inside = shrink(inside);
    }
  }
  if (Has(flags, EdgeFlags::Middle)) FillRect(inside, face);
  return Has(flags, EdgeFlags::Adjust) ? inside : r;
}

void Canvas::DrawFocusRect(const Rect& r) {
  if (r.IsEmpty()) return;
  auto flip = [&](int x, int y) {
    if (((x + y) & 1) != 0 || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    pixels_.Row(y)[x] ^= 0x00FFFFFFu;
  };
  for (int x = r.left; x < r.right; ++x) flip(x, r.top);
  if (r.bottom - 1 > r.top)
    for (int x = r.left; x < r.right; ++x) flip(x, r.bottom - 1);
  for (int y = r.top + 1; y < r.bottom - 1; ++y) {
    flip(r.left, y);
    if (r.right - 1 > r.left) flip(r.right - 1, y);
  }
}

Colour Canvas::SetPenColour(Colour c) {
  Colour old = pen_;
  pen_ = c;
  return old;
}

Point Canvas::MoveTo(int x, int y) {
  Point old = pos_;
  pos_ = {x, y};
  return old;
}

void Canvas::PlotPen(int x, int y) { pixels_.SetPixelAt(x, y, PixelOf(pen_)); }

void Canvas::LineTo(int x, int y) {
  int x0 = pos_.x;
  int y0 = pos_.y;
  pos_ = {x, y};
  if (y0 == y) {  // horizontal, end point excluded
    if (x > x0) {
      FillRect({x0, y, x, y + 1}, pen_);
    } else if (x < x0) {
      FillRect({x + 1, y, x0 + 1, y + 1}, pen_);
    }
    return;
  }
  if (x0 == x) {  // vertical
    if (y > y0) {
      FillRect({x, y0, x + 1, y}, pen_);
    } else {
      FillRect({x, y + 1, x + 1, y0 + 1}, pen_);
    }
    return;
  }
  // Any other slope lights one pixel per step along its major axis, the one nearest the line.
  // Where the line passes exactly half way between two pixels, the upper one is lit on a line
  // that runs along x and the left one on a line that runs along y (the diamond rule of
  // cosmetic lines).
  const int dx = std::abs(x - x0);
  const int dy = std::abs(y - y0);
  const int sx = x > x0 ? 1 : -1;
  const int sy = y > y0 ? 1 : -1;
  const bool along_x = dx > dy;
  const std::int64_t major = along_x ? dx : dy;
  const std::int64_t minor = along_x ? dy : dx;
  // Halfway steps round towards the minor axis's smaller coordinate: down when it grows.
  const bool minor_grows = (along_x ? sy : sx) > 0;
  for (std::int64_t i = 0; i < major; ++i) {
    const std::int64_t twice = 2 * i * minor;
    const std::int64_t k = (twice + major - (minor_grows ? 1 : 0)) / (2 * major);
    if (along_x) {
      PlotPen(x0 + sx * static_cast<int>(i), y0 + sy * static_cast<int>(k));
    } else {
      PlotPen(x0 + sx * static_cast<int>(k), y0 + sy * static_cast<int>(i));
    }
  }
}

void Canvas::DrawLine(int x1, int y1, int x2, int y2, Colour c) {
  Colour old_pen = SetPenColour(c);
  Point old_pos = MoveTo(x1, y1);
  LineTo(x2, y2);
  pos_ = old_pos;
  pen_ = old_pen;
}

Brush Canvas::SetBrush(const Brush& brush) {
  Brush old = brush_;
  brush_ = brush;
  return old;
}

void Canvas::PatBlt(int x, int y, int w, int h, Rop rop) {
  const Rect r = Ordered({x, y, x + w, y + h}).Intersect(Bounds());
  if (r.IsEmpty()) return;
  if (rop == Rop::Blackness || rop == Rop::Whiteness) {
    FillClipped(r, rop == Rop::Blackness ? 0xFF000000u : 0xFFFFFFFFu);
    return;
  }
  if (rop == Rop::DstInvert) {
    for (int yy = r.top; yy < r.bottom; ++yy) {
      std::uint32_t* row = pixels_.Row(yy);
      for (int xx = r.left; xx < r.right; ++xx) row[xx] ^= 0x00FFFFFFu;
    }
    return;
  }
  if (brush_.IsNull()) return;
  const std::uint32_t fg = PixelOf(brush_.colour());
  const std::uint32_t bg = PixelOf(bk_colour_);
  const bool opaque = bk_mode_ != BkMode::Transparent;
  const Image& pat = brush_.pattern();
  for (int yy = r.top; yy < r.bottom; ++yy) {
    std::uint32_t* row = pixels_.Row(yy);
    const std::uint32_t* pat_row =
        brush_.kind() == Brush::Kind::Pattern ? pat.Row(yy % pat.Height()) : nullptr;
    for (int xx = r.left; xx < r.right; ++xx) {
      std::uint32_t src;
      switch (brush_.kind()) {
        case Brush::Kind::Solid: src = fg; break;
        case Brush::Kind::Hatch:
          if (HatchBit(brush_.hatch_style(), xx, yy)) {
            src = fg;
          } else if (opaque) {
            src = bg;
          } else {
            continue;
          }
          break;
        case Brush::Kind::Pattern: src = pat_row[xx % pat.Width()] | 0xFF000000u; break;
        default: continue;
      }
      row[xx] = rop == Rop::PatInvert ? (row[xx] ^ (src & 0x00FFFFFFu)) : src;
    }
  }
}

BkMode Canvas::SetBkMode(BkMode mode) {
  BkMode old = bk_mode_;
  bk_mode_ = mode;
  return old;
}

Colour Canvas::SetBkColor(Colour c) {
  Colour old = bk_colour_;
  bk_colour_ = c;
  return old;
}

Colour Canvas::SetTextColor(Colour c) {
  Colour old = text_colour_;
  text_colour_ = c;
  return old;
}

FontSpec Canvas::SetFont(const FontSpec& f) {
  FontSpec old = font_;
  font_ = f;
  return old;
}

Size Canvas::MeasureText(std::string_view text, TextFormat format) {
  if (text.empty()) return {};
  return platform::MeasureTextLine(font_, text, format | TextFormat::SingleLine);
}

int Canvas::DrawTextIn(std::string_view text, Rect& rect, TextFormat format) {
  if (text.empty()) {
    if (Has(format, TextFormat::CalcRect)) {
      rect.right = rect.left;
      rect.bottom = rect.top;
    }
    return 0;
  }
  if (Has(format, TextFormat::CalcRect))
    return platform::CalculateTextRect(font_, text, rect, format);
  if (pixels_.IsNull()) return 0;
  const platform::TextInk ink{TranslateColor(text_colour_), bk_mode_ == BkMode::Opaque,
                              TranslateColor(bk_colour_)};
  return platform::RenderText(pixels_, font_, text, rect, format, ink);
}

int Canvas::DrawTextIn(std::string_view text, const Rect& rect, TextFormat format) {
  Rect copy = rect;
  return DrawTextIn(text, copy, format);
}

void Canvas::BitBlt(int x_dest, int y_dest, int w, int h, const Canvas& src, int x_src,
                    int y_src) {
  if (&src == this) {
    Canvas copy(src.pixels_);
    BitBlt(x_dest, y_dest, w, h, copy, x_src, y_src);
    return;
  }
  // Clip the source block, then the destination, keeping both in step.
  Rect s = Rect{x_src, y_src, x_src + w, y_src + h}.Intersect(src.Bounds());
  if (s.IsEmpty()) return;
  int dx = x_dest + (s.left - x_src);
  int dy = y_dest + (s.top - y_src);
  Rect d = Rect{dx, dy, dx + s.Width(), dy + s.Height()}.Intersect(Bounds());
  if (d.IsEmpty()) return;
  int sx = s.left + (d.left - dx);
  int sy = s.top + (d.top - dy);
  for (int row = 0; row < d.Height(); ++row) {
    const std::uint32_t* from = src.pixels_.Row(sy + row) + sx;
    std::uint32_t* to = pixels_.Row(d.top + row) + d.left;
    std::memcpy(to, from, static_cast<std::size_t>(d.Width()) * sizeof(std::uint32_t));
  }
}

void Canvas::DrawImage(int x, int y, const Image& block) {
  if (block.IsNull()) return;
  Canvas src(block);
  BitBlt(x, y, src.Width(), src.Height(), src, 0, 0);
}

Image Canvas::ReadBlock(const Rect& r) const { return pixels_.Copy(r); }

void Canvas::Resize(int width, int height) {
  Canvas next(width, height);
  next.BitBlt(0, 0, Width(), Height(), *this, 0, 0);
  pixels_ = std::move(next.pixels_);
}

}  // namespace velquin::draw
