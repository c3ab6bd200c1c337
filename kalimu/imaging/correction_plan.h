// What a photo correction will do (the plan), what the picture is like (the statistics) and
// the targets the plan selects (the parameters), with the row description they are made for.
#pragma once

#include <cstdint>

#include "kalimu/imaging/image_records.h"

namespace kalimu::imaging {

// Inner statuses of the planning and table layers; they never leave the engine.
enum InnerStatus : int32_t {
  kInnerOk = 0,
  kInnerBadRow = 1102,         // no row description, or a row flag other than 0, 1, 2
  kInnerNoParameters = 1103,
  kInnerNoRange = 1104,        // the light and dark estimates leave no range; no statistics
  kInnerNoPlan = 1105,
  kInnerNoAmounts = 1106,
  kInnerTablesNoMemory = 1200,
  kInnerTablesNoAmounts = 1202,
  kInnerTablesNoTables = 1203,
  kInnerTablesBadRow = 1204,
};

// The working rows the engine corrects: what the planner and the table builder are told.
struct RowLayout {
  int32_t bytes_per_row;       // 3 * Width
  int32_t flag;                // 1 in this engine (selects the mean targets)
  int32_t bits_per_channel;    // 8
  int32_t channel_order;       // 0: red, green, blue
  int32_t zero[2];
  int32_t width;
  int32_t height;
  int32_t width_again;
  int32_t height_again;
  const void* shooting_record;    // outside records the planner consults when present; the
  const void* adjustment_record;  // engine never sets them
};

// Items: 0 off, else a small kind number.
struct CorrectionPlan {
  int32_t scene_kind;
  int32_t strength;          // fifths, 5 = full
  int32_t brightness_scale;  // fifths
  int32_t levels;
  int32_t brightness;
  int32_t gamma;
  int32_t balance;
  int32_t saturation;
  int32_t sharpness;
  int32_t noise;
  int32_t green;
  int32_t blue;
  int32_t skin;
  int32_t red;
  int32_t tone_kind;         // 0 colour; 1..5 monochrome with a tint
  int32_t scene_flag;
  int32_t memory_colour;
};
static_assert(sizeof(CorrectionPlan) == 17 * 4);

// Scene kind 255 keeps every item but copies brightness into gamma.
constexpr int32_t kSceneKeep = 255;
constexpr int32_t kSceneSample = 2;  // the scene kind every correction of this engine uses

// A colour sample of the picture: mean red, green, blue of a zone and how many cells it covers.
struct ColourSample {
  int32_t level;  // leading level word; not read by the planner
  int32_t red;
  int32_t green;
  int32_t blue;
  int32_t count;
};

// The picture's statistics. The engine does not measure pictures: create loads the record
// describing the dialog's sample picture.
struct ImageStatistics {
  int32_t validity;        // bit 0: statistics present
  int32_t black_level;
  int32_t white_level;
  int32_t shadow_level;
  int32_t highlight_mean;
  int32_t highlight_mean_channel[3];
  int32_t mean_level;
  ColourSample green_sample;
  ColourSample blue_sample;
  ColourSample skin_sample;
  ColourSample red_sample;
  int32_t saturation_level;
  int32_t detail_level;
  int32_t edge_level;
  int32_t exposure_hint;
  int32_t flash_level;
  uint8_t region_mask;
  int32_t memory_sample_count;
  int32_t memory_sample_kind[8];
  int32_t memory_sample_weight[8];
  double exposure_value;
  int32_t shooting_present;
  double shooting_value;
  int32_t black_level_channel[3];
  int32_t white_level_channel[3];
};

// The statistics record of the sample picture.
ImageStatistics DefaultImageStatistics();

// Targets and limits of the planner, from a default set chosen over by the plan.
struct CorrectionParameters {
  uint8_t options;             // bit 1: alternative default set (never set here)
  int32_t output_black;
  int32_t output_white;
  int32_t mean_target;
  int32_t contrast_strength;
  int32_t balance_strength;
  int32_t green_target[3];
  int32_t blue_target[3];
  int32_t skin_target[3];
  int32_t saturation_target;
  int32_t green_strength;      // percent
  int32_t blue_strength;
  int32_t skin_strength;
  int32_t sharpness_target;
  int32_t edge_divisor;
  int32_t shadow_target;
  int32_t green_offset[3];
  int32_t blue_offset[3];
  int32_t red_offset[3];
  int32_t scene_thresholds[6];
  const void* override_record;
  uint32_t flags;              // bit 0 monochrome, bit 1 memory-colour regions present
};
constexpr uint32_t kParamMonochrome = 1u << 0;
constexpr uint32_t kParamMemoryRegions = 1u << 1;

// Replacement statistics and amounts; empty unless its presence byte is set. This engine only
// ever merges an empty one.
struct PhotoCorrectOverride {
  uint8_t present;
};

// Fills the plan's items from a scene preset; strength and brightness scale become 5.
void ApplyScenePreset(CorrectionPlan* plan, int32_t scene_kind);

// The tone kind that the settings' mode chooses (other items come from the scene preset).
void MapSettingsToPlan(const CorrectionSettings& settings, CorrectionPlan* plan);

// Defaults, then the plan's choices; the monochrome flag from the tone kind; no override.
int32_t FillCorrectionParameters(const RowLayout* row, const CorrectionPlan* plan,
                                 CorrectionParameters* parameters);

// An empty override replaces nothing and clears the parameters' override pointer.
int32_t MergeCorrectionOverride(CorrectionParameters* parameters, const PhotoCorrectOverride* override);

// The planner's first step: the scene kind is never 1 here, so this clears the scene flag and
// the memory-colour item; a gamma item with a negative exposure hint turns the noise item to 2.
void DetectScene(const ImageStatistics& statistics, CorrectionPlan* plan);

}  // namespace kalimu::imaging
