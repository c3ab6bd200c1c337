// Creation, deletion, the completion state and the Halftone refusal of the multi-level engine.
#include "tonvar/multi_level/multi_level_engine.h"

#include "tonvar/interface/dispatch.h"
#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

using ::testkit::CubeTableShape;

TEST_F(EngineTest, CreationRefusesJobsOfOtherEnginesBeforeAllocating) {
  struct Case {
    const char* what;
    uint32_t channel_order, ink_set, bits_per_dot;
  };
  const Case cases[] = {
      {"monochrome channel order", 0, 1, 2},
      {"ink set 0", 1, 0, 2},
      {"ink set 5 (screening)", 1, 5, 2},
      {"3 bits per dot", 1, 1, 3},
      {"0 bits per dot", 1, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RasterJob job = SampleJob();
    job.channel_order = c.channel_order;
    job.ink_set = c.ink_set;
    job.bits_per_dot = c.bits_per_dot;
    common::faults::Reset();
    EXPECT_EQ(Create(job), kStatusBadArgument);
    EXPECT_EQ(engine_, nullptr);
    EXPECT_EQ(common::faults::Calls(common::faults::MemOp::kAlloc), 0);
  }
}

TEST_F(EngineTest, CreationCopiesTheJobAndTablesAndAnswersTheFirstId) {
  RasterJob job = SampleJob();
  job.bits_per_dot = 1;
  CubeTableShape first;
  first.first_halftone_id = 1234;
  CubeTableShape second;
  second.first_halftone_id = 99;
  ASSERT_EQ(Create(job, first, &second), kStatusOk);
  EXPECT_EQ(first_id_, 1234u);
  EXPECT_EQ(engine_->mode, 8);
  EXPECT_EQ(engine_->table_count, 2u);
  EXPECT_EQ(engine_->tables[1].first_halftone_id, 99u);
  EXPECT_EQ(engine_->state, nullptr);
  EXPECT_EQ(engine_->step, 0u);
  job_.width_pixels = 7;  // the caller's record may change afterwards
  EXPECT_EQ(engine_->job.width_pixels, 64u);
  EXPECT_EQ(common::faults::LiveBlocks(), 1);

  DeleteEngine();
  ASSERT_EQ(Create(SampleJob()), kStatusOk);
  EXPECT_EQ(engine_->mode, 7);
  EXPECT_EQ(engine_->table_count, 1u);
}

TEST_F(EngineTest, CreationFailuresLeaveNothingAndTheOutputUntouched) {
  for (auto [op, expected] : {std::pair{common::faults::MemOp::kAlloc, kStatusAllocFailed},
                              std::pair{common::faults::MemOp::kLock, kStatusLockFailed}}) {
    common::faults::Reset();
    common::faults::FailNth(op, 1);
    EXPECT_EQ(Create(SampleJob()), expected);
    EXPECT_EQ(engine_, nullptr);
    EXPECT_EQ(first_id_, 0u);
    EXPECT_EQ(common::faults::LiveBlocks(), 0);
  }
}

TEST_F(EngineTest, DeletionOfNothingAndOfAnEngineWithoutResources) {
  void* none = nullptr;
  EXPECT_EQ(MultiLevelDelete(&none), kStatusOk);
  ASSERT_EQ(Create(SampleJob()), kStatusOk);
  const int frees = common::faults::Calls(common::faults::MemOp::kFree);
  void* raw = engine_;
  EXPECT_EQ(MultiLevelDelete(&raw), kStatusOk);
  EXPECT_EQ(raw, nullptr);
  engine_ = nullptr;
  EXPECT_EQ(common::faults::Calls(common::faults::MemOp::kFree) - frees, 1);
}

TEST_F(EngineTest, DeletionReportsReleaseFailuresAndStillReleasesTheRest) {
  struct Case {
    common::faults::MemOp op;
    int nth;  // the work buffers come first, the engine block last
    EngineStatus expected;
  };
  // After step 1 the engine owns four buffers besides its own block.
  const Case cases[] = {
      {common::faults::MemOp::kUnlock, 1, kStatusUnlockFailed},
      {common::faults::MemOp::kFree, 2, kStatusFreeFailed},
      {common::faults::MemOp::kUnlock, 5, kStatusUnlockFailed},
      {common::faults::MemOp::kFree, 5, kStatusFreeFailed},
  };
  for (const Case& c : cases) {
    common::faults::Reset();
    ASSERT_EQ(Create(SampleJob()), kStatusOk);
    ASSERT_EQ(Step({0}).status, kStatusOk);
    common::faults::FailNth(c.op, c.nth);
    EXPECT_EQ(DeleteEngine(), c.expected);
    // Only the block whose release failed remains (the seam takes it back at its reset).
    EXPECT_LE(common::faults::LiveBlocks(), 1);
  }
  common::faults::Reset();
}

TEST_F(EngineTest, HalftoneIsRefusedUntilTheResourcesAreComplete) {
  const HalftoneBand band{};
  EXPECT_EQ(MultiLevelHalftone(nullptr, band), kStatusBadArgument);
  ASSERT_EQ(Create(SampleJob()), kStatusOk);
  EXPECT_EQ(MultiLevelHalftone(engine_, band), kStatusBadArgument);
  EXPECT_EQ(ThroughMatrix().id, 733u);
  EXPECT_EQ(MultiLevelHalftone(engine_, band), kStatusBadArgument);
  ::testkit::DotCurveTableShape curves;
  const StepResult last = Step(::testkit::BuildDotCurveTable(curves));
  ASSERT_EQ(last.status, kStatusOk);
  ASSERT_EQ(last.id, kNoMoreResources);
  EXPECT_EQ(engine_->ready, 1u);
  // Complete: now the call's own arguments are checked (a band without rows is refused).
  EXPECT_EQ(MultiLevelHalftone(engine_, band), kStatusBadArgument);
  EXPECT_EQ(State().line, 0);
  // Nothing more is taken after the end marker, and the engine stays complete.
  EXPECT_EQ(Step(::testkit::BuildDotCurveTable(curves)).status, kStatusBadResource);
  EXPECT_EQ(engine_->step, 4u);
  EXPECT_EQ(engine_->ready, 1u);
}

TEST_F(EngineTest, AFailedStepCountsAndLeavesTheEngineIncompleteForGood) {
  ASSERT_EQ(Create(SampleJob()), kStatusOk);
  ASSERT_EQ(ThroughMatrix().status, kStatusOk);
  EXPECT_EQ(Step({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}).status, kStatusBadResource);  // kind 0
  EXPECT_EQ(engine_->step, 3u);
  // The next call runs step 4, which may succeed, but the engine never becomes complete.
  RasterJob& job = engine_->job;
  job.edge_mask = 8;
  ::testkit::DotCurveTableShape curves;
  const StepResult edge = Step(::testkit::BuildDotCurveTable(curves));
  EXPECT_EQ(edge.status, kStatusOk);
  EXPECT_EQ(edge.id, kNoMoreResources);
  EXPECT_EQ(engine_->ready, 0u);
  EXPECT_EQ(MultiLevelHalftone(engine_, HalftoneBand{}), kStatusBadArgument);
}

// Every block the sequence allocates, made to fail in turn: the step answers 257 or 258 and
// deleting the engine leaves nothing behind.
TEST_F(EngineTest, EveryAllocationOfTheSequenceCanFailCleanly) {
  RasterJob job = SampleJob();
  job.edge_mask = 8;
  ::testkit::CubeTableShape table;
  table.grid = 2;
  for (int id : {1, 2, 3, 0}) table.curves.push_back({id, ::testkit::IdentityCurve()});
  ::testkit::DotCurveTableShape short_table;
  short_table.rows = 256;  // widened through a scratch block
  ::testkit::MatrixBlockShape matrix;
  matrix.phases = ::testkit::SamplePhases(4);
  const std::vector<std::vector<uint8_t>> resources = {
      {0}, ::testkit::BuildMatrixBlock(matrix), ::testkit::BuildDotCurveTable(short_table),
      ::testkit::BuildDotCurveTable({})};
  for (auto [op, expected] : {std::pair{common::faults::MemOp::kAlloc, kStatusAllocFailed},
                              std::pair{common::faults::MemOp::kLock, kStatusLockFailed}}) {
    for (int n = 1;; ++n) {
      SCOPED_TRACE(testing::Message() << "failure " << n);
      common::faults::Reset();
      ASSERT_EQ(Create(job, table), kStatusOk);
      common::faults::FailNth(op, n);
      EngineStatus failed = kStatusOk;
      for (const auto& bytes : resources) {
        failed = Step(bytes).status;
        if (failed != kStatusOk) break;
      }
      if (failed == kStatusOk) {
        EXPECT_EQ(engine_->ready, 1u);
        EXPECT_GT(n, 10);  // work block, cubes, matrix, scratch blocks
        break;
      }
      EXPECT_TRUE(failed == expected || failed == kStatusBadArgument) << failed;  // curves: 512
      EXPECT_EQ(engine_->ready, 0u);
      EXPECT_EQ(DeleteEngine(), kStatusOk);
      EXPECT_EQ(common::faults::LiveBlocks(), 0);
    }
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

TEST_F(EngineTest, StepsAfterAStepOneWithoutWorkBlockAreRefused) {
  ASSERT_EQ(Create(SampleJob()), kStatusOk);
  common::faults::FailNth(common::faults::MemOp::kAlloc, 1);
  EXPECT_EQ(Step({0}).status, kStatusAllocFailed);
  EXPECT_EQ(engine_->state, nullptr);
  ::testkit::MatrixBlockShape matrix;
  matrix.phases = ::testkit::SamplePhases(4);
  EXPECT_EQ(Step(::testkit::BuildMatrixBlock(matrix)).status, kStatusBadArgument);
  EXPECT_EQ(engine_->step, 2u);
}

TEST_F(EngineTest, AJobMethodOrDepthTheStepsCannotServeDoesNotMoveTheCounter) {
  for (uint32_t method : {0u, 2u, 4u}) {
    RasterJob job = SampleJob();
    job.method = method;
    ASSERT_EQ(Create(job), kStatusOk);
    EXPECT_EQ(Step({0}).status, kStatusBadArgument);
    EXPECT_EQ(engine_->step, 0u);
    EXPECT_EQ(engine_->state, nullptr);
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

// The whole life of a handle through the interface, as the exports run it: nothing is left
// behind after HalftoneDelete.
TEST_F(EngineTest, AHandleThroughTheInterfaceLeavesNothingBehind) {
  ::testkit::CubeTable table;
  CmLutInfo colour{kTableColour, 0, const_cast<LutDescriptor*>(table.Get())};
  CmLutInfo* const luts[2] = {&colour, nullptr};
  RasterJob job = SampleJob();
  HalftoneHandle* handle = nullptr;
  ResourceId id = 0;
  ASSERT_EQ(NewHalftoneHandle(&job, luts, 0, &id, &handle), kStatusOk);
  ::testkit::MatrixBlockShape matrix;
  matrix.phases = ::testkit::SamplePhases(4);
  const std::vector<std::vector<uint8_t>> resources = {
      std::vector<uint8_t>(16, 0), ::testkit::BuildMatrixBlock(matrix), ::testkit::BuildDotCurveTable({})};
  std::vector<ResourceId> asked;
  for (const auto& bytes : resources) {
    asked.push_back(id);
    ASSERT_EQ(ApplyHalftoneResource(handle, bytes.data(), &id), kStatusOk);
  }
  EXPECT_EQ(asked, (std::vector<ResourceId>{700, 701, 733}));
  EXPECT_EQ(id, kNoMoreResources);
  EXPECT_EQ(RunHalftone(handle, HalftoneBand{}), kStatusBadArgument);  // no rows
  EXPECT_GT(common::faults::LiveBlocks(), 4);
  EXPECT_EQ(DeleteHalftoneHandle(handle), kStatusOk);
  EXPECT_EQ(common::faults::LiveBlocks(), 0);
}

}  // namespace
}  // namespace tonvar::multi_level
