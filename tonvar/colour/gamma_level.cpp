// Integer gamma remap of a level, on a scaled natural logarithm built from prime factors.
#include <cstdint>

#include "maths/prime_logarithm.h"
#include "tonvar/colour/colour_adjustment.h"

namespace tonvar::colour {
namespace {

constexpr uint32_t kLogScaled255 = maths::kLogOf255;  // LogScaled(255) = L(3) + L(5) + L(17)

}  // namespace

uint32_t GammaLevel(uint32_t x, uint32_t percent) {
  if (x == 0) return 0;
  if (x >= 255) return 255;
  // Level v/2 is the answer when the odd v is the first whose log passes x's log scaled by the
  // exponent; 64-bit because q * 27706 outgrows 32 bits for large percentages.
  const int64_t q = (int64_t{percent} * 2048) / 100;
  const int64_t c = q * kLogScaled255 - 63855256;
  const int64_t t = int64_t{LogScaled(x)} * q;
  // For x below 255 the search ends at v = 511 at the latest (2048 * L(511) > 63855256).
  uint32_t v = 1;
  while (v < 511 && !(2048 * int64_t{LogScaled(v)} + c > t)) v += 2;
  return v / 2;
}

}  // namespace tonvar::colour
