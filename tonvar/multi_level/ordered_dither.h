// Ordered dither of the multi-level engine: one ink's row pair of cells into 2-bit dots, the
// leading cell of four inks, and the one-bit cell dots.
#pragma once

#include <cstdint>

#include "tonvar/halftone_lines/simd_path.h"
#include "tonvar/multi_level/line_records.h"

namespace tonvar::multi_level {

// One ink of one call: where its cells, matrix, tables and output rows are.
struct PlaneDither {
  const RunZones* run;
  const HorizontalZone* zones;      // the job's zones (transition starts and widths)
  const DotTableSlot* slot;         // the ink's dot tables
  int kind;                         // table set of the line: 0 edge, 1 interior, 2 vertical blend
  const int16_t* matrix;            // signed samples in row-pair order
  int32_t matrix_mask;              // samples - 1
  int32_t position;                 // matrix position before the first cell
  const uint32_t* cells;            // the ink's cell plane
  const uint32_t* flat_words;       // flatCells
  uint32_t initial[2];              // the first output byte of rows 0 and 1 as merged
  uint8_t* out[2];                  // the ink's first output byte in rows 0 and 1
  int32_t dot_position;             // first free dot of the first word: 0, 2 or 4
  uint32_t first_dot;               // the call's first dot and count: how much of the last word
  uint32_t count;                   // belongs to the band
  halftone_lines::SimdPath path;    // the engine's instruction-set path
};

// Dithers the ink's cells of the run, zone by zone, two columns a cell, into words of 16 dots
// written least significant byte first (row 1, then row 0, so that a one-row call keeps row 0's
// dots); the last partly filled word gives only the bytes the band covers.
void DitherPlane(const PlaneDither& plane);

// The leading cell of four inks (slots 1, 2, 3, 0) into the partial words; masks from the
// cell's left dot.
void DitherLeadingCell4(const int16_t* matrix, const int32_t positions[kMaxInks],
                        uint32_t partial[kRowSetEntries], const uint32_t* small_mask,
                        const uint32_t* medium_mask, const uint32_t* large_mask,
                        const CellDotThresholds& thresholds);

// One-bit dots of a cell for 4 inks (slots 1, 2, 3, 0): a pixel gets its row's left or right
// mask when its large threshold exceeds its sample; bits are only added. The 8-ink form is
// halftone_lines::DitherCellBits8, which the grey engine shares.
void DitherCellBits4(const int16_t* matrix, const int32_t positions[kMaxInks], uint32_t accumulators[kRowSetEntries],
                     uint32_t left_mask, uint32_t right_mask, const CellDotThresholds& thresholds);

}  // namespace tonvar::multi_level
