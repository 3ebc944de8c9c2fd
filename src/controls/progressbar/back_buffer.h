// The off-screen surface the progress bar paints into before one block copy to the screen. It
// only grows: a smaller control keeps the larger surface.
#pragma once

#include <optional>

#include "draw/canvas.h"

namespace velquin::progressbar {

// The control's own surface: where the finished picture is copied. A surface that only takes
// block copies (a window during its paint) has no canvas to draw on directly.
class DeviceSurface {
 public:
  virtual ~DeviceSurface() = default;
  // The canvas drawn on when there is no back buffer; null when the surface has none.
  virtual draw::Canvas* DirectCanvas() = 0;
  // Shows width x height pixels of `src` from (x_src, y_src) at (x_dest, y_dest); the block may
  // reach beyond `src` (clip it).
  virtual void CopyFrom(const draw::Canvas& src, int x_src, int y_src, int width, int height,
                        int x_dest, int y_dest) = 0;
};

// A DeviceSurface over a canvas (tests, image renders, the benchmark).
class CanvasSurface : public DeviceSurface {
 public:
  explicit CanvasSurface(draw::Canvas& canvas) : canvas_(canvas) {}
  draw::Canvas* DirectCanvas() override { return &canvas_; }
  void CopyFrom(const draw::Canvas& src, int x_src, int y_src, int width, int height, int x_dest,
                int y_dest) override {
    canvas_.BitBlt(x_dest, y_dest, width, height, src, x_src, y_src);
  }

 private:
  draw::Canvas& canvas_;
};

class BackBuffer {
 public:
  // Re-creates the buffer at w x h when it is lower than h or narrower than w; creates one when
  // there is none and both sizes are positive. Returns the buffer, or null when there is none.
  draw::Canvas* Ensure(int w, int h);
  // Replaces any buffer by a new w x h one; false (and no buffer) when that cannot be made.
  bool Create(int w, int h);
  void Release();

  draw::Canvas* canvas() { return canvas_ ? &*canvas_ : nullptr; }
  bool exists() const { return canvas_.has_value(); }
  int width() const { return width_; }
  int height() const { return height_; }
  int creations() const { return creations_; }  // how often a buffer was made

  // Copies width x height pixels from (x_src, y_src) of the buffer to (x_dest, y_dest) of `dc`;
  // a width or height below 1 means the buffer's own.
  void pDraw(DeviceSurface& dc, int x_src, int y_src, int width, int height, int x_dest,
             int y_dest);

 private:
  std::optional<draw::Canvas> canvas_;
  int width_ = 0;
  int height_ = 0;
  int creations_ = 0;
};

}  // namespace velquin::progressbar
