// Integer gamma remap of a level, on a scaled natural logarithm built from prime factors.
#include <array>
#include <cstdint>

#include "maths/prime_logarithm.h"
#include "tonvar/colour/colour_adjustment.h"

namespace tonvar::colour {
namespace {

constexpr uint32_t kLogScaled255 = maths::kLogOf255;  // LogScaled(255) = L(3) + L(5) + L(17)

// LogScaled of 0..511, worked out once: every adjustment curve searches these.
const std::array<uint32_t, 512>& Logs() {
  static const std::array<uint32_t, 512> logs = [] {
    std::array<uint32_t, 512> t{};
    for (uint32_t n = 0; n < t.size(); ++n) t[n] = LogScaled(n);
    return t;
  }();
  return logs;
}

}  // namespace

uint32_t GammaLevel(uint32_t x, uint32_t percent) {
  if (x == 0) return 0;
  if (x >= 255) return 255;
  // Level v/2 is the answer when the odd v is the first whose log passes x's log scaled by the
  // exponent; 64-bit because q * 27706 outgrows 32 bits for large percentages.
  const int64_t q = (int64_t{percent} * 2048) / 100;
  const int64_t c = q * kLogScaled255 - 63855256;
  const std::array<uint32_t, 512>& logs = Logs();
  const int64_t t = int64_t{logs[x]} * q;
  // For x below 255 the search ends at v = 511 at the latest (2048 * L(511) > 63855256).
  uint32_t v = 1;
  while (v < 511 && !(2048 * int64_t{logs[v]} + c > t)) v += 2;
  return v / 2;
}

}  // namespace tonvar::colour
