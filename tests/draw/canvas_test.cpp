#include "draw/canvas.h"

#include <set>

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

constexpr Colour kWhite = 0xFFFFFF;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;

// Classic palette: highlight white, 3-D light (212, 208, 200), shadow (128, 128, 128), dark
// shadow (64, 64, 64).
constexpr Colour kHi = Rgb(255, 255, 255);
constexpr Colour kLight = Rgb(212, 208, 200);
constexpr Colour kShadow = Rgb(128, 128, 128);
constexpr Colour kDark = Rgb(64, 64, 64);

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override { PinSystemColours(ClassicSystemColours()); }
  void TearDown() override { PinSystemColours(std::nullopt); }

  // Bounding box of the pixels of colour `c` (empty rect when none).
  static Rect BoxOf(const Canvas& canvas, Colour c) {
    Rect box{canvas.Width(), canvas.Height(), 0, 0};
    for (int y = 0; y < canvas.Height(); ++y)
      for (int x = 0; x < canvas.Width(); ++x)
        if (canvas.GetPixel(x, y) == c) {
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x + 1);
          box.bottom = std::max(box.bottom, y + 1);
        }
    return box.IsEmpty() ? Rect{} : box;
  }
  static int Count(const Canvas& canvas, Colour c) {
    int n = 0;
    for (int y = 0; y < canvas.Height(); ++y)
      for (int x = 0; x < canvas.Width(); ++x) n += canvas.GetPixel(x, y) == c;
    return n;
  }
};

TEST_F(CanvasTest, FillAndFrameExcludeRightAndBottomEdgesAndClip) {
  Canvas c(8, 8, kWhite);
  c.FillRect({1, 1, 4, 3}, kRed);
  EXPECT_EQ(BoxOf(c, kRed), (Rect{1, 1, 4, 3}));
  c.FrameRect({-2, 4, 6, 8}, kBlue);  // clipped on the left
  EXPECT_EQ(BoxOf(c, kBlue), (Rect{0, 4, 6, 8}));
  EXPECT_EQ(c.GetPixel(5, 5), kBlue);
  EXPECT_EQ(c.GetPixel(4, 5), kWhite);
  EXPECT_EQ(c.GetPixel(-1, 0), kInvalidColour);
  c.SetPixel(100, 100, kRed);  // outside: ignored
  c.FillRect({5, 5, 5, 9}, kRed);  // empty
  c.FrameRect({7, 7, 5, 5}, kRed);  // right and bottom before left and top: no frame
  EXPECT_EQ(Count(c, kRed), 6);
  c.FillRect({7, 7, 5, 6}, Rgb(0, 128, 0));  // but a fill, counted back from right and bottom
  EXPECT_EQ(BoxOf(c, Rgb(0, 128, 0)), (Rect{5, 6, 7, 7}));
  c.FillRect({0, 0, 1, 1}, SystemColourRef(kColourHighlight));
  EXPECT_EQ(c.GetPixel(0, 0), Rgb(10, 36, 106));
}

TEST_F(CanvasTest, LinesLeaveOutTheirEndPointInEveryDirection) {
  struct Case {
    int x1, y1, x2, y2;
    Rect painted;
  } cases[] = {
      {1, 2, 5, 2, {1, 2, 5, 3}},  // right
      {5, 2, 1, 2, {2, 2, 6, 3}},  // left
      {3, 1, 3, 6, {3, 1, 4, 6}},  // down
      {3, 6, 3, 1, {3, 2, 4, 7}},  // up
      {1, 1, 5, 5, {1, 1, 5, 5}},  // diagonal: (1,1)..(4,4)
      {2, 2, 2, 2, {}},            // zero length paints nothing
  };
  for (const auto& k : cases) {
    Canvas c(8, 8, kWhite);
    c.DrawLine(k.x1, k.y1, k.x2, k.y2, kRed);
    EXPECT_EQ(BoxOf(c, kRed), k.painted) << k.x1 << "," << k.y1 << "->" << k.x2 << "," << k.y2;
  }
  Canvas c(8, 8, kWhite);
  c.SetPenColour(kBlue);
  c.MoveTo(0, 0);
  c.LineTo(4, 0);
  c.LineTo(4, 3);  // continues from (4, 0), which the first line left out
  EXPECT_EQ(c.CurrentPosition(), (Point{4, 3}));
  EXPECT_EQ(Count(c, kBlue), 7);
  EXPECT_EQ(c.GetPixel(4, 3), kWhite);
}

