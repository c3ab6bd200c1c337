// Memory wrappers, the allocation-failure seam and the byte readers.
#include "tonvar/common/memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "tonvar/common/byte_readers.h"
#include "tonvar/common/memory_faults.h"

namespace tonvar::common {
namespace {

TEST(MemoryWrappers, ZeroFilledBlockLocksToItsOwnHandleAndFrees) {
  faults::ScopedReset reset;
  MemHandle block = MemAlloc(4096, 1);
  ASSERT_NE(block, nullptr);
  auto* data = static_cast<uint8_t*>(MemLock(block));
  EXPECT_EQ(data, block);
  for (int i = 0; i < 4096; ++i) ASSERT_EQ(data[i], 0) << i;
  EXPECT_EQ(MemUnlock(block), 0u);
  EXPECT_EQ(MemFree(block), 0u);
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

TEST(MemoryWrappers, FreeOfNullIsHarmless) { EXPECT_EQ(MemFree(nullptr), 0u); }

TEST(MemoryWrappers, SeamFailsExactlyTheChosenCall) {
  faults::ScopedReset reset;
  faults::FailNth(faults::MemOp::kAlloc, 2);
  MemHandle first = MemAlloc(16, 0);
  MemHandle second = MemAlloc(16, 0);
  MemHandle third = MemAlloc(16, 0);
  EXPECT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_NE(third, nullptr);

  faults::FailNth(faults::MemOp::kLock, 1);
  EXPECT_EQ(MemLock(first), nullptr);
  EXPECT_EQ(MemLock(first), first);

  faults::FailNth(faults::MemOp::kUnlock, 1);
  EXPECT_NE(MemUnlock(first), 0u);  // the owner now leaves `first` alone; Reset releases it

  faults::FailNth(faults::MemOp::kFree, 1);
  EXPECT_EQ(MemFree(third), 0xFFFFFFFFu);
  EXPECT_EQ(faults::Calls(faults::MemOp::kAlloc), 3);
}

TEST(ByteReaders, ReadAtAnyAlignmentAndZeroExtend) {
  const uint8_t bytes[] = {0x00, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFF};
  EXPECT_EQ(ReadDword(bytes + 1), 0x12345678u);
  EXPECT_EQ(ReadWord(bytes + 5), 65535u);
  EXPECT_EQ(ReadWord(bytes + 1), 0x5678u);
}

TEST(ByteReaders, GetWordKeepsTheRawValueForEitherWidening) {
  const uint8_t bytes[] = {0x00, 0xFF, 0xFF, 0x34, 0x12};
  EXPECT_EQ(GetWord(bytes + 1), 0xFFFFu);
  EXPECT_EQ(static_cast<uint32_t>(static_cast<int16_t>(GetWord(bytes + 1))), 0xFFFFFFFFu);
  EXPECT_EQ(GetWord(bytes + 3), 0x1234u);
}

TEST(ByteReaders, MatchCountedStringComparesOnlyTheCountedBytes) {
  const uint8_t text[] = {'H', 'L', '<', 'c', 'x'};
  struct Case {
    std::vector<uint8_t> counted;
    uint32_t expected;
  };
  const Case cases[] = {
      {{0}, 1},                        // empty: matches whatever the text holds
      {{0, 'Z', 'Z'}, 1},              // bytes after an empty count are not read
      {{2, 'H', 'L'}, 1},
      {{4, 'H', 'L', '<', 'c'}, 1},
      {{4, 'H', 'L', '<', 'd'}, 0},
      {{1, 'h'}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchCountedString(c.counted.data(), text), c.expected) << int{c.counted[0]};
  }
}

TEST(ByteReaders, FindInkSlotTakesTheFirstMatch) {
  const uint32_t ids[12] = {3, 1, 7, 1, 0, 0, 0, 0, 0, 0, 0, 11};
  EXPECT_EQ(FindInkSlot(ids, 1), 1);
  EXPECT_EQ(FindInkSlot(ids, 11), 11);
  EXPECT_EQ(FindInkSlot(ids, 5), -1);
}

}  // namespace
}  // namespace tonvar::common
