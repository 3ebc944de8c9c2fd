#include "draw/region.h"

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

TEST(Region, RoundRectIsBuiltAsTheDesktopBuildsIt) {
  // Expected rectangles as CreateRoundRectRgn(1, 2, 1 + w, 2 + h, ellipse w, ellipse h) gives
  // them under Wine.
  struct Case {
    int w, h, ew, eh;
    std::vector<Rect> rects;
  } cases[] = {
      // The corner ellipses of the button's rounded styles: one pixel off each corner.
      {10, 8, 3, 3, {{2, 2, 9, 3}, {1, 3, 10, 8}, {2, 8, 9, 9}}},
      {10, 8, 4, 4, {{2, 2, 9, 3}, {1, 3, 10, 4}, {1, 4, 10, 8}, {2, 8, 9, 9}}},
      {9, 9, 5, 5, {{2, 2, 8, 3}, {1, 3, 9, 4}, {1, 4, 9, 8}, {1, 8, 9, 9}, {2, 9, 8, 10}}},
      {13, 7, 6, 4, {{2, 2, 12, 3}, {1, 3, 13, 4}, {1, 4, 13, 7}, {2, 7, 12, 8}}},
      {6, 10, 4, 8, {{3, 2, 4, 3}, {2, 3, 5, 4}, {1, 4, 6, 5}, {1, 5, 6, 6}, {1, 6, 6, 8},
                     {1, 8, 6, 9}, {2, 9, 5, 10}, {3, 10, 4, 11}}},
      // Ellipses wider than the rectangle are cut to it.
      {12, 12, 12, 12, {{4, 2, 9, 3}, {3, 3, 10, 4}, {2, 4, 11, 5}, {1, 5, 12, 6}, {1, 6, 12, 10},
                        {2, 10, 11, 11}, {3, 11, 10, 12}, {4, 12, 9, 13}}},
      // An ellipse side below 2 gives the plain rectangle, without its right column and bottom
      // row; negative sides count as positive; an empty rectangle still leaves one pixel.
      {8, 6, 0, 4, {{1, 2, 8, 7}}},
      {8, 6, -4, -4, {{2, 2, 7, 3}, {1, 3, 8, 6}, {2, 6, 7, 7}}},
      {0, 0, 3, 3, {{0, 1, 1, 2}}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.w << "x" << k.h << " " << k.ew << "x" << k.eh);
    EXPECT_EQ(Region::RoundRect(1, 2, 1 + k.w, 2 + k.h, k.ew, k.eh), Region::FromRects(k.rects));
  }
  // Corners may come in either order.
  EXPECT_EQ(Region::RoundRect(11, 10, 1, 2, 4, 4), Region::RoundRect(1, 2, 11, 10, 4, 4));
}

TEST(Region, KeepsTheDesktopsBandedFormAndSubtracts) {
  const Region whole(Rect{0, 0, 4, 3});
  const Region split = Region::FromRects({{0, 0, 4, 1}, {0, 1, 2, 3}, {2, 1, 4, 3}, {5, 5, 5, 9}});
  EXPECT_EQ(whole, split);
  EXPECT_EQ(split.Rects(), (std::vector<Rect>{{0, 0, 4, 3}}));  // banded: touching pieces join
  EXPECT_EQ(split.Bounds(), (Rect{0, 0, 4, 3}));
  // Bands from top to bottom, rectangles from left to right, whatever order they came in.
  const Region two = Region::FromRects({{5, 2, 7, 4}, {0, 0, 2, 3}});
  EXPECT_EQ(two.Rects(), (std::vector<Rect>{{0, 0, 2, 2}, {0, 2, 2, 3}, {5, 2, 7, 3}, {5, 3, 7, 4}}));

  const Region holed = whole.Subtract(Region(Rect{1, 1, 3, 2}));
  EXPECT_FALSE(holed.Contains(1, 1));
  EXPECT_FALSE(holed.Contains(2, 1));
  EXPECT_TRUE(holed.Contains(0, 1));
  EXPECT_TRUE(holed.Contains(3, 2));
  EXPECT_FALSE(holed.Contains(4, 0));
  EXPECT_EQ(holed.Subtract(whole), Region());
  EXPECT_TRUE(Region(Rect{2, 2, 2, 5}).IsEmpty());
  EXPECT_NE(holed, whole);
}

}  // namespace
}  // namespace velquin::draw
