#include "controls/button/face_color.h"

#include <gtest/gtest.h>

namespace velquin::button {
namespace {

struct ShiftCase {
    Rgb in;
    double amount;
    Rgb out;
};

TEST(FaceColor, ShiftColorRoundsHalvesToEvenAndClamps)
{
    const ShiftCase cases[] = {
        {{250, 10, 128}, +0.1, {255, 36, 154}},
        {{250, 10, 128}, -0.1, {224, 0, 102}},
        {{55, 98, 6}, +0.3, {132, 175, 83}},
        {{200, 100, 50}, +0.03, {208, 108, 58}},
        {{200, 100, 50}, -0.12, {169, 69, 19}},
        {{0, 0, 0}, -0.34, {0, 0, 0}},
        {{255, 255, 255}, +0.22, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        const Rgb got = ShiftColor(c.in, c.amount);
        EXPECT_EQ(got, c.out) << c.in.r << "," << c.in.g << "," << c.in.b << " by " << c.amount
                              << " gave " << got.r << "," << got.g << "," << got.b;
    }
}

TEST(FaceColor, BlendIsTheMeanWithHalvesToEven)
{
    EXPECT_EQ(BlendColors({255, 255, 255}, {236, 235, 231}), (Rgb{246, 245, 243}));
    // 255 + 0 = 127.5 -> 128, 1 + 0 = 0.5 -> 0, 3 + 0 = 1.5 -> 2
    EXPECT_EQ(BlendColors({255, 1, 3}, {0, 0, 0}), (Rgb{128, 0, 2}));
}

TEST(FaceColor, GradientStepsTruncateTowardZero)
{
    EXPECT_EQ(GradientStep(kWhite, kWhite, 0, 1), (Rgb{254, 254, 254}));
    EXPECT_EQ(GradientStep({10, 20, 30}, {200, 100, 0}, 0, 2), (Rgb{10, 20, 30}));
    EXPECT_EQ(GradientStep({10, 20, 30}, {200, 100, 0}, 1, 2), (Rgb{200, 100, 0}));
    // Falling channel: 200 - 100 / 3 = 167 (truncation), not 166 (floor).
    EXPECT_EQ(GradientStep({200, 0, 0}, {100, 3, 0}, 1, 4), (Rgb{167, 1, 0}));
}

}  // namespace
}  // namespace velquin::button
