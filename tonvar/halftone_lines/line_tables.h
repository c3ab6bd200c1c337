// Small tables of the line drivers: the input steps of horizontal replication, breakpoint
// interpolation and the output pointers of the ink planes.
#pragma once

#include <cstdint>
#include <span>

namespace tonvar::halftone_lines {

inline constexpr int kPatternLength = 9;
inline constexpr int kMaxPlanePointers = 16;

// Input steps of replication code 0 to 15, ended by -1: entry j belongs to output cell j (two
// pixels) of a repeating group; 0 reads the same input pixel again, non-zero moves on by one.
// Codes without a pattern (and codes outside 0..15) give only -1.
void GetReplicationPattern(int32_t code, int32_t pattern[kPatternLength]);

// out[i], i = 0..255, on the polyline through (x[k], y[k] << shift): a value on a breakpoint
// stays in the lower segment, rounded half up in double precision. The x list must rise
// strictly from 0 to 255 and y must be as long; false (nothing written) otherwise.
bool InterpolateBreakpoints(uint32_t out[256], std::span<const int32_t> x,
                            std::span<const int32_t> y, int shift);

// pointers[2k + r] = out_rows[r] + k x plane_stride for the planes k of a 6, 7 or 8 plane job
// and rows r below row_count; with one row, row 1's pointers repeat row 0's. Other plane counts
// leave all sixteen null.
uint8_t** SetupPlanePointers(uint8_t* pointers[kMaxPlanePointers], uint8_t* const* out_rows,
                             int32_t plane_stride, uint32_t row_count, int32_t plane_count);

}  // namespace tonvar::halftone_lines
