// Leading cells of the 8-ink line drivers.
#include "tonvar/halftone_lines/leading_cells.h"

namespace tonvar::halftone_lines {
namespace {

constexpr int kMatrixOffset[4] = {0, 2, 1, 3};  // A, B, C, D

uint32_t FourLevelCode(const uint32_t* t, int32_t m, uint32_t small, uint32_t medium, uint32_t large) {
  if (static_cast<int32_t>(t[2]) > m) return large;
  if (static_cast<int32_t>(t[1]) > m) return medium;
  if (static_cast<int32_t>(t[0]) > m) return small;
  return 0;
}

}  // namespace

void DitherLeadingCell8(const int16_t* matrix, const int32_t phases[kLeadingSlots],
                        uint32_t pending[2 * kLeadingSlots], const uint32_t* small_mask,
                        const uint32_t* medium_mask, const uint32_t* large_mask,
                        const uint32_t* block) {
  for (int k = 0; k < kLeadingSlots; ++k) {
    const uint32_t* t = block + 12 * kLeadingGroupOfSlot[k];
    for (int s = 0; s < 4; ++s) {
      const int right = s & 1;  // B and D
      const int32_t m = matrix[phases[k] + kMatrixOffset[s]];
      pending[2 * k + (s >> 1)] |=
          FourLevelCode(t + 3 * s, m, small_mask[right], medium_mask[right], large_mask[right]);
    }
  }
}

void DitherCellBits8(const int16_t* matrix, const int32_t phases[kLeadingSlots],
                     uint32_t pending[2 * kLeadingSlots], const uint32_t masks[2],
                     const uint32_t* block) {
  for (int k = 0; k < kLeadingSlots; ++k) {
    const uint32_t* t = block + 12 * kLeadingGroupOfSlot[k];
    for (int s = 0; s < 4; ++s) {
      const int32_t m = matrix[phases[k] + kMatrixOffset[s]];
      if (static_cast<int32_t>(t[3 * s + 2]) > m) pending[2 * k + (s >> 1)] |= masks[s & 1];
    }
  }
}

}  // namespace tonvar::halftone_lines
