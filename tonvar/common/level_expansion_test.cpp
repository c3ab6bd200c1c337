// Widening of 256-level dot tables to 512 levels.
#include "tonvar/common/level_expansion.h"

#include <gtest/gtest.h>

#include <vector>

#include "tonvar/common/memory_faults.h"

namespace tonvar::common {
namespace {

// 512 rows of room; the first 256 rows hold (k, 1000 + k, 2000 + k), the rest a poison value.
std::vector<uint32_t> Table256() {
  std::vector<uint32_t> table(512 * kDotTableColumns, 0xDEADBEEF);
  for (uint32_t k = 0; k < 256; ++k) {
    table[k * 3] = k;
    table[k * 3 + 1] = 1000 + k;
    table[k * 3 + 2] = 2000 + k;
  }
  return table;
}

TEST(ExpandLevels256To512, EachInputRowServesTwoLevels) {
  faults::ScopedReset reset;
  std::vector<uint32_t> table = Table256();
  ASSERT_EQ(ExpandLevels256To512(table.data(), 256, 512), kStatusOk);
  for (uint32_t level = 0; level < 512; ++level) {
    const uint32_t k = level / 2;
    ASSERT_EQ(table[level * 3], k) << level;
    ASSERT_EQ(table[level * 3 + 1], 1000 + k) << level;
    ASSERT_EQ(table[level * 3 + 2], 2000 + k) << level;
  }
  EXPECT_EQ(table[510 * 3], 255u);  // the last two levels repeat row 255
  EXPECT_EQ(table[511 * 3 + 2], 2255u);
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

TEST(ExpandLevels256To512, OtherCountsLeaveTheTableAlone) {
  faults::ScopedReset reset;
  const std::vector<uint32_t> original = Table256();
  const uint32_t counts[][2] = {{512, 512}, {256, 256}, {128, 256}, {256, 1024}, {0, 512}};
  for (const auto& c : counts) {
    std::vector<uint32_t> table = original;
    EXPECT_EQ(ExpandLevels256To512(table.data(), c[0], c[1]), kStatusOk) << c[0] << "->" << c[1];
    EXPECT_EQ(table, original) << c[0] << "->" << c[1];
  }
  EXPECT_EQ(faults::Calls(faults::MemOp::kAlloc), 0);
}

TEST(ExpandLevels256To512, ScratchFailuresAreReportedAndLeaveNothingBehind) {
  struct Case {
    faults::MemOp op;
    EngineStatus expected;
    bool widened;
  };
  const Case cases[] = {
      {faults::MemOp::kAlloc, kStatusAllocFailed, false},
      {faults::MemOp::kLock, kStatusLockFailed, false},
      {faults::MemOp::kFree, kStatusFreeFailed, true},
  };
  for (const Case& c : cases) {
    faults::ScopedReset reset;
    std::vector<uint32_t> table = Table256();
    faults::FailNth(c.op, 1);
    EXPECT_EQ(ExpandLevels256To512(table.data(), 256, 512), c.expected);
    EXPECT_EQ(table[511 * 3] == 255u, c.widened);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

}  // namespace
}  // namespace tonvar::common
