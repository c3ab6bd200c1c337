// Cell thresholds and table blends of the multi-level engine.
#include "tonvar/multi_level/cell_thresholds.h"

#include <algorithm>

namespace tonvar::multi_level {
namespace {

constexpr int kLargeColumn = 2;

inline const uint32_t* Row(const DotTableSlot slots[kDotSlots], int slot, int set, int32_t level) {
  return slots[slot].set[set].level[level];
}

void Fetch(int inks, const CellLevels& levels, const DotTableSlot slots[kDotSlots], int set,
           CellDotThresholds* out) {
  for (int p = 0; p < kCellPixelCount; ++p) {
    for (int k = 0; k < inks; ++k) {
      const uint32_t* row = Row(slots, kSlotOfPlane[k], set, levels.level[p][k]);
      for (int j = 0; j < 3; ++j) out->group[kSlotOfPlane[k]][p][j] = static_cast<int32_t>(row[j]);
    }
    const uint32_t* ninth = Row(slots, kNinthSlot, set, levels.level[p][3]);
    for (int j = 0; j < 3; ++j) out->group[kNinthSlot][p][j] = static_cast<int32_t>(ninth[j]);
  }
}

// Blends the given columns (all three, or the large one only).
void BlendColumns(int inks, const CellLevels& levels, int32_t wa, int32_t wb, int set_a, int set_b,
                  const DotTableSlot slots[kDotSlots], int first_column, CellDotThresholds* out) {
  for (int p = 0; p < kCellPixelCount; ++p) {
    for (int k = 0; k <= inks; ++k) {
      // The extra turn is slot 8, from plane 3's levels.
      const int slot = k < inks ? kSlotOfPlane[k] : kNinthSlot;
      const int32_t level = levels.level[p][k < inks ? k : 3];
      const uint32_t* a = Row(slots, slot, set_a, level);
      const uint32_t* b = Row(slots, slot, set_b, level);
      for (int j = first_column; j < 3; ++j) {
        out->group[slot][p][j] = Blend32(static_cast<int32_t>(a[j]), wa, static_cast<int32_t>(b[j]), wb);
      }
    }
  }
}

template <bool kOneBit>
void Interpolate(int inks, int32_t x, const CellLevels& levels, const RunZones& run,
                 const HorizontalZone zones[kZoneCount], int kind, const DotTableSlot slots[kDotSlots],
                 CellDotThresholds* out) {
  // Table sets of the zones' two ends: B alone in plain zones, blended towards A in transitions.
  const int set_a[kZoneCount] = {kEdgeSet, kind, kind, kEdgeSet, kEdgeSet};
  const int set_b[kZoneCount] = {kEdgeSet, kEdgeSet, kind, kind, kEdgeSet};
  for (int z = 0; z < kZoneCount; ++z) {
    if (x >= run.zone[z].end) continue;
    const int32_t f = z == halftone_lines::kLeftTransition || z == halftone_lines::kRightTransition
                          ? TransitionWeight(zones[z], x)
                          : -1;
    if (f < 0) {
      if (inks == 4) {
        FetchCellThresholds(levels, slots, set_b[z], out);
      } else {
        FetchCellThresholds8(levels, slots, set_b[z], out);
      }
    } else {
      BlendColumns(inks, levels, 32 - f, f, set_b[z], set_a[z], slots, kOneBit ? kLargeColumn : 0, out);
    }
    return;
  }
}

}  // namespace

int32_t TransitionWeight(const HorizontalZone& zone, int32_t x) {
  if (zone.width <= 0) return -1;
  const int64_t f = (int64_t{x} - zone.start) * 32 / zone.width;
  return static_cast<int32_t>(std::clamp<int64_t>(f, 0, 32));
}

void FetchCellThresholds(const CellLevels& levels, const DotTableSlot slots[kDotSlots], int set,
                         CellDotThresholds* out) {
  Fetch(4, levels, slots, set, out);
}

void FetchCellThresholds8(const CellLevels& levels, const DotTableSlot slots[kDotSlots], int set,
                          CellDotThresholds* out) {
  Fetch(8, levels, slots, set, out);
}

void BlendThresholds(int inks, const CellLevels& levels, int32_t wa, int32_t wb, int set_a, int set_b,
                     const DotTableSlot slots[kDotSlots], CellDotThresholds* out) {
  BlendColumns(inks, levels, wa, wb, set_a, set_b, slots, 0, out);
}

void InterpolateCellThresholds(int inks, int32_t x, const CellLevels& levels, const RunZones& run,
                               const HorizontalZone zones[kZoneCount], int kind,
                               const DotTableSlot slots[kDotSlots], CellDotThresholds* out) {
  Interpolate<false>(inks, x, levels, run, zones, kind, slots, out);
}

void InterpolateCellThresholdsOneBit(int inks, int32_t x, const CellLevels& levels, const RunZones& run,
                                     const HorizontalZone zones[kZoneCount], int kind,
                                     const DotTableSlot slots[kDotSlots], CellDotThresholds* out) {
  Interpolate<true>(inks, x, levels, run, zones, kind, slots, out);
}

bool BlendVerticalTables(int32_t line, DotTableSlot slots[kDotSlots], const int32_t bounds[6],
                         const int32_t bounds_used[6]) {
  const bool bottom = line >= bounds_used[2];
  const int64_t span = bottom ? int64_t{bounds[4]} - bounds[3] : int64_t{bounds[2]} - bounds[1];
  if (span <= 0) return false;
  const int64_t distance = bottom ? int64_t{bounds[4]} - line : int64_t{bounds[2]} - line;
  const int32_t f = static_cast<int32_t>(std::clamp<int64_t>(distance * 32 / span, 0, 32));
  // Weights of the edge and interior tables.
  const int32_t w_edge = bottom ? 32 - f : f;
  const int32_t w_interior = 32 - w_edge;
  for (int s = 0; s < kDotSlots; ++s) {
    const DotTable& edge = slots[s].set[kEdgeSet];
    const DotTable& interior = slots[s].set[kInteriorSet];
    DotTable& blend = slots[s].set[kBlendSet];
    for (int v = 0; v < kDotLevels; ++v) {
      for (int j = 0; j < 3; ++j) {
        blend.level[v][j] = static_cast<uint32_t>(Blend32(static_cast<int32_t>(edge.level[v][j]), w_edge,
                                                          static_cast<int32_t>(interior.level[v][j]), w_interior));
      }
    }
  }
  return true;
}

int VerticalKind(int32_t line, DotTableSlot slots[kDotSlots], const int32_t bounds[6],
                 const int32_t bounds_used[6]) {
  const int32_t* b = bounds_used;
  if (line < b[1]) return kEdgeSet;
  if (line < b[2]) return BlendVerticalTables(line, slots, bounds, bounds_used) ? kBlendSet : kEdgeSet;
  if (line < b[3]) return kInteriorSet;
  if (line < b[4]) return BlendVerticalTables(line, slots, bounds, bounds_used) ? kBlendSet : kEdgeSet;
  if (line < b[5]) return kEdgeSet;
  return -1;
}

}  // namespace tonvar::multi_level
