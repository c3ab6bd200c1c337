// Colour separation: flat cells and their smoothing, replication, the cube a tag selects, the
// flat-cell bitmap and the node form of eight inks.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

#include "tonvar/multi_level/colour_separation.h"
#include "tonvar/multi_level/line_machinery.h"
#include "tonvar/multi_level/line_test_state.h"

namespace tonvar::multi_level {
namespace {

EngineStatus SeparateLine(MultiLevelState* s, int32_t index, int32_t x, const uint8_t* pair[2], int inks) {
  return inks == 4 ? SeparateLine4(s, index, x, pair) : SeparateLine8(s, index, x, pair);
}

using Rgb = std::array<uint8_t, 3>;

constexpr uint32_t kDefaultNode = 0x0A0A0A0A;

// Two input rows from pixels (components and tag); row 1 repeats row 0 unless given.
struct Rows {
  std::vector<uint8_t> row[2];
  void Add(Rgb top, uint8_t tag = 3) { Add(top, top, tag); }
  void Add(Rgb top, Rgb bottom, uint8_t tag = 3) {
    for (int r = 0; r < 2; ++r) {
      const Rgb& p = r == 0 ? top : bottom;
      for (uint8_t byte : {p[0], p[1], p[2], tag}) row[r].push_back(byte);
    }
  }
};

class SeparationTest : public ::testing::Test {
 protected:
  SeparationTest() : s_(64, 4, kDefaultNode) {
    *s_.Node(0, 0, 0, 0) = 0x64646464;     // (0, 0, 0): 100 in every plane
    *s_.Node(0, 1, 1, 1) = 0x67676767;     // (5, 5, 5): 103
    *s_.Node(0, 63, 63, 63) = 0xC8C8C8C8;  // white: 200
    *s_.Node(1, 0, 0, 0) = 0x32323232;     // the second cube's (0, 0, 0): 50
  }
  // Separates [0, end) with the code; returns the pixels the rows were advanced by.
  size_t Separate(Rows& rows, int32_t end, int32_t code = 0) {
    s_->replication_code = code;
    s_->x_start = 0;
    s_->x_end = end;
    const uint8_t* pair[2] = {rows.row[0].data(), rows.row[1].data()};
    EXPECT_EQ(SeparateLine4(s_.get(), 0, 0, pair), kStatusOk);
    return static_cast<size_t>(pair[0] - rows.row[0].data()) / 4;
  }
  // The rounding bit of the call's n-th cell, from a copy of the generator.
  uint32_t RoundingBitOfCell(int n) {
    common::MtState copy = s_->random;
    uint32_t r = DrawRounding(&copy);
    for (int i = 0; i < n; ++i) r = NextRounding(r);
    return RoundingBit(r);
  }
  LineTestState s_;
};

TEST_F(SeparationTest, SimilarFlatNeighboursAreSmoothedExceptPlaneTwo) {
  Rows rows;
  for (int i = 0; i < 2; ++i) rows.Add({0, 0, 0});
  for (int i = 0; i < 2; ++i) rows.Add({5, 5, 5});
  const uint32_t bit = RoundingBitOfCell(1);
  EXPECT_EQ(Separate(rows, 4), 4u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(s_.Plane(k)[0], 100u);
    EXPECT_EQ(s_.Plane(k)[1], k == 2 ? 103u : (103u + 100u + bit) >> 1) << "plane " << k;
  }
  EXPECT_EQ(s_.FlatWords()[0], 0u);
}

TEST_F(SeparationTest, A26StepIsNotFlatAndTheNextFlatCellIsNotSmoothed) {
  Rows rows;
  rows.Add({0, 0, 0});
  rows.Add({25, 0, 0});  // exactly 25: flat
  rows.Add({0, 0, 0});
  rows.Add({26, 0, 0}, {0, 0, 0});  // top right against bottom left: 26
  rows.Add({5, 5, 5});
  rows.Add({5, 5, 5});
  Separate(rows, 6);
  EXPECT_EQ(s_.FlatWords()[0], 0b010u);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(s_.Plane(k)[1] >> 24, 100u);          // top left: its own node
    EXPECT_EQ(s_.Plane(k)[1] & 0xFFFF, 0x6464u);    // bottom row (0, 0, 0)
    EXPECT_EQ(s_.Plane(k)[2], 103u);                // flat after a detailed cell: not smoothed
  }
}

TEST_F(SeparationTest, TheTagChoosesTheCubeAndAFlatCellTakesTopLeftsTag) {
  Rows rows;
  rows.Add({0, 0, 0}, 3);
  rows.Add({0, 0, 0}, 0);  // flat, top left has tag 3
  rows.Add({0, 0, 0}, 0);
  rows.Add({26, 0, 0}, {0, 0, 0}, 3);  // detailed: each pixel its own cube
  Separate(rows, 4);
  EXPECT_EQ(s_.Plane(0)[0], 100u);
  EXPECT_EQ(s_.Plane(0)[1], 50u << 24 | 10u << 16 | 50u << 8 | 100u);
}

TEST_F(SeparationTest, TwoToOneReductionTakesTheDarkerPixelAndWhitePastTheRun) {
  *s_.Node(0, 47, 2, 2) = 0x4D4D4D4D;  // (202, 10, 10), on grid points: 77
  Rows rows;
  rows.Add({10, 202, 10});
  rows.Add({202, 10, 10});  // 4 x 202 + 8 x 10 + 10 = 898 beats 1666
  rows.Add({202, 10, 10});
  rows.Add({10, 202, 10});
  rows.Add({202, 10, 10});  // the last cell: one pixel of the run, white on its right
  rows.Add({202, 10, 10});
  EXPECT_EQ(Separate(rows, 3, -1), 6u);
  EXPECT_EQ(s_.Plane(0)[0], 77u);
  EXPECT_EQ(s_.FlatWords()[0], 0b10u);
  EXPECT_EQ(s_.Plane(0)[1], 0x4DC84DC8u);  // left (202, 10, 10), right white
  const uint8_t dark[4] = {200, 10, 10, 0}, light[4] = {10, 200, 10, 0};  // 890 against 1650
  EXPECT_EQ(DarkerPixel(light, dark), dark);
  const uint8_t a[4] = {1, 2, 3, 3}, b[4] = {3, 2, 1, 3};  // 4 + 16 + 3 each: the first wins
  EXPECT_EQ(DarkerPixel(a, b), a);
}

TEST_F(SeparationTest, CodeThreeFillsTwoCellsWithEachInputPixel) {
  Rows rows;
  rows.Add({0, 0, 0});
  rows.Add({255, 255, 255});
  rows.Add({0, 0, 0});
  EXPECT_EQ(Separate(rows, 8, 3), 2u);
  const uint32_t want[4] = {100, 100, 200, 200};
  for (int c = 0; c < 4; ++c) EXPECT_EQ(s_.Plane(1)[c], want[c]) << "cell " << c;
}

TEST_F(SeparationTest, ThirtyThreeCellsFillOneFlatWordAndOneBitOfTheNext) {
  Rows rows;
  for (int i = 0; i < 64; ++i) rows.Add({0, 0, 0});
  rows.Add({26, 0, 0}, {0, 0, 0});
  rows.Add({0, 0, 0});
  Separate(rows, 66);
  EXPECT_EQ(s_.FlatWords()[0], 0u);
  EXPECT_EQ(s_.FlatWords()[1], 1u);
}

TEST_F(SeparationTest, OneBitMembersRefuseReductionAfterTheirDraw) {
  Rows rows;
  rows.Add({0, 0, 0});
  s_->replication_code = -1;
  s_->x_end = 2;
  const uint8_t* pair[2] = {rows.row[0].data(), rows.row[1].data()};
  common::MtState expected = s_->random;
  common::RandomGenerate(&expected);
  EXPECT_EQ(SeparateLineOneBit4(s_.get(), 0, 0, pair), kStatusBadResource);
  EXPECT_EQ(s_->random.left, expected.left);
  EXPECT_EQ(SeparateLineOneBit8(s_.get(), 0, 2, pair), kStatusOk);  // nothing to separate
}

// Every path separates random rows exactly as the scalar one: flat runs that drift (smoothing
// with both rounding bits), busy pixels, both cubes, each input mode, 4 and 8 inks, odd ends.
TEST(SeparationPaths, EveryPathGivesTheScalarCells) {
  using halftone_lines::SimdPath;
  constexpr int32_t kWidth = 301;
  std::mt19937 random(5150);
  const int supported = static_cast<int>(halftone_lines::SupportedSimdPath());
  for (int inks : {4, 8}) {
    LineTestState s(kWidth + 1, inks, 0);
    const size_t words = inks == 4 ? 1 : 2;
    for (int c = 0; c < 2; ++c) {
      auto* cube = reinterpret_cast<uint32_t*>(s->cubes[c]);
      for (size_t i = 0; i < size_t{kCubeNodes} * words; ++i) cube[i] = static_cast<uint32_t>(random());
    }
    for (int round = 0; round < 16; ++round) {
      const int32_t code = std::array<int32_t, 4>{-1, 0, 1, 3}[round % 4];
      std::vector<uint8_t> rows[2];
      uint8_t base[3] = {};
      for (int32_t x = 0; x < 4 * kWidth; ++x) {
        if (x % 16 == 0) {
          for (uint8_t& b : base) b = static_cast<uint8_t>(random());
        }
        const bool busy = (x / 16) % 3 == 2;
        for (auto& row : rows) {
          for (uint8_t b : base) {
            row.push_back(busy ? static_cast<uint8_t>(random()) : static_cast<uint8_t>(b + random() % 12));
          }
          row.push_back(random() % 4 == 0 ? 5 : 3);
        }
      }
      const int32_t start = static_cast<int32_t>(random() % 5);
      const int32_t end = kWidth - static_cast<int32_t>(random() % 4);
      s->replication_code = code;
      s->x_start = static_cast<uint32_t>(start);
      s->x_end = end;
      const common::MtState draw = s->random;
      std::vector<std::vector<uint32_t>> outputs;
      for (int path = 0; path <= supported; ++path) {
        s->random = draw;
        s->simd_path = static_cast<SimdPath>(path);
        const uint8_t* pair[2] = {rows[0].data(), rows[1].data()};
        ASSERT_EQ(SeparateLine(s.get(), static_cast<int32_t>(round % 3), start, pair, inks), kStatusOk);
        const uint32_t cells = static_cast<uint32_t>(end - start + 1) / 2;
        std::vector<uint32_t> out(s.FlatWords(), s.FlatWords() + (cells + 31) / 32);
        for (int k = 0; k < inks; ++k) out.insert(out.end(), s.Plane(k), s.Plane(k) + cells);
        out.push_back(static_cast<uint32_t>(pair[0] - rows[0].data()));
        out.push_back(static_cast<uint32_t>(pair[1] - rows[1].data()));
        outputs.push_back(out);
      }
      for (size_t path = 1; path < outputs.size(); ++path) {
        ASSERT_EQ(outputs[path], outputs[0]) << inks << " inks, code " << code << ", path " << path;
      }
    }
  }
}

TEST(SeparateCell8, PlanesTakeChannelsZeroTwoFourFiveOneThreeSixSeven) {
  LineTestState s(64, 8, 0);
  // Channel c holds 10 (c + 1); the node form: word 0 channels 0..3, word 1 channels 5, 4, 6, 7.
  uint32_t* node = s.Node(0, 0, 0, 0);
  node[0] = 10u << 24 | 20u << 16 | 30u << 8 | 40u;
  node[1] = 60u << 24 | 50u << 16 | 70u << 8 | 80u;
  const CellPixels pixels{{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {3, 3, 3, 3}};
  CellLevels levels{};
  SeparateCell8(pixels, s->tone_ramp, s->cubes, 254, &levels);
  const int channel_of[8] = {0, 2, 4, 5, 1, 3, 6, 7};
  for (int p = 0; p < 4; ++p) {
    for (int k = 0; k < 8; ++k) EXPECT_EQ(levels.level[p][k], 20 * (channel_of[k] + 1)) << "plane " << k;
  }
}

}  // namespace
}  // namespace tonvar::multi_level
