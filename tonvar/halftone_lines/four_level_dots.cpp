// Dot masks and the leading-cell dither of the 2-bit line drivers.
#include "tonvar/halftone_lines/four_level_dots.h"

namespace tonvar::halftone_lines {

DotMaskTables BuildDotMaskTables() {
  DotMaskTables masks{};
  for (int p = 0; p < kWordDots; ++p) {
    masks.small[p] = uint32_t{kSmallDot} << kDotShift[p];
    masks.medium[p] = uint32_t{kMediumDot} << kDotShift[p];
    masks.large[p] = uint32_t{kLargeDot} << kDotShift[p];
  }
  return masks;
}

void DitherLeadingCells(int slots, const int16_t* matrix, const int32_t* positions, uint32_t* pending,
                        const uint32_t* small_mask, const uint32_t* medium_mask,
                        const uint32_t* large_mask, const int32_t* thresholds) {
  const uint32_t* masks[4] = {nullptr, small_mask, medium_mask, large_mask};
  for (int k = 0; k < slots; ++k) {
    const int32_t* t = thresholds + kLeadingGroupValues * kLeadingGroup[k];
    const int16_t* m = matrix + positions[k];
    // Pixel, its sample offset, its row and its dot (left 0, right 1).
    constexpr struct { int pixel, sample, row, dot; } kDots[4] = {{0, 0, 0, 0}, {1, 2, 0, 1}, {2, 1, 1, 0}, {3, 3, 1, 1}};
    for (const auto& d : kDots) {
      const int32_t* c = t + 3 * d.pixel;
      const uint32_t code = FourLevelCode(c[0], c[1], c[2], m[d.sample]);
      if (code != kNoDot) pending[2 * k + d.row] |= masks[code][d.dot];
    }
  }
}

void DitherLeadingCell8(int32_t, const int16_t* matrix, const int32_t positions[8], uint32_t pending[16],
                        const uint32_t* small_mask, const uint32_t* medium_mask,
                        const uint32_t* large_mask, const int32_t thresholds[96]) {
  DitherLeadingCells(8, matrix, positions, pending, small_mask, medium_mask, large_mask, thresholds);
}

}  // namespace tonvar::halftone_lines
