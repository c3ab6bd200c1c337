// Creation, the call check and deletion of the grey-input engine.
#include "tonvar/grey_input/grey_halftone_engine.h"

#include <gtest/gtest.h>

#include "tonvar/grey_input/test_engine.h"

namespace tonvar::grey_input {
namespace {

namespace faults = common::faults;

TEST_F(GreyEngineTest, RatioClassesByResolution) {
  const struct {
    uint32_t h, v;
    EngineStatus status;
    uint32_t ratio_class;
    ResourceId screen_id;
  } cases[] = {{720, 720, kStatusOk, 0, 701},       {2400, 1200, kStatusOk, 1, 702},
               {1440, 360, kStatusOk, 2, 703},      {1200, 2400, kStatusOk, 3, 704},
               {1200, 720, kStatusBadResource, 0, 0}, {720, 0, kStatusBadResource, 0, 0}};
  for (const auto& c : cases) {
    faults::ScopedReset each;
    ASSERT_EQ(Create(GreyJob(2, c.h, c.v)), c.status) << c.h << 'x' << c.v;
    if (c.status != kStatusOk) {
      EXPECT_EQ(engine_, nullptr);
      EXPECT_EQ(faults::Calls(faults::MemOp::kAlloc), 0) << "refused before anything is allocated";
      continue;
    }
    EXPECT_EQ(id_, 200u) << "the grey table's first halftone id";
    EXPECT_EQ(Engine().ratio_class, c.ratio_class);
    ASSERT_EQ(Feed(testkit::BuildGreyDotCurveKind3({})), kStatusOk);
    EXPECT_EQ(id_, c.screen_id);
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
    EXPECT_EQ(engine_, nullptr);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

TEST_F(GreyEngineTest, CreationRefusals) {
  RasterJob job = GreyJob(2);
  EngineCreateArgs args;
  args.job = &job;
  args.tables[0] = lut_.get();
  args.tables[1] = lut_.get();
  job.channel_order = 0;  // a second table is refused before the job is looked at
  EXPECT_EQ(GreyHalftoneNew(args, &id_, &engine_), kStatusBadResource);
  args.tables[1] = nullptr;
  EXPECT_EQ(GreyHalftoneNew(args, &id_, &engine_), kStatusBadArgument);
  job = GreyJob(2);
  job.ink_set = 1;
  EXPECT_EQ(GreyHalftoneNew(args, &id_, &engine_), kStatusBadArgument);
  job = GreyJob(3);
  EXPECT_EQ(GreyHalftoneNew(args, &id_, &engine_), kStatusBadArgument);
  EXPECT_EQ(engine_, nullptr);
  for (auto [op, status] : {std::pair{faults::MemOp::kAlloc, kStatusAllocFailed},
                            std::pair{faults::MemOp::kLock, kStatusLockFailed}}) {
    faults::ScopedReset each;
    faults::FailNth(op, 1);
    EXPECT_EQ(Create(GreyJob(2)), status);
    EXPECT_EQ(engine_, nullptr);
    EXPECT_EQ(faults::LiveBlocks(), 0);
  }
}

TEST_F(GreyEngineTest, DeletionReleasesEverythingEvenAfterAFailedRelease) {
  for (auto [op, nth, status] : {std::tuple{faults::MemOp::kUnlock, 1, kStatusUnlockFailed},
                                 std::tuple{faults::MemOp::kFree, 2, kStatusFreeFailed},
                                 std::tuple{faults::MemOp::kFree, 4, kStatusFreeFailed}}) {
    faults::ScopedReset each;
    Ready(GreyJob(2));
    faults::FailNth(op, nth);
    EXPECT_EQ(GreyHalftoneDelete(&engine_), status);
    EXPECT_EQ(engine_, nullptr);
    // A block whose unlock or free failed stays with the platform; nothing else is left.
    EXPECT_LE(faults::LiveBlocks(), 1);
  }
}

TEST_F(GreyEngineTest, HalftoneBeforeTheLastResourceIsRefused) {
  ASSERT_EQ(Create(GreyJob(2)), kStatusOk);
  Band band(2, 8, 4);
  EXPECT_EQ(GreyHalftone(engine_, band.Args(0, 8, 0, 2, 0)), kStatusBadArgument);
  ASSERT_EQ(Feed(testkit::BuildGreyDotCurveKind3({})), kStatusOk);
  EXPECT_EQ(GreyHalftone(engine_, band.Args(0, 8, 0, 2, 0)), kStatusBadArgument);
  testkit::GreyScreenShape bad;
  bad.layout_kind = 1;
  EXPECT_EQ(Feed(testkit::BuildGreyScreen(bad)), kStatusMatrixMagic);
  EXPECT_EQ(GreyHalftone(engine_, band.Args(0, 8, 0, 2, 0)), kStatusBadArgument);
}

// The call check: replication codes against the span's start, the span against the width,
// rows and pointers, and the (bits, class, method) combinations that have a line driver.
TEST_F(GreyEngineTest, CallCheck) {
  struct Case {
    const char* name;
    uint32_t bits, h, v, method, replication;
    uint32_t first_bit, count, x_start, rows;
    EngineStatus expected;
  };
  const Case cases[] = {
      {"plain", 2, 720, 720, 3, 0, 0, 8, 0, 2, kStatusOk},
      {"span up to the width", 2, 720, 720, 3, 0, 0, 16, 48, 2, kStatusOk},
      {"span past the width", 2, 720, 720, 3, 0, 0, 17, 48, 2, kStatusBadArgument},
      {"one row", 2, 720, 720, 3, 0, 0, 8, 0, 1, kStatusOk},
      {"three rows", 2, 720, 720, 3, 0, 0, 8, 0, 3, kStatusBadArgument},
      {"first bit 4 at 2 bits", 2, 720, 720, 3, 0, 4, 8, 0, 2, kStatusBadArgument},
      {"first bit 7 at 1 bit", 1, 720, 720, 3, 0, 7, 8, 0, 2, kStatusOk},
      {"method 2", 2, 720, 720, 2, 0, 0, 8, 0, 2, kStatusBadArgument},
      {"code 1, odd x", 2, 720, 720, 3, 1, 0, 8, 1, 2, kStatusBadArgument},
      {"code 1, odd first bit", 2, 720, 720, 3, 1, 1, 8, 0, 2, kStatusBadArgument},
      {"code 1, even", 2, 720, 720, 3, 1, 2, 8, 2, 2, kStatusOk},
      {"code 2 has no pattern", 2, 720, 720, 3, 2, 0, 8, 0, 2, kStatusBadArgument},
      {"code 3, first bit 4 at 1 bit", 1, 720, 720, 3, 3, 4, 8, 4, 2, kStatusOk},
      {"code 3, first bit 2 at 1 bit", 1, 720, 720, 3, 3, 2, 8, 4, 2, kStatusBadArgument},
      {"code 3, first bit 2 at 2 bits", 2, 720, 720, 3, 3, 2, 8, 4, 2, kStatusBadArgument},
      {"code 3, x not a multiple of 4", 2, 720, 720, 3, 3, 0, 8, 2, 2, kStatusBadArgument},
      {"code 7", 2, 720, 720, 3, 7, 0, 8, 8, 2, kStatusOk},
      {"code 7, first bit 2", 1, 720, 720, 3, 7, 2, 8, 8, 2, kStatusBadArgument},
      {"code 15", 2, 720, 720, 3, 15, 0, 16, 16, 2, kStatusOk},
      {"code 15, x 8", 2, 720, 720, 3, 15, 0, 8, 8, 2, kStatusBadArgument},
      {"code -1", 2, 720, 720, 3, 0xFFFFFFFF, 0, 8, 0, 2, kStatusBadArgument},
      {"1 bit, class 0, method 3", 1, 720, 720, 3, 0, 0, 8, 0, 2, kStatusOk},
      {"1 bit, class 0, method 1", 1, 720, 720, 1, 0, 0, 8, 0, 2, kStatusBadArgument},
      {"1 bit, class 1, method 1", 1, 1440, 720, 1, 0, 0, 8, 0, 2, kStatusOk},
      {"1 bit, class 2", 1, 1440, 360, 3, 0, 0, 8, 0, 2, kStatusBadArgument},
      {"1 bit, class 3", 1, 360, 720, 3, 0, 0, 8, 0, 2, kStatusBadArgument},
      {"2 bits, class 1, method 1", 2, 1440, 720, 1, 0, 0, 8, 0, 2, kStatusOk},
      {"2 bits, class 2, method 1", 2, 1440, 360, 1, 0, 0, 8, 0, 2, kStatusOk},
      {"2 bits, class 3", 2, 360, 720, 3, 0, 0, 8, 0, 2, kStatusBadArgument},
      {"count 0", 2, 720, 720, 3, 0, 3, 0, 5, 2, kStatusOk},
  };
  for (const Case& c : cases) {
    faults::ScopedReset each;
    RasterJob job = GreyJob(c.bits, c.h, c.v, c.method);
    job.replication = c.replication;
    Ready(job);
    Band band(2, 64, 32);
    EXPECT_EQ(GreyHalftone(engine_, band.Args(c.first_bit, c.count, c.x_start, c.rows, 4)), c.expected)
        << c.name;
    EXPECT_EQ(GreyHalftoneDelete(&engine_), kStatusOk);
  }
}

TEST_F(GreyEngineTest, MissingRowsAndLinesBeyondTheLastBound) {
  Ready(GreyJob(2));
  Band band(2, 64, 32);
  HalftoneBand args = band.Args(0, 8, 0, 1, 0);
  const uint8_t* one_in[2] = {band.in[0], nullptr};
  uint8_t* one_out[2] = {band.out[0], nullptr};
  args.input_rows = one_in;
  args.output_rows = one_out;
  EXPECT_EQ(GreyHalftone(engine_, args), kStatusOk) << "one row needs no second pointers";
  args.row_count = 2;
  EXPECT_EQ(GreyHalftone(engine_, args), kStatusBadArgument);
  args.input_rows = band.in;
  EXPECT_EQ(GreyHalftone(engine_, args), kStatusBadArgument) << "second output row missing";
  args.output_rows = band.out;
  args.line_number = 0x7FFFFFFE;
  EXPECT_EQ(GreyHalftone(engine_, args), kStatusBadArgument);
  args.line_number = 0x7FFFFFFD;
  EXPECT_EQ(GreyHalftone(engine_, args), kStatusOk);
}

}  // namespace
}  // namespace tonvar::grey_input
