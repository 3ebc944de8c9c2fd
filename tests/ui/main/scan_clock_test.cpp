#include "ui/main/scan_clock.h"

#include <gtest/gtest.h>

namespace velquin::ui {
namespace {

std::string AfterTicks(long ticks) {
    ElapsedClock clock;
    for (long i = 0; i < ticks; ++i) clock.Tick();
    return clock.Text();
}

TEST(ElapsedClockTest, CountsOneSecondPerTickWithTwoDigitFields) {
    const struct {
        long ticks;
        const char* text;
    } cases[] = {
        {0, "00:00:00"},        {1, "00:00:01"},         {59, "00:00:59"},
        {60, "00:01:00"},       {65, "00:01:05"},        {3599, "00:59:59"},
        {3600, "01:00:00"},     {99 * 3600 + 3599, "99:59:59"},
        {100 * 3600, "100:00:00"}, {123 * 3600 + 61, "123:01:01"},
    };
    for (const auto& c : cases) EXPECT_EQ(AfterTicks(c.ticks), c.text) << c.ticks << " ticks";
}

TEST(ElapsedClockTest, ResetStartsAgainAtZero) {
    ElapsedClock clock;
    for (int i = 0; i < 3700; ++i) clock.Tick();
    clock.Reset();
    EXPECT_EQ(clock.Text(), "00:00:00");
    clock.Tick();
    EXPECT_EQ(clock.Text(), "00:00:01");
}

TEST(ActivityIndicatorTest, ShowsIdleUntilFifthTickThenAlternatesEveryFourAndSixTicks) {
    std::string caption = kIndicatorIdle;
    int value = 0;
    std::vector<std::string> shown;
    for (int tick = 1; tick <= 25; ++tick) {
        const IndicatorStep step = ActivityIndicatorTick(value, 10);
        value = step.value;
        if (step.caption) caption = *step.caption;
        shown.push_back(caption);
    }
    const std::vector<std::string> expected = {
        "[-]", "[-]", "[-]", "[-]", ">>", ">>", ">>", ">>", ">",  ">",   // ticks 1-10
        ">",   ">",   ">",   ">",   ">>", ">>", ">>", ">>", ">",  ">",   // 11-20
        ">",   ">",   ">",   ">",   ">>"};                               // 21-25
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(value, 5);
}

TEST(ActivityIndicatorTest, CounterWrapsAtMax) {
    EXPECT_EQ(ActivityIndicatorTick(9, 10).value, 0);
    EXPECT_FALSE(ActivityIndicatorTick(9, 10).caption);
    EXPECT_EQ(ActivityIndicatorTick(4, 10).caption, std::optional<std::string>(">>"));
    EXPECT_EQ(ActivityIndicatorTick(8, 10).caption, std::optional<std::string>(">"));
}

TEST(BusyBarTest, FillsInMaxTicksAndRestarts) {
    int value = 0;
    for (int i = 0; i < 99; ++i) value = BusyBarTick(value, 100);
    EXPECT_EQ(value, 99);
    EXPECT_EQ(BusyBarTick(value, 100), 0);
}

}  // namespace
}  // namespace velquin::ui
