// The dither matrix as the halftoning engines describe it: its shape, its sample split, how its
// samples are stored and where each ink plane starts in it; and the per-line start positions.
#pragma once

#include <cstdint>

#include "tonvar/interface/status.h"

namespace tonvar::halftone_lines {

inline constexpr int kMatrixInks = 8;

// Sample counts of the "0123" form: W x H samples plus the two repeated ones.
inline constexpr uint32_t kMatrixCount256 = 0x10002;
inline constexpr uint32_t kMatrixCount512 = 0x20002;

struct MatrixPhase {
  int32_t x;
  int32_t y;
};

struct MatrixLayout {
  int32_t width;           // W, columns
  int32_t height;          // H, rows
  int32_t sample_bytes_a;  // the sample size split in two; the two add up to 2
  int32_t sample_bytes_b;
  int32_t layout_flag;     // kind byte of the source block (3 for the "0123" form)
  int32_t storage;         // 0: rows kept in interleaved pairs; 1: copied as stored
  MatrixPhase ink_phase[kMatrixInks];
  // W x H + 2 signed samples in row-pair order: row r, column c at
  // (r - r % 2) x W + 2c + r % 2; the last two repeat the first two. Owned by the engine.
  const int16_t* samples;
};

// The shapes the cell walk can use: W and H positive, H even, W x H a power of two (so that a
// position wraps with the mask W x H - 1) and at most 2^24 samples.
bool MatrixShapeValid(int32_t width, int32_t height);

// Layout of a "0123" block from its sample count (bytes 4 to 7) and the job's ink count: 256 x
// 256 or 512 x 256 with the fixed phases of 4, 6 or 7 inks. 0, or 768 for any other count or
// ink count. `samples` is left as it was.
EngineStatus SetMatrixLayout(MatrixLayout* layout, const uint8_t* block, int32_t ink_count);

// For each of the eight inks, the storage index one cell (4 samples) before the ink's first
// cell of the line at pixel x; the line routines add 4, modulo W x H, before every cell. Moving
// right by one matrix width moves two rows down. A layout of another shape gives zeros.
int32_t* ComputeMatrixPhases(int32_t phases[kMatrixInks], const MatrixLayout& layout, int64_t x,
                             int32_t line);

}  // namespace tonvar::halftone_lines
