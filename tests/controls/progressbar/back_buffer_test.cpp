#include "controls/progressbar/back_buffer.h"

#include <gtest/gtest.h>

namespace velquin::progressbar {
namespace {

TEST(BackBuffer, OnlyGrowsAndIsMadeOnlyForAPositiveSize) {
  BackBuffer b;
  EXPECT_EQ(b.Ensure(0, 17), nullptr);
  EXPECT_EQ(b.Ensure(489, 0), nullptr);
  ASSERT_NE(b.Ensure(489, 17), nullptr);
  EXPECT_EQ(b.creations(), 1);
  b.Ensure(100, 10);  // smaller: kept
  EXPECT_EQ(b.width(), 489);
  EXPECT_EQ(b.height(), 17);
  b.Ensure(489, 17);
  EXPECT_EQ(b.creations(), 1);
  b.Ensure(100, 30);  // taller: made again at the asked size
  EXPECT_EQ(b.creations(), 2);
  EXPECT_EQ(b.width(), 100);
  EXPECT_EQ(b.height(), 30);
  b.Release();
  EXPECT_FALSE(b.exists());
  EXPECT_EQ(b.width(), 0);
}

TEST(BackBuffer, pDrawWithoutASizeCopiesTheWholeBuffer) {
  BackBuffer b;
  b.Ensure(6, 4);
  b.canvas()->FillRect({0, 0, 6, 4}, 0x0000FF);
  b.canvas()->SetPixel(5, 3, 0xFF0000);
  draw::Canvas screen(10, 10, 0xFFFFFF);
  CanvasSurface surface(screen);
  b.pDraw(surface, 0, 0, 0, 0, 2, 3);
  EXPECT_EQ(screen.GetPixel(2, 3), 0x0000FFu);
  EXPECT_EQ(screen.GetPixel(7, 6), 0xFF0000u);
  EXPECT_EQ(screen.GetPixel(8, 6), 0xFFFFFFu);
  EXPECT_EQ(screen.GetPixel(7, 7), 0xFFFFFFu);

  draw::Canvas part(10, 10, 0xFFFFFF);
  CanvasSurface part_surface(part);
  b.pDraw(part_surface, 4, 2, 2, 0, 0, 0);  // width 2, whole height from (4, 2)
  EXPECT_EQ(part.GetPixel(1, 1), 0xFF0000u);
  EXPECT_EQ(part.GetPixel(2, 0), 0xFFFFFFu);
}

}  // namespace
}  // namespace velquin::progressbar
