// Colour cubes: resampling a colour table onto the 64-node grid, dot gain, the grey diagonal.
#include "tonvar/multi_level/multi_level_engine.h"

#include <cstring>

#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

using ::testkit::CubeTableShape;

class ColourCubeTest : public EngineTest {
 protected:
  // Builds cube 0 of an engine on the table (the engine's step 1 without the packing).
  EngineStatus Build(const CubeTableShape& shape, uint32_t ink_set = 1) {
    RasterJob job = SampleJob();
    job.ink_set = ink_set;
    EXPECT_EQ(Create(job, shape), kStatusOk);
    EXPECT_EQ(AllocMultiLevelState(engine_), kStatusOk);
    State().ink_count = InkCountOf(ink_set);
    const EngineStatus checked = CheckCubeSource(engine_->tables[0], State().ink_count);
    return checked != kStatusOk ? checked : BuildColorCube(engine_, 0);
  }
  const uint8_t* Node(uint32_t i, uint32_t j, uint32_t k) {
    return State().cubes[0] + ((i * 64 + j) * 64 + k) * engine_->tables[0].channel_count;
  }
};

TEST_F(ColourCubeTest, ATableOnTheCubeGridIsReproducedExactly) {
  CubeTableShape shape;
  shape.grid = 64;
  shape.levels = ::testkit::CubeNodeLevels();
  ASSERT_EQ(Build(shape), kStatusOk);
  for (uint32_t i = 0; i < 64; i += 7) {
    for (uint32_t j = 0; j < 64; j += 5) {
      for (uint32_t k : {0u, 1u, 31u, 62u, 63u}) {
        for (uint32_t c = 0; c < 4; ++c) ASSERT_EQ(Node(i, j, k)[c], ::testkit::NodeValue(i, j, k, c)) << i << ' ' << j << ' ' << k;
      }
    }
  }
  EXPECT_EQ(engine_->tables[0].grid_points[2], 64u);
  EXPECT_EQ(engine_->tables[0].grid[1][30], 130);
}

TEST_F(ColourCubeTest, NodesOnTableNodesKeepTheirValuesAndOthersInterpolate) {
  // Grid 0, 130, 255 (130 and 255 are cube levels 30 and 63); values linear in the first axis.
  CubeTableShape shape;
  shape.grid = 3;
  shape.levels = {0, 130, 255};
  for (uint32_t i = 0; i < 3; ++i)
    for (uint32_t n = 0; n < 9; ++n)
      for (uint32_t c = 0; c < 4; ++c) shape.body.push_back(static_cast<uint8_t>(i == 0 ? 0 : i == 1 ? 100 : 200));
  ASSERT_EQ(Build(shape), kStatusOk);
  EXPECT_EQ(Node(30, 4, 9)[0], 100);
  EXPECT_EQ(Node(63, 0, 63)[3], 200);
  EXPECT_EQ(Node(0, 63, 63)[1], 0);
  // Level 66 (node 15): fraction (66 x 128 + 65) / 130 = 65 of 128 from 0 to 100.
  EXPECT_EQ(Node(15, 0, 0)[0], (((65 * 25600) >> 7) * 32 / 256 + 16) >> 5);
}

TEST_F(ColourCubeTest, DotGainBendsTheInterpolation) {
  CubeTableShape shape;
  shape.grid = 2;
  shape.levels = {0, 255};
  shape.body = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
               255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  shape.gain_none = 200;
  shape.gain_full = 100;
  ASSERT_EQ(Build(shape), kStatusOk);
  // The ends stay, the middle moves, and the curve keeps rising.
  EXPECT_EQ(Node(0, 0, 0)[0], 0);
  EXPECT_EQ(Node(63, 0, 0)[0], 255);
  EXPECT_NE(Node(30, 0, 0)[0], 130);
  for (uint32_t i = 1; i < 64; ++i) EXPECT_GE(Node(i, 0, 0)[0], Node(i - 1, 0, 0)[0]);
}

TEST_F(ColourCubeTest, SixChannelCubesDropSingleDotsOfChannelsZeroTwoAndFive) {
  CubeTableShape shape;
  shape.grid = 2;
  shape.levels = {0, 255};
  shape.channels = 6;
  shape.body.assign(8 * 6, 1);
  ASSERT_EQ(Build(shape, 3), kStatusOk);
  const uint8_t expected[6] = {0, 1, 0, 1, 1, 0};
  EXPECT_EQ(std::memcmp(Node(17, 40, 3), expected, 6), 0);
}

TEST_F(ColourCubeTest, TheGreyAxisReplacesTheDiagonal) {
  CubeTableShape shape;
  shape.grey_levels = {0, 128, 255};
  shape.grey_values = {1, 2, 3, 4, 100, 110, 120, 130, 227, 228, 229, 230};
  ASSERT_EQ(Build(shape), kStatusOk);
  const uint8_t first[4] = {1, 2, 3, 4}, last[4] = {227, 228, 229, 230};
  EXPECT_EQ(std::memcmp(Node(0, 0, 0), first, 4), 0);
  EXPECT_EQ(std::memcmp(Node(63, 63, 63), last, 4), 0);
  // Level 130: 125/127 of row 1 and 2/127 of row 2, through the (identity) transfer.
  for (uint32_t c = 0; c < 4; ++c) {
    const uint32_t t = (256 * shape.grey_values[4 + c] * 125 + 256 * shape.grey_values[8 + c] * 2) / 127;
    EXPECT_EQ(Node(30, 30, 30)[c], (32 * (t >> 8) + ((32 * (t & 255)) >> 8) + 16) >> 5) << c;
  }
  EXPECT_NE(Node(30, 30, 29)[0], Node(30, 30, 30)[0]);
}

TEST_F(ColourCubeTest, TheWorkBlockFailuresAreReported) {
  for (auto [op, expected] : {std::pair{common::faults::MemOp::kAlloc, kStatusAllocFailed},
                              std::pair{common::faults::MemOp::kFree, kStatusFreeFailed}}) {
    RasterJob job = SampleJob();
    ASSERT_EQ(Create(job), kStatusOk);
    ASSERT_EQ(AllocMultiLevelState(engine_), kStatusOk);
    State().ink_count = 4;
    common::faults::FailNth(op, 1);
    EXPECT_EQ(BuildColorCube(engine_, 0), expected);
    EXPECT_EQ(DeleteEngine(), kStatusOk);
    common::faults::Reset();
  }
}

}  // namespace
}  // namespace tonvar::multi_level
