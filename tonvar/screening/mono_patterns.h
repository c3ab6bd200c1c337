// Spread patterns of monochrome error diffusion: how one pixel's error is divided over the
// error row around it and the carry to the next pixel. Data, checked at compile time.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace tonvar::screening {

// Entries x + from .. x + to each receive weight x q.
struct Run {
  int8_t from;
  int8_t to;
  uint8_t weight;
};

struct Pattern {
  uint8_t shift;      // q = e >> shift
  bool rem31;         // the remainder is e AND 31 although the shift is 6
  uint8_t next_row;   // E[x + 1] = next_row x q
  uint8_t carry;      // the carry to the next pixel gets carry x q
  uint8_t run_count = 0;
  Run runs[8] = {};

  constexpr Pattern(uint8_t s, bool r31, uint8_t next, uint8_t c, std::initializer_list<Run> list)
      : shift(s), rem31(r31), next_row(next), carry(c) {
    for (const Run& r : list) runs[run_count++] = r;
  }
};

constexpr int32_t WeightSum(const Pattern& p) {
  int32_t sum = p.next_row + p.carry;
  for (uint32_t i = 0; i < p.run_count; ++i) sum += (p.runs[i].to - p.runs[i].from + 1) * p.runs[i].weight;
  return sum;
}

inline constexpr Pattern kN8{3, false, 0, 3, {{-2, -1, 1}, {0, 0, 2}, {2, 2, 1}}};
inline constexpr Pattern kN16{4, false, 1, 3, {{-4, -3, 1}, {-2, 0, 2}, {2, 2, 2}, {3, 4, 1}}};
inline constexpr Pattern kD8{3, false, 1, 2, {{-2, -1, 1}, {0, 0, 2}, {2, 2, 1}}};
inline constexpr Pattern kD32{5, false, 3, 3, {{-7, -4, 1}, {-3, 0, 2}, {2, 3, 3}, {4, 4, 2}, {5, 5, 3}, {6, 8, 1}}};
inline constexpr Pattern kD64{6, true, 3, 4, {{-12, -10, 1}, {-9, -4, 2}, {-3, 0, 3}, {2, 6, 3}, {7, 13, 2}, {14, 14, 1}}};
inline constexpr Pattern kB4_1{4, false, 0, 8, {{-4, -1, 1}, {0, 0, 2}, {2, 3, 1}}};
inline constexpr Pattern kB4_2{3, false, 0, 2, {{-2, -1, 1}, {0, 0, 2}, {2, 2, 2}}};
inline constexpr Pattern kB4_3{4, false, 0, 4, {{-4, 0, 1}, {2, 2, 4}, {3, 3, 2}, {4, 4, 1}}};
inline constexpr Pattern kB4_4{4, false, 0, 2, {{-4, -3, 1}, {-2, -1, 2}, {0, 0, 3}, {2, 3, 2}, {4, 4, 1}}};
inline constexpr Pattern kB4_5{5, false, 0, 2, {{-10, -6, 1}, {-5, 0, 2}, {2, 5, 2}, {6, 10, 1}}};
inline constexpr Pattern kB4_6{5, false, 0, 2, {{-14, 0, 1}, {2, 3, 2}, {4, 14, 1}}};
inline constexpr Pattern kB4_7{6, true, 0, 2, {{-26, -5, 1}, {-4, 0, 2}, {2, 6, 2}, {7, 26, 1}}};
inline constexpr Pattern kB28_2{5, false, 3, 3, {{-7, -6, 1}, {-5, -2, 2}, {-1, 0, 3}, {2, 3, 3}, {4, 7, 1}}};
inline constexpr Pattern kB28_3{5, false, 2, 2, {{-11, -5, 1}, {-4, 0, 2}, {2, 4, 2}, {5, 9, 1}}};
inline constexpr Pattern kB28_4{5, false, 0, 2, {{-14, -2, 1}, {-1, 0, 2}, {2, 14, 1}}};
inline constexpr Pattern kB28_5{6, true, 1, 2, {{-21, -10, 1}, {-9, -1, 2}, {0, 0, 1}, {2, 9, 2}, {10, 23, 1}}};
inline constexpr Pattern kB28_6{6, true, 0, 2, {{-27, -4, 1}, {-3, 0, 2}, {2, 5, 2}, {6, 27, 1}}};
inline constexpr Pattern kA12_1{3, false, 1, 1, {{-2, -1, 1}, {0, 0, 3}, {2, 2, 1}}};
inline constexpr Pattern kA12_2{4, false, 2, 2, {{-2, -2, 1}, {-1, -1, 2}, {0, 0, 8}, {2, 2, 1}}};
inline constexpr Pattern kA12_3{2, false, 0, 1, {{-1, -1, 1}, {0, 0, 2}}};
inline constexpr Pattern kA12_5{4, false, 3, 2, {{-2, -2, 1}, {-1, -1, 4}, {0, 0, 2}, {2, 2, 2}, {3, 4, 1}}};
inline constexpr Pattern kA12_6{4, false, 0, 3, {{-3, -3, 1}, {-2, -1, 2}, {0, 0, 5}, {2, 2, 2}, {3, 3, 1}}};
inline constexpr Pattern kA12_7{4, false, 3, 1, {{-4, -2, 1}, {-1, -1, 2}, {0, 0, 4}, {2, 4, 1}}};
inline constexpr Pattern kA12_8{5, false, 2, 2, {{-9, -5, 1}, {-4, 0, 2}, {2, 4, 2}, {5, 11, 1}}};
inline constexpr Pattern kA_1{3, false, 0, 2, {{-2, -2, 1}, {-1, 0, 2}, {2, 2, 1}}};
inline constexpr Pattern kA_2{4, false, 0, 3, {{-3, -3, 1}, {-2, -2, 2}, {-1, -1, 3}, {0, 0, 4}, {2, 2, 2}, {3, 3, 1}}};
inline constexpr Pattern kA_3{4, false, 0, 4, {{-4, -1, 1}, {0, 0, 4}, {2, 5, 1}}};
inline constexpr Pattern kA_4{5, false, 0, 3, {{-7, -6, 1}, {-5, -3, 2}, {-2, 0, 3}, {2, 3, 3}, {4, 5, 2}, {6, 7, 1}}};
inline constexpr Pattern kA_5{5, false, 2, 2, {{-11, -4, 1}, {-3, 0, 2}, {2, 3, 2}, {4, 11, 1}}};

