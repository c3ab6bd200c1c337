// The Halftone call of the multi-level engine: its checks, its dispatch and what a refused call
// leaves.
#include <gtest/gtest.h>

#include <vector>

#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

class HalftoneCallTest : public EngineTest {
 protected:
  // A complete engine for the job.
  void Ready(const RasterJob& job, const ::testkit::CubeTableShape& table = {}) {
    ASSERT_EQ(Create(job, table), kStatusOk);
    ASSERT_EQ(ThroughMatrix().status, kStatusOk);
    ASSERT_EQ(Step(::testkit::BuildDotCurveTable({})).id, kNoMoreResources);
  }
  // One call over [x_start, x_start + count) with rows of the job's width.
  EngineStatus Call(uint32_t x_start, uint32_t count, uint32_t first_dot = 0, uint32_t rows = 2,
                    uint32_t line = 0) {
    in_.assign(2, std::vector<uint8_t>(8 * (size_t{job_.width_pixels} + 4), 255));
    out_.assign(2, std::vector<uint8_t>(8 * (size_t{job_.width_pixels} / 4 + 4), 0));
    const uint8_t* in[2] = {in_[0].data(), in_[1].data()};
    uint8_t* out[2] = {out_[0].data(), out_[1].data()};
    const HalftoneBand band{in, out, static_cast<int64_t>(out_[0].size() / 8), first_dot, count, x_start, rows,
                            line, 0, 0};
    return MultiLevelHalftone(engine_, band);
  }
  std::vector<std::vector<uint8_t>> in_, out_;
};

TEST_F(HalftoneCallTest, TheRunMustLieWithinTheLineWithoutWrapping) {
  RasterJob job = SampleJob();
  job.width_pixels = 120;
  Ready(job);
  struct Case {
    uint32_t x_start, count;
    EngineStatus status;
  };
  const Case cases[] = {
      {100, 20, kStatusOk},          {100, 21, kStatusBadArgument}, {0, 120, kStatusOk},
      {120, 0, kStatusOk},           {121, 0, kStatusBadArgument},  {0xFFFFFFF0u, 0x20, kStatusBadArgument},
      {8, 0xFFFFFFFFu, kStatusBadArgument},
  };
  for (const Case& c : cases) EXPECT_EQ(Call(c.x_start, c.count), c.status) << c.x_start << " + " << c.count;
}

TEST_F(HalftoneCallTest, AnEmptyRunWritesNothingWhateverItsFirstDot) {
  Ready(SampleJob());
  for (uint32_t first_dot = 0; first_dot < 4; ++first_dot) {
    in_.assign(2, std::vector<uint8_t>(16, 0));
    std::vector<uint8_t> out(64, 0xA5);
    const uint8_t* in[2] = {in_[0].data(), in_[1].data()};
    uint8_t* rows[2] = {out.data(), out.data() + 32};
    EXPECT_EQ(MultiLevelHalftone(engine_, {in, rows, 8, first_dot, 0, 64, 2, 0, 0, 0}), kStatusOk);
    EXPECT_EQ(out, std::vector<uint8_t>(64, 0xA5)) << first_dot;
  }
}

