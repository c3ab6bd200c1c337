// Division of 32-bit values by a per-point divisor as one multiplication: for d below 256 the
// quotient is the high half of x times ceil(2^64 / d), exact for every 32-bit x (the error of the
// rounded-up reciprocal stays below 1/d while x < 2^64 / d). Larger divisors divide; a zero
// divisor (coinciding grid coordinates of a damaged table) gives 0 instead of a fault.
#pragma once

#include <array>
#include <cstdint>

namespace tonvar::common {

// Entry d: ceil(2^64 / d) for d >= 2; entry 1 is 0 (x / 1 is x, see DivideExact); entry 0 is 0,
// so a zero divisor from a damaged table gives 0 instead of a fault.
inline constexpr std::array<uint64_t, 256> kReciprocals = [] {
  std::array<uint64_t, 256> r{};
  for (uint64_t d = 2; d < 256; ++d) r[d] = ~uint64_t{0} / d + 1;
  return r;
}();

// x / d, and 0 for d = 0.
inline uint32_t DivideExact(uint32_t x, uint32_t d) {
  if (d >= 256) [[unlikely]] return x / d;
  const auto q = static_cast<uint32_t>((static_cast<unsigned __int128>(x) * kReciprocals[d]) >> 64);
  return d == 1 ? x : q;
}

// For x below 2^24 and d below 256 a 32-bit reciprocal does: ceil(2^32 / d) overshoots x / d by
// less than 2^-8, less than the 1/d that separates x / d from the next whole number. Entry 0 is 0.
inline constexpr std::array<uint64_t, 256> kSmallReciprocals = [] {
  std::array<uint64_t, 256> r{};
  for (uint64_t d = 1; d < 256; ++d) r[d] = ((uint64_t{1} << 32) + d - 1) / d;
  return r;
}();
inline constexpr uint32_t kSmallDividendLimit = 1u << 24;

// x / d for x < kSmallDividendLimit and d < 256 (0 for d = 0); a loop of these vectorises.
inline uint32_t DivideSmall(uint32_t x, uint32_t d) {
  return static_cast<uint32_t>((x * kSmallReciprocals[d]) >> 32);
}

// x / d for any x and d (0 for d = 0), by the cheaper form where it holds.
inline uint32_t DivideAny(uint32_t x, uint32_t d) {
  return x < kSmallDividendLimit && d < 256 ? DivideSmall(x, d) : DivideExact(x, d);
}

}  // namespace tonvar::common
