// The ink scale of option 768 on the colour table, its grey table and its tone table.
#include "tonvar/colour/ink_scale.h"

#include <algorithm>

namespace tonvar::colour {
namespace {

constexpr int kLevels = 256;

// (v * s + 512) / 1024 limited to 0..cap; 64-bit so that no scale overflows, and a negative
// scale gives 0 rather than a wrapped level.
inline int64_t Scaled(int64_t v, int32_t s, int64_t cap) {
  return std::clamp<int64_t>((v * s + 512) / 1024, 0, cap);
}

}  // namespace

EngineStatus BuildDensityScaleTable(uint32_t* out, int32_t s, int32_t a, int32_t b) {
  if (a <= 0 || b <= 0) return kStatusBadResource;
  // D[i]: the density weight of level i, from 2.55 b at level 0 to 2.55 a at level 255. Signed
  // 64-bit: equal to the unsigned form whenever b >= a, and for b < a still a positive weight
  // (at least 2.55 b) instead of a wrapped difference.
  int64_t seen[kLevels];  // E[i]: level i through the density model
  for (int i = 0; i < kLevels; ++i) {
    const int64_t rest = 255 - i;
    const int64_t d = (((rest * rest * (int64_t{b} - a) + 1) / 255) + 255 * int64_t{a}) / 100;
    seen[i] = d > 0 ? (255 * int64_t{i} + d / 2) / d : 0;
  }
  for (int i = 0; i < kLevels; ++i) {
    const int64_t v = (seen[i] * s + 512) / 1024;
    int j = 0;
    while (j < kLevels && seen[j] < v) ++j;
    out[i] = static_cast<uint32_t>(std::min(j, 255));
  }
  return kStatusOk;
}

EngineStatus ApplyInkScale(uint8_t* lut, uint64_t lut_count, int32_t flag, uint8_t* grey_table,
                           uint64_t grey_count, uint16_t* tone, uint64_t tone_count,
                           uint32_t tone_mode, int32_t s, int32_t a, int32_t b) {
  if (flag != 0 && flag != 1) return kStatusBadResource;
  if (a <= 0 || b <= 0) return kStatusBadResource;
  // Refused before anything is scaled, so that a failed step leaves the tables whole.
  if (tone != nullptr && tone_mode != 0 && tone_mode != 1) return kStatusBadResource;

  uint32_t remap[kLevels];
  const EngineStatus status = BuildDensityScaleTable(remap, s, a, b);
  if (status != kStatusOk) return status;

  if (grey_table != nullptr) {
    for (uint64_t i = 0; i < grey_count; ++i) grey_table[i] = static_cast<uint8_t>(remap[grey_table[i]]);
  }
  if (lut != nullptr) {
    for (uint64_t i = 0; i < lut_count; ++i) lut[i] = static_cast<uint8_t>(Scaled(lut[i], s, 255));
  }
  if (tone != nullptr) {
    // Mode 0 holds levels with 4 fraction bits.
    const int64_t cap = tone_mode == 0 ? kToneLevelMax : 255;
    for (uint64_t i = 0; i < tone_count; ++i) tone[i] = static_cast<uint16_t>(Scaled(tone[i], s, cap));
  }
  return kStatusOk;
}

}  // namespace tonvar::colour
