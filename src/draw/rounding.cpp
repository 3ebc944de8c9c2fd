#include "draw/rounding.h"

#include <cmath>
#include <limits>

namespace velquin::draw {

std::int64_t Nearest64(double x) {
  if (std::isnan(x)) return 0;
  constexpr double kMax = 9.2233720368547748e18;  // 2^63
  if (x >= kMax) return std::numeric_limits<std::int64_t>::max();
  if (x <= -kMax) return std::numeric_limits<std::int64_t>::min();
  double lower = std::floor(x);
  double diff = x - lower;
  auto result = static_cast<std::int64_t>(lower);
  if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0))) ++result;
  return result;
}

std::int32_t Nearest(double x) {
  std::int64_t n = Nearest64(x);
  if (n > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (n < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(n);
}

std::int32_t DivTrunc(std::int32_t a, std::int32_t b) {
  if (b == 0) return 0;
  if (b == -1) return static_cast<std::int32_t>(-static_cast<std::int64_t>(a));  // INT_MIN / -1
  return a / b;
}

std::int32_t ModTrunc(std::int32_t a, std::int32_t b) {
  if (b == 0 || b == -1) return 0;
  return a % b;
}

}  // namespace velquin::draw
