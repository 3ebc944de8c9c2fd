#include "ui/main/yield_pacer.h"

#include <gtest/gtest.h>

namespace velquin::ui {
namespace {

using namespace std::chrono_literals;

TEST(YieldPacerTest, YieldsWhenEventsWaitOrTheIntervalHasPassed) {
    const YieldPacer::Clock::time_point start{};
    YieldPacer pacer;
    pacer.Restart(start);
    EXPECT_FALSE(pacer.Due(false, start + 1ms));
    EXPECT_TRUE(pacer.Due(true, start + 2ms));      // waiting events go first
    EXPECT_FALSE(pacer.Due(false, start + 5ms));    // the interval counts from that turn
    EXPECT_TRUE(pacer.Due(false, start + 6ms));
    EXPECT_FALSE(pacer.Due(false, start + 6ms + YieldPacer::kInterval - 1us));
    EXPECT_TRUE(pacer.Due(false, start + 6ms + YieldPacer::kInterval));
}

TEST(YieldPacerTest, NoIntervalYieldsEveryTime) {
    YieldPacer pacer(YieldPacer::Clock::duration::zero());
    const YieldPacer::Clock::time_point start{};
    pacer.Restart(start);
    EXPECT_TRUE(pacer.Due(false, start));
    EXPECT_TRUE(pacer.Due(false, start));
}

}  // namespace
}  // namespace velquin::ui