TEST_F(CanvasTest, LinesHalfWayBetweenTwoPixelsLightTheUpperOrTheLeftOne) {
  // Slopes 1/2 and 2 from (10, 10): the first step falls exactly between two pixels, in each of
  // the eight octants; the upper one is lit where x leads, the left one where y leads.
  struct Case {
    int dx, dy;
    Point lit, unlit;  // of the first step, relative to the start
  } cases[] = {
      {8, 4, {1, 0}, {1, 1}},     {8, -4, {1, -1}, {1, 0}},  {-8, 4, {-1, 0}, {-1, 1}},
      {-8, -4, {-1, -1}, {-1, 0}}, {4, 8, {0, 1}, {1, 1}},   {-4, 8, {-1, 1}, {0, 1}},
      {4, -8, {0, -1}, {1, -1}},  {-4, -8, {-1, -1}, {0, -1}},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(testing::Message() << k.dx << ", " << k.dy);
    Canvas c(21, 21, kWhite);
    c.DrawLine(10, 10, 10 + k.dx, 10 + k.dy, kRed);
    EXPECT_EQ(c.GetPixel(10 + k.lit.x, 10 + k.lit.y), kRed);
    EXPECT_EQ(c.GetPixel(10 + k.unlit.x, 10 + k.unlit.y), kWhite);
    EXPECT_EQ(Count(c, kRed), 8);
  }
}

TEST_F(CanvasTest, EdgesUseTheSystemColoursOfEachKind) {
  // Corner pixels: top-left, top-right, bottom-left, bottom-right of the outer ring, then the
  // top-left of the inner ring.
  struct Case {
    Edge edge;
    Colour tl, tr, bl, br, inner_tl;
  } cases[] = {
      {Edge::Raised, kLight, kDark, kDark, kDark, kHi},
      {Edge::Sunken, kShadow, kHi, kHi, kHi, kDark},
      {Edge::Etched, kShadow, kHi, kHi, kHi, kHi},
      {Edge::Bump, kLight, kDark, kDark, kDark, kDark},
      {Edge::RaisedInner, kHi, kShadow, kShadow, kShadow, kRed},
      {Edge::SunkenOuter, kShadow, kHi, kHi, kHi, kRed},
  };
  for (const auto& k : cases) {
    Canvas c(10, 8, kRed);
    Rect inside = c.DrawEdge({0, 0, 10, 8}, k.edge, EdgeFlags::Rect | EdgeFlags::Adjust);
    SCOPED_TRACE(Bits(k.edge));
    EXPECT_EQ(c.GetPixel(0, 0), k.tl);
    EXPECT_EQ(c.GetPixel(9, 0), k.tr);
    EXPECT_EQ(c.GetPixel(0, 7), k.bl);
    EXPECT_EQ(c.GetPixel(9, 7), k.br);
    EXPECT_EQ(c.GetPixel(1, 1), k.inner_tl);
    int rings = (Bits(k.edge) & 3 ? 1 : 0) + (Bits(k.edge) & 12 ? 1 : 0);
    EXPECT_EQ(inside, (Rect{rings, rings, 10 - rings, 8 - rings}));
    EXPECT_EQ(c.GetPixel(5, 4), kRed);  // interior untouched without BF_MIDDLE
  }
  Canvas c(10, 8, kRed);
  EXPECT_EQ(c.DrawEdge({0, 0, 10, 8}, Edge::Sunken, EdgeFlags::Top | EdgeFlags::Middle),
            (Rect{0, 0, 10, 8}));
  EXPECT_EQ(c.GetPixel(0, 7), kLight);  // no left or bottom side; the middle is button face
  EXPECT_EQ(c.GetPixel(0, 0), kShadow);
}

TEST_F(CanvasTest, FocusRectangleInvertsEveryOtherOutlinePixelAndUndoesItself) {
  Canvas c(9, 7, kWhite);
  c.DrawFocusRect({1, 1, 8, 6});
  EXPECT_EQ(c.GetPixel(1, 1), 0u);      // (1 + 1) even: inverted
  EXPECT_EQ(c.GetPixel(2, 1), kWhite);  // odd: left alone
  EXPECT_EQ(c.GetPixel(3, 1), 0u);
  EXPECT_EQ(c.GetPixel(7, 5), 0u);
  EXPECT_EQ(c.GetPixel(4, 3), kWhite);  // interior
  EXPECT_EQ(Count(c, 0), 10);
  c.DrawFocusRect({1, 1, 8, 6});
  EXPECT_EQ(Count(c, kWhite), 63);
}

