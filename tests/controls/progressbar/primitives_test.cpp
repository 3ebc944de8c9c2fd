#include "controls/progressbar/primitives.h"

#include <gtest/gtest.h>

namespace velquin::progressbar {
namespace {

using draw::Rgb;

TEST(ColourMixing, LightenColorMovesEachChannelTowardsWhite) {
  EXPECT_EQ(LightenColor(0x000000, 150), Rgb(150, 150, 150));
  EXPECT_EQ(LightenColor(Rgb(10, 100, 200), 0), Rgb(10, 100, 200));
  EXPECT_EQ(LightenColor(Rgb(10, 100, 200), 255), Rgb(255, 255, 255));
  // 150 + 105 * 255 / 255 for green; integer division for the others: 150 + 105 * 100 / 255 = 191.
  EXPECT_EQ(LightenColor(Rgb(0, 255, 100), 150), Rgb(150, 255, 191));
  EXPECT_EQ(LightenColor(draw::SystemColourRef(draw::kColourHighlight), 0), Rgb(10, 36, 106));
}

TEST(ColourMixing, MixColorsBlendsByAmountWithHalvesToEven) {
  EXPECT_EQ(MixColors(Rgb(255, 0, 0), 0x000000, 200), Rgb(200, 0, 0));
  EXPECT_EQ(MixColors(Rgb(1, 2, 3), Rgb(9, 8, 7), 255), Rgb(1, 2, 3));
  EXPECT_EQ(MixColors(Rgb(1, 2, 3), Rgb(9, 8, 7), 0), Rgb(9, 8, 7));
  EXPECT_EQ(MixColors(draw::SystemColourRef(draw::kColourButtonFace), 0xFFFFFF, 255),
            Rgb(212, 208, 200));
}

class GradientTest : public ::testing::Test {
 protected:
  Canvas dc{12, 12, 0xFFFFFF};
  static constexpr Colour kWhite = 0xFFFFFF;
};

TEST_F(GradientTest, VerticalLinesTakeX2AsACountAndY2AsAnEndRow) {
  Colour c1 = Rgb(0, 0, 0), c2 = Rgb(200, 100, 40);
  bool vertical = true;
  DrawGradient(c1, c2, 2, 1, 4, 5, dc, vertical);
  for (int x = 2; x <= 6; ++x) {
    EXPECT_NE(dc.GetPixel(x, 1), kWhite) << x;
    EXPECT_NE(dc.GetPixel(x, 4), kWhite) << x;
    EXPECT_EQ(dc.GetPixel(x, 5), kWhite) << x;  // end row left out
  }
  EXPECT_EQ(dc.GetPixel(1, 2), kWhite);
  EXPECT_EQ(dc.GetPixel(7, 2), kWhite);
  EXPECT_EQ(dc.GetPixel(2, 2), c1);
  EXPECT_EQ(dc.GetPixel(6, 2), c2);
  EXPECT_EQ(dc.GetPixel(4, 2), Rgb(100, 50, 20));
}

TEST_F(GradientTest, HorizontalLinesTakeY2AsACountAndResolveTheirColoursInPlace) {
  Colour c1 = draw::SystemColourRef(draw::kColourHighlight), c2 = 0xFFFFFF;
  bool vertical = false;
  DrawGradient(c1, c2, 1, 3, 5, 2, dc, vertical);
  EXPECT_EQ(c1, Rgb(10, 36, 106));  // written back resolved
  EXPECT_EQ(dc.GetPixel(1, 3), c1);
  EXPECT_EQ(dc.GetPixel(4, 5), kWhite);  // last row is c2
  // Middle row: 10 + 122.5, 36 + 109.5, 106 + 74.5, each half going to the even neighbour.
  EXPECT_EQ(dc.GetPixel(4, 4), Rgb(132, 146, 180));
}

TEST_F(GradientTest, ZeroCountDrawsOneLineInTheFirstColourAndNegativeNothing) {
  Colour c1 = Rgb(5, 6, 7), c2 = Rgb(200, 0, 0);
  bool vertical = true;
  DrawGradient(c1, c2, 3, 0, 0, 4, dc, vertical);
  EXPECT_EQ(dc.GetPixel(3, 0), c1);
  EXPECT_EQ(dc.GetPixel(4, 0), kWhite);
  DrawGradient(c1, c2, 8, 0, -1, 4, dc, vertical);
  EXPECT_EQ(dc.GetPixel(8, 0), kWhite);
  EXPECT_EQ(dc.GetPixel(7, 0), kWhite);
}

}  // namespace
}  // namespace velquin::progressbar
