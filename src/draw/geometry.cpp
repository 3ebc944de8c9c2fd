#include "draw/geometry.h"

#include <algorithm>

namespace velquin::draw {

Rect Rect::Intersect(const Rect& o) const {
  Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right),
         std::min(bottom, o.bottom)};
  if (r.IsEmpty()) return {};
  return r;
}

}  // namespace velquin::draw