TEST_F(CanvasTest, HatchBrushesAreAlignedToTheOriginAndHonourTheBackgroundMode) {
  // Pixel (x, y) of an 8x8 cell that each style sets.
  struct Case {
    HatchStyle style;
    Point on, off;
  } cases[] = {{HatchStyle::Horizontal, {5, 3}, {5, 4}},
               {HatchStyle::Vertical, {4, 6}, {5, 6}},
               {HatchStyle::ForwardDiagonal, {2, 2}, {5, 2}},
               {HatchStyle::BackwardDiagonal, {5, 2}, {2, 2}},
               {HatchStyle::Cross, {4, 0}, {0, 0}},
               {HatchStyle::DiagonalCross, {1, 6}, {1, 5}}};
  for (const auto& k : cases) {
    SCOPED_TRACE(Bits(k.style));
    Canvas c(20, 20, kWhite);
    c.SetBkMode(BkMode::Opaque);
    c.SetBkColor(kBlue);
    c.FillRect({3, 3, 20, 20}, Brush::Hatch(k.style, kRed));
    // The cell at (8, 8) repeats the one at the origin.
    EXPECT_EQ(c.GetPixel(8 + k.on.x, 8 + k.on.y), kRed);
    EXPECT_EQ(c.GetPixel(8 + k.off.x, 8 + k.off.y), kBlue);
    EXPECT_EQ(c.GetPixel(2, 2), kWhite);
    c.SetBkMode(BkMode::Transparent);
    c.FillRect({0, 0, 20, 20}, Brush::Hatch(k.style, 0x00FF00));
    EXPECT_EQ(c.GetPixel(8 + k.off.x, 8 + k.off.y), kBlue);  // gaps kept
    EXPECT_EQ(c.GetPixel(8 + k.on.x, 8 + k.on.y), 0x00FF00u);
  }
  EXPECT_TRUE(Brush::Hatch(static_cast<HatchStyle>(6), kRed).IsNull());
  Canvas c(4, 4, kWhite);
  c.FillRect({0, 0, 4, 4}, Brush::Hatch(static_cast<HatchStyle>(-1), kRed));
  EXPECT_EQ(Count(c, kWhite), 16);
}

TEST_F(CanvasTest, PatternBrushTilesFromTheSurfaceOriginWhateverTheFillOrigin) {
  Image tile(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) tile.SetPixelAt(x, y, ToPixel(Rgb(10 * x, 100 * y, 7)));
  Canvas c(12, 9, kWhite);
  c.SetBrush(Brush::Pattern(tile));
  c.PatBlt(2, 2, 7, 5);
  for (int y = 2; y < 7; ++y)
    for (int x = 2; x < 9; ++x) ASSERT_EQ(c.GetPixel(x, y), Rgb(10 * (x % 3), 100 * (y % 2), 7));
  EXPECT_EQ(c.GetPixel(9, 2), kWhite);
  EXPECT_EQ(c.GetPixel(2, 7), kWhite);
}

TEST_F(CanvasTest, PatBltRasterOperations) {
  Canvas c(4, 1, Rgb(0x10, 0x20, 0x30));
  c.SetBrush(Brush::Solid(Rgb(0xFF, 0, 0)));
  c.PatBlt(0, 0, 1, 1, Rop::PatCopy);
  c.PatBlt(1, 0, 1, 1, Rop::PatInvert);
  c.PatBlt(3, 0, -1, 1, Rop::DstInvert);  // negative width: the block left of x
  c.PatBlt(3, 0, 1, 1, Rop::Whiteness);
  EXPECT_EQ(c.GetPixel(0, 0), Rgb(0xFF, 0, 0));
  EXPECT_EQ(c.GetPixel(1, 0), Rgb(0xEF, 0x20, 0x30));
  EXPECT_EQ(c.GetPixel(2, 0), Rgb(0xEF, 0xDF, 0xCF));
  EXPECT_EQ(c.GetPixel(3, 0), kWhite);
}

