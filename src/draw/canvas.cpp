#include "draw/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include <QFontMetrics>
#include <QPainter>

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

bool HatchBit(int style, int x, int y) {
  return (kHatch[style][y & 7] & (0x80 >> (x & 7))) != 0;
}

int QtTextFlags(unsigned format) {
  int f = Qt::AlignAbsolute;
  if (format & DT_CENTER) {
    f |= Qt::AlignHCenter;
  } else if (format & DT_RIGHT) {
    f |= Qt::AlignRight;
  } else {
    f |= Qt::AlignLeft;
  }
  if (format & DT_SINGLELINE) {
    f |= Qt::TextSingleLine;
    if (format & DT_VCENTER) {
      f |= Qt::AlignVCenter;
    } else if (format & DT_BOTTOM) {
      f |= Qt::AlignBottom;
    } else {
      f |= Qt::AlignTop;
    }
  } else {
    f |= Qt::AlignTop;
    if (format & DT_WORDBREAK) f |= Qt::TextWordWrap;
  }
  if (format & DT_EXPANDTABS) f |= Qt::TextExpandTabs;
  if (format & DT_NOCLIP) f |= Qt::TextDontClip;
  if (!(format & DT_NOPREFIX)) f |= (format & DT_HIDEPREFIX) ? Qt::TextHideMnemonic : Qt::TextShowMnemonic;
  return f;
}

QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

}  // namespace

Rect Rect::Intersect(const Rect& o) const {
  Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
         std::min(bottom, o.bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

Brush Brush::Solid(Colour c) {
  Brush b;
  b.kind_ = Kind::Solid;
  b.colour_ = c;
  return b;
}

Brush Brush::Hatch(int style, Colour c) {
  Brush b;
  if (style < HS_HORIZONTAL || style > HS_DIAGCROSS) return b;
  b.kind_ = Kind::Hatch;
  b.hatch_ = style;
  b.colour_ = c;
  return b;
}

Brush Brush::Pattern(const QImage& picture) {
  Brush b;
  if (picture.isNull()) return b;
  b.kind_ = Kind::Pattern;
  b.pattern_ = picture.convertToFormat(QImage::Format_RGB32);
  return b;
}

Canvas::Canvas() = default;

Canvas::Canvas(int width, int height, Colour fill)
    : image_(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32) {
  image_.fill(ToQRgb(TranslateColor(fill)));
}

Canvas::Canvas(QImage image) : image_(image.convertToFormat(QImage::Format_RGB32)) {}

void Canvas::SetPixel(int x, int y, Colour c) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  reinterpret_cast<std::uint32_t*>(image_.scanLine(y))[x] = ToQRgb(TranslateColor(c));
}

Colour Canvas::GetPixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return kInvalidColour;
  return FromQRgb(reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y))[x]);
}

void Canvas::FillClipped(const Rect& r, std::uint32_t argb) {
  Rect c = r.Intersect(Bounds());
  if (c.IsEmpty()) return;
  for (int y = c.top; y < c.bottom; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(image_.scanLine(y));
    std::fill(row + c.left, row + c.right, argb);
  }
}

void Canvas::FillRect(const Rect& r, Colour c) { FillClipped(r, ToQRgb(TranslateColor(c))); }

void Canvas::FillRect(const Rect& r, const Brush& brush) {
  if (brush.kind() == Brush::Kind::Solid) {
    FillRect(r, brush.colour());
    return;
  }
  Brush previous = SelectBrush(brush);
  PatBlt(r.left, r.top, r.Width(), r.Height(), Rop::PatCopy);
  SelectBrush(previous);
}

void Canvas::FrameRect(const Rect& r, Colour c) {
  if (r.IsEmpty()) return;
  std::uint32_t argb = ToQRgb(TranslateColor(c));
  FillClipped({r.left, r.top, r.right, r.top + 1}, argb);
  FillClipped({r.left, r.bottom - 1, r.right, r.bottom}, argb);
  FillClipped({r.left, r.top, r.left + 1, r.bottom}, argb);
  FillClipped({r.right - 1, r.top, r.right, r.bottom}, argb);
}

