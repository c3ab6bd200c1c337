// Container reader: plain pass-through, round trips with the test kit's writer, the plane
// reorder, the damaged-container table and every memory failure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testkit/tonvar/container_encoder.h"
#include "testkit/tonvar/damaged_containers.h"
#include "testkit/tonvar/sample_tables.h"
#include "tonvar/common/memory_faults.h"
#include "tonvar/container/unpack_context.h"

namespace tonvar::container {
namespace {

namespace faults = common::faults;

using faults::MemOp;

// One context per case, always deleted, and no block left behind.
class ContainerReader : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(NewUnpackContext(&context_), kStatusOk); }
  void TearDown() override {
    EXPECT_EQ(DeleteUnpackContext(context_), kStatusOk);
    EXPECT_EQ(faults::LiveBlocks(), abandoned_blocks_);
  }
  EngineStatus Unwrap(const std::vector<uint8_t>& bytes, bool sized = true) {
    unwrapped_ = common::ResourceBytes{nullptr, 0};
    const size_t size = sized ? bytes.size() : common::kUnboundedSize;
    return UnwrapResource(context_, common::ResourceBytes{bytes.data(), size}, &unwrapped_);
  }
  std::vector<uint8_t> Unwrapped() const {
    return std::vector<uint8_t>(unwrapped_.data, unwrapped_.data + unwrapped_.size);
  }

  faults::ScopedReset reset_;
  UnpackContext* context_ = nullptr;
  common::ResourceBytes unwrapped_{};
  int abandoned_blocks_ = 0;  // blocks whose owner gave up after a failed unlock
};

std::vector<uint8_t> Signed(uint8_t eighth) {
  return {0x7A, 0xCF, 0x86, 0x5C, 0x7D, 0x90, 0x3C, eighth, 20, 0, 0, 0, 5, 0, 0, 0, 1, 2, 3, 4};
}

TEST_F(ContainerReader, ResourcesWithoutTheSignatureArePassedOnUnchanged) {
  for (uint8_t eighth : {uint8_t{0xB8}, uint8_t{0xBB}, uint8_t{0x00}}) {
    const auto bytes = Signed(eighth);
    for (bool sized : {true, false}) {
      ASSERT_EQ(Unwrap(bytes, sized), kStatusOk);
      EXPECT_EQ(unwrapped_.data, bytes.data());
      EXPECT_EQ(unwrapped_.size, sized ? bytes.size() : common::kUnboundedSize);
    }
  }
  const std::vector<uint8_t> short_plain = {0x7A, 0xCF, 0x86};  // shorter than a signature
  ASSERT_EQ(Unwrap(short_plain), kStatusOk);
  EXPECT_EQ(unwrapped_.data, short_plain.data());
  EXPECT_EQ(context_->buffer_handle, nullptr);  // nothing allocated for plain resources
}

TEST_F(ContainerReader, NullArgumentsAreADamagedContainer) {
  const auto bytes = Signed(0xB9);
  common::ResourceBytes out{};
  EXPECT_EQ(UnwrapResource(nullptr, common::ResourceBytes{bytes.data(), bytes.size()}, &out),
            kStatusContainerDamaged);
  EXPECT_EQ(UnwrapResource(context_, common::ResourceBytes{nullptr, common::kUnboundedSize}, &out),
            kStatusContainerDamaged);
  EXPECT_EQ(UnwrapResource(context_, common::ResourceBytes{bytes.data(), bytes.size()}, nullptr),
            kStatusContainerDamaged);
}

