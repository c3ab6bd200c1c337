// Ink-balance corrections of one (C, M, Y) triple.
#include "tonvar/colour/ink_balance.h"

#include <gtest/gtest.h>

#include <array>

namespace tonvar::colour {
namespace {

using Inks = std::array<int32_t, 3>;
using Correction = void (*)(int32_t*, int32_t*, int32_t*, int32_t, int32_t, int32_t);

Inks Correct(Correction correction, Inks inks, Inks percent) {
  correction(&inks[0], &inks[1], &inks[2], percent[0], percent[1], percent[2]);
  return inks;
}

struct Case {
  Inks in;
  Inks percent;
  Inks out;
};

void Check(const char* name, Correction correction, std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(Correct(correction, c.in, c.percent), c.out)
        << name << " on " << c.in[0] << "," << c.in[1] << "," << c.in[2] << " with "
        << c.percent[0] << "," << c.percent[1] << "," << c.percent[2];
  }
}

TEST(InkBalance, EqualInksPassEveryCorrection) {
  for (int32_t v : {0, 1, 128, 255}) {
    for (Correction f : {&ReduceDominantInk, &ReduceSecondaryInks, &ShiftInkBalance}) {
      EXPECT_EQ(Correct(f, {v, v, v}, {50, -50, 50}), (Inks{v, v, v}));
    }
  }
}

TEST(InkBalance, ReduceDominantInk) {
  Check("dominant", &ReduceDominantInk, {
      {{200, 120, 80}, {50, 0, 0}, {160, 120, 80}},
      {{200, 120, 80}, {0, 50, 50}, {200, 120, 80}},     // only C's percentage acts
      {{10, 90, 30}, {0, 50, 0}, {10, 60, 30}},          // M dominant, lead over C/Y = 60
      {{10, 30, 91}, {0, 0, 50}, {10, 30, 61}},          // Y dominant: d = 61, 61*50/100 = 30
      {{200, 200, 80}, {50, 50, 50}, {200, 200, 80}},    // tie for the maximum: nothing
      {{255, 0, 0}, {150, 0, 0}, {0, 0, 0}},             // not below 0
      {{255, 0, 0}, {-50, 0, 0}, {382, 0, 0}},           // negative share raises it
      {{200, 120, 80}, {-1, 0, 0}, {200, 120, 80}},      // 80 * -1 / 100 truncates to 0
  });
}

TEST(InkBalance, ReduceSecondaryInks) {
  Check("secondary", &ReduceSecondaryInks, {
      {{40, 200, 120}, {50, 0, 0}, {40, 160, 80}},
      {{200, 40, 120}, {0, 50, 0}, {160, 40, 80}},       // M minimum: Y and C drop by 40
      {{200, 120, 40}, {0, 0, 50}, {160, 80, 40}},       // Y minimum
      {{40, 40, 120}, {50, 50, 50}, {40, 40, 120}},      // tie for the minimum: nothing
      {{40, 200, 60}, {100, 0, 0}, {40, 180, 40}},       // common part 20 moves both down
      {{0, 255, 10}, {200, 0, 0}, {0, 235, 0}},          // not below 0
      {{40, 200, 120}, {-50, 0, 0}, {40, 240, 160}},     // negative share raises both
  });
}

TEST(InkBalance, ShiftInkBalance) {
  Check("shift", &ShiftInkBalance, {
      {{40, 200, 120}, {-30, 0, 0}, {40, 200, 96}},      // e = (80 * -30 - 50) / 100 = -24: Y
      {{40, 200, 120}, {30, 0, 0}, {40, 176, 120}},      // e = 24: M drops
      {{200, 40, 120}, {0, 30, 0}, {200, 40, 96}},       // M minimum: P = Y drops
      {{200, 40, 120}, {0, -30, 0}, {176, 40, 120}},     // ... Q = C drops
      {{200, 120, 40}, {0, 0, 30}, {176, 120, 40}},      // Y minimum: P = C
      {{200, 120, 40}, {0, 0, -30}, {200, 96, 40}},      // Q = M
      {{0, 1, 2}, {50, 0, 0}, {0, 0, 2}},                // e = (1 * 50 + 50) / 100 = 1: rounds up
      {{0, 1, 2}, {49, 0, 0}, {0, 1, 2}},                // (49 + 50) / 100 = 0: no move
      {{0, 1, 2}, {-50, 0, 0}, {0, 1, 1}},               // (-50 - 50) / 100 = -1
      {{0, 255, 255}, {-200, 0, 0}, {0, 255, 0}},        // clamped to 0
      {{10, 300, 20}, {0, 0, 0}, {10, 255, 20}},         // clamped to 255 even without a move
  });
}

TEST(InkBalance, ReplaceGreyComponent) {
  uint8_t identity[256];
  for (int i = 0; i < 256; ++i) identity[i] = static_cast<uint8_t>(i);
  for (Inks inks : {Inks{0, 0, 0}, Inks{1, 2, 3}, Inks{255, 128, 7}, Inks{254, 255, 1},
                    Inks{77, 77, 77}, Inks{0, 200, 100}}) {
    Inks out = inks;
    ReplaceGreyComponent(&out[0], &out[1], &out[2], identity);
    EXPECT_EQ(out, inks);
  }

  // Table halves every level: the common part m of each ink drops to half its level's share.
  uint8_t half[256];
  for (int i = 0; i < 256; ++i) half[i] = static_cast<uint8_t>(i / 2);
  Inks inks{100, 200, 50};  // m = 50, from the entry values for all three
  ReplaceGreyComponent(&inks[0], &inks[1], &inks[2], half);
  // C: (50 + 50*50 + 50*100) / 100 = 75; M: (100 + 100*50 + 150*200) / 200 = 175;
  // Y: (25 + 25*50 + 0) / 50 = 25.
  EXPECT_EQ(inks, (Inks{75, 175, 25}));

  Inks with_zero{0, 100, 200};  // m = 0: nothing is replaced, and the 0 stays 0
  ReplaceGreyComponent(&with_zero[0], &with_zero[1], &with_zero[2], half);
  EXPECT_EQ(with_zero, (Inks{0, 100, 200}));

  Inks outside{300, -5, 100};  // never indexes the table out of its 256 entries
  ReplaceGreyComponent(&outside[0], &outside[1], &outside[2], half);
  EXPECT_EQ(outside[0], 300);
  EXPECT_EQ(outside[1], -5);
}

}  // namespace
}  // namespace tonvar::colour
