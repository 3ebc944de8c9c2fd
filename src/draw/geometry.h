// Points, sizes and rectangles in pixels, x to the right and y down from the top-left corner.
#pragma once

namespace velquin::draw {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// (left, top, right, bottom); right and bottom are outside the rectangle.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect Inflate(int dx, int dy) const { return {left - dx, top - dy, right + dx, bottom + dy}; }
  // The common part; the empty rectangle (0, 0, 0, 0) when there is none.
  Rect Intersect(const Rect& o) const;
  bool operator==(const Rect&) const = default;
};

}  // namespace velquin::draw
