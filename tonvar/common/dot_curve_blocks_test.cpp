// Dot-curve block readers: both kinds with their ink groups and weights, sample widths and level
// counts, and damaged blocks refused with a status.
#include "tonvar/common/dot_curve_blocks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "testkit/tonvar/correction_resources.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::common {
namespace {

using testkit::BuildDotCurveKind3;
using testkit::BuildDotCurveKind4;
using testkit::DotCurveEntriesFor;
using testkit::DotCurveKind3Shape;
using testkit::DotCurveKind4Shape;

// A sample that tells ink, level and column apart.
int32_t Sample(uint32_t level, uint32_t column) { return static_cast<int32_t>(level % 200 + 7 * column); }

class DotCurveTest : public ::testing::Test {
 protected:
  // Through the dispatcher by kind, or straight to the kind-3 reader (which also takes the
  // format codes 0 and 2 that the kind at offset 8 rules out for the dispatcher).
  EngineStatus Read(const std::vector<uint8_t>& block, uint32_t ink_set = 9, bool bounded = true,
                    bool kind3 = false) {
    std::memset(tables_.get(), 0xAB, sizeof(DotCurveTables));
    const ResourceBytes bytes{block.data(), bounded ? block.size() : kUnboundedSize};
    return kind3 ? ReadDotCurveKind3(bytes, ink_set, tables_.get(), weights_)
                 : ReadDotCurveBlock(bytes, ink_set, tables_.get(), weights_);
  }
  uint32_t At(uint32_t group, uint32_t level, uint32_t column) const {
    return tables_->group[group][level][column];
  }

  faults::ScopedReset reset_;
  std::unique_ptr<DotCurveTables> tables_ = std::make_unique<DotCurveTables>();
  int32_t weights_[3] = {};
};

TEST_F(DotCurveTest, Kind4FillsTheGroupOfEveryEntryAndTakesTheWeightsInTenths) {
  DotCurveKind4Shape shape;
  shape.entries = DotCurveEntriesFor(9);
  shape.entries[7].sample = [](uint32_t l, uint32_t c) { return static_cast<int32_t>(1000 + l + c); };
  shape.sample = Sample;
  shape.block_weights[0] = 105;
  shape.block_weights[1] = 200;
  shape.block_weights[2] = -333;
  for (bool bounded : {true, false}) {
    ASSERT_EQ(Read(BuildDotCurveKind4(shape), 9, bounded), kStatusOk);
    EXPECT_EQ(weights_[0], 10);
    EXPECT_EQ(weights_[1], 20);
    EXPECT_EQ(weights_[2], -33);  // truncated toward zero
    for (uint32_t g = 0; g < 7; ++g) {
      EXPECT_EQ(At(g, 0, 0), 0u);
      EXPECT_EQ(At(g, 511, 2), static_cast<uint32_t>(Sample(511, 2)));
    }
    EXPECT_EQ(At(7, 300, 1), 1301u);  // ink 11 is group 7
  }
}

TEST_F(DotCurveTest, Kind4LaterEntryOfAGroupWinsAndInkZeroMayLackItsSmallColumn) {
  DotCurveKind4Shape shape;
  shape.sample = Sample;
  shape.entries = DotCurveEntriesFor(9);
  shape.entries[0].small_present = false;
  shape.entries.push_back({8, -1, true, [](uint32_t, uint32_t) { return 99; }});  // group 4 again
  ASSERT_EQ(Read(BuildDotCurveKind4(shape)), kStatusOk);
  EXPECT_EQ(At(4, 10, 1), 99u);
  for (uint32_t l : {0u, 100u, 511u}) EXPECT_EQ(At(0, l, 0), 0u);
  EXPECT_EQ(At(0, 100, 1), static_cast<uint32_t>(Sample(100, 1)));
}

TEST_F(DotCurveTest, SixteenBitSamplesKeepTheirSignAndBytesStayUnsigned) {
  DotCurveKind4Shape wide;
  wide.entries = DotCurveEntriesFor(1);
  wide.sample = [](uint32_t, uint32_t) { return 0xFFFF; };
  ASSERT_EQ(Read(BuildDotCurveKind4(wide), 1), kStatusOk);
  EXPECT_EQ(At(3, 5, 2), 0xFFFFFFFFu);
  DotCurveKind4Shape narrow = wide;
  narrow.sample_bits = 8;
  ASSERT_EQ(Read(BuildDotCurveKind4(narrow), 1), kStatusOk);
  EXPECT_EQ(At(3, 5, 2), 255u);
}

TEST_F(DotCurveTest, Kind4InkSetsNeedTheirInks) {
  struct Case {
    uint32_t ink_set;
    uint32_t entries_of;
    EngineStatus expected;
  } cases[] = {{1, 1, kStatusOk}, {5, 1, kStatusOk}, {3, 3, kStatusOk}, {4, 4, kStatusOk},
               {6, 6, kStatusOk}, {7, 7, kStatusOk}, {9, 9, kStatusOk}, {3, 1, kStatusBadResource},
               {7, 9, kStatusBadResource}, {2, 9, kStatusBadResource}, {8, 9, kStatusBadResource},
               {0, 9, kStatusBadResource}, {10, 9, kStatusBadResource}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "ink set " << c.ink_set << ", entries of " << c.entries_of);
    DotCurveKind4Shape shape;
    shape.entries = DotCurveEntriesFor(c.entries_of);
    EXPECT_EQ(Read(BuildDotCurveKind4(shape), c.ink_set), c.expected);
  }
}

