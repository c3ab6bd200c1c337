// The multiply-for-divide agrees with the division for every divisor of a grid cell and the
// whole range of sums a tetrahedral look-up forms, and at the far end of 32 bits.
#include "tonvar/common/exact_division.h"

#include <gtest/gtest.h>

namespace tonvar::common {
namespace {

TEST(ExactDivision, MatchesDivisionForEveryCellWidth) {
  for (uint32_t d = 1; d < 256; ++d) {
    for (uint32_t x = 0; x <= 255 * d; ++x) {
      if (DivideExact(x, d) != x / d || DivideSmall(x, d) != x / d) FAIL() << x << " / " << d;
    }
    for (uint32_t x : {0xFFFFFFFFu, 0xFFFFFFFEu, 0x80000000u, 0xFFFFFFFFu / d * d, 0xFFFFFFFFu / d * d - 1}) {
      ASSERT_EQ(DivideExact(x, d), x / d) << x << " / " << d;
    }
    // The small form up to its limit, where the error of its reciprocal is largest.
    for (uint32_t x = kSmallDividendLimit - 3 * d; x < kSmallDividendLimit; ++x) {
      ASSERT_EQ(DivideSmall(x, d), x / d) << x << " / " << d;
    }
  }
}

TEST(ExactDivision, LargeDivisorsDivideAndZeroGivesZero) {
  const struct {
    uint32_t x, d, q;
  } cases[] = {{65025, 65025, 1}, {70000, 256, 273}, {0xFFFFFFFFu, 65535, 65537}, {1234, 0, 0}, {0, 0, 0}};
  EXPECT_EQ(DivideSmall(1234, 0), 0u);
  for (const auto& c : cases) EXPECT_EQ(DivideAny(c.x, c.d), c.q) << c.x << " / " << c.d;
  for (const auto& c : cases) EXPECT_EQ(DivideExact(c.x, c.d), c.q) << c.x << " / " << c.d;
}

}  // namespace
}  // namespace tonvar::common
