// The planner: correction amounts from the plan, the statistics and the parameters.
#pragma once

#include <cstdint>

#include "kalimu/imaging/correction_plan.h"

namespace kalimu::imaging {

// A memory-colour region: kind, hue, saturation and value centres, widths and shifts.
struct MemoryColourRegion {
  int32_t words[16];
};

// Signed amounts of one correction; per-channel triples red, green, blue.
struct CorrectionAmounts {
  int32_t black;
  int32_t black_channel[3];
  int32_t white;
  int32_t white_channel[3];
  int32_t contrast;
  int32_t brightness;
  int32_t balance_spare;
  int32_t highlight_balance[3];   // shift of each channel's curve at 192
  int32_t offset_spare;
  int32_t channel_offset[3];      // constant added to each channel's curve
  int32_t saturation;
  int32_t saturation_channel[3];  // percent change of the colour difference
  int32_t sharpness_amount;
  int32_t sharpness_radius;
  int32_t green_spare;
  int32_t green_zone[3];          // shift at 64 of the green pixels' curves
  int32_t blue_spare;
  int32_t blue_zone[3];           // shift at 192 of the blue pixels' curves
  int32_t skin_spare;
  int32_t skin_zone[3];           // shift at 192 of the warm pixels' curves
  int32_t red_spare;
  int32_t red_zone[3];            // shift at 128 of the red pixels' curves
  int32_t gamma;                  // hundredths
  int32_t noise_class;
  int32_t tone_spare;
  int32_t tone_weight[3];         // added to the monochrome weights 38, 76, 14
  int32_t region_count;
  int32_t outside_region_count;
  MemoryColourRegion regions[8];
  uint8_t zone_counts[3];
  uint8_t region_mask;
};

// Three 8-bit curves, one per channel, that predict the tone correction.
struct PreviewCurves {
  uint8_t channel[3][256];
};

// Runs the planner: 1105, 1102, 1103, 1104, 1106 for a missing plan, row description,
// parameters, statistics or amounts; 1104 when the picture's estimated range is empty (the
// amounts keep what the earlier steps wrote); else 0. Refills the parameters from the plan.
int32_t PlanCorrection(const RowLayout* row, CorrectionParameters* parameters, CorrectionPlan* plan,
                       const ImageStatistics* statistics, CorrectionAmounts* amounts);

// The correction pass's adjustment after planning: noise class by Option (0 → 0, 2 → 5), and
// the sharpness amount by the sharpness item (0 for item 0, +15 for item 4).
void AdjustNoiseAndSharpness(const CorrectionSettings& settings, const CorrectionPlan& plan,
                             CorrectionAmounts* amounts);

}  // namespace kalimu::imaging
