// What the Windows body shares: the drawing layer's scoped flag and mode names as the system's
// own constants (the one place where they meet), fonts, regions, and a memory device context over
// a copy of a block of an Image, for drawing with GDI into the canvas's pixels.
#pragma once

#include <windows.h>

#include "draw/flags.h"
#include "draw/font.h"
#include "draw/image.h"
#include "draw/region.h"

namespace velquin::draw::win32 {

// The scoped names carry the system's numbers; these checks keep it so, and the conversions are
// plain casts.
static_assert(Bits(Edge::RaisedOuter) == BDR_RAISEDOUTER && Bits(Edge::SunkenOuter) == BDR_SUNKENOUTER &&
              Bits(Edge::RaisedInner) == BDR_RAISEDINNER && Bits(Edge::SunkenInner) == BDR_SUNKENINNER &&
              Bits(Edge::Raised) == EDGE_RAISED && Bits(Edge::Sunken) == EDGE_SUNKEN &&
              Bits(Edge::Etched) == EDGE_ETCHED && Bits(Edge::Bump) == EDGE_BUMP);
static_assert(Bits(EdgeFlags::Left) == BF_LEFT && Bits(EdgeFlags::Top) == BF_TOP &&
              Bits(EdgeFlags::Right) == BF_RIGHT && Bits(EdgeFlags::Bottom) == BF_BOTTOM &&
              Bits(EdgeFlags::Rect) == BF_RECT && Bits(EdgeFlags::Middle) == BF_MIDDLE &&
              Bits(EdgeFlags::Soft) == BF_SOFT && Bits(EdgeFlags::Adjust) == BF_ADJUST &&
              Bits(EdgeFlags::Flat) == BF_FLAT && Bits(EdgeFlags::Mono) == BF_MONO);
static_assert(Bits(TextFormat::Left) == DT_LEFT && Bits(TextFormat::Center) == DT_CENTER &&
              Bits(TextFormat::Right) == DT_RIGHT && Bits(TextFormat::Top) == DT_TOP &&
              Bits(TextFormat::VCenter) == DT_VCENTER && Bits(TextFormat::Bottom) == DT_BOTTOM &&
              Bits(TextFormat::WordBreak) == DT_WORDBREAK &&
              Bits(TextFormat::SingleLine) == DT_SINGLELINE &&
              Bits(TextFormat::ExpandTabs) == DT_EXPANDTABS && Bits(TextFormat::NoClip) == DT_NOCLIP &&
              Bits(TextFormat::CalcRect) == DT_CALCRECT && Bits(TextFormat::NoPrefix) == DT_NOPREFIX &&
              Bits(TextFormat::RtlReading) == DT_RTLREADING &&
              Bits(TextFormat::HidePrefix) == DT_HIDEPREFIX);
static_assert(Bits(BkMode::Transparent) == TRANSPARENT && Bits(BkMode::Opaque) == OPAQUE);
static_assert(Bits(HatchStyle::Horizontal) == HS_HORIZONTAL && Bits(HatchStyle::Vertical) == HS_VERTICAL &&
              Bits(HatchStyle::ForwardDiagonal) == HS_FDIAGONAL &&
              Bits(HatchStyle::BackwardDiagonal) == HS_BDIAGONAL && Bits(HatchStyle::Cross) == HS_CROSS &&
              Bits(HatchStyle::DiagonalCross) == HS_DIAGCROSS);
static_assert(Bits(Rop::PatCopy) == PATCOPY && Bits(Rop::PatInvert) == PATINVERT &&
              Bits(Rop::DstInvert) == DSTINVERT && Bits(Rop::Blackness) == BLACKNESS &&
              Bits(Rop::Whiteness) == WHITENESS);

constexpr UINT ToGdi(Edge e) { return Bits(e); }
constexpr UINT ToGdi(EdgeFlags f) { return Bits(f); }
constexpr UINT ToGdi(TextFormat f) { return Bits(f); }
constexpr int ToGdi(BkMode m) { return Bits(m); }
constexpr int ToGdi(HatchStyle s) { return Bits(s); }
constexpr DWORD ToGdi(Rop r) { return Bits(r); }

inline RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The header of a top-down 32-bit BI_RGB DIB of width x height: the byte layout of an Image.
BITMAPINFO DibHeader(int width, int height);

// Shows `block` of `image` (clipped to the image) with its top-left corner at (x, y) of `dc`,
// straight from the image's bytes (SetDIBitsToDevice): how a Win32 host presents a canvas.
void ShowPixels(HDC dc, int x, int y, const Image& image, const Rect& block);

// The atom of this module's window class `name` for an owner-drawn control: the class registered
// before, or registered now with `proc`, `style`, the arrow cursor and one pointer of extra bytes
// per window for its instance. 0 when it cannot be registered.
ATOM ControlClassAtom(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style);

// The region's rectangles.
Region FromHrgn(HRGN rgn);

// The GDI description of `font` at `dpi` dots per inch.
LOGFONTW ToLogFont(const FontSpec& font, int dpi, BYTE quality);

// A GDI font for `font`, selected into a device context for the life of this object: the face by
// its name, the character height in pixels, no anti-aliasing (text pixels are exactly the text
// colour, as on the classic desktop).
class SelectedFont {
 public:
  SelectedFont(HDC dc, const FontSpec& font);
  ~SelectedFont();
  SelectedFont(const SelectedFont&) = delete;
  SelectedFont& operator=(const SelectedFont&) = delete;

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ previous_ = nullptr;
};

// A memory device context for measuring (nothing selected into it but what the caller selects).
class MemoryDc {
 public:
  MemoryDc() : dc_(CreateCompatibleDC(nullptr)) {}
  ~MemoryDc() {
    if (dc_ != nullptr) DeleteDC(dc_);
  }
  MemoryDc(const MemoryDc&) = delete;
  MemoryDc& operator=(const MemoryDc&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
};

// A top-down 32-bit DIB section holding a copy of `block` of an image, selected into a memory
// device context whose origin is moved so that the image's own coordinates address it. GDI draws
// into it; CopyBack puts the block back with 0xFF in the fourth byte of every pixel.
class DibBlock {
 public:
  DibBlock(const Image& source, const Rect& block);
  ~DibBlock();
  DibBlock(const DibBlock&) = delete;
  DibBlock& operator=(const DibBlock&) = delete;

  bool ok() const { return bits_ != nullptr; }
  HDC dc() const { return dc_.dc(); }
  void CopyBack(Image& target) const;

 private:
  Rect block_;
  MemoryDc dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

}  // namespace velquin::draw::win32
