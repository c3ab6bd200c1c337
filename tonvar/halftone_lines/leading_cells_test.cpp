// Leading cells of the 8-ink line drivers: the slot-to-group order and the dot rules.
#include <gtest/gtest.h>

#include <algorithm>

#include "tonvar/halftone_lines/cell_bits.h"
#include "tonvar/halftone_lines/four_level_dots.h"

namespace tonvar::halftone_lines {
namespace {

// Masks of a left dot at the top of the first byte (2 bits a dot) and its right neighbour.
constexpr uint32_t kSmall[2] = {0x40, 0x10}, kMedium[2] = {0x80, 0x20}, kLarge[2] = {0xC0, 0x30};

TEST(LeadingCells, FourLevelsBySlotGroup) {
  // Matrix 0, 2, 1, 3 at A, C, B, D of a cell at index 0 for every slot.
  const int16_t matrix[4] = {100, 200, 300, 400};  // A 100, C 200, B 300, D 400
  const int32_t phases[8] = {};
  int32_t block[96] = {};
  // Group 0 (slot 3): A large, B nothing. Group 1 (slot 0): A medium, B small, C small, D large.
  const int32_t group0[12] = {0, 0, 101, 300, 300, 300, 0, 0, 0, 0, 0, 0};
  const int32_t group1[12] = {101, 101, 100, 301, 300, 300, 201, 200, 200, 0, 0, 401};
  std::copy(group0, group0 + 12, block);
  std::copy(group1, group1 + 12, block + 12);
  uint32_t pending[16] = {};
  pending[7] = 0x100;  // other bits stay
  DitherLeadingCell8(0, matrix, phases, pending, kSmall, kMedium, kLarge, block);
  EXPECT_EQ(pending[0], kMedium[0] | kSmall[1]) << "slot 0 reads group 1";
  EXPECT_EQ(pending[1], kSmall[0] | kLarge[1]);
  EXPECT_EQ(pending[6], kLarge[0]) << "slot 3 reads group 0";
  EXPECT_EQ(pending[7], 0x100u);
  for (int k : {1, 2, 4, 5, 6, 7}) EXPECT_EQ(pending[2 * k] | pending[2 * k + 1], 0u) << k;
}

TEST(LeadingCells, OneBitUsesTheLargeThresholdOnly) {
  const int16_t matrix[4] = {10, 10, 10, 10};
  int32_t phases[8] = {};
  int32_t block[108] = {};
  for (int s = 0; s < 4; ++s) {
    block[12 * 7 + 3 * s + 0] = 4080;  // any dot: not read
    block[12 * 7 + 3 * s + 2] = s == 3 ? 11 : 10;
  }
  uint32_t pending[16] = {};
  const uint32_t masks[2] = {0x04, 0x02};
  DitherCellBits8(0, matrix, phases, pending, masks, block);
  EXPECT_EQ(pending[2 * 7], 0u) << "slot 7 reads group 7; A and B equal the matrix";
  EXPECT_EQ(pending[2 * 7 + 1], 0x02u) << "D above the matrix";
  for (int k = 0; k < 7; ++k) EXPECT_EQ(pending[2 * k] | pending[2 * k + 1], 0u) << k;
}

}  // namespace
}  // namespace tonvar::halftone_lines