Rect Canvas::DrawEdge(const Rect& r, unsigned edge, unsigned flags) {
  // One border ring: the top and left sides in `tl` stop one pixel short of the far corners, the
  // bottom and right sides in `br` run the full length and so own those corners.
  auto ring = [&](const Rect& q, Colour tl, Colour br) {
    if (q.IsEmpty()) return;
    std::uint32_t a = ToQRgb(TranslateColor(tl));
    std::uint32_t b = ToQRgb(TranslateColor(br));
    if (flags & BF_TOP) FillClipped({q.left, q.top, q.right - 1, q.top + 1}, a);
    if (flags & BF_LEFT) FillClipped({q.left, q.top, q.left + 1, q.bottom - 1}, a);
    if (flags & BF_BOTTOM) FillClipped({q.left, q.bottom - 1, q.right, q.bottom}, b);
    if (flags & BF_RIGHT) FillClipped({q.right - 1, q.top, q.right, q.bottom}, b);
  };
  auto shrink = [&](Rect q) {
    if (flags & BF_LEFT) ++q.left;
    if (flags & BF_TOP) ++q.top;
    if (flags & BF_RIGHT) --q.right;
    if (flags & BF_BOTTOM) --q.bottom;
    return q;
  };

  const Colour light = SystemColourRef(kColourButtonHighlight);
  const Colour light3d = SystemColourRef(kColour3DLight);
  const Colour shadow = SystemColourRef(kColourButtonShadow);
  const Colour dark = SystemColourRef(kColour3DDarkShadow);
  const Colour face = SystemColourRef(kColourButtonFace);

  Rect inside = r;
  unsigned outer = edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER);
  unsigned inner = edge & (BDR_RAISEDINNER | BDR_SUNKENINNER);
  if (flags & (BF_FLAT | BF_MONO)) {
    Colour o = (flags & BF_MONO) ? Colour{0x000000} : shadow;
    Colour i = (flags & BF_MONO) ? SystemColourRef(kColourWindow) : face;
    if (outer) {
      ring(inside, o, o);
      inside = shrink(inside);
    }
    if (inner) {
      ring(inside, i, i);
      inside = shrink(inside);
    }
  } else {
    if (outer == BDR_RAISEDOUTER) {
      ring(inside, light3d, dark);
      inside = shrink(inside);
    } else if (outer == BDR_SUNKENOUTER) {
      ring(inside, shadow, light);
      inside = shrink(inside);
    }
    if (inner == BDR_RAISEDINNER) {
      ring(inside, light, shadow);
      inside = shrink(inside);
    } else if (inner == BDR_SUNKENINNER) {
      ring(inside, dark, light3d);
      inside = shrink(inside);
    }
  }
  if (flags & BF_MIDDLE) FillRect(inside, face);
  return (flags & BF_ADJUST) ? inside : r;
}

void Canvas::DrawFocusRect(const Rect& r) {
  if (r.IsEmpty()) return;
  auto flip = [&](int x, int y) {
    if (((x + y) & 1) != 0 || x < 0 || y < 0 || x >= Width() || y >= Height()) return;
    auto* p = reinterpret_cast<std::uint32_t*>(image_.scanLine(y)) + x;
    *p ^= 0x00FFFFFFu;
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

void Canvas::PlotPen(int x, int y) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  reinterpret_cast<std::uint32_t*>(image_.scanLine(y))[x] = ToQRgb(TranslateColor(pen_));
}

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
  int dx = std::abs(x - x0);
  int dy = -std::abs(y - y0);
  int sx = x0 < x ? 1 : -1;
  int sy = y0 < y ? 1 : -1;
  int err = dx + dy;
  while (x0 != x || y0 != y) {
    PlotPen(x0, y0);
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
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

Brush Canvas::SelectBrush(const Brush& brush) {
  Brush old = brush_;
  brush_ = brush;
  return old;
}

void Canvas::PatBlt(int x, int y, int w, int h, Rop rop) {
  Rect r = w >= 0 ? Rect{x, 0, x + w, 0} : Rect{x + w, 0, x, 0};
  if (h >= 0) {
    r.top = y;
    r.bottom = y + h;
  } else {
    r.top = y + h;
    r.bottom = y;
  }
  r = r.Intersect(Bounds());
  if (r.IsEmpty()) return;
  if (rop == Rop::Blackness || rop == Rop::Whiteness) {
    FillClipped(r, rop == Rop::Blackness ? 0xFF000000u : 0xFFFFFFFFu);
    return;
  }
  if (rop == Rop::DstInvert) {
    for (int yy = r.top; yy < r.bottom; ++yy) {
      auto* row = reinterpret_cast<std::uint32_t*>(image_.scanLine(yy));
      for (int xx = r.left; xx < r.right; ++xx) row[xx] ^= 0x00FFFFFFu;
    }
    return;
  }
  if (brush_.IsNull()) return;
  const std::uint32_t fg = ToQRgb(TranslateColor(brush_.colour()));
  const std::uint32_t bg = ToQRgb(TranslateColor(bk_colour_));
  const bool opaque = bk_mode_ != TRANSPARENT;
  const QImage& pat = brush_.pattern();
  for (int yy = r.top; yy < r.bottom; ++yy) {
    auto* row = reinterpret_cast<std::uint32_t*>(image_.scanLine(yy));
    const std::uint32_t* pat_row =
        brush_.kind() == Brush::Kind::Pattern
            ? reinterpret_cast<const std::uint32_t*>(pat.constScanLine(yy % pat.height()))
            : nullptr;
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
        case Brush::Kind::Pattern: src = pat_row[xx % pat.width()] | 0xFF000000u; break;
        default: continue;
      }
      row[xx] = rop == Rop::PatInvert ? (row[xx] ^ (src & 0x00FFFFFFu)) : src;
    }
  }
}