TEST_F(CanvasTest, BlockCopiesClipToBothSurfaces) {
  Canvas src(4, 4, kRed);
  src.SetPixel(3, 3, kBlue);
  Canvas dst(5, 5, kWhite);
  dst.BitBlt(2, 2, 10, 10, src, 1, 1);  // copies src (1..3) to dst (2..4)
  EXPECT_EQ(BoxOf(dst, kRed), (Rect{2, 2, 5, 5}));
  EXPECT_EQ(dst.GetPixel(4, 4), kBlue);
  dst.BitBlt(-1, 0, 2, 1, src, 2, 3);  // negative destination: only the visible column
  EXPECT_EQ(dst.GetPixel(0, 0), kBlue);

  Image block(2, 1);
  block.SetHasAlpha(true);
  block.SetPixelAt(0, 0, 0x00010203u);  // alpha ignored
  block.SetPixelAt(1, 0, 0xFF040506u);
  dst.DrawImage(3, 0, block);
  EXPECT_EQ(dst.GetPixel(3, 0), Rgb(1, 2, 3));
  EXPECT_EQ(dst.GetPixel(4, 0), Rgb(4, 5, 6));
  EXPECT_EQ(dst.Pixels().PixelAt(3, 0), 0xFF010203u);  // drawn pixels are opaque
  Image read = dst.ReadBlock({3, 0, 9, 1});
  EXPECT_EQ(read.Width(), 2);
  EXPECT_EQ(read.PixelAt(1, 0), 0xFF040506u);

  dst.Resize(6, 2);
  EXPECT_EQ(dst.GetPixel(4, 0), Rgb(4, 5, 6));
  EXPECT_EQ(dst.GetPixel(5, 1), 0u);
}

// The text cases run on either platform's text engine, so they check metrics and where the ink
// falls, never the glyphs themselves.
using TF = TextFormat;

TEST_F(CanvasTest, MeasuredTextMatchesWhatIsDrawnAndIsClippedToItsRectangle) {
  Canvas c(120, 40, kWhite);
  c.SetBkMode(BkMode::Transparent);
  Rect calc{10, 5, 10, 5};
  int h = c.DrawTextIn("50 %", calc, TF::CalcRect | TF::SingleLine);
  Size size = c.MeasureText("50 %");
  EXPECT_GT(size.width, 10);
  EXPECT_EQ(calc, (Rect{10, 5, 10 + size.width, 5 + size.height}));
  EXPECT_EQ(h, size.height);
  EXPECT_GE(size.height, 11);  // an 11-pixel font
  EXPECT_LE(size.height, 16);
  EXPECT_EQ(Count(c, kWhite), 120 * 40);  // measuring draws nothing

  c.SetTextColor(kRed);
  c.DrawTextIn("50 %", calc, TF::SingleLine);
  Rect ink = BoxOf(c, kRed);
  EXPECT_FALSE(ink.IsEmpty());
  EXPECT_EQ(ink.Intersect(calc), ink);
  EXPECT_EQ(Count(c, kRed) + Count(c, kWhite), 120 * 40);  // no anti-aliased in-between colours
  for (int y = 0; y < c.Height(); ++y)  // text pixels are opaque too
    for (int x = 0; x < c.Width(); ++x) ASSERT_EQ(c.Pixels().PixelAt(x, y) >> 24, 0xFFu);

  Canvas clipped(120, 40, kWhite);
  clipped.SetTextColor(kRed);
  Rect half{10, 5, 10 + size.width / 2, 5 + size.height};
  clipped.DrawTextIn("50 %", half, TF::SingleLine);
  EXPECT_EQ(BoxOf(clipped, kRed).Intersect(half), BoxOf(clipped, kRed));
  EXPECT_LT(Count(clipped, kRed), Count(c, kRed));

  Rect empty{0, 0, 0, 0};
  EXPECT_EQ(c.DrawTextIn("", empty, TF::CalcRect), 0);
  EXPECT_EQ(c.MeasureText(""), (Size{}));
}

TEST_F(CanvasTest, OpaqueTextFillsItsExtentWithTheBackgroundColour) {
  Canvas c(80, 30, kWhite);
  c.SetBkMode(BkMode::Opaque);
  c.SetBkColor(kBlue);
  Rect r{0, 0, 80, 30};
  c.DrawTextIn("Hi", r, TF::SingleLine);
  Size s = c.MeasureText("Hi");
  EXPECT_EQ(BoxOf(c, kBlue).Intersect({0, 0, s.width, s.height}), BoxOf(c, kBlue));
  EXPECT_GT(Count(c, kBlue), 0);
  EXPECT_EQ(c.GetPixel(79, 29), kWhite);
}

