#include "draw/canvas.h"

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

class CanvasTest : public ::testing::Test {
 protected:
  void SetUp() override { PinSystemPalette(ClassicPalette()); }
  void TearDown() override { PinSystemPalette(std::nullopt); }
};

TEST_F(CanvasTest, FillRectExcludesRightAndBottomEdges) {
  Canvas c(6, 6, 0xFFFFFF);
  c.FillRect({1, 1, 4, 3}, 0x0000FF);
  EXPECT_EQ(c.GetPixel(1, 1), 0x0000FFu);
  EXPECT_EQ(c.GetPixel(3, 2), 0x0000FFu);
  EXPECT_EQ(c.GetPixel(4, 2), 0xFFFFFFu);
  EXPECT_EQ(c.GetPixel(3, 3), 0xFFFFFFu);
  EXPECT_EQ(c.GetPixel(-1, 0), kInvalidColour);
}

}  // namespace
}  // namespace velquin::draw
