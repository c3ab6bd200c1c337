// Four-level dots (none, small, medium, large) in the 2-bit output words of the line drivers,
// and the ordered dither of the leading cell of a line for eight ink slots.
#pragma once

#include <cstdint>

namespace tonvar::halftone_lines {

// Sixteen dots of 2 bits per 32-bit word, stored least significant byte first: the first dot
// of each byte sits in its two most significant bits.
inline constexpr int kWordDots = 16;
inline constexpr int kDotShift[kWordDots] = {6, 4, 2, 0, 14, 12, 10, 8, 22, 20, 18, 16, 30, 28, 26, 24};

enum DotCode : uint32_t { kNoDot = 0, kSmallDot = 1, kMediumDot = 2, kLargeDot = 3 };

// Each position's code 1, 2 and 3 at its bits, followed by zero entries (so that a word is full
// when the entry after the last position read is zero).
inline constexpr int kMaskEntries = kWordDots + 4;
struct DotMaskTables {
  uint32_t small[kMaskEntries];
  uint32_t medium[kMaskEntries];
  uint32_t large[kMaskEntries];
};
DotMaskTables BuildDotMaskTables();

// The code of one dot from its cumulative thresholds (any dot, medium or large, large) against a
// matrix sample, compared signed and strictly.
inline uint32_t FourLevelCode(int32_t any, int32_t medium_or_large, int32_t large, int32_t sample) {
  return large > sample ? kLargeDot : medium_or_large > sample ? kMediumDot : any > sample ? kSmallDot : kNoDot;
}

// The same code without branches from thresholds {any, medium or large, large}: the highest
// code whose threshold passes, whatever order the thresholds stand in.
inline uint32_t FourLevelCodeOf(const int32_t t[3], int32_t sample) {
  uint32_t code = t[0] > sample ? kSmallDot : kNoDot;
  code = t[1] > sample ? kMediumDot : code;
  return t[2] > sample ? kLargeDot : code;
}

// Threshold group of each ink slot in a cell's threshold block.
inline constexpr int kLeadingGroup[8] = {1, 2, 3, 0, 4, 5, 6, 7};
inline constexpr int kLeadingGroupValues = 12;  // c0, c1, c2 of the pixels A, B, C, D

// Leading cell for `slots` ink slots (4 or 8): slot k's four dots, A (top left) against
// matrix[positions[k]], B (top right) against + 2, C (bottom left) + 1, D (bottom right) + 3,
// decided with the thresholds of group kLeadingGroup[k] and ORed into pending[2k] (row 0) and
// pending[2k + 1] (row 1) with the masks of the cell's left dot (index 0) and right dot (1).
void DitherLeadingCells(int slots, const int16_t* matrix, const int32_t* positions, uint32_t* pending,
                        const uint32_t* small_mask, const uint32_t* medium_mask,
                        const uint32_t* large_mask, const int32_t* thresholds);

// The eight-slot leading cell shared by the grey and multi-level line drivers; x is not read.
void DitherLeadingCell8(int32_t x, const int16_t* matrix, const int32_t positions[8],
                        uint32_t pending[16], const uint32_t* small_mask, const uint32_t* medium_mask,
                        const uint32_t* large_mask, const int32_t thresholds[96]);

}  // namespace tonvar::halftone_lines