TEST_F(DotCurveTest, Kind3FastFormIsCopiedToEveryGroup) {
  for (uint16_t bits : {8, 16}) {
    DotCurveKind3Shape shape;
    shape.sample_bits = bits;
    shape.shift = 0;  // not looked at in the fast form
    shape.sample = Sample;
    shape.weights[1] = -5;
    std::vector<uint8_t> block = BuildDotCurveKind3(shape);
    block[8 + 0] = 3;
    block[24] = 9;  // the reserved value is not looked at either
    ASSERT_EQ(Read(block), kStatusOk) << bits;
    for (uint32_t g = 0; g < 8; ++g) EXPECT_EQ(At(g, 257, 1), static_cast<uint32_t>(Sample(257, 1)));
    EXPECT_EQ(weights_[0], 1);
    EXPECT_EQ(weights_[1], -5);
    EXPECT_EQ(weights_[2], 4);
  }
}

TEST_F(DotCurveTest, Kind3TablesOf256LevelsAreScaledAndWidened) {
  DotCurveKind3Shape shape;
  shape.levels = 256;
  shape.sample_bits = 8;
  shape.shift = 0;
  shape.sample = [](uint32_t l, uint32_t c) { return static_cast<int32_t>(l / 2 + c); };
  ASSERT_EQ(Read(BuildDotCurveKind3(shape)), kStatusOk);
  for (uint32_t l : {0u, 1u, 100u, 254u}) {
    EXPECT_EQ(At(0, 2 * l, 2), (l / 2 + 2) * 16) << l;
  }
  EXPECT_EQ(At(0, 510, 0), 127u * 16);
  EXPECT_EQ(At(0, 511, 0), 127u * 16);
  EXPECT_EQ(At(6, 200, 1), At(0, 200, 1));
  EXPECT_EQ(weights_[2], 4);
}

TEST_F(DotCurveTest, Kind3UntaggedTableIsToldByItsFirstWord) {
  std::vector<uint8_t> block(768 + 64, 0);
  for (size_t i = 4; i < 768; ++i) block[i] = static_cast<uint8_t>(i);
  block[3] = 20;
  block[8] = 3;  // the kind, which is also a sample here
  block[9] = block[10] = block[11] = 0;
  EXPECT_EQ(Read(block), kStatusOk);
  EXPECT_EQ(At(0, 2, 0), 20u * 16);
  block[3] = 21;
  EXPECT_EQ(Read(block), kStatusDotCurveFormat);
}

