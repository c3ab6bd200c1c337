// Scene presets, the mode's tone kind and the parameters the plan chooses.
#include "kalimu/imaging/correction_plan.h"

#include <gtest/gtest.h>

namespace kalimu::imaging {
namespace {

CorrectionPlan MarkedPlan() {
  CorrectionPlan plan{};
  int32_t* items = &plan.levels;
  for (int i = 0; i < 11; ++i) items[i] = 10 + i;  // levels 10 ... red 20
  plan.tone_kind = 3;
  plan.scene_flag = 1;
  plan.memory_colour = 2;
  return plan;
}

TEST(ScenePreset, RowsFillTheItems) {
  struct Case { int32_t kind; int32_t items[11]; } cases[] = {
      // levels, brightness, gamma, balance, saturation, sharpness, noise, green, blue, skin, red
      {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {2, {2, 4, 4, 3, 2, 2, 0, 0, 0, 2, 0}},
      {4, {3, 0, 0, 1, 3, 2, 2, 0, 0, 0, 2}},
      {5, {3, 1, 1, 0, 3, 3, 2, 0, 0, 0, 0}},
      {6, {2, 4, 4, 1, 4, 3, 0, 2, 0, 0, 0}},
      {12, {4, 3, 3, 2, 3, 3, 4, 4, 4, 4, 4}},
      {1, {3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 0}},
      {77, {3, 3, 3, 3, 3, 3, 0, 0, 0, 0, 0}},  // unknown kinds take the row of kind 1
      // keep: only gamma changes, to the brightness item
      {kSceneKeep, {10, 11, 11, 13, 14, 15, 16, 17, 18, 19, 20}},
  };
  for (const auto& c : cases) {
    CorrectionPlan plan = MarkedPlan();
    plan.strength = 1;
    plan.brightness_scale = 2;
    ApplyScenePreset(&plan, c.kind);
    const int32_t* items = &plan.levels;
    for (int i = 0; i < 11; ++i) EXPECT_EQ(items[i], c.items[i]) << "kind " << c.kind << " item " << i;
    EXPECT_EQ(plan.strength, 5) << c.kind;
    EXPECT_EQ(plan.brightness_scale, 5) << c.kind;
    // Tone kind and the two flags are not part of a preset.
    EXPECT_EQ(plan.tone_kind, 3);
    EXPECT_EQ(plan.scene_flag, 1);
    EXPECT_EQ(plan.memory_colour, 2);
  }
}

TEST(MapSettingsToPlan, ModeChoosesTheToneKind) {
  struct Case { int32_t cls, mode, tone_kind; } cases[] = {
      {3, 3, 3}, {3, 6, 0}, {3, 7, 1}, {3, 8, 4}, {3, 9, 5},
      {3, 0, 9}, {3, 1, 9}, {3, 2, 9}, {3, 4, 9}, {3, 5, 9}, {3, -1, 9},  // left as it was
      {0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {0, 5, 0}, {0, 3, 2}, {0, 4, 1},
      {1, 6, 9}, {1, 9, 9}, {1, -1, 9},
  };
  for (const Case& c : cases) {
    CorrectionPlan plan{};
    plan.tone_kind = 9;
    CorrectionSettings settings{kCorrectionSettingsSize, c.cls, c.mode, -1, 0, 0, 0, {}};
    MapSettingsToPlan(settings, &plan);
    EXPECT_EQ(plan.tone_kind, c.tone_kind) << "class " << c.cls << " mode " << c.mode;
  }
}

TEST(CorrectionParameters, ChoicesFollowThePlan) {
  RowLayout row{};
  row.flag = 1;
  struct Case { int32_t item; int32_t flag; int32_t mean, contrast, saturation, balance, sharpness; } cases[] = {
      {0, 1, 202, 0, 0, 0, 0},
      {3, 1, 145, 4, 128, 4, 150},
      {5, 1, 202, 16, 160, 4, 300},
      {3, 0, 128, 4, 128, 4, 150},
      {1, 0, 86, 0, 96, 4, 75},
      {6, 1, 120, 4, 120, 4, 200},  // outside 0..5: the defaults stay
  };
  for (const Case& c : cases) {
    CorrectionPlan plan{};
    plan.levels = plan.brightness = plan.saturation = plan.balance = plan.sharpness = c.item;
    row.flag = c.flag;
    CorrectionParameters p{};
    EXPECT_EQ(FillCorrectionParameters(&row, &plan, &p), kInnerOk) << c.item;
    EXPECT_EQ(p.mean_target, c.mean) << c.item;
    EXPECT_EQ(p.contrast_strength, c.contrast) << c.item;
    EXPECT_EQ(p.saturation_target, c.saturation) << c.item;
    EXPECT_EQ(p.balance_strength, c.balance) << c.item;
    EXPECT_EQ(p.sharpness_target, c.sharpness) << c.item;
    EXPECT_EQ(p.output_black, 0);
    EXPECT_EQ(p.output_white, 255);
    EXPECT_EQ(p.shadow_target, 64);
    EXPECT_EQ(p.skin_target[0], 230);
    EXPECT_EQ(p.skin_strength, 17);
    EXPECT_EQ(p.flags, 0u);
  }
}

TEST(CorrectionParameters, ToneKindSetsMonochromeAndStatusesOfMissingRecords) {
  RowLayout row{};
  row.flag = 7;  // not 0, 1, 2: refused, but the flags and the pointer are still set
  CorrectionPlan plan{};
  plan.tone_kind = 4;
  CorrectionParameters p{};
  p.flags = 0xF0;
  int marker = 0;
  p.override_record = &marker;
  EXPECT_EQ(FillCorrectionParameters(&row, &plan, &p), kInnerBadRow);
  EXPECT_EQ(p.flags, kParamMonochrome);
  EXPECT_EQ(p.override_record, nullptr);
  plan.tone_kind = 0;
  row.flag = 1;
  p.flags = 0xF0;
  EXPECT_EQ(FillCorrectionParameters(&row, &plan, &p), kInnerOk);
  EXPECT_EQ(p.flags, 0u);

  EXPECT_EQ(FillCorrectionParameters(&row, &plan, nullptr), kInnerNoParameters);
  EXPECT_EQ(FillCorrectionParameters(nullptr, &plan, &p), kInnerBadRow);
  EXPECT_EQ(FillCorrectionParameters(&row, nullptr, &p), kInnerNoPlan);
  EXPECT_EQ(MergeCorrectionOverride(nullptr, nullptr), kInnerNoParameters);
  p.override_record = &marker;
  const PhotoCorrectOverride empty{};
  EXPECT_EQ(MergeCorrectionOverride(&p, &empty), kInnerOk);
  EXPECT_EQ(p.override_record, nullptr);
}

TEST(DetectScene, ClearsTheFlagsAndRaisesNoiseOnUnderexposure) {
  ImageStatistics statistics = DefaultImageStatistics();
  CorrectionPlan plan = MarkedPlan();
  plan.scene_kind = kSceneSample;
  DetectScene(statistics, &plan);
  EXPECT_EQ(plan.scene_flag, 0);
  EXPECT_EQ(plan.memory_colour, 0);
  EXPECT_EQ(plan.noise, 16);
  statistics.exposure_hint = -3;
  DetectScene(statistics, &plan);
  EXPECT_EQ(plan.noise, 2);
}

}  // namespace
}  // namespace kalimu::imaging