TEST_F(ContainerReader, RoundTripsKeepTheExpandedLength) {
  struct Sample {
    const char* name;
    std::vector<uint8_t> data;
    testkit::EncodeOptions options;
  };
  std::vector<uint8_t> counting(70000);
  for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>((i * 7) ^ (i >> 5));
  std::vector<uint8_t> noise(50000);
  uint32_t x = 12345;
  for (auto& b : noise) b = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24);
  const Sample samples[] = {
      {"one byte", {42}, {}},
      {"literals only", std::vector<uint8_t>(noise.begin(), noise.begin() + 3000), {true}},
      {"colour-table body across many rebuilds", testkit::SmoothLutBody(17, 6), {}},
      {"counting pattern with far copies", counting, {}},
      {"incompressible", noise, {}},
      {"one long run", std::vector<uint8_t>(100000, 0x5A), {}},
  };
  for (const Sample& s : samples) {
    const auto container = testkit::EncodeContainer(s.data, s.options);
    for (bool sized : {true, false}) {
      ASSERT_EQ(Unwrap(container, sized), kStatusOk) << s.name;
      EXPECT_EQ(unwrapped_.size, s.data.size()) << s.name;
      EXPECT_EQ(Unwrapped(), s.data) << s.name;
    }
  }
}

TEST_F(ContainerReader, ExpansionBufferIsReusedWhenLargeEnough) {
  const auto big = testkit::EncodeContainer(testkit::SmoothLutBody(9, 4));
  const auto small = testkit::EncodeContainer(std::vector<uint8_t>(100, 1));
  ASSERT_EQ(Unwrap(big), kStatusOk);
  const int allocations = faults::Calls(MemOp::kAlloc);
  ASSERT_EQ(Unwrap(small), kStatusOk);
  EXPECT_EQ(faults::Calls(MemOp::kAlloc), allocations);
  EXPECT_EQ(unwrapped_.size, 100u);
  ASSERT_EQ(Unwrap(big), kStatusOk);
  EXPECT_EQ(unwrapped_.size, 9u * 9 * 9 * 4);
}

TEST_F(ContainerReader, ExpandedLengthOfStoredLengthMinus12IsRefusedUnlessPadded) {
  testkit::StreamWriter writer(64);
  for (int i = 0; i < 64; ++i) writer.Literal(200);  // 9-bit codes: 72 bytes of stream
  const auto stream = writer.Finish();
  ASSERT_EQ(stream.size(), 76u);
  std::vector<uint8_t> bare = {0x7A, 0xCF, 0x86, 0x5C, 0x7D, 0x90, 0x3C, 0xB9, 76, 0, 0, 0};
  bare.insert(bare.end(), stream.begin(), stream.end());
  EXPECT_EQ(Unwrap(bare), kStatusContainerDamaged);
  const auto padded = testkit::WrapStream(stream);  // the writer adds one byte
  ASSERT_EQ(padded.size(), bare.size() + 1);
  ASSERT_EQ(Unwrap(padded), kStatusOk);
  EXPECT_EQ(Unwrapped(), std::vector<uint8_t>(64, 200));
}

TEST_F(ContainerReader, DamagedContainersGiveAClearStatus) {
  for (const auto& damaged : testkit::DamagedContainers()) {
    EXPECT_EQ(Unwrap(damaged.bytes, true), damaged.status) << damaged.name;
    if (!damaged.needs_size) {
      EXPECT_EQ(Unwrap(damaged.bytes, false), damaged.status) << damaged.name << " (no size)";
    }
  }
}

// Three channels on a 2 x 2 x 2 grid: planes AAAAAAAA BBBBBBBB CCCCCCCC become ABC eight times.
// Every code of a stream costs at least a bit and emits at most 257 bytes, and no resource
// is larger than kMaxExpandedLength: a container claiming more is refused before anything is
// allocated for it. At the bound itself the buffer is made and the stream decides.
TEST_F(ContainerReader, ExpandedLengthsBeyondTheStreamOrTheLargestResourceAreRefused) {
  const struct {
    const char* name;
    uint32_t stored;
    uint32_t expanded;
    bool sized;
    EngineStatus status;
    int allocations;
  } cases[] = {
      {"8 x 257 per stored byte", 16, 8 * 257 * 16, true, kStatusOk, 1},
      {"one byte more", 16, 8 * 257 * 16 + 1, true, kStatusContainerDamaged, 0},
      {"a 21-byte resource asking for 3.7 GB", 9, 3719964748u, true, kStatusContainerDamaged, 0},
      {"one byte past the largest resource", 200000, kMaxExpandedLength + 1, false,
       kStatusContainerDamaged, 0},
      {"the largest length", 0xFFFFFFF0u, 0xFFFFFFFFu, false, kStatusContainerDamaged, 0},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> bytes = {0x7A, 0xCF, 0x86, 0x5C, 0x7D, 0x90, 0x3C, kContainerPlain};
    for (uint32_t field : {c.stored, c.expanded}) {
      for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(field >> shift));
    }
    if (c.sized) bytes.resize(12 + c.stored);
    const int allocations = faults::Calls(MemOp::kAlloc);
    EXPECT_EQ(Unwrap(bytes, c.sized), c.status) << c.name;
    EXPECT_EQ(faults::Calls(MemOp::kAlloc) - allocations, c.allocations) << c.name;
  }
}

