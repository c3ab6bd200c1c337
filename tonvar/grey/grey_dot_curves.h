// What the grey engine needs of the dot-curve blocks (step 4): eight ink groups of 512 levels of
// small, medium and large dot amounts, and the three weights of the dot sizes.
#pragma once

#include <cstdint>

#include "tonvar/common/resource_bytes.h"
#include "tonvar/interface/status.h"

namespace tonvar::grey {

inline constexpr int kDotGroups = 8;
inline constexpr int kDotLevels = 512;

struct DotTables {
  uint32_t group[kDotGroups][kDotLevels][3];
};

// Reads a block of kind 3 or 4 (the 32-bit value at offset 8) for the job's ink set into the
// tables and weights; 768 for any other kind, else the reader's status.
EngineStatus ReadGreyDotCurves(common::ResourceBytes block, uint32_t ink_set, DotTables* tables,
                               int32_t weights[3]);

}  // namespace tonvar::grey
