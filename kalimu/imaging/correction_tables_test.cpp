// Table builder: identity tables, zone curves, channel positions and its failures.
#include "kalimu/imaging/correction_tables.h"

#include <gtest/gtest.h>

#include "kalimu/imaging/image_memory.h"

namespace kalimu::imaging {
namespace {

struct Build {
  RowLayout row{};
  CorrectionParameters parameters{};
  CorrectionAmounts amounts{};
  CorrectionTables tables{};
  Build() {
    row.flag = 1;
    row.bits_per_channel = 8;
  }
  ~Build() { FreeCorrectionTables(&tables); }
  int32_t Run() { return BuildCorrectionTables(&row, &parameters, &amounts, &tables); }
};

void ExpectIdentity(const int32_t* curve, const char* what) {
  for (int i = 0; i < 256; ++i) ASSERT_EQ(curve[i], 4 * i) << what << " " << i;
}

TEST(CorrectionTables, ZeroAmountsGiveIdentityCurves) {
  Build build;
  build.amounts.skin_spare = 9;  // spares are not amounts of a zone
  ASSERT_EQ(build.Run(), kInnerOk);
  const CorrectionTables& t = build.tables;
  for (int group = 0; group < kCurveGroups; ++group) {
    for (int c = 0; c < 3; ++c) ExpectIdentity(t.curves[group][c], "curve");
  }
  for (int k = 0; k < 4; ++k) EXPECT_EQ(t.saturation_factor[k], 0);
  EXPECT_EQ(t.zone_flags, 0u);
  EXPECT_EQ(t.mono_weight[0], 38);
  EXPECT_EQ(t.mono_weight[1], 76);
  EXPECT_EQ(t.mono_weight[2], 14);
  EXPECT_EQ(t.row_counter, 0);
}

TEST(CorrectionTables, ZoneCurvesOnlyForZonesWithAnAmount) {
  struct Case { int32_t CorrectionAmounts::*spare; int group; uint32_t flag; int32_t key; } cases[] = {
      {&CorrectionAmounts::skin_spare, kSkinCurves, kZoneSkin, 192},
      {&CorrectionAmounts::green_spare, kGreenCurves, kZoneGreen, 64},
      {&CorrectionAmounts::blue_spare, kBlueCurves, kZoneBlue, 192},
      {&CorrectionAmounts::red_spare, kRedCurves, kZoneRed, 128},
  };
  for (const auto& c : cases) {
    Build build;
    // The zone's triple follows its spare word.
    int32_t* triple = &(build.amounts.*c.spare) + 1;
    triple[0] = 10;  // red moves, green and blue stay
    ASSERT_EQ(build.Run(), kInnerOk);
    EXPECT_EQ(build.tables.zone_flags, c.flag);
    const int32_t* const* curves = build.tables.curves[c.group];
    EXPECT_EQ(curves[0][c.key], 4 * c.key + 40) << c.key;
    EXPECT_EQ(curves[0][0], 0);
    EXPECT_EQ(curves[0][255], 1020);
    ExpectIdentity(curves[1], "unmoved channel");
    for (int other = 1; other < kCurveGroups; ++other) {
      if (other != c.group) ExpectIdentity(build.tables.curves[other][0], "other zone");
    }
  }
}

TEST(CorrectionTables, SaturationFactorsAndWeights) {
  Build build;
  build.amounts.saturation = 50;
  build.amounts.saturation_channel[0] = 10;
  build.amounts.saturation_channel[1] = -10;
  build.amounts.saturation_channel[2] = 1;
  build.amounts.tone_weight[0] = -57;
  build.amounts.tone_weight[1] = 2;
  build.amounts.tone_weight[2] = 52;
  ASSERT_EQ(build.Run(), kInnerOk);
  EXPECT_EQ(build.tables.saturation_factor[0], 64);   // (6400 + 50) / 100
  EXPECT_EQ(build.tables.saturation_factor[1], 13);   // 1330 / 100
  EXPECT_EQ(build.tables.saturation_factor[2], -12);  // -1230 / 100 toward zero
  EXPECT_EQ(build.tables.saturation_factor[3], 1);
  EXPECT_EQ(build.tables.mono_weight[0], -19);
  EXPECT_EQ(build.tables.mono_weight[1], 78);
  EXPECT_EQ(build.tables.mono_weight[2], 66);
}

TEST(CorrectionTables, ChannelPositionsByOrder) {
  struct Case { int32_t order, bits, red, green, blue, step; } cases[] = {
      {0, 8, 0, 1, 2, 3}, {1, 8, 2, 1, 0, 3}, {2, 8, 1, 2, 3, 4}, {3, 8, 2, 1, 0, 4},
      {4, 8, 3, 2, 1, 4}, {0, 16, 0, 1, 2, 6},
  };
  for (const Case& c : cases) {
    Build build;
    build.row.channel_order = c.order;
    build.row.bits_per_channel = c.bits;
    ASSERT_EQ(build.Run(), kInnerOk);
    EXPECT_EQ(build.tables.red_position, c.red) << c.order;
    EXPECT_EQ(build.tables.green_position, c.green) << c.order;
    EXPECT_EQ(build.tables.blue_position, c.blue) << c.order;
    EXPECT_EQ(build.tables.pixel_step, c.step) << c.order;
  }
}

TEST(CorrectionTables, BaseCurveOfTheSampleAmounts) {
  Build build;
  build.amounts.black = -5;
  build.amounts.brightness = 11;
  build.amounts.gamma = 12;
  build.amounts.channel_offset[2] = -25;
  ASSERT_EQ(build.Run(), kInnerOk);
  const int32_t* red = build.tables.curves[kBaseCurves][0];
  const int32_t* blue = build.tables.curves[kBaseCurves][2];
  // The stretch lifts the dark end by 4.9 levels; the top stays at 1020.
  EXPECT_EQ(red[0], 16);
  EXPECT_EQ(red[255], 1020);
  for (int i = 1; i < 256; ++i) ASSERT_GE(red[i], red[i - 1]) << i;
  // The offset moves the whole ten-bit curve by 4 * offset, limited at 0.
  EXPECT_EQ(blue[0], 0);
  EXPECT_EQ(blue[128], red[128] - 100);
  EXPECT_EQ(blue[255], 920);
}

TEST(TenBitCurve, RisingPartFromTheKeyPointsOn) {
  int32_t t[256];
  int32_t out[256];
  // A late rise: the flat start counts at most 127 levels, so the spline starts at 127 and
  // follows the curve (the key points' values on it), rather than falling back to 4 i.
  for (int i = 0; i < 256; ++i) t[i] = i < 200 ? 0 : i;
  TenBitCurve(t, out);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[127], 0);
  EXPECT_EQ(out[192], 0);
  EXPECT_EQ(out[255], 1020);
  // A straight 8-bit curve gives its ten-bit straight line.
  for (int i = 0; i < 256; ++i) t[i] = i;
  TenBitCurve(t, out);
  ExpectIdentity(out, "straight");
  // Flat ends are skipped: the spline runs between the ends of the flat parts (20 and 236)
  // and continues in straight lines beyond them.
  for (int i = 0; i < 256; ++i) t[i] = i < 20 ? 10 : (i > 235 ? 230 : i - 10);
  TenBitCurve(t, out);
  EXPECT_EQ(out[20], 40);
  EXPECT_EQ(out[19], 36);  // 40 - (216 - 40) / 44
  EXPECT_EQ(out[236], 920);
  EXPECT_EQ(out[128], 4 * 118);
}

TEST(CorrectionTables, Refusals) {
  Build build;
  EXPECT_EQ(BuildCorrectionTables(nullptr, &build.parameters, &build.amounts, &build.tables), kInnerTablesBadRow);
  EXPECT_EQ(BuildCorrectionTables(&build.row, &build.parameters, nullptr, &build.tables), kInnerTablesNoAmounts);
  EXPECT_EQ(BuildCorrectionTables(&build.row, &build.parameters, &build.amounts, nullptr), kInnerTablesNoTables);
  build.row.flag = 3;
  EXPECT_EQ(build.Run(), kInnerTablesBadRow);
  build.row.flag = 1;
  build.row.channel_order = 5;
  EXPECT_EQ(build.Run(), kInnerTablesBadRow);
}

#ifdef KALIMU_IMAGING_FAULT_SEAMS
TEST(CorrectionTables, AFailedCurveBlockFreesEveryBlock) {
  for (int nth : {1, 7, 15}) {
    faults::ScopedReset reset;
    Build build;
    build.amounts.skin_zone[0] = 5;
    faults::FailNthAlloc(nth, 256 * sizeof(int32_t));
    EXPECT_EQ(build.Run(), kInnerTablesNoMemory) << nth;
    EXPECT_EQ(faults::BlocksLive(), 0) << nth;
    for (const auto& group : build.tables.curves) {
      for (const int32_t* curve : group) EXPECT_EQ(curve, nullptr);
    }
  }
}
#endif

}  // namespace
}  // namespace kalimu::imaging
