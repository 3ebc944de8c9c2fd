#include "controls/button/face_color.h"

#include <algorithm>
#include <cmath>

namespace velquin::button {

int RoundHalfEven(double x)
{
    return int(std::nearbyint(x));  // default rounding mode: to nearest, ties to even
}

namespace {

// round(num / den) with ties to even, den > 0.
long long DivRoundHalfEven(long long num, long long den)
{
    long long q = num / den;
    long long r = num % den;
    if (r < 0) {
        r += den;
        --q;
    }
    if (2 * r > den || (2 * r == den && (q & 1)))
        ++q;
    return q;
}

}  // namespace

Rgb ShiftColor(Rgb c, double amount)
{
    // The amount is held in single precision and the sum formed in double precision: decimal
    // amounts therefore land just beside the halves (0.3 x 255 = 76.500003), and that decides
    // their rounding.
    const double step = double(float(amount)) * 255.0;
    auto channel = [&](int v) {
        const int shifted = RoundHalfEven(v + step);
        return amount > 0 ? std::min(shifted, 255) : std::max(shifted, 0);
    };
    return {channel(c.r), channel(c.g), channel(c.b)};
}

Rgb BlendColors(Rgb a, Rgb b)
{
    auto mean = [](int x, int y) { return int(DivRoundHalfEven(x + y, 2)); };
    return {mean(a.r, b.r), mean(a.g, b.g), mean(a.b, b.b)};
}

Rgb GradientStep(Rgb from, Rgb to, int i, int n)
{
    if (n == 1)
        return {from.r / 2 + to.r / 2, from.g / 2 + to.g / 2, from.b / 2 + to.b / 2};
    auto step = [&](int f, int t) { return f + (t - f) * i / (n - 1); };
    return {step(from.r, to.r), step(from.g, to.g), step(from.b, to.b)};
}

}  // namespace velquin::button
