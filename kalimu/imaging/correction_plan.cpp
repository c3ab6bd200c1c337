// Scene presets, the sample picture's statistics and the planner's parameters.
#include "kalimu/imaging/correction_plan.h"

#include <array>

namespace kalimu::imaging {
namespace {

constexpr int32_t kKeep = -1;      // preset leaves the item as it was
constexpr int32_t kAsBright = -2;  // gamma item takes the brightness item's value

// Items of a preset in plan order: levels, brightness, gamma, balance, saturation, sharpness,
// noise, green, blue, skin, red.
struct ScenePreset {
  int32_t kind;
  int32_t items[11];
};
constexpr int32_t kPresetDefaultRow = 13;  // scene kind 1 and every kind without a row
constexpr std::array<ScenePreset, 14> kScenePresets{{
    {0, {0, 0, kAsBright, 0, 0, 0, 0, 0, 0, 0, 0}},
    {2, {2, 4, kAsBright, 3, 2, 2, 0, 0, 0, 2, 0}},
    {3, {4, 2, kAsBright, 3, 4, 4, 0, 2, 2, 0, 0}},
    {4, {3, 0, 0, 1, 3, 2, 2, 0, 0, 0, 2}},
    {5, {3, 1, 1, 0, 3, 3, 2, 0, 0, 0, 0}},
    {6, {2, 4, 4, 1, 4, 3, 0, 2, 0, 0, 0}},
    {7, {4, 3, kAsBright, 1, 3, 5, 0, 0, 0, 0, 0}},
    {8, {5, 3, kAsBright, 3, 4, 5, 0, 0, 0, 0, 0}},
    {9, {2, 5, kAsBright, 3, 3, 3, 0, 0, 0, 0, 0}},
    {10, {3, 3, 3, 3, 4, 4, 0, 0, 0, 0, 2}},
    {11, {3, 4, kAsBright, 3, 3, 4, 0, 0, 0, 2, 0}},
    {12, {4, 3, 3, 2, 3, 3, 4, 4, 4, 4, 4}},
    {kSceneKeep, {kKeep, kKeep, kAsBright, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep, kKeep}},
    {1, {3, 3, kAsBright, 3, 3, 3, 0, 0, 0, 0, 0}},
}};
static_assert(kScenePresets[kPresetDefaultRow].kind == 1);

int32_t* PresetItem(CorrectionPlan* plan, int index) {
  int32_t* items[11] = {&plan->levels, &plan->brightness, &plan->gamma,  &plan->balance,
                        &plan->saturation, &plan->sharpness, &plan->noise, &plan->green,
                        &plan->blue,     &plan->skin,       &plan->red};
  return items[index];
}

// A choice row: the field's value for items 0 to 5.
using ChoiceRow = std::array<int32_t, 6>;
constexpr ChoiceRow kContrastStrength{0, 0, 2, 4, 8, 16};
constexpr ChoiceRow kMeanTargetFlag1{202, 105, 120, 145, 168, 202};
constexpr ChoiceRow kMeanTargetFlag0{128, 86, 102, 128, 153, 192};
constexpr ChoiceRow kSaturationTarget{0, 96, 112, 128, 144, 160};
constexpr ChoiceRow kBalanceStrength{0, 4, 2, 4, 6, 4};
constexpr ChoiceRow kSharpnessTarget{0, 75, 100, 150, 200, 300};

// An item outside 0..5 leaves the field as it was.
bool Choose(const ChoiceRow& row, int32_t item, int32_t* field) {
  if (item < 0 || item > 5) return false;
  *field = row[size_t(item)];
  return true;
}

}  // namespace

void ApplyScenePreset(CorrectionPlan* plan, int32_t scene_kind) {
  size_t row = kPresetDefaultRow;
  for (size_t i = 0; i < kScenePresets.size(); ++i) {
    if (kScenePresets[i].kind == scene_kind) row = i;
  }
  plan->strength = 5;
  plan->brightness_scale = 5;
  for (int i = 0; i < 11; ++i) {
    const int32_t value = kScenePresets[row].items[i];
    if (value >= 0) *PresetItem(plan, i) = value;
  }
  // Gamma follows brightness after the brightness item is settled.
  if (kScenePresets[row].items[2] == kAsBright) plan->gamma = plan->brightness;
}

void MapSettingsToPlan(const CorrectionSettings& settings, CorrectionPlan* plan) {
  if (settings.Class == kSampleClass) {
    switch (settings.Mode) {
      case 3: plan->tone_kind = 3; break;
      case 6: plan->tone_kind = 0; break;
      case 7: plan->tone_kind = 1; break;
      case 8: plan->tone_kind = 4; break;
      case 9: plan->tone_kind = 5; break;
      default: break;
    }
    return;
  }
  switch (settings.Mode) {
    case 0: case 1: case 2: case 5: plan->tone_kind = 0; break;
    case 3: plan->tone_kind = 2; break;
    case 4: plan->tone_kind = 1; break;
    default: break;
  }
}

ImageStatistics DefaultImageStatistics() {
  ImageStatistics s{};
  s.validity = 3;
  s.black_level = 2;
  s.white_level = 255;
  s.shadow_level = 69;
  s.highlight_mean = 191;
  s.highlight_mean_channel[0] = 188;
  s.highlight_mean_channel[1] = 195;
  s.highlight_mean_channel[2] = 190;
  s.mean_level = 131;
  s.green_sample = {126, 119, 135, 103, 3};
  s.blue_sample = {193, 175, 199, 215, 0};
  s.skin_sample = {182, 218, 173, 136, 49};
  s.red_sample = {115, 168, 98, 70, 1};
  s.saturation_level = 135;
  s.detail_level = 22;
  s.edge_level = 27;
  s.exposure_hint = 0;
  s.flash_level = 0;
  s.region_mask = 3;
  s.memory_sample_count = 4;
  const int32_t kinds[8] = {6, 1, 2, -1, -1, -1, -1, -1};
  const int32_t weights[8] = {68, 18, 16, 0, 0, 0, 0, 0};
  for (int i = 0; i < 8; ++i) {
    s.memory_sample_kind[i] = kinds[i];
    s.memory_sample_weight[i] = weights[i];
  }
  s.exposure_value = 0.0;
  s.shooting_present = 0;
  s.shooting_value = 0.0;
  const int32_t blacks[3] = {2, 3, 3};
  const int32_t whites[3] = {253, 248, 255};
  for (int c = 0; c < 3; ++c) {
    s.black_level_channel[c] = blacks[c];
    s.white_level_channel[c] = whites[c];
  }
  return s;
}

int32_t FillCorrectionParameters(const RowLayout* row, const CorrectionPlan* plan,
                                 CorrectionParameters* parameters) {
  if (parameters == nullptr) return kInnerNoParameters;
  if (row == nullptr) return kInnerBadRow;
  if (plan == nullptr) return kInnerNoPlan;
  CorrectionParameters& p = *parameters;
  const uint8_t options = p.options;
  p = CorrectionParameters{};
  p.options = options;
  p.output_black = 0;
  p.output_white = 255;
  p.mean_target = 120;
  p.contrast_strength = 4;
  p.balance_strength = 4;
  p.green_target[0] = 0, p.green_target[1] = 192, p.green_target[2] = 32;
  p.blue_target[0] = 0, p.blue_target[1] = 32, p.blue_target[2] = 128;
  p.skin_target[0] = 230, p.skin_target[1] = 191, p.skin_target[2] = 184;
  p.saturation_target = 120;
  p.green_strength = 13;
  p.blue_strength = 13;
  p.skin_strength = 17;
  p.sharpness_target = 200;
  p.edge_divisor = 100;
  p.shadow_target = 64;
  const int32_t offsets[3][3] = {{-40, -30, -40}, {-15, -10, -10}, {-25, -50, -50}};
  for (int c = 0; c < 3; ++c) {
    p.green_offset[c] = offsets[0][c];
    p.blue_offset[c] = offsets[1][c];
    p.red_offset[c] = offsets[2][c];
  }
  const int32_t thresholds[6] = {24, 128, 122, 38, 79, 128};
  for (int i = 0; i < 6; ++i) p.scene_thresholds[i] = thresholds[i];

  // The alternative default set (options bit 1) is never selected by this engine.
  if (Choose(kContrastStrength, plan->levels, &p.contrast_strength)) {
    p.output_black = 0;
    p.output_white = 255;
  }
  int32_t status = kInnerOk;
  if (row->flag == 1) {
    Choose(kMeanTargetFlag1, plan->brightness, &p.mean_target);
  } else if (row->flag == 0 || row->flag == 2) {
    Choose(kMeanTargetFlag0, plan->brightness, &p.mean_target);
  } else {
    status = kInnerBadRow;
  }
  Choose(kSaturationTarget, plan->saturation, &p.saturation_target);
  Choose(kBalanceStrength, plan->balance, &p.balance_strength);
  Choose(kSharpnessTarget, plan->sharpness, &p.sharpness_target);

  p.flags = plan->tone_kind != 0 ? kParamMonochrome : 0;
  p.override_record = nullptr;
  return status;
}

int32_t MergeCorrectionOverride(CorrectionParameters* parameters, const PhotoCorrectOverride* override) {
  if (parameters == nullptr) return kInnerNoParameters;
  // Only empty overrides reach this engine: nothing to replace.
  (void)override;
  parameters->override_record = nullptr;
  return kInnerOk;
}

void DetectScene(const ImageStatistics& statistics, CorrectionPlan* plan) {
  plan->scene_flag = 0;
  plan->memory_colour = 0;
  if (plan->gamma != 0 && statistics.exposure_hint < 0) plan->noise = 2;
}

}  // namespace kalimu::imaging
