// The halftoning engines' buffers: allocation, slices and the two-pass release.
#include "tonvar/halftone_lines/engine_buffer.h"

#include <gtest/gtest.h>

#include "tonvar/common/memory_faults.h"

namespace tonvar::halftone_lines {
namespace {

namespace faults = common::faults;

TEST(EngineBuffer, AllocatesZeroFilledOnRequest) {
  faults::ScopedReset reset;
  EngineBuffer buffer{};
  ASSERT_EQ(AllocEngineBuffer(&buffer, 300, 1), kStatusOk);
  EXPECT_EQ(buffer.size, 300u);
  ASSERT_NE(buffer.data, nullptr);
  EXPECT_NE(buffer.allocation, nullptr);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(buffer.data[i], 0) << i;
  EXPECT_EQ(FreeEngineBuffers(&buffer, 1), kStatusOk);
  EXPECT_EQ(buffer.data, nullptr);
  EXPECT_EQ(buffer.allocation, nullptr);
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

TEST(EngineBuffer, FailedAllocationOrLockLeavesTheBufferOwningNothing) {
  uint8_t old_data[4] = {};
  struct Case {
    faults::MemOp op;
    EngineStatus expected;
  };
  for (const Case& c : {Case{faults::MemOp::kAlloc, kStatusAllocFailed},
                        Case{faults::MemOp::kLock, kStatusLockFailed}}) {
    faults::ScopedReset reset;
    EngineBuffer buffer{7, old_data, nullptr};
    faults::FailNth(c.op, 1);
    EXPECT_EQ(AllocEngineBuffer(&buffer, 64, 0), c.expected);
    EXPECT_EQ(buffer.allocation, nullptr);
    EXPECT_EQ(buffer.size, 7u);  // size and data stay as they were
    EXPECT_EQ(buffer.data, old_data);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

TEST(EngineBuffer, SlicesAreNeverReleasedByThemselves) {
  faults::ScopedReset reset;
  EngineBuffer buffers[3] = {};
  ASSERT_EQ(AllocEngineBuffer(&buffers[0], 100, 0), kStatusOk);
  EXPECT_EQ(SetEngineBuffer(&buffers[1], buffers[0].data + 40, nullptr, 60), kStatusOk);
  EXPECT_EQ(buffers[1].data, buffers[0].data + 40);
  EXPECT_EQ(buffers[1].size, 60u);
  EXPECT_EQ(FreeEngineBuffers(buffers, 3), kStatusOk);  // one free for the one owned block
  EXPECT_EQ(faults::Calls(faults::MemOp::kFree), 1);
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

TEST(EngineBuffer, ReleaseVisitsEveryBufferAndReportsTheFirstKindOfFailure) {
  struct Case {
    faults::MemOp op;
    EngineStatus expected;
    int frees;  // an unlocked-failed block is not freed
  };
  for (const Case& c : {Case{faults::MemOp::kUnlock, kStatusUnlockFailed, 2},
                        Case{faults::MemOp::kFree, kStatusFreeFailed, 3}}) {
    faults::ScopedReset reset;
    EngineBuffer buffers[4] = {};
    for (int i = 0; i < 3; ++i) ASSERT_EQ(AllocEngineBuffer(&buffers[i], 32, 0), kStatusOk);
    faults::FailNth(c.op, 2);
    EXPECT_EQ(FreeEngineBuffers(buffers, 4), c.expected);
    EXPECT_EQ(faults::Calls(faults::MemOp::kFree), c.frees);
    for (const EngineBuffer& b : buffers) {
      EXPECT_EQ(b.allocation, nullptr);
      EXPECT_EQ(b.data, nullptr);
    }
  }
}

}  // namespace
}  // namespace tonvar::halftone_lines
