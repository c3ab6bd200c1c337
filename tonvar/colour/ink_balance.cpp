// Ink-balance corrections of one (C, M, Y) triple.
#include "tonvar/colour/ink_balance.h"

#include <algorithm>

namespace tonvar::colour {

void ReduceDominantInk(int32_t* c, int32_t* m, int32_t* y, int32_t pc, int32_t pm, int32_t py) {
  if (*c > *m && *c > *y) {
    const int32_t d = *c - std::max(*m, *y);
    *c = std::max(0, *c - (d * pc) / 100);
  } else if (*m > *y && *m > *c) {
    const int32_t d = *m - std::max(*c, *y);
    *m = std::max(0, *m - (d * pm) / 100);
  } else if (*y > *m && *y > *c) {
    const int32_t d = *y - std::max(*m, *c);
    *y = std::max(0, *y - (d * py) / 100);
  }
}

void ReduceSecondaryInks(int32_t* c, int32_t* m, int32_t* y, int32_t qc, int32_t qm, int32_t qy) {
  if (*c < *y && *c < *m) {
    const int32_t d = ((std::min(*m, *y) - *c) * qc) / 100;
    *m -= d;
    *y -= d;
  } else if (*m < *y && *m < *c) {
    const int32_t d = ((std::min(*y, *c) - *m) * qm) / 100;
    *y -= d;
    *c -= d;
  } else if (*y < *m && *y < *c) {
    const int32_t d = ((std::min(*m, *c) - *y) * qy) / 100;
    *m -= d;
    *c -= d;
  }
  *c = std::max(0, *c);
  *m = std::max(0, *m);
  *y = std::max(0, *y);
}

namespace {
// Moves p (t >= 0, p drops) or q (t < 0, q drops) by t% of min(p, q) - x, rounded half away
// from zero.
void Shift(int32_t x, int32_t t, int32_t* p, int32_t* q) {
  const int32_t d = std::min(*p, *q) - x;
  const int32_t e = (d * t + (t < 0 ? -50 : 50)) / 100;
  if (t < 0) {
    *q += e;
  } else {
    *p -= e;
  }
}
}  // namespace

void ShiftInkBalance(int32_t* c, int32_t* m, int32_t* y, int32_t sc, int32_t sm, int32_t sy) {
  if (*c < *y && *c < *m) {
    Shift(*c, sc, m, y);
  } else if (*m < *y && *m < *c) {
    Shift(*m, sm, y, c);
  } else if (*y < *m && *y < *c) {
    Shift(*y, sy, c, m);
  }
  *c = std::clamp(*c, 0, 255);
  *m = std::clamp(*m, 0, 255);
  *y = std::clamp(*y, 0, 255);
}

void ReplaceGreyComponent(int32_t* c, int32_t* m, int32_t* y, const uint8_t* table) {
  const int32_t lowest = std::min({*c, *m, *y});
  // Each ink keeps its own part above the common minimum and takes the table's level for the
  // rest; the +x/2 rounds to nearest.
  auto replace = [&](int32_t* ink) {
    const int32_t x = *ink;
    if (x <= 0 || x > 255) return;
    *ink = (x / 2 + table[x] * lowest + (x - lowest) * x) / x;
  };
  replace(c);
  replace(m);
  replace(y);
}

}  // namespace tonvar::colour
