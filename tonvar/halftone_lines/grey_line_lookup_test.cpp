// Span look-up of grey input pixels into ink amounts, by replication code.
#include "tonvar/halftone_lines/grey_line_lookup.h"

#include <gtest/gtest.h>

#include <vector>

namespace tonvar::halftone_lines {
namespace {

// Grey level g maps to amounts g + 1000 k for plane k, so every word names its pixels.
std::vector<uint32_t> Table() {
  std::vector<uint32_t> table(256 * 4);
  for (uint32_t g = 0; g < 256; ++g) {
    for (uint32_t k = 0; k < 8; ++k) {
      const uint32_t amount = g + 1000 * k;
      table[4 * g + k / 2] |= k % 2 == 0 ? amount << 16 : amount;
    }
  }
  return table;
}

// A row of grey pixels of the given levels (equal components give that grey level).
std::vector<uint8_t> Row(const std::vector<uint8_t>& greys) {
  std::vector<uint8_t> row;
  for (uint8_t g : greys) row.insert(row.end(), {g, g, g, 0xEE});
  return row;
}

struct Lookup {
  std::vector<uint32_t> lines[kGreyPlanes];
  EngineStatus status;
};

Lookup LookUp(int32_t code, int32_t x, int32_t end, const std::vector<uint8_t>& top,
           const std::vector<uint8_t>& bottom, int32_t index = 0) {
  const std::vector<uint32_t> table = Table();
  const std::vector<uint8_t> row0 = Row(top), row1 = Row(bottom);
  const uint8_t* pair[2] = {row0.data(), row1.data()};
  Lookup out;
  uint32_t* lines[kGreyPlanes];
  for (int k = 0; k < kGreyPlanes; ++k) {
    out.lines[k].assign(64, 0xFFFFFFFF);
    lines[k] = out.lines[k].data();
  }
  out.status = LookupGreyLine(reinterpret_cast<const PackedInkRow*>(table.data()), code, index, x,
                              end, pair, lines);
  return out;
}

uint32_t Pair(uint32_t a, uint32_t b, int plane = 0) { return ((a + 1000 * plane) << 16) | (b + 1000 * plane); }

TEST(GreyLineLookupTest, CodeZeroReadsTwoPixelsAStepAndTheLastOfAnOddSpanTwice) {
  const Lookup r = LookUp(0, 10, 15, {1, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16});
  ASSERT_EQ(r.status, kStatusOk);
  const std::vector<uint32_t> plane0 = {Pair(1, 2), Pair(11, 12), Pair(3, 4), Pair(13, 14), Pair(5, 5), Pair(15, 15)};
  EXPECT_EQ(std::vector<uint32_t>(r.lines[0].begin(), r.lines[0].begin() + 6), plane0);
  EXPECT_EQ(r.lines[7][0], Pair(1, 2, 7));
  EXPECT_EQ(r.lines[0][6], 0xFFFFFFFFu);  // three steps only
}

TEST(GreyLineLookupTest, OtherCodesRepeatPixelsAsTheirPatternSays) {
  // Code 1: every input pixel fills two output columns.
  Lookup r = LookUp(1, 0, 6, {1, 2, 3, 4}, {9, 9, 9, 9});
  ASSERT_EQ(r.status, kStatusOk);
  EXPECT_EQ(r.lines[3][0], Pair(1, 1, 3));
  EXPECT_EQ(r.lines[3][2], Pair(2, 2, 3));
  EXPECT_EQ(r.lines[3][4], Pair(3, 3, 3));
  // Code 15: one input pixel fills sixteen output columns.
  r = LookUp(15, 0, 18, {1, 2, 3}, {9, 9, 9});
  for (int step = 0; step < 8; ++step) EXPECT_EQ(r.lines[0][2 * step], Pair(1, 1)) << step;
  EXPECT_EQ(r.lines[0][16], Pair(2, 2));
  // Code 3 from pattern index 1: moves on after the first and third step.
  r = LookUp(3, 0, 8, {1, 2, 3, 4}, {9, 9, 9, 9}, 1);
  EXPECT_EQ(r.lines[0][0], Pair(1, 1));
  EXPECT_EQ(r.lines[0][2], Pair(2, 2));
  EXPECT_EQ(r.lines[0][4], Pair(2, 2));
  EXPECT_EQ(r.lines[0][6], Pair(3, 3));
}

TEST(GreyLineLookupTest, EmptySpansAndReductionsWriteNothing) {
  EXPECT_EQ(LookUp(0, 5, 5, {1}, {1}).lines[0][0], 0xFFFFFFFFu);
  EXPECT_EQ(LookUp(-1, 0, 4, {1, 2}, {1, 2}).status, kStatusBadResource);
  EXPECT_EQ(LookUp(3, 0, 4, {1, 2}, {1, 2}, 9).status, kStatusBadResource);
}

}  // namespace
}  // namespace tonvar::halftone_lines
