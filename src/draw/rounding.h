// The one place where the drawn controls turn fractions into pixels.
#pragma once

#include <cstdint>

namespace velquin::draw {

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), independent of
// the floating-point rounding mode. Values beyond the 32-bit range saturate; NaN gives 0.
std::int32_t Nearest(double x);
std::int64_t Nearest64(double x);

// Integer division truncating toward zero (-7 / 2 -> -3). Division by zero yields 0 instead of
// trapping: geometry code calls this with sizes that can legitimately be 0.
std::int32_t DivTrunc(std::int32_t a, std::int32_t b);

// Remainder of DivTrunc: takes the sign of the dividend (-7 mod 2 -> -1). 0 when b is 0.
std::int32_t ModTrunc(std::int32_t a, std::int32_t b);

}  // namespace velquin::draw
