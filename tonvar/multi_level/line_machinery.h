// The set-up every line routine of the multi-level engine runs on a call: the run's zones, the
// input pair, the output rows per ink, the matrix positions, the error-row reset, the leading
// partial byte and the rounding draws.
#pragma once

#include <cstdint>

#include "tonvar/multi_level/line_records.h"

namespace tonvar::multi_level {

// The state's zones for the run [x, xEnd): overlapping transitions meet at their even midpoint;
// every zone is kept inside [0, W) (W the width rounded up to even), in order and without
// overlap; zones outside the run are emptied ({0, 0}) and the first and last zones touched are
// cut to it. A zone of odd length then grows by one pixel and the next zone starts one pixel
// later, so that the run's cells are the separation's cells. 768 when x or the run's end lies
// outside every zone (a run starting at W, or ending at 0, gives empty zones).
EngineStatus SelectRunZones(const MultiLevelState& state, int32_t x, RunZones* run);

// pair = {input row 0, input row 1 when the call has two rows, else row 0 again}.
void SelectInputRows(const uint8_t* pair[2], const MultiLevelState& state);

// Entry 2k + r = output row r + k x stride for the inks k of a 4, 6, 7 or 8 ink job (offsets in
// 64 bits from the sign-extended stride); with one row, entry 2k + 1 repeats entry 2k for all
// eight inks. Other ink counts leave every entry null.
void SetupOutputRows(uint8_t* rows[kRowSetEntries], uint8_t* const* out_rows, int32_t plane_stride,
                     uint32_t row_count, int32_t ink_count);

// Each position becomes (position + 4) AND mask.
inline void AdvanceMatrixPositions(int32_t positions[kMaxInks], int32_t mask) {
  for (int k = 0; k < kMaxInks; ++k) positions[k] = (positions[k] + 4) & mask;
}

// Error rows of the first `inks` inks: a jump of more than two lines clears the whole error
// block; the next line after a line 16n + 14 clears each row right of the run.
void ResetErrorRows(MultiLevelState* state, int inks);

// The dots before `first_dot` in the first output byte of each ink and row keep what the output
// holds; the partial words keep their own dots from first_dot on, and nothing beyond that byte.
void MergeLeadingByte(uint8_t* const rows[kRowSetEntries], uint32_t first_dot, uint32_t row_count,
                      int inks, uint32_t partial[kRowSetEntries]);

// A line's rounding draw: the next number of the engine's generator, raised by r x 17 - 1 until
// it is at least 2^24.
uint32_t DrawRounding(common::MtState* random);
// The even cube offset 0..254 of a rounding draw, the rounding bit, and the next cell's draw.
inline int32_t RoundingOffset(uint32_t r) { return static_cast<int32_t>((r >> 24) & 0xFE); }
inline uint32_t RoundingBit(uint32_t r) { return (r >> 1) & 1; }
inline uint32_t NextRounding(uint32_t r) { return r * 17 - 1; }

}  // namespace tonvar::multi_level
