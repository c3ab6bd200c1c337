// Integer gamma remap of a level, on a scaled natural logarithm built from prime factors.
#include <array>
#include <cstdint>

#include "tonvar/colour/colour_adjustment.h"

namespace tonvar::colour {
namespace {

struct PrimeLog {
  uint16_t prime;
  uint16_t log_scaled;  // 5000 * ln prime, rounded to the nearest integer
};

// The 97 primes up to 509: every n up to 511 factors over them.
constexpr std::array<PrimeLog, 97> kPrimeLogs{{
    {2, 3466}, {3, 5493}, {5, 8047}, {7, 9730}, {11, 11989}, {13, 12825},
    {17, 14166}, {19, 14722}, {23, 15677}, {29, 16836}, {31, 17170}, {37, 18055},
    {41, 18568}, {43, 18806}, {47, 19251}, {53, 19851}, {59, 20388}, {61, 20554},
    {67, 21023}, {71, 21313}, {73, 21452}, {79, 21847}, {83, 22094}, {89, 22443},
    {97, 22874}, {101, 23076}, {103, 23174}, {107, 23364}, {109, 23457}, {113, 23637},
    {127, 24221}, {131, 24376}, {137, 24600}, {139, 24672}, {149, 25020}, {151, 25086},
    {157, 25281}, {163, 25469}, {167, 25590}, {173, 25766}, {179, 25937}, {181, 25992},
    {191, 26261}, {193, 26313}, {197, 26416}, {199, 26467}, {211, 26759}, {223, 27036},
    {227, 27125}, {229, 27169}, {233, 27255}, {239, 27382}, {241, 27424}, {251, 27627},
    {257, 27745}, {263, 27861}, {269, 27974}, {271, 28011}, {277, 28120}, {281, 28192},
    {283, 28227}, {293, 28401}, {307, 28634}, {311, 28699}, {313, 28731}, {317, 28795},
    {331, 29011}, {337, 29100}, {347, 29247}, {349, 29275}, {353, 29332}, {359, 29417},
    {367, 29527}, {373, 29608}, {379, 29688}, {383, 29740}, {389, 29818}, {397, 29920},
    {401, 29970}, {409, 30069}, {419, 30189}, {421, 30213}, {431, 30331}, {433, 30354},
    {439, 30422}, {443, 30468}, {449, 30535}, {457, 30623}, {461, 30667}, {463, 30689},
    {467, 30732}, {479, 30859}, {487, 30941}, {491, 30982}, {499, 31063}, {503, 31103},
    {509, 31162},
}};
static_assert(kPrimeLogs.front().prime == 2 && kPrimeLogs.back().prime == 509);

constexpr bool PrimesAscend() {
  for (size_t i = 1; i < kPrimeLogs.size(); ++i) {
    if (kPrimeLogs[i].prime <= kPrimeLogs[i - 1].prime) return false;
  }
  return true;
}
static_assert(PrimesAscend());

// The small primes divided out first; kPrimeLogs[0..8].
constexpr size_t kSmallPrimeCount = 9;
static_assert(kPrimeLogs[kSmallPrimeCount - 1].prime == 23);

constexpr uint32_t kLogScaled255 = 27706;  // LogScaled(255) = L(3) + L(5) + L(17)

}  // namespace

uint32_t LogScaled(uint32_t n) {
  if (n == 0) return 0;
  uint32_t sum = 0;
  for (size_t i = 0; i < kSmallPrimeCount && n != 1; ++i) {
    const uint32_t p = kPrimeLogs[i].prime;
    while (n % p == 0) {
      n /= p;
      sum += kPrimeLogs[i].log_scaled;
    }
  }
  if (n == 1) return sum;
  // The rest has only factors of 29 and more: below 29 * 29 it is a prime of the table.
  for (size_t i = kSmallPrimeCount; i < kPrimeLogs.size(); ++i) {
    if (kPrimeLogs[i].prime == n) return sum + kPrimeLogs[i].log_scaled;
  }
  return sum;
}

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
