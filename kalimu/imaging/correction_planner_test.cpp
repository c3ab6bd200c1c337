// The planner on the sample picture's statistics, and its steps' edge cases.
#include "kalimu/imaging/correction_planner.h"

#include <gtest/gtest.h>

namespace kalimu::imaging {
namespace {

// The records as a process call sets them up: scene kind 2 over the mode's tone kind.
struct Planning {
  RowLayout row{};
  CorrectionPlan plan{};
  CorrectionParameters parameters{};
  ImageStatistics statistics = DefaultImageStatistics();
  CorrectionAmounts amounts{};

  explicit Planning(int32_t tone_kind, int32_t scene_kind = kSceneSample) {
    row.flag = 1;
    row.bits_per_channel = 8;
    plan.tone_kind = tone_kind;
    plan.scene_kind = scene_kind;
    ApplyScenePreset(&plan, scene_kind);
  }
  int32_t Run() { return PlanCorrection(&row, &parameters, &plan, &statistics, &amounts); }
};

TEST(Planner, SampleStatisticsGiveGamma12AndBrightness11) {
  Planning planning(0);
  ASSERT_EQ(planning.Run(), kInnerOk);
  const CorrectionAmounts& a = planning.amounts;
  EXPECT_EQ(a.gamma, 12);
  EXPECT_EQ(a.brightness, 11);
  EXPECT_EQ(a.black, -5);
  EXPECT_EQ(a.white, 0);
  EXPECT_EQ(a.contrast, 0);       // the shadow level sits above its target
  EXPECT_EQ(a.saturation, 0);     // measured 131 against the target 112
  EXPECT_EQ(a.region_count, 0);
  EXPECT_EQ(a.region_mask, 3);
  // Skin zone: the sample's predicted value moved toward the skin target, 17 percent of it.
  EXPECT_EQ(a.skin_zone[0], 2);
  EXPECT_EQ(a.skin_zone[1], 1);
  EXPECT_EQ(a.skin_zone[2], 5);
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(a.green_zone[c], 0);  // item 0
    EXPECT_EQ(a.blue_zone[c], 0);   // count 0
    EXPECT_EQ(a.red_zone[c], 0);    // count 1
    EXPECT_EQ(a.highlight_balance[c], 0);  // the automatic balance rounds to nothing
  }
  EXPECT_EQ(planning.parameters.flags, 0u);
}

TEST(Planner, ToneKindsFixBalanceOffsetsAndWeights) {
  struct Case { int32_t tone_kind; int32_t balance[3]; int32_t offset[3]; int32_t weight[3]; } cases[] = {
      {1, {0, 0, 0}, {0, 0, 0}, {-57, 2, 52}},
      {2, {25, 0, -25}, {0, 0, 0}, {-57, 2, 52}},
      {3, {0, 0, 0}, {25, 0, -25}, {-57, 2, 52}},
      {4, {-6, 0, 6}, {0, 0, 0}, {-57, 2, 52}},
      {5, {4, -1, -3}, {0, 0, 0}, {-57, 2, 52}},
  };
  for (const auto& c : cases) {
    Planning planning(c.tone_kind);
    ASSERT_EQ(planning.Run(), kInnerOk) << c.tone_kind;
    for (int ch = 0; ch < 3; ++ch) {
      EXPECT_EQ(planning.amounts.highlight_balance[ch], c.balance[ch]) << c.tone_kind << " " << ch;
      EXPECT_EQ(planning.amounts.channel_offset[ch], c.offset[ch]) << c.tone_kind << " " << ch;
      // Weights from the skin sample: ((175 - skin) * 2 * 4 / 3) * 5 / 10.
      EXPECT_EQ(planning.amounts.tone_weight[ch], c.weight[ch]) << c.tone_kind << " " << ch;
    }
    EXPECT_EQ(planning.parameters.flags & kParamMonochrome, kParamMonochrome) << c.tone_kind;
  }
}

TEST(Planner, ExposureValueHalvesTheBrightnessPerStop) {
  // a = d0 - 128 R / 255 + 128 = -1 for the sample statistics; h = 11 before the exposure.
  struct Case { double exposure; int32_t brightness; } cases[] = {
      {1.0, 6},    // a * v < 0: a = 0; 0 + trunc(11 / 2 + 0.5)
      {-1.0, 5},   // a kept: -1 + trunc(11 / 2 + 0.5)
      {2.0, 3},    // 0 + trunc(11 / 4 + 0.5)
  };
  for (const auto& c : cases) {
    Planning planning(0);
    planning.statistics.exposure_value = c.exposure;
    ASSERT_EQ(planning.Run(), kInnerOk);
    EXPECT_EQ(planning.amounts.brightness, c.brightness) << c.exposure;
  }
}

TEST(Planner, SceneKind2AlwaysGivesBlackMinus5) {
  for (int32_t black_level : {0, 2, 40, 120}) {
    Planning planning(0);
    planning.statistics.black_level = black_level;
    planning.Run();
    EXPECT_EQ(planning.amounts.black, -5) << black_level;
  }
  Planning other(0, 3);
  other.statistics.black_level = 40;
  other.Run();
  EXPECT_EQ(other.amounts.black, 40);
}

TEST(Planner, Saturation) {
  struct Case { int32_t level; int32_t target_item; int32_t expected; } cases[] = {
      {135, 2, 0},   // target 112 below the measured 131
      {60, 5, 0},    // level below 64
      {135, 5, 14},  // (160 - 131) / 2
      {120, 5, 21},  // measured 250 * 120 / 256 = 117: (160 - 117) / 2
      {150, 4, 0},   // measured 146 against 144
  };
  for (const Case& c : cases) {
    Planning planning(0);
    planning.statistics.saturation_level = c.level;
    planning.plan.saturation = c.target_item;
    planning.Run();
    EXPECT_EQ(planning.amounts.saturation, c.expected) << c.level << " " << c.target_item;
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(planning.amounts.saturation_channel[ch], c.expected);
  }
}

TEST(Planner, NoRangeStopsWith1104) {
  Planning planning(0, 3);
  planning.statistics.white_level = 0;
  planning.statistics.black_level = 2;
  EXPECT_EQ(planning.Run(), kInnerNoRange);
}

TEST(Planner, StatisticsWithoutBit0LeaveAllAmountsZero) {
  Planning planning(3);
  planning.statistics.validity = 2;
  planning.amounts.gamma = 99;
  EXPECT_EQ(planning.Run(), kInnerOk);
  EXPECT_EQ(planning.amounts.gamma, 0);
  EXPECT_EQ(planning.amounts.channel_offset[0], 0);
}

TEST(Planner, MissingRecords) {
  Planning p(0);
  EXPECT_EQ(PlanCorrection(&p.row, &p.parameters, nullptr, &p.statistics, &p.amounts), kInnerNoPlan);
  EXPECT_EQ(PlanCorrection(nullptr, &p.parameters, &p.plan, &p.statistics, &p.amounts), kInnerBadRow);
  EXPECT_EQ(PlanCorrection(&p.row, nullptr, &p.plan, &p.statistics, &p.amounts), kInnerNoParameters);
  EXPECT_EQ(PlanCorrection(&p.row, &p.parameters, &p.plan, nullptr, &p.amounts), kInnerNoRange);
  EXPECT_EQ(PlanCorrection(&p.row, &p.parameters, &p.plan, &p.statistics, nullptr), kInnerNoAmounts);
}

TEST(Planner, NoiseAndSharpnessAdjustment) {
  struct Case { int32_t option, sharpness_item, noise, sharpness; } cases[] = {
      {0, 0, 0, 0}, {2, 4, 5, 18}, {1, 2, 3, 3},
  };
  for (const Case& c : cases) {
    CorrectionAmounts amounts{};
    amounts.noise_class = 3;
    amounts.sharpness_amount = 3;
    CorrectionPlan plan{};
    plan.sharpness = c.sharpness_item;
    CorrectionSettings settings{};
    settings.Option = c.option;
    AdjustNoiseAndSharpness(settings, plan, &amounts);
    EXPECT_EQ(amounts.noise_class, c.noise);
    EXPECT_EQ(amounts.sharpness_amount, c.sharpness);
  }
}

}  // namespace
}  // namespace kalimu::imaging
