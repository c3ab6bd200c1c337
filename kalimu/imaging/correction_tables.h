// The curves and factors that the per-pixel correction applies, built from the amounts.
#pragma once

#include <cstdint>

#include "kalimu/imaging/correction_plan.h"
#include "kalimu/imaging/correction_planner.h"

namespace kalimu::imaging {

// Curve groups: the base curves, then the zone curves.
enum CurveGroup : int32_t { kBaseCurves = 0, kGreenCurves, kBlueCurves, kSkinCurves, kRedCurves, kCurveGroups };

// Zone flags: which zone curves are present.
constexpr uint32_t kZoneSkin = 1u << 0;
constexpr uint32_t kZoneGreen = 1u << 1;
constexpr uint32_t kZoneBlue = 1u << 2;
constexpr uint32_t kZoneRed = 1u << 3;

// Entries of the ten-bit curves: 0..1020, four times the 8-bit scale.
constexpr int32_t kTenBitTop = 1020;

struct CorrectionTables {
  int32_t saturation_factor[4];    // overall, red, green, blue, in 1/128
  uint32_t zone_flags;
  int32_t red_position;            // channel positions inside a working-row pixel, and its size
  int32_t green_position;
  int32_t blue_position;
  int32_t pixel_step;
  int32_t row_counter;             // rows corrected so far in this pass (the dither phase)
  int32_t mono_weight[3];          // red, green, blue, out of 128
  int32_t* curves[kCurveGroups][3];  // 256 entries each, red, green, blue; engine blocks
  int32_t region_count;
  uint8_t region_mask;
};

// Builds the tables: 1204 without a row description or with a row flag other than 0, 1, 2 or a
// channel order above 4, 1202 without amounts, 1203 without tables; 1200 when a block cannot be
// had (every block is then freed and the pointers cleared); else 0.
int32_t BuildCorrectionTables(const RowLayout* row, CorrectionParameters* parameters,
                              const CorrectionAmounts* amounts, CorrectionTables* tables);

// Frees the curve blocks and clears their pointers; safe on partly built tables.
void FreeCorrectionTables(CorrectionTables* tables);

// The ten-bit curve of an 8-bit curve t: a spline through its key points, the flat ends left
// out; 4 * i where the rising part is too short.
void TenBitCurve(const int32_t t[256], int32_t out[256]);

}  // namespace kalimu::imaging