TEST_F(DotCurveTest, DamagedBlocksGiveAStatus) {
  const std::vector<uint8_t> kind3 = [] {
    DotCurveKind3Shape shape;
    shape.levels = 256;
    return BuildDotCurveKind3(shape);
  }();
  const std::vector<uint8_t> fast = BuildDotCurveKind3({});
  const std::vector<uint8_t> kind4 = [] {
    DotCurveKind4Shape shape;
    shape.entries = DotCurveEntriesFor(9);
    return BuildDotCurveKind4(shape);
  }();
  struct Case {
    const char* name;
    const std::vector<uint8_t>* base;
    size_t at;
    std::vector<uint8_t> bytes;
    size_t cut;  // 0: whole
    EngineStatus expected;
  } cases[] = {
      {"format code 1", &kind3, 8, {1}, 0, kStatusDotCurveFormat},
      {"format code 2 of width 24", &kind3, 8, {2}, 0, kStatusDotCurveFormat},
      {"two channels", &kind3, 16, {2}, 0, kStatusDotCurveFormat},
      {"12-bit samples", &kind3, 20, {12}, 0, kStatusDotCurveFormat},
      {"reserved value", &kind3, 24, {1}, 0, kStatusDotCurveValues},
      {"shift 5", &kind3, 22, {5}, 0, kStatusDotCurveValues},
      {"negative shift", &kind3, 22, {0xFF, 0xFF}, 0, kStatusDotCurveValues},
      {"300 levels", &kind3, 18, {0x2C, 0x01}, 0, kStatusDotCurveValues},
      {"samples cut", &kind3, 0, {}, 900, kStatusDotCurveFormat},
      {"weights cut", &kind3, 0, {}, 1572, kStatusDotCurveFormat},
      {"fast form of width 0", &fast, 20, {0}, 0, kStatusDotCurveFormat},
      {"fast form of four channels", &fast, 16, {4}, 0, kStatusDotCurveFormat},
      {"fast form cut", &fast, 0, {}, 2000, kStatusDotCurveFormat},
      {"kind 5", &kind4, 8, {5}, 0, kStatusBadResource},
      {"256 levels", &kind4, 18, {0, 1}, 0, kStatusBadResource},
      {"12-bit samples", &kind4, 20, {12}, 0, kStatusBadResource},
      {"13 entries", &kind4, 34, {13}, 0, kStatusBadResource},
      {"ink id 12", &kind4, 48 + 8 * 3, {12}, 0, kStatusBadResource},
      {"two columns", &kind4, 256 + 8, {2}, 0, kStatusBadResource},
      {"no medium column", &kind4, 256 + 17, {0}, 0, kStatusBadResource},
      {"ink 0 entry beyond the block", &kind4, 49, {0xF0, 0xFF, 0xFF, 0x7F}, 0, kStatusBadResource},
      {"last table cut", &kind4, 0, {}, kind4.size() - 1, kStatusBadResource},
      {"header cut", &kind4, 0, {}, 100, kStatusBadResource},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> block = *c.base;
    std::copy(c.bytes.begin(), c.bytes.end(), block.begin() + static_cast<ptrdiff_t>(c.at));
    if (c.cut != 0) block.resize(c.cut);
    const bool kind3 = c.base != &kind4;
    EXPECT_EQ(Read(block, 9, true, kind3), c.expected);
    // A resource without a length is bounded by the block's size word.
    if (c.cut != 0) {
      std::vector<uint8_t> whole = *c.base;
      whole[0] = static_cast<uint8_t>(c.cut);
      whole[1] = static_cast<uint8_t>(c.cut >> 8);
      whole[2] = whole[3] = 0;
      EXPECT_EQ(Read(whole, 9, false, kind3), c.expected);
    }
  }
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

TEST_F(DotCurveTest, SmallColumnMissingOnlyForInkZero) {
  DotCurveKind4Shape shape;
  shape.entries = DotCurveEntriesFor(9);
  shape.entries[1].small_present = false;
  EXPECT_EQ(Read(BuildDotCurveKind4(shape)), kStatusBadResource);
}

TEST_F(DotCurveTest, WideningFailuresArePassedOn) {
  DotCurveKind3Shape shape;
  shape.levels = 256;
  const std::vector<uint8_t> block = BuildDotCurveKind3(shape);
  faults::FailNth(faults::MemOp::kAlloc, 1);
  EXPECT_EQ(Read(block), kStatusAllocFailed);
  faults::FailNth(faults::MemOp::kLock, 1);
  EXPECT_EQ(Read(block), kStatusLockFailed);
  faults::FailNth(faults::MemOp::kFree, 1);
  EXPECT_EQ(Read(block), kStatusFreeFailed);
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

}  // namespace
}  // namespace tonvar::common
