// The 97-prime table and the two integer logarithms built on it.
#include "maths/prime_logarithm.h"

#include <array>
#include <cstddef>

namespace maths {
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

// LogScaled divides out kPrimeLogs[0..8] (2 to 23) before it looks the rest up.
constexpr size_t kSmallPrimeCount = 9;
static_assert(kPrimeLogs[kSmallPrimeCount - 1].prime == 23);

// Table value of a prime of the table, or 0 for anything else.
uint32_t TablePrimeLog(uint32_t n) {
  size_t lo = 0;
  size_t hi = kPrimeLogs.size();
  while (lo < hi) {
    const size_t mid = (lo + hi) / 2;
    if (kPrimeLogs[mid].prime < n) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo < kPrimeLogs.size() && kPrimeLogs[lo].prime == n ? kPrimeLogs[lo].log_scaled : 0;
}

}  // namespace

uint32_t IntegerLogarithm(int32_t n) {
  if (n < 2) return 0;
  uint32_t rest = static_cast<uint32_t>(n);
  uint32_t sum = 0;
  for (const PrimeLog& entry : kPrimeLogs) {
    const uint32_t p = entry.prime;
    // Once p * p passes the rest, the rest is 1 or one prime: a table prime, or one of 521 and
    // more, which adds nothing.
    if (p * p > rest) return sum + TablePrimeLog(rest);
    while (rest % p == 0) {
      rest /= p;
      sum += entry.log_scaled;
    }
  }
  return sum;  // rest: primes of 521 and more only
}

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
  return sum + TablePrimeLog(n);
}

}  // namespace maths
