// The ink scale of option 768 applied to a finished colour table, its grey table (through a
// density model) and its tone table.
#pragma once

#include <cstdint>

#include "tonvar/interface/status.h"

namespace tonvar::colour {

constexpr int32_t kInkScaleOne = 1024;   // option 768: ink scale 1.0
constexpr uint16_t kToneLevelMax = 4079;  // largest tone value (4 fraction bits) below 255 * 16

// out[i] = the level whose density-model value comes closest from above to level i's value
// scaled by s / 1024. a weighs level 255 and b level 0; a = b = 100 is the identity model.
// 768 when a or b is not positive (the model would divide by zero or less); out unchanged then.
EngineStatus BuildDensityScaleTable(uint32_t* out, int32_t s, int32_t a, int32_t b);

// Scales by s / 1024: lut bytes (cap 255), the grey table through the density model, and the
// tone values (tone_mode 0: 4-fraction-bit levels, cap 4079; 1: plain levels, cap 255). A
// negative scale gives 0. 768 for a flag other than 0 or 1, a non-positive a or b, or (with
// tone values) a tone mode other than 0 or 1; nothing is changed then. Null / zero-count parts
// are skipped.
EngineStatus ApplyInkScale(uint8_t* lut, uint64_t lut_count, int32_t flag, uint8_t* grey_table,
                           uint64_t grey_count, uint16_t* tone, uint64_t tone_count,
                           uint32_t tone_mode, int32_t s, int32_t a, int32_t b);

}  // namespace tonvar::colour
