#pragma once
// Colour arithmetic of the button faces: shifts, blends and gradient steps, all exact integer
// maths so that every face colour can be predicted to the unit.

#include <cstdint>

namespace velquin::button {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// x rounded to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double x);

// Every channel plus amount x 255, rounded to nearest (halves to even), capped at 255 for a
// positive amount and floored at 0 otherwise.
Rgb ShiftColor(Rgb c, double amount);

// Channel-wise mean, halves to even.
Rgb BlendColors(Rgb a, Rgb b);

// Colour of step i (0-based) of an n-step gradient: from + (to - from) * i / (n - 1) per
// channel, truncating; a single step is from / 2 + to / 2.
Rgb GradientStep(Rgb from, Rgb to, int i, int n);

// 0x00BBGGRR colour references (system references must be resolved before) and 0xAARRGGBB.
constexpr Rgb RgbFromColorRef(std::uint32_t ref)
{
    return {int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF)};
}
constexpr std::uint32_t ColorRefFromRgb(Rgb c)
{
    return std::uint32_t(c.r) | (std::uint32_t(c.g) << 8) | (std::uint32_t(c.b) << 16);
}
constexpr std::uint32_t ArgbFromRgb(Rgb c)
{
    return 0xFF000000u | (std::uint32_t(c.r) << 16) | (std::uint32_t(c.g) << 8) | std::uint32_t(c.b);
}
constexpr Rgb RgbFromArgb(std::uint32_t argb)
{
    return {int((argb >> 16) & 0xFF), int((argb >> 8) & 0xFF), int(argb & 0xFF)};
}

}  // namespace velquin::button
