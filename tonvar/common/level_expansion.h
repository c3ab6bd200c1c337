// Widening of 256-level dot tables to the 512 levels the engines work in.
#pragma once

#include <cstdint>

#include "tonvar/interface/status.h"

namespace tonvar::common {

constexpr uint32_t kDotTableColumns = 3;  // small, medium and large dot

// Widens in place a dot table of rows of three 32-bit values from 256 to 512 levels (the table
// has room for 512 rows): row k of the input serves levels 2k and 2k + 1, so the last two rows
// repeat row 255. Any other pair of counts leaves the table unchanged and answers 0. Works
// through a scratch block of its own: 257 / 258 when it cannot be allocated or locked, 259 / 260
// when it cannot be released (the table is widened all the same), else 0.
EngineStatus ExpandLevels256To512(uint32_t* dot_table, uint32_t from_levels, uint32_t to_levels);

}  // namespace tonvar::common
