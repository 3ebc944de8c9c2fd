#include "draw/theme.h"

#include <gtest/gtest.h>

#include "draw/canvas.h"

namespace velquin::draw {
namespace {

// Tests take the classic path on purpose by pinning themes off: then nothing is themed, whatever
// the desktop has.
TEST(Theme, PinnedOffThereIsNoThemedButtonAndNothingIsDrawn) {
  const Rect rect{0, 0, 60, 24};
  PinThemesActive(false);
  Canvas untouched(60, 24, Rgb(255, 0, 255));
  EXPECT_FALSE(ThemesActive());
  EXPECT_FALSE(DrawThemedPushButton(untouched, rect, rect, PushButtonLook{}));
  EXPECT_EQ(untouched.Pixels(), Canvas(60, 24, Rgb(255, 0, 255)).Pixels());
  PinThemesActive(true);
  EXPECT_TRUE(ThemesActive());
  PinThemesActive(std::nullopt);
}

}  // namespace
}  // namespace velquin::draw
