// Dot thresholds of a cell: the fetch from one table set, the horizontal blend of the
// transition zones, the vertical blend of a line in a transition, and the leading cell's
// thresholds by zone.
#pragma once

#include <cstdint>

#include "tonvar/multi_level/line_records.h"

namespace tonvar::multi_level {

// Blend weight f (0..32) of column x in a transition zone of the job's zones: f = ((x - start)
// x 32) / width, truncated and kept within 0..32. A zone of no width is never blended: -1.
int32_t TransitionWeight(const HorizontalZone& zone, int32_t x);

// out = (a x wa + b x wb) / 32, truncating toward zero (weights 0..32, so the result lies
// between a and b).
inline int32_t Blend32(int32_t a, int32_t wa, int32_t b, int32_t wb) {
  return static_cast<int32_t>((int64_t{a} * wa + int64_t{b} * wb) / 32);
}

// The three thresholds of each pixel's level of the inks' slots from table set `set`, into the
// slots' groups; slot 8 beside slot 0 from ink plane 3's levels.
void FetchCellThresholds(const CellLevels& levels, const DotTableSlot slots[kDotSlots], int set,
                         CellDotThresholds* out);
void FetchCellThresholds8(const CellLevels& levels, const DotTableSlot slots[kDotSlots], int set,
                          CellDotThresholds* out);

// For each pixel and threshold of the inks' groups (and slot 8 from plane 3):
// (T_a x wa + T_b x wb) / 32 at the pixel's level.
void BlendThresholds(int inks, const CellLevels& levels, int32_t wa, int32_t wb, int set_a, int set_b,
                     const DotTableSlot slots[kDotSlots], CellDotThresholds* out);

// The leading cell at column x by the run's zones: edge tables in the edge zones, table set
// `kind` in the centre, blends in the transitions (weights from the job's zones). Beyond the
// last zone nothing is written.
void InterpolateCellThresholds(int inks, int32_t x, const CellLevels& levels, const RunZones& run,
                               const HorizontalZone zones[kZoneCount], int kind,
                               const DotTableSlot slots[kDotSlots], CellDotThresholds* out);

// One-bit form: only the large threshold is blended in the transitions.
void InterpolateCellThresholdsOneBit(int inks, int32_t x, const CellLevels& levels, const RunZones& run,
                                     const HorizontalZone zones[kZoneCount], int kind,
                                     const DotTableSlot slots[kDotSlots], CellDotThresholds* out);

inline void InterpolateCellThresholds4(int32_t x, const CellLevels& l, const RunZones& run,
                                       const HorizontalZone zones[kZoneCount], int kind,
                                       const DotTableSlot slots[kDotSlots], CellDotThresholds* out) {
  InterpolateCellThresholds(4, x, l, run, zones, kind, slots, out);
}
inline void InterpolateCellThresholds8(int32_t x, const CellLevels& l, const RunZones& run,
                                       const HorizontalZone zones[kZoneCount], int kind,
                                       const DotTableSlot slots[kDotSlots], CellDotThresholds* out) {
  InterpolateCellThresholds(8, x, l, run, zones, kind, slots, out);
}
inline void InterpolateCellThresholdsOneBit4(int32_t x, const CellLevels& l, const RunZones& run,
                                             const HorizontalZone zones[kZoneCount], int kind,
                                             const DotTableSlot slots[kDotSlots], CellDotThresholds* out) {
  InterpolateCellThresholdsOneBit(4, x, l, run, zones, kind, slots, out);
}
inline void InterpolateCellThresholdsOneBit8(int32_t x, const CellLevels& l, const RunZones& run,
                                             const HorizontalZone zones[kZoneCount], int kind,
                                             const DotTableSlot slots[kDotSlots], CellDotThresholds* out) {
  InterpolateCellThresholdsOneBit(8, x, l, run, zones, kind, slots, out);
}

// Rebuilds table set 2 of all nine slots for a line in a vertical transition: in the bottom one
// (line >= used bound 2) (T0 x (32 - f) + T1 x f) / 32 with f = ((b4 - line) x 32) / (b4 - b3),
// in the top one (T1 x (32 - f) + T0 x f) / 32 with f = ((b2 - line) x 32) / (b2 - b1), the b
// being the computed bounds. false, and nothing rebuilt, when the transition has no height.
bool BlendVerticalTables(int32_t line, DotTableSlot slots[kDotSlots], const int32_t bounds[6],
                         const int32_t bounds_used[6]);

// The table set of a line (0 edge, 1 interior, 2 vertical blend, rebuilt here), or -1 for a
// line at or beyond the last bound.
int VerticalKind(int32_t line, DotTableSlot slots[kDotSlots], const int32_t bounds[6],
                 const int32_t bounds_used[6]);

}  // namespace tonvar::multi_level