TEST_F(ContainerReader, PlaneOrderedTablesComeBackInterleaved) {
  std::vector<uint8_t> planes;
  for (char c : std::string("ABC")) planes.insert(planes.end(), 8, static_cast<uint8_t>(c));
  std::string interleaved;
  for (int i = 0; i < 8; ++i) interleaved += "ABC";
  for (auto make : {&testkit::FixedFormTable, &testkit::TaggedFormTable}) {
    auto table = make(2, 3, planes);
    const size_t body_at = table.size() - planes.size();
    ASSERT_EQ(ReorderLutPlanes(table.data(), static_cast<int64_t>(table.size())), kStatusOk);
    EXPECT_EQ(std::string(table.begin() + body_at, table.end()), interleaved);

    // Through a plane-ordered container written from the interleaved table.
    const auto container = testkit::EncodePlaneOrderedTable(table);
    ASSERT_FALSE(container.empty());
    ASSERT_EQ(container[7], 0xBA);
    ASSERT_EQ(Unwrap(container), kStatusOk);
    EXPECT_EQ(Unwrapped(), table);
  }
  const auto big = testkit::FixedFormTable(33, 7, testkit::SmoothLutBody(33, 7));
  ASSERT_EQ(Unwrap(testkit::EncodePlaneOrderedTable(big)), kStatusOk);
  EXPECT_EQ(Unwrapped(), big);
}

TEST(PlaneReorder, RefusesWhatItCannotLocate) {
  faults::ScopedReset reset;
  const auto body = testkit::SmoothLutBody(2, 3);
  auto table = testkit::FixedFormTable(2, 3, body);
  EXPECT_EQ(ReorderLutPlanes(nullptr, 100), kStatusTableHeaderDamaged);
  EXPECT_EQ(ReorderLutPlanes(table.data(), 0), kStatusTableHeaderDamaged);
  EXPECT_EQ(ReorderLutPlanes(table.data(), -5), kStatusTableHeaderDamaged);
  // Enough bytes for the body's size, but not from where the body starts.
  EXPECT_EQ(ReorderLutPlanes(table.data(), static_cast<int64_t>(table.size() - 1)),
            kStatusTableHeaderDamaged);
  table[75] = 0;
  EXPECT_EQ(ReorderLutPlanes(table.data(), static_cast<int64_t>(table.size())),
            kStatusTableHeaderDamaged);
  EXPECT_EQ(faults::LiveBlocks(), 0);
}

TEST(PlaneReorder, MemoryFailuresReleaseWhatWasTaken) {
  const auto body = testkit::SmoothLutBody(3, 4);
  const struct {
    MemOp op;
    int nth;
    EngineStatus status;
  } cases[] = {
      {MemOp::kAlloc, 1, kStatusAllocFailed}, {MemOp::kLock, 1, kStatusLockFailed},
      {MemOp::kAlloc, 2, kStatusAllocFailed}, {MemOp::kLock, 2, kStatusLockFailed},
      {MemOp::kFree, 1, kStatusFreeFailed},   {MemOp::kFree, 2, kStatusFreeFailed},
      {MemOp::kUnlock, 1, kStatusUnlockFailed},  // its own status, as on every release path
  };
  for (const auto& c : cases) {
    faults::ScopedReset reset;
    auto table = testkit::FixedFormTable(3, 4, body);
    faults::FailNth(c.op, c.nth);
    EXPECT_EQ(ReorderLutPlanes(table.data(), static_cast<int64_t>(table.size())), c.status)
        << static_cast<int>(c.op) << " #" << c.nth;
    EXPECT_EQ(faults::LiveBlocks(), c.op == MemOp::kUnlock ? 1 : 0);  // an unlocked failure is left alone
  }
}

