#include "draw/rounding.h"

#include <cfenv>
#include <limits>

#include <gtest/gtest.h>

namespace velquin::draw {
namespace {

TEST(Rounding, NearestTakesHalvesToTheEvenNeighbour) {
  struct Case {
    double x;
    int expected;
  } cases[] = {{2.5, 2},   {3.5, 4},    {-2.5, -2}, {-3.5, -4}, {0.5, 0},  {1.5, 2},
               {8.5, 8},   {2.4999, 2}, {2.5001, 3}, {-0.4, 0}, {-0.6, -1}, {244.5, 244},
               {1e12, std::numeric_limits<int>::max()}, {-1e12, std::numeric_limits<int>::min()}};
  for (const auto& c : cases) EXPECT_EQ(Nearest(c.x), c.expected) << c.x;
}

TEST(Rounding, NearestIgnoresTheFloatingPointRoundingMode) {
  int old = std::fegetround();
  std::fesetround(FE_UPWARD);
  EXPECT_EQ(Nearest(2.5), 2);
  EXPECT_EQ(Nearest(2.2), 2);
  std::fesetround(old);
}

TEST(Rounding, IntegerDivisionTruncatesTowardZero) {
  EXPECT_EQ(DivTrunc(7, 2), 3);
  EXPECT_EQ(DivTrunc(-7, 2), -3);
  EXPECT_EQ(DivTrunc(7, -2), -3);
  EXPECT_EQ(ModTrunc(-7, 8), -7);
  EXPECT_EQ(ModTrunc(13, 8), 5);
  EXPECT_EQ(DivTrunc(5, 0), 0);
  EXPECT_EQ(DivTrunc(std::numeric_limits<std::int32_t>::min(), -1),
            std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace velquin::draw