TEST_F(CanvasTest, WordBreakWrapsAndCentres) {
  Canvas c(60, 80, kWhite);
  const std::string_view text = "Start the scan now";
  Rect one{0, 0, 1000, 0};
  int line = c.DrawTextIn(text, one, TF::CalcRect | TF::SingleLine);
  Rect wrapped{0, 0, 60, 0};
  int h = c.DrawTextIn(text, wrapped, TF::CalcRect | TF::WordBreak);
  EXPECT_GE(h, 2 * line);
  EXPECT_LE(wrapped.Width(), 60);
  EXPECT_EQ(wrapped.Height(), h);

  c.SetTextColor(kRed);
  c.SetBkMode(BkMode::Transparent);
  c.DrawTextIn("ab", Rect{0, 0, 60, 20}, TF::Center | TF::SingleLine | TF::VCenter);
  Rect ink = BoxOf(c, kRed);
  int mid_x = (ink.left + ink.right) / 2;
  int mid_y = (ink.top + ink.bottom) / 2;
  EXPECT_NEAR(mid_x, 30, 2);
  EXPECT_NEAR(mid_y, 10, 3);
}

TEST_F(CanvasTest, AmpersandUnderlinesTheAccessKeyAndADoubledOnePrintsOne) {
  auto draw = [](std::string_view text, TextFormat format) {
    Canvas c(80, 24, kWhite);
    c.SetBkMode(BkMode::Transparent);
    c.SetTextColor(0);
    c.DrawTextIn(text, Rect{2, 2, 80, 24}, format | TF::SingleLine);
    return c;
  };
  // "&S" draws an S with an underline below it: more ink, reaching lower.
  const Canvas plain = draw("S", TF::Left);
  const Canvas marked = draw("&S", TF::Left);
  EXPECT_GT(Count(marked, 0), Count(plain, 0));
  EXPECT_GT(BoxOf(marked, 0).bottom, BoxOf(plain, 0).bottom);
  EXPECT_EQ(draw("&S", TF::HidePrefix).Pixels(), plain.Pixels());
  // "A&&B" is "A&B" with nothing underlined.
  EXPECT_EQ(draw("A&&B", TF::Left).Pixels(), draw("A&B", TF::NoPrefix).Pixels());
  Canvas measure(1, 1);
  EXPECT_EQ(measure.MeasureText("A&&B").width, measure.MeasureText("A&B", TF::NoPrefix).width);
  EXPECT_EQ(measure.MeasureText("&Scan").width, measure.MeasureText("Scan").width);
}

TEST_F(CanvasTest, RightToLeftReadingReordersMixedTextButKeepsTheAlignment) {
  auto draw = [](TextFormat format) {
    Canvas c(120, 20, kWhite);
    c.SetBkMode(BkMode::Transparent);
    c.SetTextColor(0);
    c.DrawTextIn("abc!", Rect{0, 0, 120, 20}, format | TF::SingleLine);
    return c;
  };
  Canvas ltr = draw(TF::Left);
  Canvas rtl = draw(TF::RtlReading);
  EXPECT_NE(ltr.Pixels(), rtl.Pixels());  // "!" moves to the left end
  EXPECT_LT(BoxOf(rtl, 0).left, 4);       // still left-aligned
  EXPECT_EQ(BoxOf(rtl, 0).Width(), BoxOf(ltr, 0).Width());
  EXPECT_EQ(Count(rtl, 0), Count(ltr, 0));
}

TEST_F(CanvasTest, FontSelectionChangesTheMetricsAndIsRestorable) {
  Canvas c(1, 1);
  EXPECT_EQ(c.SelectedFont(), DefaultFont());
  Size normal = c.MeasureText("Velquin");
  FontSpec big = DefaultFont();
  big.points = 16;
  big.weight = 700;
  FontSpec previous = c.SetFont(big);
  Size large = c.MeasureText("Velquin");
  EXPECT_GT(large.width, normal.width);
  EXPECT_GT(large.height, normal.height);
  c.SetFont(previous);
  EXPECT_EQ(c.MeasureText("Velquin"), normal);
  EXPECT_EQ(PixelHeight(DefaultFont()), 11);
}

}  // namespace
}  // namespace velquin::draw
