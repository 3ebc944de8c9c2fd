// A 32-bit top-down pixel buffer: four bytes per pixel in the order blue, green, red, X, rows from
// the top, Stride() bytes apart with nothing between them. These are the bytes of a top-down
// 32-bit DIB section and of QImage::Format_RGB32, so a host hands Bytes() to the system as they
// are, without a copy: to SetDIBitsToDevice with a 32-bit BI_RGB header of height -Height(), or
// to a QImage over the same bytes (draw/qt/convert.h).
//
// The fourth byte: the canvas writes 0xFF there in every pixel it draws (Format_RGB32 requires
// it; GDI ignores it and leaves 0 in what it draws itself), so comparisons of drawn pixels ignore
// it. A decoded picture that has an alpha channel keeps its straight, non-premultiplied alpha
// there instead, and says so with HasAlpha().
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "draw/colour.h"
#include "draw/geometry.h"

namespace velquin::draw {

// A pixel as one 32-bit value, 0xXXRRGGBB: the four bytes blue, green, red, X in memory.
inline constexpr std::uint32_t kOpaqueBlackPixel = 0xFF000000u;

// The opaque pixel of a plain colour (system colour references must be resolved first).
constexpr std::uint32_t ToPixel(Colour c) {
  return 0xFF000000u | (static_cast<std::uint32_t>(Red(c)) << 16) |
         (static_cast<std::uint32_t>(Green(c)) << 8) | static_cast<std::uint32_t>(Blue(c));
}
// The colour of a pixel; its fourth byte is dropped.
constexpr Colour FromPixel(std::uint32_t pixel) {
  return Rgb(static_cast<int>((pixel >> 16) & 0xFF), static_cast<int>((pixel >> 8) & 0xFF),
             static_cast<int>(pixel & 0xFF));
}

class Image {
 public:
  Image() = default;  // 0 x 0
  // A width x height buffer with every pixel `fill`; a negative size counts as 0.
  Image(int width, int height, std::uint32_t fill = kOpaqueBlackPixel);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return width_ * 4; }  // bytes from one row to the next
  bool IsNull() const { return width_ == 0 || height_ == 0; }
  Rect Bounds() const { return {0, 0, width_, height_}; }

  std::uint8_t* Bytes() { return reinterpret_cast<std::uint8_t*>(pixels_.data()); }
  const std::uint8_t* Bytes() const { return reinterpret_cast<const std::uint8_t*>(pixels_.data()); }
  std::size_t ByteCount() const { return pixels_.size() * 4; }

  // Row y as pixel values; y must lie inside the buffer.
  std::uint32_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const std::uint32_t* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_;
  }
  // One pixel; outside the buffer PixelAt gives 0 and SetPixelAt does nothing.
  std::uint32_t PixelAt(int x, int y) const;
  void SetPixelAt(int x, int y, std::uint32_t pixel);

  // Whether the fourth byte is the picture's alpha (decoded pictures only).
  bool HasAlpha() const { return has_alpha_; }
  void SetHasAlpha(bool on) { has_alpha_ = on; }
  // Every fourth byte set to 0xFF, and HasAlpha() false.
  void MakeOpaque();

  // The pixels of `r` clipped to the buffer, as a new buffer (0 x 0 when nothing is left).
  Image Copy(const Rect& r) const;

  bool operator==(const Image&) const = default;

 private:
  int width_ = 0;
  int height_ = 0;
  bool has_alpha_ = false;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace velquin::draw
