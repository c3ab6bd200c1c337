// Integer natural logarithms, 5000 * ln n, summed from rounded per-prime values. One table
// serves both libraries; each function keeps its own contract.
#pragma once

#include <cstdint>

namespace maths {

// Sum of round(5000 * ln p) over the prime factors p of n, counted with multiplicity, for
// every prime up to 509; a rest made of primes of 521 or more adds nothing. 0 for n below 2.
// IntegerLogarithm(255) = 27706.
uint32_t IntegerLogarithm(int32_t n);

// The colour engine's scaled logarithm, defined for 1..511: divides out 2 to 23, then adds the
// table value of the rest when that is one prime up to 509 (always so up to 840), else nothing.
// LogScaled(0) = 0. Agrees with IntegerLogarithm for 1..840.
uint32_t LogScaled(uint32_t n);

// Both logarithms of 255, the top level of an 8-bit channel.
constexpr uint32_t kLogOf255 = 27706;

}  // namespace maths
