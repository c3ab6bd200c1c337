// Records of one Halftone call that the line routines share: the cell records, the run's zones,
// the output row set and the partial first byte.
#pragma once

#include <cstdint>

#include "tonvar/halftone_lines/line_zones.h"
#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

using halftone_lines::kZoneCount;

// The pixels of a 2 x 2 cell: top left, top right, bottom left, bottom right.
enum CellPixel { kTopLeft, kTopRight, kBottomLeft, kBottomRight, kCellPixelCount };

struct CellPixels {
  int32_t c0[kCellPixelCount];
  int32_t c1[kCellPixelCount];
  int32_t c2[kCellPixelCount];
  int32_t tag[kCellPixelCount];  // 3: the first colour cube; anything else the second
};

// Per pixel, the level of each ink plane: twice its node byte, an even table row 0..510.
struct CellLevels {
  int32_t level[kCellPixelCount][kMaxInks];
};

// Nine groups, one per dot-table slot; per pixel the three cumulative thresholds of its level.
struct CellDotThresholds {
  int32_t group[kDotSlots][kCellPixelCount][3];
};
static_assert(sizeof(CellDotThresholds) == kDotSlots * 12 * 4);

// The state's zones cut to one call's run.
struct RunZones {
  HorizontalZone zone[kZoneCount];
};

// Entry 2k + r: the first byte of ink k in output row r.
inline constexpr int kRowSetEntries = 2 * kMaxInks;

// Dot-table slot of each ink plane (4 inks use the first four).
inline constexpr int kSlotOfPlane[kMaxInks] = {1, 2, 3, 0, 4, 5, 6, 7};

// Cells per flat-cell word.
inline constexpr int kCellsPerFlatWord = 32;

// The engine's node form: where ink plane k sits in a node (word, shift).
struct NodeField {
  int word;
  int shift;
};
inline constexpr NodeField kNodeField4[4] = {{0, 24}, {0, 16}, {0, 8}, {0, 0}};
inline constexpr NodeField kNodeField8[8] = {{0, 24}, {0, 8}, {1, 16}, {1, 24},
                                             {0, 16}, {0, 0}, {1, 8}, {1, 0}};

template <int kInks>
constexpr const NodeField* NodeFields() {
  return kInks == 4 ? kNodeField4 : kNodeField8;
}

}  // namespace tonvar::multi_level
