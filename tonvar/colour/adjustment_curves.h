// The curves shared by the colour-adjustment and tone-curve builds: the brightness/contrast
// base curve, the gamma offsets and the three-tap smoothing.
#pragma once

#include <cstdint>

namespace tonvar::colour {

constexpr int kLevels = 256;

// T[i] for brightness and contrast in -50..50 (identity when both are 0); entries 0..255.
void BuildBaseCurve(int32_t brightness, int32_t contrast, int32_t* curve);

// d[i] = GammaLevel(i, gamma * 100 / gamma_base) - i, or all 0 when gamma == gamma_base.
// gamma_base must not be 0.
void BuildGammaOffsets(uint32_t gamma, uint32_t gamma_base, int32_t* offsets);

// table[i] = (table[i-1] + table[i] + table[i+1]) / 3 for i = 1..253, in place and in rising
// order (the left neighbour is already smoothed); entries 0, 254 and 255 keep their values.
void SmoothTable(uint32_t* table);

}  // namespace tonvar::colour
