// The range the diffusion kernels need of the dot tables: no threshold above one dot's weight.
#pragma once

#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

inline constexpr uint32_t kDotWeight = 4080;  // one dot, in 1/16 of an 8-bit step

// Whether every threshold of table set `table_set` of the nine slots is at most one dot's
// weight, so that four of them add up to no more than a full cell (16320) and a cell density
// always indexes the 256 diffusion thresholds.
bool DotTablesInRange(const DotTableSlot slots[kDotSlots], int table_set);

}  // namespace tonvar::multi_level