inline constexpr const Pattern* kPatterns[] = {
    &kN8,    &kN16,   &kD8,    &kD32,   &kD64,   &kB4_1,  &kB4_2,  &kB4_3,  &kB4_4,  &kB4_5,
    &kB4_6,  &kB4_7,  &kB28_2, &kB28_3, &kB28_4, &kB28_5, &kB28_6, &kA12_1, &kA12_2, &kA12_3,
    &kA12_5, &kA12_6, &kA12_7, &kA12_8, &kA_1,   &kA_2,   &kA_3,   &kA_4,   &kA_5};

constexpr bool PatternsWellFormed() {
  for (const Pattern* p : kPatterns) {
    if (WeightSum(*p) != (1 << p->shift)) return false;
    for (uint32_t i = 0; i < p->run_count; ++i) {
      const Run& r = p->runs[i];
      // Entry x + 1 is set, never added to; the error row's margins cover 27 entries.
      if (r.from > r.to || (r.from <= 1 && r.to >= 1) || r.from < -27 || r.to > 27) return false;
    }
  }
  return true;
}
static_assert(PatternsWellFormed(), "every spread pattern's weights add up to 2^shift");

// Spreads e over the error row around pixel x and sets the carry.
inline void Diffuse(int32_t* row, int64_t x, int32_t e, const Pattern& p, int32_t* carry) {
  const int32_t q = e >> p.shift;
  const int32_t rem = e & (p.rem31 ? 31 : (1 << p.shift) - 1);
  const int32_t old = row[x + 1];
  for (uint32_t i = 0; i < p.run_count; ++i) {
    const Run& r = p.runs[i];
    const int32_t share = r.weight * q;
    for (int64_t k = x + r.from; k <= x + r.to; ++k) row[k] += share;
  }
  row[x + 1] = p.next_row * q;
  *carry = rem + old + p.carry * q;
}

}  // namespace tonvar::screening
