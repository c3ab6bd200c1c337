// One-bit cell dots.
#include "tonvar/halftone_lines/cell_bits.h"

#include "tonvar/halftone_lines/four_level_dots.h"

namespace tonvar::halftone_lines {

void DitherCellBits(int slots, const int16_t* matrix, const int32_t* positions, uint32_t* pending,
                    uint32_t left_mask, uint32_t right_mask, const int32_t* block) {
  for (int k = 0; k < slots; ++k) {
    const int32_t* t = block + kLeadingGroupValues * kLeadingGroup[k];
    const int16_t* m = matrix + positions[k];
    if (t[2] > m[0]) pending[2 * k] |= left_mask;
    if (t[3 + 2] > m[2]) pending[2 * k] |= right_mask;
    if (t[6 + 2] > m[1]) pending[2 * k + 1] |= left_mask;
    if (t[9 + 2] > m[3]) pending[2 * k + 1] |= right_mask;
  }
}

void DitherCellBits8(int32_t, const int16_t* matrix, const int32_t positions[8], uint32_t pending[16],
                     const uint32_t masks[2], const int32_t block[96]) {
  DitherCellBits(8, matrix, positions, pending, masks[0], masks[1], block);
}

}  // namespace tonvar::halftone_lines
