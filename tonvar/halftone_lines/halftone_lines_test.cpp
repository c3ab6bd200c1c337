// Line helpers shared by the halftoning engines: matrix layouts and phases, zones and their
// plans, replication patterns, breakpoint interpolation and plane pointers.
#include <gtest/gtest.h>

#include <vector>

#include "tonvar/halftone_lines/line_tables.h"
#include "tonvar/halftone_lines/line_zones.h"
#include "tonvar/halftone_lines/matrix_layout.h"

namespace tonvar::halftone_lines {
namespace {

std::vector<uint8_t> PlainBlock(uint32_t count) {
  return {'0', '1', '2', '3', uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24)};
}

TEST(MatrixLayoutTest, PlainBlocksGiveFixedLayoutsForFourToSevenInks) {
  MatrixLayout layout{};
  ASSERT_EQ(SetMatrixLayout(&layout, PlainBlock(kMatrixCount512).data(), 4), kStatusOk);
  EXPECT_EQ(layout.width, 512);
  EXPECT_EQ(layout.height, 256);
  EXPECT_EQ(layout.sample_bytes_a + layout.sample_bytes_b, 2);
  EXPECT_EQ(layout.layout_flag, 3);
  const MatrixPhase wide4[4] = {{128, 64}, {384, 36}, {256, 32}, {0, 0}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(layout.ink_phase[k].x, wide4[k].x);
    EXPECT_EQ(layout.ink_phase[k].y, wide4[k].y);
  }
  ASSERT_EQ(SetMatrixLayout(&layout, PlainBlock(kMatrixCount256).data(), 6), kStatusOk);
  EXPECT_EQ(layout.width, 256);
  EXPECT_EQ(layout.ink_phase[6].x, 192);
  EXPECT_EQ(layout.ink_phase[6].y, 96);
  for (int inks : {5, 8}) EXPECT_EQ(SetMatrixLayout(&layout, PlainBlock(kMatrixCount256).data(), inks), kStatusBadResource);
  EXPECT_EQ(SetMatrixLayout(&layout, PlainBlock(0x10001).data(), 4), kStatusBadResource);
}

TEST(MatrixLayoutTest, ShapesTheCellWalkCanUse) {
  EXPECT_TRUE(MatrixShapeValid(256, 256));
  EXPECT_TRUE(MatrixShapeValid(2, 2));
  EXPECT_FALSE(MatrixShapeValid(0, 2));
  EXPECT_FALSE(MatrixShapeValid(4, -2));
  EXPECT_FALSE(MatrixShapeValid(4, 3));
  EXPECT_FALSE(MatrixShapeValid(6, 2));
  EXPECT_TRUE(MatrixShapeValid(4096, 4096));
  EXPECT_FALSE(MatrixShapeValid(8192, 4096));
}

TEST(MatrixLayoutTest, PhasesWrapLeftwardsTwoLinesUpPerTurn) {
  MatrixLayout layout{};
  layout.width = 256;
  layout.height = 256;
  layout.ink_phase[0] = {-1, 0};   // x phase + x = -1: two widths on, two lines up
  layout.ink_phase[1] = {10, 3};
  layout.ink_phase[2] = {300, 0};  // one width on: two rows down
  int32_t phases[kMatrixInks];
  ComputeMatrixPhases(phases, layout, 0, 5);
  EXPECT_EQ(phases[0], ((5 - 2 + 2) & 254) * 256 + 2 * 255 - 4);
  EXPECT_EQ(phases[1], ((3 + 5) & 254) * 256 + 2 * 10 - 4);
  EXPECT_EQ(phases[2], ((2 + 5) & 254) * 256 + 2 * 44 - 4);
  ComputeMatrixPhases(phases, layout, 0, -3);  // rows below 0 are raised by the height
  EXPECT_EQ(phases[1], (256 & 254) * 256 + 16);
  EXPECT_EQ(phases[3], 252 * 256 - 4);
  ComputeMatrixPhases(phases, layout, -1000000, 0);  // far to the left, no long walk
  EXPECT_GE(phases[0], -4);
  EXPECT_LT(phases[0], 256 * 256);
  layout.width = 0;  // no shape: no walk at all
  ComputeMatrixPhases(phases, layout, -5, 0);
  EXPECT_EQ(phases[0], 0);
}

TEST(LineZonesTest, ZonesOfALineWithEdgesAndTransitions) {
  HorizontalZone zones[kZoneCount];
  SetupHorizontalZones(zones, 99, 4, 6, 10, 8);
  const HorizontalZone expected[kZoneCount] = {
      {0, 4, 4, 1}, {4, 14, 10, 0}, {14, 86, 72, 1}, {86, 94, 8, 0}, {94, 100, 6, 1}};
  for (int z = 0; z < kZoneCount; ++z) {
    EXPECT_EQ(zones[z].start, expected[z].start) << z;
    EXPECT_EQ(zones[z].end, expected[z].end) << z;
    EXPECT_EQ(zones[z].width, expected[z].width) << z;
    EXPECT_EQ(zones[z].plain, expected[z].plain) << z;
  }
  SetupHorizontalZones(zones, 20, 4, 4, 10, 10);  // the centre would start after its end
  EXPECT_EQ(zones[kCentre].start, 0);
  EXPECT_EQ(zones[kCentre].end, 0);
  EXPECT_EQ(zones[kCentre].plain, 1);
}

TEST(LineZonesTest, PlansCutTheZonesToTheSpan) {
  HorizontalZone zones[kZoneCount], plan[kZoneCount];
  SetupHorizontalZones(zones, 20, 0, 0, 0, 0);  // the whole line in the centre
  struct Case {
    int32_t x, end;
    EngineStatus status;
    int32_t centre_start, centre_end;
  };
  const Case cases[] = {{3, 8, kStatusOk, 3, 9}, {3, 7, kStatusOk, 3, 7}, {0, 0, kStatusBadResource, 0, 0},
                        {20, 22, kStatusBadResource, 0, 0}, {-1, 4, kStatusBadResource, 0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(PlanLineZones(plan, zones, c.x, c.end), c.status) << c.x << ' ' << c.end;
    if (c.status != kStatusOk) continue;
    EXPECT_EQ(plan[kCentre].start, c.centre_start);
    EXPECT_EQ(plan[kCentre].end, c.centre_end);
  }

  // Edges and transitions: the span from inside the left transition to inside the right edge.
  SetupHorizontalZones(zones, 100, 4, 6, 10, 8);
  ASSERT_EQ(PlanLineZones(plan, zones, 7, 97), kStatusOk);
  EXPECT_EQ(plan[kLeftEdge].start, 0);
  EXPECT_EQ(plan[kLeftEdge].end, 0);
  EXPECT_EQ(plan[kLeftTransition].start, 7);
  EXPECT_EQ(plan[kLeftTransition].end, 15);  // odd length 7 grows by one ...
  EXPECT_EQ(plan[kCentre].start, 15);        // ... and moves the later zones right
  EXPECT_EQ(plan[kCentre].end, 87);
  EXPECT_EQ(plan[kRightEdge].start, 95);
  EXPECT_EQ(plan[kRightEdge].end, 99);

  // Overlapping transitions meet at their even midpoint.
  SetupHorizontalZones(zones, 40, 2, 2, 25, 25);
  ASSERT_EQ(PlanLineZones(plan, zones, 0, 40), kStatusOk);
  EXPECT_EQ(plan[kLeftTransition].end, 20);
  EXPECT_EQ(plan[kRightTransition].start, 20);
}

TEST(LineTablesTest, ReplicationPatterns) {
  struct Case {
    int32_t code;
    std::vector<int32_t> steps;
  };
  const Case cases[] = {{0, {2, 2, 2, 2}},    {1, {1, 1, 1, 1}},    {2, {0, 1, 1}},     {3, {0, 1, 0, 1}},
                        {7, {0, 0, 0, 1}},    {15, {0, 0, 0, 0, 0, 0, 0, 1}},         {4, {}},
                        {14, {}},             {-1, {}},             {16, {}}};
  for (const Case& c : cases) {
    int32_t pattern[kPatternLength];
    GetReplicationPattern(c.code, pattern);
    std::vector<int32_t> expected = c.steps;
    expected.resize(kPatternLength, -1);
    EXPECT_EQ(std::vector<int32_t>(pattern, pattern + kPatternLength), expected) << c.code;
  }
}

TEST(LineTablesTest, BreakpointInterpolation) {
  uint32_t out[256];
  const int32_t x[] = {0, 255}, y[] = {0, 255};
  ASSERT_TRUE(InterpolateBreakpoints(out, x, y, 2));
  for (uint32_t i : {0u, 1u, 128u, 255u}) EXPECT_EQ(out[i], 4 * i);
  // A value on a breakpoint stays in the lower segment.
  const int32_t x2[] = {0, 1, 3, 6, 12, 13, 255}, y2[] = {89, 89, 148, 170, 254, 170, 642};
  ASSERT_TRUE(InterpolateBreakpoints(out, x2, y2, 2));
  const uint32_t expected[] = {356, 356, 474, 592, 621};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(out[i], expected[i]) << i;
  EXPECT_EQ(out[12], 1016u);
  EXPECT_EQ(out[13], 680u);
  const int32_t bad_end[] = {0, 254}, falling[] = {0, 9, 9, 255}, four[] = {1, 2, 3, 4};
  EXPECT_FALSE(InterpolateBreakpoints(out, bad_end, y, 2));
  EXPECT_FALSE(InterpolateBreakpoints(out, falling, four, 2));
  EXPECT_FALSE(InterpolateBreakpoints(out, x, four, 2));
}

TEST(LineTablesTest, PlanePointers) {
  uint8_t row0[64], row1[64];
  uint8_t* rows[2] = {row0, row1};
  uint8_t* pointers[kMaxPlanePointers];
  SetupPlanePointers(pointers, rows, 8, 2, 6);
  EXPECT_EQ(pointers[2 * 5], row0 + 40);
  EXPECT_EQ(pointers[2 * 5 + 1], row1 + 40);
  EXPECT_EQ(pointers[2 * 6], nullptr);
  SetupPlanePointers(pointers, rows, 8, 1, 8);
  EXPECT_EQ(pointers[2 * 7], row0 + 56);
  EXPECT_EQ(pointers[2 * 7 + 1], row0 + 56);
  SetupPlanePointers(pointers, rows, 8, 2, 5);
  for (uint8_t* p : pointers) EXPECT_EQ(p, nullptr);
}

}  // namespace
}  // namespace tonvar::halftone_lines
