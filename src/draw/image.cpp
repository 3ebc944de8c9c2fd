#include "draw/image.h"

#include <algorithm>
#include <cstring>

namespace velquin::draw {

Image::Image(int width, int height, std::uint32_t fill) {
  if (width <= 0 || height <= 0) return;
  width_ = width;
  height_ = height;
  pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
}

std::uint32_t Image::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Row(y)[x];
}

void Image::SetPixelAt(int x, int y, std::uint32_t pixel) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  Row(y)[x] = pixel;
}

void Image::MakeOpaque() {
  for (std::uint32_t& p : pixels_) p |= 0xFF000000u;
  has_alpha_ = false;
}

Image Image::Copy(const Rect& r) const {
  const Rect c = r.Intersect(Bounds());
  if (c.IsEmpty()) return {};
  Image out(c.Width(), c.Height());
  out.has_alpha_ = has_alpha_;
  for (int y = 0; y < c.Height(); ++y)
    std::memcpy(out.Row(y), Row(c.top + y) + c.left, static_cast<std::size_t>(c.Width()) * 4);
  return out;
}

}  // namespace velquin::draw
