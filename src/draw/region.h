// A window region: the pixels of a window that the window shows. It is kept as the desktop keeps
// its regions, in bands of rows from top to bottom, each band a run of rectangles from left to
// right that neither touch nor overlap; so a host hands Rects() as they are to a widget mask
// (QRegion::setRects) or a window region (ExtCreateRegion).
#pragma once

#include <vector>

#include "draw/geometry.h"

namespace velquin::draw {

class Region {
 public:
  Region() = default;  // empty
  explicit Region(const Rect& r);
  // The pixels of any rectangles (they may overlap; empty ones add nothing).
  static Region FromRects(std::vector<Rect> rects);

  // The rounded rectangle (left, top, right, bottom) with corner ellipses ellipse_width x
  // ellipse_height, built as the classic desktop's CreateRoundRectRgn builds it: the region
  // leaves out the rectangle's right column and bottom row, and is a band of one row per row of
  // the corner ellipse (a plain rectangle when an ellipse side is below 2).
  static Region RoundRect(int left, int top, int right, int bottom, int ellipse_width,
                          int ellipse_height);

  const std::vector<Rect>& Rects() const { return rects_; }
  bool IsEmpty() const { return rects_.empty(); }
  bool Contains(int x, int y) const;
  Rect Bounds() const;
  // The pixels of this region that are not in `cut`.
  Region Subtract(const Region& cut) const;

  // Same set of pixels (the banded form is unique).
  bool operator==(const Region& o) const;

 private:
  std::vector<Rect> rects_;
};

}  // namespace velquin::draw
