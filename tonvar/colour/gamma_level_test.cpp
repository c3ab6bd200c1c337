// Integer gamma remap (the scaled logarithm's own tests sit with it in maths/).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "tonvar/colour/colour_adjustment.h"

namespace tonvar::colour {
namespace {

// Position-weighted sum: catches both wrong values and values in the wrong place.
uint64_t WeightedSum(uint32_t percent) {
  uint64_t sum = 0;
  for (uint32_t x = 0; x < 256; ++x) sum += (x + 1) * uint64_t{GammaLevel(x, percent)};
  return sum;
}

TEST(GammaLevel, EndsAndIdentity) {
  for (uint32_t percent : {0u, 33u, 100u, 300u, 30000u}) {
    EXPECT_EQ(GammaLevel(0, percent), 0u);
    EXPECT_EQ(GammaLevel(255, percent), 255u);
  }
  for (uint32_t x = 0; x < 256; ++x) EXPECT_EQ(GammaLevel(x, 100), x) << x;
  EXPECT_EQ(GammaLevel(128, 50), 181u);
  EXPECT_EQ(GammaLevel(254, 50), 255u);
  EXPECT_EQ(GammaLevel(300, 50), 255u);  // above the range: the top level
}

TEST(GammaLevel, WholeTablesMatchAnIndependentComputation) {
  // Golden sums from a separate implementation in exact integer arithmetic.
  struct Case { uint32_t percent; uint64_t sum; } cases[] = {
      {33, 7210806}, {50, 6718820}, {66, 6315905}, {150, 4803635}, {200, 4206437}, {300, 3371027}};
  for (const Case& c : cases) EXPECT_EQ(WeightedSum(c.percent), c.sum) << c.percent;
}

TEST(GammaLevel, FollowsThePowerCurveWithinALevel) {
  // Percentages the adjustments can produce (gamma and base both 100..300). The integer search
  // lands within one level of the curve, give or take the rounding of the prime logs (at
  // worst 1.02 levels, at x = 252 for 270 percent).
  for (uint32_t percent = 33; percent <= 300; ++percent) {
    for (uint32_t x = 1; x < 255; ++x) {
      const double exact = 255.0 * std::pow(x / 255.0, percent / 100.0);
      ASSERT_NEAR(double(GammaLevel(x, percent)), exact, 1.05) << x << " " << percent;
    }
  }
}

TEST(GammaLevel, HugePercentagesDoNotOverflow) {
  // q * 27706 passes 2^32 from a percentage of about 7600 on; values from exact arithmetic.
  EXPECT_EQ(GammaLevel(128, 30000), 0u);
  EXPECT_EQ(GammaLevel(250, 30000), 1u);
  EXPECT_EQ(GammaLevel(254, 30000), 82u);
  EXPECT_EQ(GammaLevel(250, 10000), 35u);
  EXPECT_EQ(GammaLevel(254, 10000), 175u);
  EXPECT_EQ(GammaLevel(254, 0), 255u);
}

}  // namespace
}  // namespace tonvar::colour