int Canvas::SetBkMode(int mode) {
  int old = bk_mode_;
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

FontSpec Canvas::SelectFont(const FontSpec& f) {
  FontSpec old = font_;
  font_ = f;
  return old;
}

Size Canvas::MeasureText(const QString& text, unsigned format) {
  if (text.isEmpty()) return {};
  QFontMetrics fm(ToQFont(font_));
  QSize s = fm.size(QtTextFlags(format | DT_SINGLELINE) & ~Qt::AlignAbsolute, text);
  return {s.width(), s.height()};
}

int Canvas::DrawText(const QString& text, Rect& rect, unsigned format) {
  if (text.isEmpty()) {
    if (format & DT_CALCRECT) {
      rect.right = rect.left;
      rect.bottom = rect.top;
    }
    return 0;
  }
  const QFont font = ToQFont(font_);
  const int flags = QtTextFlags(format);
  const Qt::LayoutDirection direction =
      (format & DT_RTLREADING) ? Qt::RightToLeft : Qt::LeftToRight;

  if (format & DT_CALCRECT) {
    QFontMetrics fm(font);
    QRect area = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE)
                     ? QRect(0, 0, std::max(rect.Width(), 1), 1 << 20)
                     : QRect(0, 0, 1 << 20, 1 << 20);
    QRect br = fm.boundingRect(area, (flags & ~(Qt::AlignHCenter | Qt::AlignRight |
                                                Qt::AlignVCenter | Qt::AlignBottom)) |
                                         Qt::AlignLeft | Qt::AlignTop,
                               text);
    rect.right = rect.left + br.width();
    rect.bottom = rect.top + br.height();
    return br.height();
  }

  if (image_.isNull()) return 0;
  if (rect.IsEmpty() && !(format & DT_NOCLIP)) return QFontMetrics(font).height();
  QPainter p(&image_);
  p.setFont(font);
  p.setLayoutDirection(direction);
  const QRect qr = ToQRect(rect);
  QRect br = p.boundingRect(qr, flags, text);
  if (bk_mode_ == OPAQUE) {
    QRect fill = (format & DT_NOCLIP) ? br : br.intersected(qr);
    p.fillRect(fill, ToQColor(bk_colour_));
  }
  p.setPen(ToQColor(text_colour_));
  p.drawText(qr, flags, text);
  return br.height();
}

int Canvas::DrawText(const QString& text, const Rect& rect, unsigned format) {
  Rect copy = rect;
  return DrawText(text, copy, format);
}

void Canvas::BitBlt(int x_dest, int y_dest, int w, int h, const Canvas& src, int x_src,
                    int y_src) {
  if (&src == this) {
    Canvas copy(src.image_.copy());
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
    const auto* from = reinterpret_cast<const std::uint32_t*>(src.image_.constScanLine(sy + row)) + sx;
    auto* to = reinterpret_cast<std::uint32_t*>(image_.scanLine(d.top + row)) + d.left;
    std::memcpy(to, from, static_cast<std::size_t>(d.Width()) * sizeof(std::uint32_t));
  }
}

void Canvas::DrawImage(int x, int y, const QImage& block) {
  if (block.isNull()) return;
  Canvas src(block.convertToFormat(QImage::Format_RGB32));
  BitBlt(x, y, src.Width(), src.Height(), src, 0, 0);
}

QImage Canvas::ReadBlock(const Rect& r) const {
  Rect c = r.Intersect(Bounds());
  if (c.IsEmpty()) return {};
  return image_.copy(ToQRect(c));
}

void Canvas::Resize(int width, int height) {
  QImage next(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
  next.fill(0xFF000000u);
  Canvas tmp(std::move(next));
  tmp.BitBlt(0, 0, Width(), Height(), *this, 0, 0);
  image_ = std::move(tmp.image_);
}

}  // namespace velquin::draw
