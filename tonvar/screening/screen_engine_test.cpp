// The screening engine's creation, call dispatch and deletion.
#include <gtest/gtest.h>

#include "testkit/tonvar/screening_job.h"
#include "tonvar/common/memory_faults.h"
#include "tonvar/screening/screen_engine.h"

namespace tonvar::screening {
namespace {

using testkit::ScreenJob;
using testkit::ScreenKind;
namespace faults = common::faults;

struct NewCase {
  const char* what;
  uint32_t ink_set, channel_order, bits, replication, format_word;
  EngineStatus status;
  uint32_t method;
};

TEST(ScreenNew, StatusAndMethodPerInkSetChannelOrderAndBits) {
  const NewCase cases[] = {
      {"four inks, order 2, 2 bits", 5, 2, 2, 0, 0, kStatusOk, kMethodColour},
      {"four inks, order 7, 2 bits", 5, 7, 2, 0, 0, kStatusOk, kMethodColour},
      {"mono, 2 bits", 0, 0, 2, 0, 0, kStatusOk, kMethodMono},
      {"mono, 1 bit", 0, 0, 1, 0, 0, kStatusOk, kMethodMono},
      {"mono, 0 bits: created without a method", 0, 0, 0, 0, 0, kStatusOk, 0},
      {"four inks, 3 bits: created without a method", 5, 2, 3, 0, 0, kStatusOk, 0},
      {"four inks, 1 bit", 5, 2, 1, 0, 0, kStatusBadArgument, 0},
      {"four inks, order 1", 5, 1, 2, 0, 0, kStatusBadJob, 0},
      {"four inks, order 3", 5, 3, 2, 0, 0, kStatusBadJob, 0},
      {"four inks, order 0", 5, 0, 2, 0, 0, kStatusBadJob, 0},
      {"mono, order 2", 0, 2, 2, 0, 0, kStatusBadJob, 0},
      {"ink set 1", 1, 2, 2, 0, 0, kStatusBadJob, 0},
      {"pairs without the format word", 0, 0, 2, 0xFFFFFFFF, 0, kStatusBadArgument, 0},
      {"pairs with the format word", 0, 0, 2, 0xFFFFFFFF, 0x300C8, kStatusOk, kMethodMono},
  };
  for (const NewCase& c : cases) {
    SCOPED_TRACE(c.what);
    faults::ScopedReset reset;
    ScreenJob s(c.ink_set == 5 ? ScreenKind::kFourInk : ScreenKind::kMono);
    s.job.ink_set = c.ink_set;
    s.job.channel_order = c.channel_order;
    s.job.bits_per_dot = c.bits;
    s.job.replication = c.replication;
    s.job.format_word = c.format_word;
    ASSERT_EQ(s.New(), c.status);
    if (c.status != kStatusOk) {
      EXPECT_EQ(s.engine(), nullptr);
      EXPECT_EQ(faults::LiveBlocks(), 0);  // a refusal leaves nothing allocated
      continue;
    }
    EXPECT_EQ(s.first_id, testkit::kScreenIdList);
    EXPECT_EQ(s.engine()->method, c.method);
    EXPECT_EQ(s.engine()->job.width_pixels, 65u);
    if (c.method == 0) {
      ResourceId next = 0;
      EXPECT_EQ(s.Step(testkit::kScreenIdList, &next), kStatusBadArgument);
      EXPECT_EQ(s.Halftone(0, 8, 1, 0), kStatusBadArgument);
    }
  }
}

TEST(ScreenNew, RefusesArgumentsInTheirOrder) {
  ScreenJob s(ScreenKind::kMono);
  EngineCreateArgs args;
  args.job = &s.job;
  args.tables[0] = &s.lut0.lut;
  ResourceId first = 0;
  void* engine = nullptr;
  args.reserved = 1;
  EXPECT_EQ(ScreenNew(args, &first, &engine), kStatusBadReserved);
  args.reserved = 0;
  args.tables[0] = nullptr;
  EXPECT_EQ(ScreenNew(args, &first, &engine), kStatusBadTable);
  args.tables[0] = &s.lut0.lut;
  s.job.method = 2;
  EXPECT_EQ(ScreenNew(args, &first, &engine), kStatusBadJob);
  EXPECT_EQ(engine, nullptr);
}

TEST(ScreenNew, MemoryFailuresLeaveNothing) {
  for (faults::MemOp op : {faults::MemOp::kAlloc, faults::MemOp::kLock}) {
    faults::ScopedReset reset;
    ScreenJob s(ScreenKind::kMono);
    faults::FailNth(op, 1);
    EXPECT_EQ(s.New(), op == faults::MemOp::kAlloc ? kStatusAllocFailed : kStatusLockFailed);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

TEST(ScreenDelete, NullNoAllocationAndReleaseFailures) {
  void* none = nullptr;
  EXPECT_EQ(ScreenDelete(&none), kStatusOk);

  ScreenJob s(ScreenKind::kMono);
  ASSERT_EQ(s.Run(), kStatusOk);
  common::MemHandle block = s.engine()->allocation;
  s.engine()->allocation = nullptr;
  EXPECT_EQ(s.Delete(), kStatusNoAllocation);
  // The engine could not free itself: its buffers and block are released here.
  EXPECT_EQ(FreeScreenBuffers(static_cast<ScreenEngine*>(common::MemLock(block))), kStatusOk);
  ASSERT_EQ(common::ReleaseBlock(&block), kStatusOk);

  // A buffer that fails to unlock or free is reported; the engine block goes all the same.
  for (faults::MemOp op : {faults::MemOp::kUnlock, faults::MemOp::kFree}) {
    faults::ScopedReset reset;
    ScreenJob t(ScreenKind::kMono);
    ASSERT_EQ(t.Run(), kStatusOk);
    faults::FailNth(op, 1);
    EXPECT_EQ(t.Delete(), op == faults::MemOp::kUnlock ? kStatusUnlockFailed : kStatusFreeFailed);
  }
  for (faults::MemOp op : {faults::MemOp::kUnlock, faults::MemOp::kFree}) {
    faults::ScopedReset reset;
    ScreenJob t(ScreenKind::kFourInk);
    ASSERT_EQ(t.New(), kStatusOk);  // no buffers yet: the engine block's own release fails
    faults::FailNth(op, 1);
    EXPECT_EQ(t.Delete(), op == faults::MemOp::kUnlock ? kStatusUnlockFailed : kStatusFreeFailed);
  }
}

TEST(ScreenDelete, ReleasesEveryBuffer) {
  for (ScreenKind kind : {ScreenKind::kMono, ScreenKind::kFourInk}) {
    faults::ScopedReset reset;
    ScreenJob s(kind);
    s.two_luts = kind == ScreenKind::kFourInk;
    ASSERT_EQ(s.Run(), kStatusOk);
    EXPECT_GT(faults::LiveBlocks(), 1);
    EXPECT_EQ(s.Delete(), kStatusOk);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

// A span may end at the job width + 1, never beyond; the check cannot wrap.
TEST(ScreenHalftone, SpanLimitIsTheWidthPlusOne) {
  struct SpanCase {
    ScreenKind kind;
    uint32_t x_start, count;
    EngineStatus status;
  };
  const SpanCase cases[] = {
      {ScreenKind::kMono, 0, 65, kStatusOk},
      {ScreenKind::kMono, 1, 65, kStatusBadRegion},
      {ScreenKind::kMono, 0xFFFFFFF0u, 0x20, kStatusBadRegion},
      {ScreenKind::kFourInk, 60, 5, kStatusOk},
      {ScreenKind::kFourInk, 60, 6, kStatusBadRegion},
      {ScreenKind::kFourInk, 0xFFFFFFFFu, 2, kStatusBadRegion},
  };
  for (const SpanCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x_start << " + " << c.count);
    ScreenJob s(c.kind);
    s.input.assign(1, std::vector<uint8_t>(4 * 80, 0));  // black: every pixel prints
    ASSERT_EQ(s.Run(), kStatusOk);
    s.output.assign(1, std::vector<uint8_t>(s.planes * 32, 0xA5));
    EXPECT_EQ(s.Halftone(c.x_start, c.count, 1, 0), c.status);
    if (c.status != kStatusOk) {
      EXPECT_EQ(s.output[0], std::vector<uint8_t>(s.planes * 32, 0xA5));  // nothing written
    }
  }
}

TEST(ScreenHalftone, RefusesAnEngineWhoseSequenceDidNotComplete) {
  // Four inks: an id list that begins FF FF completes at once, with no tables.
  ScreenJob colour(ScreenKind::kFourInk);
  colour.resources[testkit::kScreenIdList] = testkit::ScreenIdList({});
  ASSERT_EQ(colour.Run(), kStatusOk);
  EXPECT_EQ(colour.asked, std::vector<uint32_t>{testkit::kScreenIdList});
  colour.output.assign(1, std::vector<uint8_t>(4 * 32, 0x5A));
  EXPECT_EQ(colour.Halftone(0, 8, 1, 0), kStatusBadArgument);
  EXPECT_EQ(colour.output[0], std::vector<uint8_t>(4 * 32, 0x5A));

  // Mono without a main block: the tables stay empty. 1 bit is refused; 2 bits, block mode 0,
  // have no line routine.
  for (uint32_t bits : {1u, 2u}) {
    ScreenJob mono(ScreenKind::kMono);
    mono.job.bits_per_dot = bits;
    mono.lut0.lut.dot_curve_id = -1;
    ASSERT_EQ(mono.Run(), kStatusOk);
    EXPECT_EQ(mono.asked.size(), 2u);
    mono.output.assign(1, std::vector<uint8_t>(32, 0x5A));
    EXPECT_EQ(mono.Halftone(0, 8, 1, 0), bits == 1 ? kStatusBadArgument : kStatusNoLineRoutine);
    EXPECT_EQ(mono.output[0], std::vector<uint8_t>(32, 0x5A));
  }

  // A failed step leaves the engine unusable.
  ScreenJob failed(ScreenKind::kMono);
  failed.resources[testkit::kScreenFinalId][18] = 44;  // count 300
  EXPECT_EQ(failed.Run(), kStatusDotCurveValues);
  EXPECT_EQ(failed.Halftone(0, 8, 1, 0), kStatusBadArgument);
}

TEST(ScreenHalftone, RowCountsAndModeWord) {
  // Four inks screen row 0 only unless rows is 2; mono runs every row.
  ScreenJob colour(ScreenKind::kFourInk);
  ASSERT_EQ(colour.Run(), kStatusOk);
  colour.input.assign(3, std::vector<uint8_t>(4 * 64, 0));
  colour.output.assign(3, std::vector<uint8_t>(4 * 32, 0x77));
  ASSERT_EQ(colour.Halftone(0, 64, 3, 0), kStatusOk);
  EXPECT_NE(colour.output[0], std::vector<uint8_t>(4 * 32, 0x77));
  EXPECT_EQ(colour.output[1], std::vector<uint8_t>(4 * 32, 0x77));
  EXPECT_EQ(colour.engine()->last_line, 0u);
  EXPECT_EQ(colour.Halftone(0, 64, 2, 10, 0, 99), kStatusOk);  // the mode word is not read
  EXPECT_EQ(colour.engine()->last_line, 11u);

  ScreenJob mono(ScreenKind::kMono);
  ASSERT_EQ(mono.Run(), kStatusOk);
  mono.input.assign(3, std::vector<uint8_t>(64, 0));
  mono.output.assign(3, std::vector<uint8_t>(32, 0x77));
  ASSERT_EQ(mono.Halftone(0, 64, 3, 4), kStatusOk);
  for (int r = 0; r < 3; ++r) EXPECT_NE(mono.output[r], std::vector<uint8_t>(32, 0x77)) << r;
  EXPECT_EQ(mono.engine()->last_line, 6u);
  EXPECT_EQ(mono.Halftone(0, 64, 1, 7, 0, 1), kStatusBadModeWord);
  EXPECT_EQ(mono.Halftone(0, 64, 0, 7), kStatusOk);
  EXPECT_EQ(mono.Halftone(0, 64, 1, 7, 4), kStatusBadArgument);  // first bit beyond the byte
}

// Ink plane 2 of a row pair holds the dots of both rows; the positions before the first bit
// stay as each row had them.
TEST(ScreenHalftone, RowPairMergesPlaneTwo) {
  ScreenJob s(ScreenKind::kFourInk);
  ASSERT_EQ(s.Run(), kStatusOk);
  s.input.assign(2, std::vector<uint8_t>(4 * 64, 0));
  for (int x = 0; x < 64; ++x) {
    s.input[0][4 * x + 0] = s.input[0][4 * x + 1] = 255, s.input[0][4 * x + 2] = 40;
    s.input[1][4 * x + 0] = s.input[1][4 * x + 1] = 255, s.input[1][4 * x + 2] = 90;
  }
  // Each row alone.
  ScreenJob single(ScreenKind::kFourInk);
  ASSERT_EQ(single.Run(), kStatusOk);
  std::vector<uint8_t> alone[2];
  for (int r = 0; r < 2; ++r) {
    single.input.assign(1, s.input[r]);
    single.output.assign(1, std::vector<uint8_t>(4 * 32, 0xC0));
    ASSERT_EQ(single.Halftone(0, 20, 1, static_cast<uint32_t>(r), 1), kStatusOk);
    alone[r] = single.output[0];
  }
  s.output.assign(2, std::vector<uint8_t>(4 * 32, 0xC0));
  ASSERT_EQ(s.Halftone(0, 20, 2, 0, 1), kStatusOk);
  const uint8_t* p0 = &s.output[0][64];
  const uint8_t* p1 = &s.output[1][64];
  EXPECT_EQ(p0[0] & 0xC0, 0xC0);  // before the first bit: kept
  for (int i = 0; i < 6; ++i) {
    const uint8_t merged = (alone[0][64 + i] | alone[1][64 + i]) & (i == 0 ? 0x3F : 0xFF);
    EXPECT_EQ(p0[i] & (i == 0 ? 0x3F : 0xFF), merged) << i;
    EXPECT_EQ(p1[i] & (i == 0 ? 0x3F : 0xFF), merged) << i;
  }
  EXPECT_NE(alone[0][64 + 1], alone[1][64 + 1]);
  for (int k : {0, 1, 3}) {
    EXPECT_EQ(std::vector<uint8_t>(&s.output[0][32 * k], &s.output[0][32 * k + 32]),
              std::vector<uint8_t>(&alone[0][32 * k], &alone[0][32 * k + 32]));
  }
}

}  // namespace
}  // namespace tonvar::screening
