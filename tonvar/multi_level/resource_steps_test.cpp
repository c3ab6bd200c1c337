// The resource steps: the identifiers asked for, the tables the steps compute themselves (tone
// ramp, node packing, edges and zones) and every refusal.
#include "tonvar/multi_level/multi_level_engine.h"

#include <cstring>

#include "tonvar/multi_level/test_engine.h"

namespace tonvar::multi_level {
namespace {

using ::testkit::CubeTableShape;

TEST_F(EngineTest, StepOneAnswersTheMatrixOfTheResolutionClass) {
  struct Case {
    uint32_t h, v;
    uint32_t ratio_class;
    EngineStatus status;
    ResourceId id;
  };
  const Case cases[] = {
      {720, 720, 0, kStatusOk, 701},          {720, 1440, 1, kStatusOk, 704},
      {1440, 720, 2, kStatusOk, 702},         {2880, 720, 3, kStatusOk, 703},
      {1080, 360, 4, kStatusBadResource, 0},  {720, 540, 5, kStatusBadResource, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.h);
    RasterJob job = SampleJob();
    job.resolution_x_dpi = c.h;
    job.resolution_y_dpi = c.v;
    ASSERT_EQ(Create(job), kStatusOk);
    const StepResult r = Step({});
    EXPECT_EQ(r.status, c.status);
    if (c.status == kStatusOk) {
      EXPECT_EQ(r.id, c.id);
    }
    EXPECT_EQ(State().ratio_class, c.ratio_class);
    // Class 4 is refused after the cubes are built, class 5 before.
    EXPECT_EQ(State().tone_ramp[255], c.ratio_class == 5 ? 0u : 16128u);
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

TEST_F(EngineTest, StepOneBuildsTheWorkBlockAndSeedsTheGenerator) {
  RasterJob job = SampleJob();
  job.width_pixels = 1;
  ASSERT_EQ(Create(job), kStatusOk);
  ASSERT_EQ(Step({}).status, kStatusOk);
  MultiLevelState& s = State();
  EXPECT_EQ(s.ink_count, 4);
  EXPECT_EQ(s.cubes[0], s.cubes[1]);
  EXPECT_EQ(std::memcmp(&engine_->tables[0], &engine_->tables[1], sizeof(LutDescriptor)), 0);
  EXPECT_EQ(engine_->tables[0].grid_points[0], 64u);
  // Width 1: error rows of 64 words with 30 words of margin, cell planes of 4 bytes.
  EXPECT_EQ(s.error_block_size, 16u * 64 * 4);
  EXPECT_EQ(reinterpret_cast<uint8_t*>(s.error_rows0[0]) - reinterpret_cast<uint8_t*>(s.error_block), 120);
  EXPECT_EQ(s.error_rows1[0] - s.error_rows0[0], 64);
  EXPECT_EQ(s.error_rows0[1] - s.error_rows0[0], 128);
  EXPECT_EQ(s.cell_planes[0] - s.flat_cells, 4);
  EXPECT_EQ(s.cell_planes[1] - s.cell_planes[0], 4);
  const uint32_t tone[6] = {0, 52, 103, 154, 205, 256};
  EXPECT_EQ(std::memcmp(s.tone_ramp, tone, sizeof tone), 0);
  EXPECT_EQ(s.tone_ramp[255], 16128u);
  EXPECT_EQ(s.diffusion_thresholds.value[0], 356u);
  for (uint32_t expected : {1067595299u, 955945823u, 477289528u, 4107218783u, 4228976476u}) {
    EXPECT_EQ(common::RandomGenerate(&s.random), expected);
  }
}

TEST(DiffusionThresholdsTest, OneTablePerResolutionClass) {
  DiffusionThresholds square{}, wide_one{}, wide_two{}, other{};
  BuildDiffusionThresholds(0, 2, &square);
  const uint32_t first[5] = {356, 356, 474, 592, 621};
  EXPECT_EQ(std::memcmp(square.value, first, sizeof first), 0);
  EXPECT_EQ(square.value[12], 1016u);
  EXPECT_EQ(square.value[13], 680u);
  EXPECT_EQ(square.value[255], 2568u);
  // H = 2V at 1 and 2 bits per dot differ from level 8 on; another ratio leaves the table.
  BuildDiffusionThresholds(2, 1, &wide_one);
  BuildDiffusionThresholds(4, 2, &wide_two);
  EXPECT_EQ(wide_one.value[8], wide_two.value[8]);
  EXPECT_EQ(wide_one.value[9], 600u);
  EXPECT_NE(wide_two.value[9], 600u);
  EXPECT_EQ(wide_two.value[255], 2560u);
  BuildDiffusionThresholds(5, 2, &other);
  BuildDiffusionThresholds(2, 3, &other);
  EXPECT_EQ(other.value[100], 0u);
  BuildDiffusionThresholds(3, 2, &other);
  EXPECT_EQ(other.value[0], 192u);
  BuildDiffusionThresholds(1, 2, &other);
  EXPECT_EQ(other.value[255], 2600u);
}

TEST_F(EngineTest, TwoTablesGetTwoCubes) {
  CubeTableShape second;
  second.body.assign(5 * 5 * 5 * 4, 0);
  ASSERT_EQ(Create(SampleJob(), {}, &second), kStatusOk);
  ASSERT_EQ(Step({}).status, kStatusOk);
  EXPECT_EQ(State().cubes[1] - State().cubes[0], static_cast<ptrdiff_t>(kCubeBytes));
  uint32_t node;
  std::memcpy(&node, State().cubes[1] + 4 * 1000, 4);
  EXPECT_EQ(node, 0u);
}

TEST_F(EngineTest, StepOneRefusesInkSetsAndTablesItCannotUse) {
  struct Case {
    const char* what;
    uint32_t ink_set;
    void (*change)(CubeTableShape&);
    bool second_differs;
  };
  const Case cases[] = {
      {"ink set 2", 2, nullptr, false},
      {"ink set 8", 8, nullptr, false},
      {"nine channels", 1, [](CubeTableShape& t) { t.channels = 9; }, false},
      {"three channels for four inks", 1, [](CubeTableShape& t) { t.channels = 3; }, false},
      {"five channels for six inks", 3, [](CubeTableShape& t) { t.channels = 5; }, false},
      {"65 nodes", 1, [](CubeTableShape& t) { t.grid = 65; t.levels.assign(64, 0); }, false},
      {"levels not ending at 255", 1, [](CubeTableShape& t) { t.levels = {0, 60, 120, 180, 240}; }, false},
      {"levels not rising", 1, [](CubeTableShape& t) { t.levels = {0, 60, 60, 180, 255}; }, false},
      {"full-ink gain below 100", 1, [](CubeTableShape& t) { t.gain_full = 50; }, false},
      {"full-ink gain above no-ink gain", 1, [](CubeTableShape& t) { t.gain_full = 200; }, false},
      {"no-ink gain above 1000", 1, [](CubeTableShape& t) { t.gain_none = 1001; }, false},
      {"grey axis not reaching 255", 1, [](CubeTableShape& t) { t.grey_levels = {0, 128}; t.grey_values.assign(8, 0); }, false},
      {"grey axis value above 255", 1, [](CubeTableShape& t) { t.grey_levels = {0, 255}; t.grey_values = {0, 0, 0, 256, 1, 1, 1, 1}; }, false},
      {"second table with other channels", 1, nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RasterJob job = SampleJob();
    job.ink_set = c.ink_set;
    CubeTableShape first;
    if (c.change != nullptr) c.change(first);
    CubeTableShape second;
    second.channels = 6;
    ASSERT_EQ(Create(job, first, c.second_differs ? &second : nullptr), kStatusOk);
    EXPECT_EQ(Step({}).status, kStatusBadResource);
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

TEST_F(EngineTest, TablesWithoutBodyOrWithUnequalAxesAreRefused) {
  for (int variant = 0; variant < 3; ++variant) {
    ASSERT_EQ(Create(SampleJob()), kStatusOk);
    LutDescriptor& table = engine_->tables[0];
    if (variant == 0) table.body = nullptr;
    if (variant == 1) table.grid_points[2] = 4;
    if (variant == 2) table.grid[1][2] = 100;
    EXPECT_EQ(Step({}).status, kStatusBadResource) << variant;
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

TEST_F(EngineTest, NodesArePackedInTheEngineForm) {
  struct Case {
    uint32_t ink_set;
    uint32_t channels;
  };
  // A table whose nodes all hold bytes 10, 20, 30, ...: every packed node is the same.
  for (const Case& c : {Case{1, 4}, Case{1, 6}, Case{3, 6}, Case{3, 8}, Case{4, 7}, Case{9, 8}}) {
    SCOPED_TRACE(c.channels);
    RasterJob job = SampleJob();
    job.ink_set = c.ink_set;
    CubeTableShape table;
    table.channels = c.channels;
    table.grid = 2;
    for (int node = 0; node < 8; ++node) {
      for (uint32_t ch = 0; ch < c.channels; ++ch) table.body.push_back(static_cast<uint8_t>(10 * (ch + 1)));
    }
    ASSERT_EQ(Create(job, table), kStatusOk);
    ASSERT_EQ(Step({}).status, kStatusOk);
    const uint8_t* cube = State().cubes[0];
    for (uint32_t node : {0u, 1u, 4095u, kCubeNodes - 1}) {
      uint32_t words[2];
      if (State().ink_count == 4) {
        std::memcpy(words, cube + 4 * node, 4);
        EXPECT_EQ(words[0], 0x0A141E28u);
        continue;
      }
      std::memcpy(words, cube + 8 * uint64_t{node}, 8);
      EXPECT_EQ(words[0], 0x0A141E28u);
      if (State().ink_count == 6) {
        EXPECT_EQ(words[1], 0x3C320000u);
      } else if (c.channels == 7) {
        EXPECT_EQ(words[1], 0x3C324600u);
      } else {
        EXPECT_EQ(words[1], 0x3C324650u);
      }
    }
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

TEST_F(EngineTest, TheDotTableIdComesFromTheDescriptorOrItsHeaderBlock) {
  struct Case {
    const char* what;
    int32_t descriptor_id;
    std::vector<uint8_t> block;
    int32_t expected;
  };
  const Case cases[] = {
      {"descriptor id", 5, ::testkit::BuildHalftoneHeaderBlock(2, 701), 5},
      {"version 1", -1, ::testkit::BuildHalftoneHeaderBlock(1, 711), 711},
      {"version 2", -1, ::testkit::BuildHalftoneHeaderBlock(2, 0x02BD), 701},
      {"version 3", -1, ::testkit::BuildHalftoneHeaderBlock(3, 712), 712},
      {"version 2 holding FFFF", -1, ::testkit::BuildHalftoneHeaderBlock(2, -1), -1},
      {"version 1 shorter than 8", -1, ::testkit::BuildHalftoneHeaderBlock(1, 711, 7), -1},
      {"version 2 shorter than 18", -1, ::testkit::BuildHalftoneHeaderBlock(2, 701, 17), -1},
      {"version 3 shorter than 22", -1, ::testkit::BuildHalftoneHeaderBlock(3, 712, 21), -1},
      {"version 4", -1, ::testkit::BuildHalftoneHeaderBlock(4, 712), -1},
      {"no block", -1, {}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ::testkit::CubeTableShape shape;
    shape.dot_curve_id = c.descriptor_id;
    shape.screening_block = c.block;
    ::testkit::CubeTable table(shape);
    EXPECT_EQ(GetDotTableId(*table.Get()), c.expected);
  }
}

TEST_F(EngineTest, WithoutDotTablesOneBitCompletesAndTwoBitsAreRefused) {
  CubeTableShape table;
  table.dot_curve_id = -1;
  table.screening_block = ::testkit::BuildHalftoneHeaderBlock(2, -1);
  RasterJob job = SampleJob();
  job.bits_per_dot = 1;
  ASSERT_EQ(Create(job, table), kStatusOk);
  const StepResult one = ThroughMatrix();
  EXPECT_EQ(one.status, kStatusOk);
  EXPECT_EQ(one.id, kNoMoreResources);
  EXPECT_EQ(engine_->ready, 1u);
  EXPECT_EQ(State().dot_tables[7].set[kInteriorSet].level[300][kAnyDot], 300u);
  EXPECT_EQ(State().row_bounds_used[5], kNoBottom);
  EXPECT_EQ(DeleteEngine(), kStatusOk);

  ASSERT_EQ(Create(SampleJob(), table), kStatusOk);
  EXPECT_EQ(ThroughMatrix().status, kStatusBadResource);
}

TEST_F(EngineTest, StepThreeAsksForTheEdgeTablesOnlyWhenEdgesAreOn) {
  struct Case {
    uint32_t edge_mask, bits;
    int32_t edge_id;
    EngineStatus status;
    ResourceId id;
  };
  const Case cases[] = {
      {0, 2, 734, kStatusOk, kNoMoreResources},
      {0, 1, 734, kStatusOk, kNoMoreResources},
      {8, 2, 734, kStatusOk, 734},
      {8, 1, 734, kStatusBadResource, 0},
      {8, 2, -1, kStatusBadResource, 0},  // a missing edge table is no end marker
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.edge_mask * 10 + c.bits);
    RasterJob job = SampleJob();
    job.edge_mask = c.edge_mask;
    job.bits_per_dot = c.bits;
    CubeTableShape table;
    table.edge_id = c.edge_id;
    ASSERT_EQ(Create(job, table), kStatusOk);
    ASSERT_EQ(ThroughMatrix().id, 733u);
    const StepResult r = Step(::testkit::BuildDotCurveTable({}));
    EXPECT_EQ(r.status, c.status);
    if (c.status == kStatusOk) {
      EXPECT_EQ(r.id, c.id);
    }
    EXPECT_EQ(DeleteEngine(), kStatusOk);
  }
}

// Job edges (top, bottom, left, right), transitions (upper, lower, left, right) and what step 4
// makes of them.
struct EdgeCase {
  const char* what;
  uint32_t mask, unit, v_res, height, width;
  int32_t edges[4];
  int32_t transitions[4];
  EngineStatus status;
  int32_t row_bounds[6];
  int32_t row_bounds_used[6];
};

class EdgeStepTest : public EngineTest, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(EdgeStepTest, StepFourSetsEdgesAndVerticalZones) {
  const EdgeCase& c = GetParam();
  RasterJob job = SampleJob();
  job.edge_mask = c.mask;
  job.edge_unit = c.unit;
  job.resolution_y_dpi = c.v_res;
  job.resolution_x_dpi = c.v_res;
  job.height_lines = c.height;
  job.width_pixels = c.width;
  job.edge_top = c.edges[0];
  job.edge_bottom = c.edges[1];
  job.edge_left = c.edges[2];
  job.edge_right = c.edges[3];
  CubeTableShape table;
  std::copy(c.transitions, c.transitions + 4, table.transitions);
  ASSERT_EQ(Create(job, table), kStatusOk);
  ASSERT_EQ(ThroughMatrix().status, kStatusOk);
  ASSERT_EQ(Step(::testkit::BuildDotCurveTable({})).status, kStatusOk);
  const StepResult r = Step(::testkit::BuildDotCurveTable({}));
  EXPECT_EQ(r.status, c.status);
  if (c.status != kStatusOk) return;
  EXPECT_EQ(r.id, kNoMoreResources);
  EXPECT_EQ(std::vector<int32_t>(State().row_bounds, State().row_bounds + 6),
            std::vector<int32_t>(c.row_bounds, c.row_bounds + 6));
  EXPECT_EQ(std::vector<int32_t>(State().row_bounds_used, State().row_bounds_used + 6),
            std::vector<int32_t>(c.row_bounds_used, c.row_bounds_used + 6));
}

constexpr int32_t N = kNoBottom;
INSTANTIATE_TEST_SUITE_P(
    Edges, EdgeStepTest,
    ::testing::Values(
        EdgeCase{"top 3 at 360 dpi in unit 0: 43, rounded up to 44", 8, 0, 360, 100, 64, {3, 0, 0, 0}, {0, 0, 0, 0},
                 kStatusOk, {0, 44, 44, N, N, N}, {0, 44, 44, N, N, N}},
        EdgeCase{"height 101 ends at 102", 12, 16, 720, 101, 64, {2, 4, 0, 0}, {6, 8, 0, 0},
                 kStatusOk, {0, 2, 8, 90, 98, 102}, {0, 2, 8, 90, 98, 102}},
        EdgeCase{"overlapping transitions meet halfway", 12, 16, 720, 60, 64, {10, 10, 0, 0}, {40, 40, 0, 0},
                 kStatusOk, {0, 10, 50, 10, 50, 60}, {0, 10, 30, 30, 50, 60}},
        EdgeCase{"disabled edges are cleared", 8, 16, 720, 100, 64, {3, 500, -1, -1}, {0, -7, -7, -7},
                 kStatusOk, {0, 4, 4, N, N, N}, {0, 4, 4, N, N, N}},
        EdgeCase{"edge mask 16", 16, 16, 720, 100, 64, {0, 0, 0, 0}, {0, 0, 0, 0}, kStatusBadArgument, {}, {}},
        EdgeCase{"negative enabled edge", 8, 16, 720, 100, 64, {-2, 0, 0, 0}, {0, 0, 0, 0}, kStatusBadResource, {}, {}},
        EdgeCase{"negative enabled transition", 2, 16, 720, 100, 64, {0, 0, 2, 0}, {0, 0, -2, 0}, kStatusBadResource, {}, {}},
        EdgeCase{"edge unit 8", 8, 8, 720, 100, 64, {2, 0, 0, 0}, {0, 0, 0, 0}, kStatusBadResource, {}, {}},
        EdgeCase{"left and right wider than the job", 3, 16, 720, 100, 64, {0, 0, 32, 34}, {0, 0, 0, 0}, kStatusBadArgument, {}, {}},
        EdgeCase{"top and bottom taller than the job", 12, 16, 720, 100, 64, {50, 52, 0, 0}, {0, 0, 0, 0}, kStatusBadArgument, {}, {}}),
    [](const ::testing::TestParamInfo<EdgeCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(EngineTest, StepsBeyondTheFourthAreRefused) {
  RasterJob job = SampleJob();
  job.edge_mask = 1;
  ASSERT_EQ(Create(job), kStatusOk);
  ASSERT_EQ(ThroughMatrix().status, kStatusOk);
  ASSERT_EQ(Step(::testkit::BuildDotCurveTable({})).id, 734u);
  // A failed step 4 leaves the engine incomplete; a fifth call is past the sequence.
  engine_->job.edge_unit = 3;
  EXPECT_EQ(Step(::testkit::BuildDotCurveTable({})).status, kStatusBadResource);
  EXPECT_EQ(Step(::testkit::BuildDotCurveTable({})).status, kStatusBadResource);
  EXPECT_EQ(engine_->step, 5u);
  EXPECT_EQ(engine_->ready, 0u);
}

}  // namespace
}  // namespace tonvar::multi_level
