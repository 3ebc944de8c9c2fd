#include "controls/progressbar/back_buffer.h"

namespace velquin::progressbar {

draw::Canvas* BackBuffer::Ensure(int w, int h) {
  if (exists()) {
    if (height_ < h || width_ < w) Create(w, h);
  } else if (w > 0 && h > 0) {
    Create(w, h);
  }
  return canvas();
}

bool BackBuffer::Create(int w, int h) {
  Release();
  if (w <= 0 || h <= 0) return false;
  draw::Canvas made(w, h);
  if (made.IsNull()) return false;  // out of memory
  canvas_.emplace(std::move(made));
  width_ = w;
  height_ = h;
  ++creations_;
  return true;
}

void BackBuffer::Release() {
  canvas_.reset();
  width_ = 0;
  height_ = 0;
}

void BackBuffer::pDraw(DeviceSurface& dc, int x_src, int y_src, int width, int height, int x_dest,
                       int y_dest) {
  if (!exists()) return;
  if (width < 1) width = width_;
  if (height < 1) height = height_;
  dc.CopyFrom(*canvas_, x_src, y_src, width, height, x_dest, y_dest);
}

}  // namespace velquin::progressbar
