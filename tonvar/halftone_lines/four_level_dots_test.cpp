// Four-level dot codes and the eight-slot leading cell.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tonvar/halftone_lines/cell_bits.h"
#include "tonvar/halftone_lines/four_level_dots.h"

namespace tonvar::halftone_lines {
namespace {

TEST(FourLevelCode, StrictlyAboveTheSampleFromTheLargestDotDown) {
  struct Case {
    int32_t any, medium_or_large, large, sample;
    uint32_t code;
  };
  const Case cases[] = {
      {10, 10, 10, 10, kNoDot},     {11, 0, 0, 10, kSmallDot},  {0, 11, 0, 10, kMediumDot},
      {0, 0, 11, 10, kLargeDot},    {0, 0, 0, -1, kLargeDot},   {5, 3, 1, 2, kMediumDot},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FourLevelCode(c.any, c.medium_or_large, c.large, c.sample), c.code);
    const int32_t t[3] = {c.any, c.medium_or_large, c.large};
    EXPECT_EQ(FourLevelCodeOf(t, c.sample), c.code);
  }
}

TEST(FourLevelCode, BranchFreeFormAgreesForThresholdsInAnyOrder) {
  // Damaged tables need not be cumulative: every order of three values around the sample,
  // with ties and the ends of the range.
  const int32_t values[] = {INT32_MIN, -5, 9, 10, 11, INT32_MAX};
  for (int32_t sample : {-32768, 10, 32767}) {
    for (int32_t any : values) {
      for (int32_t medium : values) {
        for (int32_t large : values) {
          const int32_t t[3] = {any, medium, large};
          ASSERT_EQ(FourLevelCodeOf(t, sample), FourLevelCode(any, medium, large, sample))
              << any << " " << medium << " " << large << " " << sample;
        }
      }
    }
  }
}

TEST(DitherLeadingCell8, EachSlotDecidesItsFourDotsWithItsGroupAndSamples) {
  const DotMaskTables masks = BuildDotMaskTables();
  // Samples 0..39; slot k starts at 4k + 8.
  std::vector<int16_t> matrix(40);
  for (int i = 0; i < 40; ++i) matrix[i] = static_cast<int16_t>(100 * i);
  int32_t positions[8];
  for (int k = 0; k < 8; ++k) positions[k] = 4 * k + 8;
  // Group g: pixel A large above sample 4g + 8 of slot g's first sample ... per slot k only
  // its own group g(k) is set, and each of its pixels is just above its own sample.
  int32_t thresholds[96] = {};
  for (int k = 0; k < 8; ++k) {
    const int g = kLeadingGroup[k];
    const int32_t base = 100 * positions[k];
    thresholds[12 * g + 2] = base + 1;         // A against m(0): large
    thresholds[12 * g + 3 + 1] = base + 201;   // B against m(2): medium
    thresholds[12 * g + 6 + 0] = base + 101;   // C against m(1): small
    thresholds[12 * g + 9 + 2] = base + 300;   // D against m(3) = base + 300: none
  }
  uint32_t pending[16] = {};
  DitherLeadingCell8(0, matrix.data(), positions, pending, masks.small + 2, masks.medium + 2, masks.large + 2,
                     thresholds);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(pending[2 * k], uint32_t{kLargeDot} << kDotShift[2] | uint32_t{kMediumDot} << kDotShift[3]) << k;
    EXPECT_EQ(pending[2 * k + 1], uint32_t{kSmallDot} << kDotShift[2]) << k;
  }
  EXPECT_EQ(masks.small[kWordDots], 0u);
}

TEST(DitherCellBits8, OnlyTheLargeThresholdStrictlyAboveTheSampleAddsABit) {
  const std::vector<int16_t> matrix = {0, -1, 5, 7, 0, 0};
  const int32_t positions[8] = {};
  int32_t block[96] = {};
  for (int k = 0; k < 8; ++k) {
    int32_t* t = block + 12 * kLeadingGroup[k];
    t[0] = t[1] = 1000;  // any and medium thresholds are not read
    t[3 + 2] = 6;        // B: 6 > 5
    t[6 + 2] = 0;        // C: 0 > -1
    t[9 + 2] = 7;        // D: 7 = 7, none
  }
  uint32_t pending[16];
  for (uint32_t& w : pending) w = 0x100;
  const uint32_t masks[2] = {0x80, 0x40};
  DitherCellBits8(0, matrix.data(), positions, pending, masks, block);
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(pending[2 * k], 0x140u) << k;
    EXPECT_EQ(pending[2 * k + 1], 0x180u) << k;
  }
}

}  // namespace
}  // namespace tonvar::halftone_lines
