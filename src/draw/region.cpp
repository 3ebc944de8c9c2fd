#include "draw/region.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace velquin::draw {
namespace {

// The canonical form of a set of rectangles: bands of rows from top to bottom, each band a run of
// rectangles from left to right that neither touch nor overlap, and no two bands next to each
// other alike (the form the desktop's regions and QRegion use).
std::vector<Rect> Banded(const std::vector<Rect>& rects) {
  std::vector<int> edges;
  for (const Rect& r : rects) {
    if (r.IsEmpty()) continue;
    edges.push_back(r.top);
    edges.push_back(r.bottom);
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

  std::vector<Rect> out;
  std::size_t previous_band = 0;  // where the last band's rectangles start in `out`
  std::size_t previous_count = 0;
  for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
    const int top = edges[e];
    const int bottom = edges[e + 1];
    std::vector<std::pair<int, int>> runs;
    for (const Rect& r : rects)
      if (!r.IsEmpty() && r.top <= top && r.bottom >= bottom) runs.emplace_back(r.left, r.right);
    std::sort(runs.begin(), runs.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& run : runs) {
      if (!merged.empty() && run.first <= merged.back().second) {
        merged.back().second = std::max(merged.back().second, run.second);
      } else {
        merged.push_back(run);
      }
    }
    if (merged.empty()) {
      previous_count = 0;
      continue;
    }
    // A band that continues the one just above with the same runs only grows it downwards.
    bool same = previous_count == merged.size() && out[previous_band].bottom == top;
    for (std::size_t i = 0; same && i < merged.size(); ++i)
      same = out[previous_band + i].left == merged[i].first &&
             out[previous_band + i].right == merged[i].second;
    if (same) {
      for (std::size_t i = 0; i < merged.size(); ++i) out[previous_band + i].bottom = bottom;
      continue;
    }
    previous_band = out.size();
    previous_count = merged.size();
    for (const auto& [left, right] : merged) out.push_back({left, top, right, bottom});
  }
  return out;
}

}  // namespace

Region::Region(const Rect& r) {
  if (!r.IsEmpty()) rects_.push_back(r);
}

Region Region::FromRects(std::vector<Rect> rects) {
  Region region;
  region.rects_ = Banded(rects);
  return region;
}

Region Region::RoundRect(int left, int top, int right, int bottom, int ellipse_width,
                         int ellipse_height) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  --right;
  --bottom;
  const int ew = std::min(right - left, std::abs(ellipse_width));
  const int eh = std::min(bottom - top, std::abs(ellipse_height));
  if (ew < 2 || eh < 2) {
    // A plain rectangle; like CreateRectRgn it orders its corners, so an empty rectangle whose
    // right and bottom went below its left and top still leaves one pixel.
    return Region(Rect{std::min(left, right), std::min(top, bottom), std::max(left, right),
                       std::max(top, bottom)});
  }

  // How far the corner ellipse cuts into each of its rows, traced along the ellipse's outline
  // from the middle row outwards with an integer error term (midpoint stepping); the rows above
  // the middle mirror those below it. A tall, narrow ellipse reaches its half width before its
  // last rows: they keep the tip's inset, half the ellipse width.
  std::vector<int> inset(static_cast<std::size_t>(eh), ew / 2);
  inset[static_cast<std::size_t>(eh / 2)] = 0;
  const std::int64_t a = ew - 1;
  const std::int64_t b = eh - 1;
  const std::int64_t step_x = 8 * b * b;
  const std::int64_t step_y = 8 * a * a;
  std::int64_t dx = 4 * b * b * (1 - a);
  std::int64_t dy = 4 * a * a * (1 + b % 2);
  std::int64_t err = dx + dy + a * a * (b % 2);
  int x = 0;
  int y = eh / 2;
  while (x <= ew / 2) {
    const std::int64_t e2 = 2 * err;
    if (e2 >= dx) {
      ++x;
      dx += step_x;
      err += dx;
    }
    if (e2 <= dy) {
      ++y;
      dy += step_y;
      err += dy;
      if (y < eh) inset[static_cast<std::size_t>(y)] = x;
    }
  }
  for (int i = 0; i < eh / 2; ++i)
    inset[static_cast<std::size_t>(i)] = inset[static_cast<std::size_t>(b - i)];

  std::vector<Rect> rows;
  for (int i = 0; i < eh / 2; ++i) {
    const int d = inset[static_cast<std::size_t>(i)];
    rows.push_back({left + d, top + i, right - d, top + i + 1});
  }
  rows.push_back({left, top + eh / 2, right, bottom - eh + eh / 2 + 1});
  for (int i = eh / 2 + 1; i < eh; ++i) {
    const int d = inset[static_cast<std::size_t>(i)];
    rows.push_back({left + d, bottom - eh + i, right - d, bottom - eh + i + 1});
  }
  return FromRects(std::move(rows));
}

bool Region::Contains(int x, int y) const {
  return std::any_of(rects_.begin(), rects_.end(),
                     [&](const Rect& r) { return r.Contains(x, y); });
}

Rect Region::Bounds() const {
  if (rects_.empty()) return {};
  Rect b = rects_.front();
  for (const Rect& r : rects_) {
    b.left = std::min(b.left, r.left);
    b.top = std::min(b.top, r.top);
    b.right = std::max(b.right, r.right);
    b.bottom = std::max(b.bottom, r.bottom);
  }
  return b;
}

Region Region::Subtract(const Region& cut) const {
  std::vector<Rect> pieces = rects_;
  for (const Rect& c : cut.rects_) {
    std::vector<Rect> next;
    for (const Rect& r : pieces) {
      const Rect i = r.Intersect(c);
      if (i.IsEmpty()) {
        next.push_back(r);
        continue;
      }
      // What is left of r around i: the band above, the band below, and the two sides.
      next.push_back({r.left, r.top, r.right, i.top});
      next.push_back({r.left, i.bottom, r.right, r.bottom});
      next.push_back({r.left, i.top, i.left, i.bottom});
      next.push_back({i.right, i.top, r.right, i.bottom});
    }
    pieces = std::move(next);
  }
  return FromRects(std::move(pieces));
}

bool Region::operator==(const Region& o) const { return rects_ == o.rects_; }

}  // namespace velquin::draw