TEST_F(HalftoneCallTest, ReplicationCodesAgainstTheRunStartAndFirstDot) {
  struct Case {
    int32_t code;
    uint32_t x_start, first_dot;
    EngineStatus status;
  };
  const Case cases[] = {
      {-1, 3, 1, kStatusOk},        {0, 3, 3, kStatusOk},         {1, 2, 2, kStatusOk},
      {1, 3, 0, kStatusBadArgument}, {1, 2, 1, kStatusBadArgument}, {3, 4, 0, kStatusOk},
      {3, 4, 2, kStatusBadArgument}, {3, 6, 0, kStatusBadArgument}, {7, 8, 0, kStatusOk},
      {7, 4, 0, kStatusBadArgument}, {15, 16, 0, kStatusOk},       {15, 16, 1, kStatusBadArgument},
      {2, 0, 0, kStatusBadArgument}, {16, 0, 0, kStatusBadArgument}, {-2, 0, 0, kStatusBadArgument},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "code " << c.code << ", x " << c.x_start << ", first dot " << c.first_dot);
    RasterJob job = SampleJob();
    job.replication = static_cast<uint32_t>(c.code);
    Ready(job);
    EXPECT_EQ(Call(c.x_start, 8, c.first_dot), c.status);
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

TEST_F(HalftoneCallTest, RowsFirstDotAndPairedOutput) {
  RasterJob job = SampleJob();
  job.row_pairing = 1;
  Ready(job);
  EXPECT_EQ(Call(0, 8, 0, 1), kStatusOk);  // the second output row is there
  EXPECT_EQ(Call(0, 8, 0, 3), kStatusBadArgument);
  EXPECT_EQ(Call(0, 8, 0, 0), kStatusBadArgument);
  EXPECT_EQ(Call(0, 8, 4), kStatusBadArgument);  // four dots per byte at 2 bits
  const uint8_t* in[2] = {nullptr, nullptr};
  uint8_t* out[2] = {nullptr, nullptr};
  uint8_t row[64] = {};
  const uint8_t* some_in[2] = {row, nullptr};
  uint8_t* some_out[2] = {row, nullptr};
  EXPECT_EQ(MultiLevelHalftone(engine_, {nullptr, some_out, 16, 0, 8, 0, 1, 0, 0, 0}), kStatusBadArgument);
  EXPECT_EQ(MultiLevelHalftone(engine_, {in, some_out, 16, 0, 8, 0, 1, 0, 0, 0}), kStatusBadArgument);
  EXPECT_EQ(MultiLevelHalftone(engine_, {some_in, some_out, 16, 0, 8, 0, 2, 0, 0, 0}), kStatusBadArgument);
  EXPECT_EQ(MultiLevelHalftone(engine_, {some_in, out, 16, 0, 8, 0, 1, 0, 0, 0}), kStatusBadArgument);
  // Paired output wants the second output row even for one row.
  EXPECT_EQ(MultiLevelHalftone(engine_, {some_in, some_out, 16, 0, 8, 0, 1, 0, 0, 0}), kStatusBadArgument);
}

TEST_F(HalftoneCallTest, JobsWithoutALineRoutineAreRefusedClearly) {
  struct Case {
    const char* name;
    uint32_t method, ink_set, channels;
  };
  // Six and seven inks have no line routine, whatever the method.
  for (const Case& c : {Case{"six inks", 3, 3, 6}, Case{"seven inks", 3, 4, 7}, Case{"six inks, method 1", 1, 3, 6}}) {
    SCOPED_TRACE(c.name);
    RasterJob job = SampleJob();
    job.method = c.method;
    job.ink_set = c.ink_set;
    ::testkit::CubeTableShape table;
    table.channels = c.channels;
    Ready(job, table);
    EXPECT_EQ(Call(0, 8), kStatusBadArgument);
    EXPECT_EQ(out_[0], std::vector<uint8_t>(out_[0].size(), 0));
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

TEST_F(HalftoneCallTest, ARefusedCallStillMovesTheLineHistoryOn) {
  Ready(SampleJob());
  EXPECT_EQ(Call(0, 8, 0, 2, 4), kStatusOk);
  EXPECT_EQ(Call(0, 80, 0, 2, 6), kStatusBadArgument);
  EXPECT_EQ(State().previous_line, 4);
  EXPECT_EQ(State().line, 6);
}

TEST_F(HalftoneCallTest, ALineBeyondThePageWritesNothingButTakesItsDraw) {
  RasterJob job = SampleJob();
  job.edge_mask = 4;  // bottom edge: the page ends at the job's height
  job.edge_unit = 16;
  job.edge_bottom = 2;
  job.height_lines = 10;
  ASSERT_EQ(Create(job), kStatusOk);
  ASSERT_EQ(ThroughMatrix().status, kStatusOk);
  ASSERT_EQ(Step(::testkit::BuildDotCurveTable({})).id, 734u);
  ASSERT_EQ(Step(::testkit::BuildDotCurveTable({})).id, kNoMoreResources);
  const common::MtState before = State().random;
  EXPECT_EQ(Call(0, 8, 0, 2, 10), kStatusBadArgument);
  EXPECT_EQ(out_[0], std::vector<uint8_t>(out_[0].size(), 0));
  common::MtState expected = before;
  common::RandomGenerate(&expected);
  EXPECT_EQ(State().random.left, expected.left);
  EXPECT_EQ(Call(0, 8, 0, 2, 8), kStatusOk);
}

}  // namespace
}  // namespace tonvar::multi_level
