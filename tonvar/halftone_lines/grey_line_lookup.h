// Look-up of a span of input pixels into eight rows of ink amounts, for the line drivers of the
// grey-input engine: two output pixels per step, through the grey table's packed ink rows.
#pragma once

#include <cstdint>

#include "tonvar/halftone_lines/line_tables.h"
#include "tonvar/interface/status.h"

namespace tonvar::halftone_lines {

inline constexpr int kGreyPlanes = 8;

// One row of the grey table per grey level: eight 16-bit ink amounts in four words, high half
// first (inks 1, 2, 3, 0, 4, 5, 7, 11).
using PackedInkRow = uint32_t[4];

// For the span [x, span_end) of one call: input_pair[0] and [1] point at pixel x of the two input
// rows (4 bytes a pixel; grey = (30 b0 + 59 b1 + 11 b2) / 100). Each step of two output pixels
// appends to every plane k's ink_line[k] two words: (A << 16) | B of row 0, then (C << 16) | D
// of row 1. Replication code 0 reads two input pixels a step (one, twice, for the last pixel of
// an odd span); the other codes read one pixel twice and move on as their pattern says, starting
// at pattern_index. 768 for code -1 (2:1 reduction has no pattern) or an index outside the
// pattern; 0 otherwise.
EngineStatus LookupGreyLine(const PackedInkRow* ink_table, int32_t replication_code,
                            int32_t pattern_index, int32_t x, int32_t span_end,
                            const uint8_t* const input_pair[2], uint32_t* const ink_line[kGreyPlanes]);

// The same steps as LookupGreyLine, keeping the grey levels instead of the ink amounts: four
// bytes a step, A and B of row 0, then C and D of row 1.
EngineStatus LookupGreyLevels(int32_t replication_code, int32_t pattern_index, int32_t x, int32_t span_end,
                              const uint8_t* const input_pair[2], uint8_t* levels);

}  // namespace tonvar::halftone_lines
