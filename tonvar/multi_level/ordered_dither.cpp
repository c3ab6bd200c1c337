// Ordered dither of the multi-level engine's line routines.
#include "tonvar/multi_level/ordered_dither.h"

#include "tonvar/halftone_lines/cell_bits.h"
#include "tonvar/halftone_lines/four_level_dots.h"
#include "tonvar/multi_level/cell_thresholds.h"

namespace tonvar::multi_level {
namespace {

using halftone_lines::FourLevelCode;
using halftone_lines::kDotShift;
using halftone_lines::kWordDots;

using ThresholdRow = const uint32_t*;

inline void StoreWord(uint8_t* at, uint32_t word, uint32_t bytes) {
  for (uint32_t i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(word >> (8 * i));
}

inline uint32_t Decide(const int32_t t[3], int32_t sample) { return FourLevelCode(t[0], t[1], t[2], sample); }

// The thresholds of a level: one table, or two blended with weights (32 - f, f).
struct ZoneTables {
  const DotTable* b;
  const DotTable* a;
  int32_t f;  // -1: table b alone

  inline void At(int32_t level, int32_t out[3]) const {
    const uint32_t* tb = b->level[level];
    if (f < 0) {
      out[0] = static_cast<int32_t>(tb[0]);
      out[1] = static_cast<int32_t>(tb[1]);
      out[2] = static_cast<int32_t>(tb[2]);
      return;
    }
    const uint32_t* ta = a->level[level];
    for (int j = 0; j < 3; ++j) {
      out[j] = Blend32(static_cast<int32_t>(tb[j]), 32 - f, static_cast<int32_t>(ta[j]), f);
    }
  }
};

}  // namespace

void DitherPlane(const PlaneDither& d) {
  const int set_a[kZoneCount] = {kEdgeSet, d.kind, d.kind, kEdgeSet, kEdgeSet};
  const int set_b[kZoneCount] = {kEdgeSet, kEdgeSet, d.kind, d.kind, kEdgeSet};
  uint32_t word0 = d.initial[0];
  uint32_t word1 = d.initial[1];
  int32_t p = d.dot_position;
  int32_t m = d.position;
  uint32_t offset = 0;
  uint32_t cell = 0;
  for (int z = 0; z < kZoneCount; ++z) {
    const HorizontalZone& zone = d.run->zone[z];
    if (zone.start >= zone.end) continue;
    const bool plain = d.zones[z].plain != 0;
    ZoneTables tables{&d.slot->set[set_b[z]], &d.slot->set[set_a[z]], -1};
    for (int32_t x = zone.start; x < zone.end; x += 2, ++cell) {
      m = (m + 4) & d.matrix_mask;
      const int16_t* s = d.matrix + m;
      if (!plain) tables.f = TransitionWeight(d.zones[z], x);
      const uint32_t value = d.cells[cell];
      uint32_t c_tl, c_tr, c_bl, c_br;
      if (((d.flat_words[cell / kCellsPerFlatWord] >> (cell % kCellsPerFlatWord)) & 1) == 0) {
        if (value == 0) {
          c_tl = c_tr = c_bl = c_br = 0;
        } else {
          int32_t t[3];
          tables.At(static_cast<int32_t>(2 * value), t);
          c_tl = Decide(t, s[0]);
          c_bl = Decide(t, s[1]);
          c_tr = Decide(t, s[2]);
          c_br = Decide(t, s[3]);
        }
      } else {
        int32_t t[3];
        tables.At(static_cast<int32_t>(2 * (value >> 24)), t);
        c_tl = Decide(t, s[0]);
        tables.At(static_cast<int32_t>(2 * ((value >> 16) & 0xFF)), t);
        c_tr = Decide(t, s[2]);
        tables.At(static_cast<int32_t>(2 * ((value >> 8) & 0xFF)), t);
        c_bl = Decide(t, s[1]);
        tables.At(static_cast<int32_t>(2 * (value & 0xFF)), t);
        c_br = Decide(t, s[3]);
      }
      word0 |= c_tl << kDotShift[p] | c_tr << kDotShift[p + 1];
      word1 |= c_bl << kDotShift[p] | c_br << kDotShift[p + 1];
      p += 2;
      if (p == kWordDots) {
        StoreWord(d.out[1] + offset, word1, 4);
        StoreWord(d.out[0] + offset, word0, 4);
        offset += 4;
        word0 = word1 = 0;
        p = 0;
      }
    }
  }
  if (p != 0) {
    const uint32_t bytes = ((d.first_dot + d.count) % kWordDots + 3) / 4;
    StoreWord(d.out[1] + offset, word1, bytes);
    StoreWord(d.out[0] + offset, word0, bytes);
  }
}

void DitherLeadingCell4(const int16_t* matrix, const int32_t positions[kMaxInks],
                        uint32_t partial[kRowSetEntries], const uint32_t* small_mask,
                        const uint32_t* medium_mask, const uint32_t* large_mask,
                        const CellDotThresholds& thresholds) {
  halftone_lines::DitherLeadingCells(4, matrix, positions, partial, small_mask, medium_mask, large_mask,
                                     &thresholds.group[0][0][0]);
}

void DitherCellBits4(const int16_t* matrix, const int32_t positions[kMaxInks], uint32_t accumulators[kRowSetEntries],
                     uint32_t left_mask, uint32_t right_mask, const CellDotThresholds& thresholds) {
  halftone_lines::DitherCellBits(4, matrix, positions, accumulators, left_mask, right_mask,
                                 &thresholds.group[0][0][0]);
}

}  // namespace tonvar::multi_level
