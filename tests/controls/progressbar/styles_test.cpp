#include "controls/progressbar/styles.h"

#include <gtest/gtest.h>

#include "controls/progressbar/primitives.h"

namespace velquin::progressbar {
namespace {

using draw::Rgb;

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kSilver = 0xC0C0C0;

ProgressBarLook Look(int style, int w, int h, int percent, bool vertical = false) {
  ProgressBarLook look;
  look.width = w;
  look.height = h;
  look.percent = percent;
  look.colour = kGreen;
  look.style = style;
  look.vertical = vertical;
  return look;
}

Canvas Paint(const ProgressBarLook& look) {
  Canvas dc(look.width, look.height, 0x123456);
  PaintProgressBar(dc, look);
  return dc;
}

bool AllWhite(const Canvas& dc, const Rect& r) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (dc.GetPixel(x, y) != kWhite) return false;
  return true;
}

int CountColour(const Canvas& dc, Colour c, const Rect& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += dc.GetPixel(x, y) == c;
  return n;
}

TEST(ProgressBarStyles, SegmentedBarAt50PercentShowsTwelveBlocksOnAnEightPixelGrid) {
  auto look = Look(0, 200, 20, 50);
  EXPECT_EQ(BarEdge(look), 99);
  Canvas dc = Paint(look);
  const int y = 10;  // the solid middle band, colour C
  for (int k = 0; k < 12; ++k) {
    int start = 4 + 8 * k;
    SCOPED_TRACE(start);
    EXPECT_EQ(dc.GetPixel(start - 1, y), kWhite);
    for (int x = start; x < start + 6; ++x) EXPECT_EQ(dc.GetPixel(x, y), kGreen);
    EXPECT_EQ(dc.GetPixel(start + 6, y), kWhite);
    EXPECT_EQ(dc.GetPixel(start + 7, y), kWhite);
  }
  EXPECT_TRUE(AllWhite(dc, {98, 3, 197, 17}));  // nothing right of the last gap
  // Top rows ramp from the light tint: row 3 is LightenColor(C, 150).
  EXPECT_EQ(dc.GetPixel(5, 3), LightenColor(kGreen, 150));
}

TEST(ProgressBarStyles, NearlyEmptyBarStillShowsItsFirstColumns) {
  Canvas smooth = Paint(Look(1, 200, 20, 0));
  for (int x = 4; x <= 11; ++x) EXPECT_EQ(smooth.GetPixel(x, 10), kGreen) << x;
  EXPECT_EQ(smooth.GetPixel(12, 10), kWhite);
  Canvas segmented = Paint(Look(0, 200, 20, 0));
  for (int x = 4; x <= 9; ++x) EXPECT_EQ(segmented.GetPixel(x, 10), kGreen) << x;
  EXPECT_EQ(segmented.GetPixel(10, 10), kWhite);
  EXPECT_EQ(segmented.GetPixel(11, 10), kWhite);
}

TEST(ProgressBarStyles, MarqueeBlocksFollowThePercentage) {
  auto look = Look(2, 489, 17, 50);
  EXPECT_EQ(BarEdge(look), 251);
  Canvas dc = Paint(look);
  const int y = 8;
  EXPECT_EQ(dc.GetPixel(227, y), kWhite);
  EXPECT_EQ(dc.GetPixel(228, y), LightenColor(kGreen, 220));
  EXPECT_EQ(dc.GetPixel(237, y), LightenColor(kGreen, 200));
  EXPECT_EQ(dc.GetPixel(238, y), kWhite);
  EXPECT_EQ(dc.GetPixel(240, y), LightenColor(kGreen, 180));
  EXPECT_EQ(dc.GetPixel(252, y), LightenColor(kGreen, 140));
  EXPECT_EQ(dc.GetPixel(261, y), LightenColor(kGreen, 120));
  EXPECT_EQ(dc.GetPixel(262, y), kWhite);
  EXPECT_EQ(dc.GetPixel(228, 2), 0xEFEFEFu);  // frame line above the blocks
  EXPECT_EQ(dc.GetPixel(228, 3), LightenColor(kGreen, 220));
  EXPECT_EQ(dc.GetPixel(228, 14), LightenColor(kGreen, 220));  // rows 3 to H - 3
  EXPECT_EQ(dc.GetPixel(228, 15), 0xEFEFEFu);                  // the frame below

  Canvas empty = Paint(Look(2, 489, 17, 0));
  EXPECT_TRUE(AllWhite(empty, {3, 3, 486, 14}));
}

TEST(ProgressBarStyles, VerticalBarIsEmptyAtZeroAndReachesTheTopFrom98) {
  for (int style : {0, 1}) {
    SCOPED_TRACE(style);
    Canvas empty = Paint(Look(style, 20, 100, 0, true));
    EXPECT_TRUE(AllWhite(empty, {3, 3, 17, 97}));
    Canvas full = Paint(Look(style, 20, 100, 98, true));
    EXPECT_EQ(full.GetPixel(10, 4), kGreen);
    EXPECT_EQ(full.GetPixel(10, 96), kGreen);
  }
  EXPECT_EQ(Paint(Look(1, 20, 100, 100, true)).GetPixel(10, 3), kGreen);

  // 37 %: nearest(100 * (1 - 37 / 98)) = 62, moved down onto the 8-pixel grid counted from the
  // bottom: 68. Four blocks of six rows with two-row gaps below each.
  auto look = Look(0, 20, 100, 37, true);
  EXPECT_EQ(BarEdge(look), 68);
  Canvas dc = Paint(look);
  EXPECT_EQ(dc.GetPixel(10, 67), kWhite);
  for (int top : {68, 76, 84, 92}) {
    SCOPED_TRACE(top);
    for (int y = top; y < top + 6; ++y) EXPECT_EQ(dc.GetPixel(10, y), kGreen);
    if (top + 6 < 98) {
      EXPECT_EQ(dc.GetPixel(10, top + 6), kWhite);
    }
  }
  EXPECT_EQ(dc.GetPixel(10, 98), 0xEFEFEFu);  // frame
}

TEST(ProgressBarStyles, FullScaleExtents) {
  const int W = 200, H = 20, mid = 10;
  const Colour face_light = Rgb(212, 208, 200);  // 3-D light of the pinned palette
  // Style 3 covers columns 1 to W - 1, over its own outline's right column.
  Canvas flat = Paint(Look(3, W, H, 100));
  EXPECT_EQ(flat.GetPixel(W - 1, mid), LightenColor(kGreen, 180));
  EXPECT_EQ(flat.GetPixel(0, mid), LightenColor(kGreen, 100));
  EXPECT_EQ(flat.GetPixel(W - 1, H - 1), LightenColor(kGreen, 100));

  // Styles 5, 7 and 8 use 100/101 of the width: nearest(200 * 100 / 101) = 198.
  Canvas track = Paint(Look(5, W, H, 100));
  EXPECT_EQ(track.GetPixel(198, mid), LightenColor(kGreen, 25));  // the end line
  EXPECT_EQ(track.GetPixel(197, 3), LightenColor(kGreen, 250));   // the bar's first row
  EXPECT_EQ(track.GetPixel(199, mid), LightenColor(kGreen, 10));  // outline

  ProgressBarLook hatched = Look(7, W, H, 100);
  hatched.brush_style = 1;  // vertical: a line in every column x with x mod 8 = 4
  Canvas h7 = Paint(hatched);
  EXPECT_EQ(h7.GetPixel(196, mid), kGreen);
  EXPECT_EQ(h7.GetPixel(197, mid), LightenColor(kGreen, 140));
  EXPECT_EQ(h7.GetPixel(198, mid), face_light);  // inner ring of the bump edge, not the bar

  const draw::Image tile(4, 4, draw::ToPixel(Rgb(200, 10, 20)));
  ProgressBarLook picture = Look(8, 489, H, 100);
  picture.image = &tile;
  Canvas p8 = Paint(picture);  // 484 wide from column 2: columns 2 to 485
  EXPECT_EQ(p8.GetPixel(2, 2), Rgb(200, 10, 20));
  EXPECT_EQ(p8.GetPixel(485, H - 3), Rgb(200, 10, 20));
  EXPECT_EQ(p8.GetPixel(486, mid), kWhite);
  EXPECT_EQ(p8.GetPixel(485, H - 2), kWhite);
}

TEST(ProgressBarStyles, HatchGapsArePaintedEvenAfterTransparentText) {
  ProgressBarLook look = Look(7, 100, 20, 50);
  look.brush_style = 0;  // horizontal
  Canvas dc(100, 20);
  dc.SetBkMode(draw::BkMode::Transparent);
  PaintProgressBar(dc, look);
  EXPECT_EQ(dc.GetPixel(20, 11), kGreen);  // row 11 = 3 mod 8
  EXPECT_EQ(dc.GetPixel(20, 10), LightenColor(kGreen, 140));
  ProgressBarLook bad = look;
  bad.brush_style = 6;  // no such hatch: no bar
  Canvas none = Paint(bad);
  EXPECT_TRUE(AllWhite(none, {2, 2, 98, 18}));
  bad.brush_style = 65536 + 3;  // taken as a 16-bit number: 3
  Canvas wrapped = Paint(bad);
  look.brush_style = 3;
  EXPECT_EQ(wrapped.Pixels(), Paint(look).Pixels());
}

TEST(ProgressBarStyles, PictureStyleWithoutAPictureDrawsOnlyItsBorder) {
  Canvas dc = Paint(Look(8, 60, 20, 70));
  EXPECT_EQ(dc.GetPixel(0, 0), Rgb(128, 128, 128));  // sunken: shadow at top and left
  EXPECT_EQ(dc.GetPixel(0, 18), Rgb(128, 128, 128));
  EXPECT_EQ(dc.GetPixel(30, 19), kWhite);             // highlight at bottom and right
  EXPECT_TRUE(AllWhite(dc, {1, 1, 60, 20}));
}

TEST(ProgressBarStyles, GlassHalvesOverlapWithTheLowerDrawnLast) {
  // H = 20: half = nearest(8.5) = 8; upper halves rows 2 to 10, lower halves rows 8 to 16.
  Canvas dc = Paint(Look(9, 200, 20, 50));  // bar ends at nearest(0.5 * 196) = 98
  EXPECT_EQ(dc.GetPixel(50, 3), Rgb(131, 246, 131));  // upper bar ramp, first step
  EXPECT_EQ(dc.GetPixel(50, 7), Rgb(56, 208, 56));
  EXPECT_EQ(dc.GetPixel(50, 8), Rgb(0, 190, 0));  // lower bar starts at MixColors(C, black, 190)
  EXPECT_EQ(dc.GetPixel(50, 16), kGreen);
  EXPECT_EQ(dc.GetPixel(50, 17), kWhite);
  EXPECT_EQ(dc.GetPixel(97, 8), Rgb(0, 190, 0));
  EXPECT_EQ(dc.GetPixel(98, 8), kSilver);  // track
  EXPECT_EQ(dc.GetPixel(150, 3), Rgb(247, 247, 247));
  EXPECT_EQ(dc.GetPixel(150, 12), kSilver);
}

TEST(ProgressBarStyles, UnknownStylesDrawLikeStyle1) {
  for (bool text : {false, true}) {
    ProgressBarLook one = Look(1, 120, 20, 63);
    one.show_text = text;
    Canvas reference = Paint(one);
    for (int style : {10, -1}) {
      ProgressBarLook other = one;
      other.style = style;
      EXPECT_EQ(Paint(other).Pixels(), reference.Pixels()) << style << " " << text;
    }
  }
}

TEST(ProgressBarStyles, TextIsCentredInTheNormalColour) {
  ProgressBarLook look = Look(1, 200, 20, 0);
  look.show_text = true;
  Canvas dc = Paint(look);
  const Colour text = 0x000040;  // red 64
  Rect box{200, 20, 0, 0};
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 200; ++x)
      if (dc.GetPixel(x, y) == text) box = {std::min(box.left, x), std::min(box.top, y),
                                            std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
  ASSERT_FALSE(box.IsEmpty());
  EXPECT_NEAR((box.left + box.right) / 2.0, 100, 2);
  EXPECT_NEAR((box.top + box.bottom) / 2.0, 10, 3);
  EXPECT_EQ(ProgressText(look), "0 %");
  look.style = 2;
  EXPECT_EQ(ProgressText(look), "Gathering Required Information");
}

TEST(ProgressBarStyles, DarkStyleSplitsItsTextAtTheBarEnd) {
  const Colour normal = kSilver;
  const Colour over = LightenColor(kGreen, 80);
  auto paint = [](int percent) {
    ProgressBarLook look = Look(6, 200, 20, percent);
    look.show_text = true;
    return Paint(look);
  };
  const Rect all{0, 0, 200, 20};
  Canvas empty = paint(0);
  EXPECT_GT(CountColour(empty, normal, all), 0);
  EXPECT_EQ(CountColour(empty, over, all), 0);
  Canvas full = paint(100);
  EXPECT_EQ(CountColour(full, normal, all), 0);
  EXPECT_GT(CountColour(full, over, all), 0);
  // 50 %: the bar ends at column 100, inside the text.
  Canvas half = paint(50);
  EXPECT_GT(CountColour(half, over, {0, 0, 100, 20}), 0);
  EXPECT_EQ(CountColour(half, over, {100, 0, 200, 20}), 0);
  EXPECT_GT(CountColour(half, normal, {100, 0, 200, 20}), 0);
  EXPECT_EQ(CountColour(half, normal, {0, 0, 100, 20}), 0);
}

}  // namespace
}  // namespace velquin::progressbar
