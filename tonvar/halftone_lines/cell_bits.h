// One-bit ordered dither of a 2 x 2 cell for several ink slots, shared by the one-bit line
// routines of the multi-level and grey engines.
#pragma once

#include <cstdint>

namespace tonvar::halftone_lines {

// For slot k (group g = 1, 2, 3, 0, 4, 5, 6, 7 for k = 0 to 7) and pixel s (A top left, B top
// right, C bottom left, D bottom right at matrix offsets 0, 2, 1, 3 from positions[k]): when the
// large threshold block[12g + 3s + 2] exceeds the signed sample, the slot's row-0 (A, B) or
// row-1 (C, D) pending word gets the left (A, C) or right (B, D) mask. Bits are only added.
void DitherCellBits(int slots, const int16_t* matrix, const int32_t* positions, uint32_t* pending,
                    uint32_t left_mask, uint32_t right_mask, const int32_t* block);

// The eight-slot form; x is not read, masks[0] is the left dot's mask and masks[1] the right's.
void DitherCellBits8(int32_t x, const int16_t* matrix, const int32_t positions[8], uint32_t pending[16],
                     const uint32_t masks[2], const int32_t block[96]);

}  // namespace tonvar::halftone_lines
