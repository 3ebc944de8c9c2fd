#include "controls/button/face_color.h"

#include <gtest/gtest.h>

#include "draw/colour.h"

namespace velquin::button {
namespace {

using draw::Rgb;

struct ShiftCase {
  Colour in;
  double amount;
  Colour out;
};

TEST(FaceColor, ShiftColorRoundsLikeTheStoredAmountsAndClamps) {
  const ShiftCase cases[] = {
      {Rgb(250, 10, 128), +0.1, Rgb(255, 36, 154)},
      {Rgb(250, 10, 128), -0.1, Rgb(224, 0, 102)},
      {Rgb(55, 98, 6), +0.3, Rgb(132, 175, 83)},  // 174.5000030 -> 175, not 174
      {Rgb(200, 100, 50), +0.03, Rgb(208, 108, 58)},
      {Rgb(200, 100, 50), -0.12, Rgb(169, 69, 19)},
      {Rgb(0, 0, 0), -0.34, Rgb(0, 0, 0)},
      {Rgb(255, 255, 255), +0.22, Rgb(255, 255, 255)},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShiftColor(c.in, c.amount), c.out) << std::hex << c.in << " by " << c.amount;
}

TEST(FaceColor, BlendIsTheMeanWithHalvesToEven) {
  EXPECT_EQ(BlendColors(kWhite, Rgb(236, 235, 231)), Rgb(246, 245, 243));
  // 127.5 -> 128, 0.5 -> 0, 1.5 -> 2
  EXPECT_EQ(BlendColors(Rgb(255, 1, 3), kBlack), Rgb(128, 0, 2));
}

TEST(FaceColor, GradientStepsTruncateTowardZero) {
  EXPECT_EQ(GradientStep(kWhite, kWhite, 0, 1), Rgb(254, 254, 254));
  EXPECT_EQ(GradientStep(Rgb(10, 20, 30), Rgb(200, 100, 0), 0, 2), Rgb(10, 20, 30));
  EXPECT_EQ(GradientStep(Rgb(10, 20, 30), Rgb(200, 100, 0), 1, 2), Rgb(200, 100, 0));
  // Falling channel: 200 - 100 / 3 = 167 (truncation), not 166 (floor).
  EXPECT_EQ(GradientStep(Rgb(200, 0, 0), Rgb(100, 3, 0), 1, 4), Rgb(167, 1, 0));
}

TEST(FaceColor, GradientFillRunsRowsOrColumnsAndClips) {
  draw::Canvas c(6, 4, Rgb(1, 2, 3));
  GradientFill(c, 0, 0, 6, 1, kWhite, kWhite, 1);  // one row of white to white
  EXPECT_EQ(c.GetPixel(0, 0), Rgb(254, 254, 254));
  GradientFill(c, 0, 1, 6, 2, Rgb(10, 10, 10), Rgb(50, 50, 50), 1);
  EXPECT_EQ(c.GetPixel(5, 1), Rgb(10, 10, 10));
  EXPECT_EQ(c.GetPixel(5, 2), Rgb(50, 50, 50));
  GradientFill(c, 4, 3, 3, 5, Rgb(0, 0, 0), Rgb(100, 0, 0), 0);  // columns, runs off the edge
  EXPECT_EQ(c.GetPixel(4, 3), Rgb(0, 0, 0));
  EXPECT_EQ(c.GetPixel(5, 3), Rgb(50, 0, 0));
  GradientFill(c, 0, 3, 0, 1, kWhite, kWhite, 0);
  GradientFill(c, 0, 3, 2, -1, kWhite, kWhite, 0);
  EXPECT_EQ(c.GetPixel(0, 3), Rgb(1, 2, 3));
}

}  // namespace
}  // namespace velquin::button
