// The two integer logarithms: per-prime table, factor sums, and where their contracts part.
#include "maths/prime_logarithm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace maths {
namespace {

bool IsPrime(uint32_t n) {
  if (n < 2) return false;
  for (uint32_t d = 2; d * d <= n; ++d) {
    if (n % d == 0) return false;
  }
  return true;
}

// Sum of the rounded per-prime logs over a full factorisation, from the platform's log:
// the reference for IntegerLogarithm (primes of 521 and more count 0).
uint32_t ReferenceLog(uint32_t n) {
  auto rounded = [](uint32_t p) {
    return p <= 509 ? static_cast<uint32_t>(std::lround(5000.0 * std::log(double(p)))) : 0u;
  };
  uint32_t sum = 0;
  for (uint32_t p = 2; uint64_t{p} * p <= n; ++p) {
    while (n % p == 0) {
      n /= p;
      sum += rounded(p);
    }
  }
  return n > 1 ? sum + rounded(n) : sum;
}

TEST(PrimeLogarithm, EveryPrimeUpTo509IsItsRoundedLog) {
  // The per-prime values sit at least 0.003 away from a rounding boundary, so the platform's
  // log cannot tip them.
  int primes = 0;
  for (uint32_t p = 2; p <= 509; ++p) {
    if (!IsPrime(p)) continue;
    ++primes;
    const uint32_t expected = static_cast<uint32_t>(std::lround(5000.0 * std::log(double(p))));
    EXPECT_EQ(LogScaled(p), expected) << p;
    EXPECT_EQ(IntegerLogarithm(int32_t(p)), expected) << p;
  }
  EXPECT_EQ(primes, 97);
}

TEST(PrimeLogarithm, PinnedValues) {
  struct Case { uint32_t n; uint32_t log_scaled; uint32_t integer_log; } cases[] = {
      {1, 0, 0},
      {2, 3466, 3466},
      {3, 5493, 5493},
      {5, 8047, 8047},
      {255, kLogOf255, kLogOf255},         // 3 * 5 * 17
      {256, 8 * 3466, 8 * 3466},
      {289, 28332, 28332},                 // 17 * 17
      {511, 31182, 31182},                 // 7 * 73: a rest above 23 that is a table prime
      {840, 33668, 33668},                 // 2^3 * 3 * 5 * 7
      {841, 0, 2 * 16836},                 // 29 * 29: LogScaled's rest is no table prime
      {2 * 31 * 37, 3466, 3466 + 17170 + 18055},
      {521, 0, 0},                         // a prime beyond the table adds nothing to either
      {2 * 521, 3466, 3466},
      {509 * 509, 0, 2 * 31162},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LogScaled(c.n), c.log_scaled) << c.n;
    EXPECT_EQ(IntegerLogarithm(int32_t(c.n)), c.integer_log) << c.n;
  }
}

TEST(PrimeLogarithm, TheTwoAgreeUpTo840) {
  for (uint32_t n = 1; n <= 840; ++n) ASSERT_EQ(LogScaled(n), IntegerLogarithm(int32_t(n))) << n;
}

TEST(PrimeLogarithm, IntegerLogarithmFactorsEverything) {
  for (uint32_t n = 1; n <= 20000; ++n) ASSERT_EQ(IntegerLogarithm(int32_t(n)), ReferenceLog(n)) << n;
  // Large values, with and without factors beyond the table.
  for (uint32_t n : {2147483647u, 2147483646u, 1073741824u, 509u * 509u * 509u, 523u * 523u * 2u}) {
    EXPECT_EQ(IntegerLogarithm(int32_t(n)), ReferenceLog(n)) << n;
  }
}

TEST(PrimeLogarithm, OutsideTheDomain) {
  EXPECT_EQ(LogScaled(0), 0u);
  EXPECT_EQ(IntegerLogarithm(0), 0u);
  EXPECT_EQ(IntegerLogarithm(-255), 0u);
}

}  // namespace
}  // namespace maths
