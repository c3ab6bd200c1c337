// Ordered dither of the one cell at the start of a line whose first pixel is the right half of a
// 2 x 2 cell, for all eight ink slots at once: the 1-bit and the four-level (2-bit) forms. Used
// by the 8-ink line drivers of the grey-input and the multi-level engines.
#pragma once

#include <cstdint>

namespace tonvar::halftone_lines {

// Sub-pixels A, B, C, D of a cell (row 0 left, row 0 right, row 1 left, row 1 right) lie at
// matrix offsets 0, 2, 1, 3 from the slot's index. Slot k reads threshold group
// g(k) = 1, 2, 3, 0, 4, 5, 6, 7 of the block, twelve entries a group: {any dot, medium or
// large, large} of A, then of B, C and D. Pending words: slot k's row 0 at 2k, row 1 at 2k + 1.
inline constexpr int kLeadingSlots = 8;
inline constexpr int kLeadingGroupOfSlot[kLeadingSlots] = {1, 2, 3, 0, 4, 5, 6, 7};

// Four levels a dot: large when the large threshold exceeds the matrix value (signed), else
// medium, else small, else none; the code's mask at the cell's left position (masks[0]) or
// right one (masks[1]) is ORed into the row's word. The three mask tables point at the left
// position.
void DitherLeadingCell8(const int16_t* matrix, const int32_t phases[kLeadingSlots],
                        uint32_t pending[2 * kLeadingSlots], const uint32_t* small_mask,
                        const uint32_t* medium_mask, const uint32_t* large_mask,
                        const uint32_t* block);

// One bit a dot: the large threshold against the matrix value; masks[0] marks the left
// position, masks[1] the right one.
void DitherCellBits8(const int16_t* matrix, const int32_t phases[kLeadingSlots],
                     uint32_t pending[2 * kLeadingSlots], const uint32_t masks[2],
                     const uint32_t* block);

}  // namespace tonvar::halftone_lines