TEST(UnpackContextLife, CreationAndDeletionFailures) {
  faults::ScopedReset reset;
  UnpackContext* context = nullptr;
  EXPECT_EQ(NewUnpackContext(nullptr), kStatusAllocFailed);
  faults::FailNth(MemOp::kAlloc, 1);
  EXPECT_EQ(NewUnpackContext(&context), kStatusAllocFailed);
  faults::FailNth(MemOp::kLock, 1);
  EXPECT_EQ(NewUnpackContext(&context), kStatusLockFailed);
  EXPECT_EQ(faults::LiveBlocks(), 0);
  EXPECT_EQ(DeleteUnpackContext(nullptr), kStatusFreeFailed);

  const auto container = testkit::EncodeContainer(std::vector<uint8_t>(3000, 9));
  common::ResourceBytes out{};
  const struct {
    MemOp op;
    int nth;
    EngineStatus status;
  } deletions[] = {
      {MemOp::kUnlock, 1, kStatusUnlockFailed},  // the buffer
      {MemOp::kFree, 1, kStatusFreeFailed},      // the buffer
      {MemOp::kUnlock, 2, kStatusUnlockFailed},  // the context itself
      {MemOp::kFree, 2, kStatusFreeFailed},      // the context itself
  };
  for (const auto& d : deletions) {
    faults::ScopedReset each;
    ASSERT_EQ(NewUnpackContext(&context), kStatusOk);
    ASSERT_EQ(UnwrapResource(context, common::ResourceBytes{container.data(), container.size()}, &out),
              kStatusOk);
    faults::FailNth(d.op, d.nth);
    EXPECT_EQ(DeleteUnpackContext(context), d.status);
  }
  {  // a failure on the context takes precedence over one on the buffer
    faults::ScopedReset each;
    ASSERT_EQ(NewUnpackContext(&context), kStatusOk);
    ASSERT_EQ(UnwrapResource(context, common::ResourceBytes{container.data(), container.size()}, &out),
              kStatusOk);
    faults::FailNth(MemOp::kFree, 1);
    faults::FailNth(MemOp::kUnlock, 2);
    EXPECT_EQ(DeleteUnpackContext(context), kStatusUnlockFailed);
  }
}

TEST_F(ContainerReader, ExpansionBufferFailures) {
  const auto container = testkit::EncodeContainer(std::vector<uint8_t>(3000, 9));
  faults::FailNth(MemOp::kAlloc, 1);
  EXPECT_EQ(Unwrap(container), kStatusAllocFailed);
  faults::FailNth(MemOp::kLock, 1);
  EXPECT_EQ(Unwrap(container), kStatusLockFailed);
  EXPECT_EQ(context_->buffer_handle, nullptr);
  // Growing the buffer releases the old one first; a failed release is reported and the old
  // buffer forgotten.
  ASSERT_EQ(Unwrap(testkit::EncodeContainer(std::vector<uint8_t>(10, 9))), kStatusOk);
  faults::FailNth(MemOp::kFree, 1);
  EXPECT_EQ(Unwrap(container), kStatusFreeFailed);
  EXPECT_EQ(context_->buffer_handle, nullptr);
  ASSERT_EQ(Unwrap(testkit::EncodeContainer(std::vector<uint8_t>(10, 9))), kStatusOk);
  faults::FailNth(MemOp::kUnlock, 1);
  EXPECT_EQ(Unwrap(container), kStatusUnlockFailed);
  EXPECT_EQ(context_->buffer_handle, nullptr);
  ASSERT_EQ(Unwrap(container), kStatusOk);
  EXPECT_EQ(Unwrapped(), std::vector<uint8_t>(3000, 9));
  abandoned_blocks_ = 1;  // the seam's reset releases it
}

}  // namespace
}  // namespace tonvar::container
