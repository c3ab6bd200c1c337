// Ink-balance corrections of one (C, M, Y) triple, run on the grid points of a colour table.
#pragma once

#include <cstdint>

namespace tonvar::colour {

// The four corrections work on inks 0..255 in place, with signed percentages. Ties never act:
// only a strict maximum (dominant) or a strict minimum (secondary, shift) moves anything.

// The strict maximum drops by p% of its lead over the next ink (not below 0; a negative p
// raises it, possibly above 255: ShiftInkBalance, which runs last, clamps).
void ReduceDominantInk(int32_t* c, int32_t* m, int32_t* y, int32_t pc, int32_t pm, int32_t py);
// The two larger inks drop together by q% of their common part above the strict minimum
// (not below 0; a negative q raises them); q is the percentage of the ink that is the minimum.
void ReduceSecondaryInks(int32_t* c, int32_t* m, int32_t* y, int32_t qc, int32_t qm, int32_t qy);
// One of the two larger inks moves toward the other by a rounded s% of their common part above
// the strict minimum (s >= 0: the first of the pair drops, s < 0: the second); clamps to 0..255.
void ShiftInkBalance(int32_t* c, int32_t* m, int32_t* y, int32_t sc, int32_t sm, int32_t sy);
// The part min(C, M, Y) of each non-zero ink x takes the table's level for x (table: 256
// bytes). Inks outside 0..255 are left as they are.
void ReplaceGreyComponent(int32_t* c, int32_t* m, int32_t* y, const uint8_t* table);

}  // namespace tonvar::colour
