// Ordered dither of the multi-level engine's line routines.
#include "tonvar/multi_level/ordered_dither.h"

#include "tonvar/halftone_lines/cell_bits.h"
#include "tonvar/halftone_lines/cell_codes.h"
#include "tonvar/halftone_lines/four_level_dots.h"
#include "tonvar/halftone_lines/short_thresholds.h"
#include "tonvar/multi_level/cell_thresholds.h"

namespace tonvar::multi_level {
namespace {

using halftone_lines::kDotShift;
using halftone_lines::kWordDots;

inline void StoreWord(uint8_t* at, uint32_t word, uint32_t bytes) {
  for (uint32_t i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(word >> (8 * i));
}

// The two dots of a cell row as a nibble, left dot in the high half.
inline uint32_t RowNibble(const int32_t left[3], int32_t left_sample, const int32_t right[3], int32_t right_sample) {
  return halftone_lines::FourLevelCodeOf(left, left_sample) << 2 | halftone_lines::FourLevelCodeOf(right, right_sample);
}

// Shift of the nibble of the cell at dot position 2q of a word.
constexpr int kNibbleShift[kWordDots / 2] = {4, 0, 12, 8, 20, 16, 28, 24};
static_assert(kNibbleShift[1] == kDotShift[3] && kNibbleShift[6] == kDotShift[13]);

// The thresholds of a level: table b alone, or two blended with weights (32 - f, f).
template <bool kBlend>
inline void LevelThresholds(const DotTable* b, const DotTable* a, int32_t f, uint32_t level, int32_t out[3]) {
  const uint32_t* tb = b->level[level];
  if constexpr (!kBlend) {
    out[0] = static_cast<int32_t>(tb[0]);
    out[1] = static_cast<int32_t>(tb[1]);
    out[2] = static_cast<int32_t>(tb[2]);
  } else {
    const uint32_t* ta = a->level[level];
    for (int j = 0; j < 3; ++j) out[j] = Blend32(static_cast<int32_t>(tb[j]), 32 - f, static_cast<int32_t>(ta[j]), f);
  }
}

// Where a plane's walk stands: the pending words, the next dot position, the matrix position,
// the output offset and the next cell.
struct PlaneWalk {
  uint32_t word0, word1;
  int32_t position;
  int32_t matrix;
  uint32_t offset;
  uint32_t cell;
};

// The two row nibbles of a cell (row 1's in bits 4..7): four levels, or one for a flat cell.
template <bool kBlend>
[[gnu::always_inline]] inline uint32_t CellNibbles(const DotTable* b, const DotTable* a, int32_t f, uint32_t value,
                                                   bool flat, const int16_t* s) {
  const int32_t s0 = s[0], s1 = s[1], s2 = s[2], s3 = s[3];
  if (flat) {
    if (value == 0) return 0;
    int32_t t[3];
    LevelThresholds<kBlend>(b, a, f, 2 * value, t);
    return RowNibble(t, s0, t, s2) | RowNibble(t, s1, t, s3) << 4;
  }
  int32_t tl[3], tr[3], bl[3], br[3];
  LevelThresholds<kBlend>(b, a, f, 2 * (value >> 24), tl);
  LevelThresholds<kBlend>(b, a, f, 2 * ((value >> 16) & 0xFF), tr);
  LevelThresholds<kBlend>(b, a, f, 2 * ((value >> 8) & 0xFF), bl);
  LevelThresholds<kBlend>(b, a, f, 2 * (value & 0xFF), br);
  return RowNibble(tl, s0, tr, s2) | RowNibble(bl, s1, br, s3) << 4;
}

// The two row nibbles of a cell from table b alone, on path P without a branch on the cell's
// form: a flat cell's value read as four equal levels, and nothing for a flat cell of 0.
inline halftone_lines::CellRows RowsOfCell(uint32_t value, bool flat) {
  const uint32_t spread = flat ? value * 0x01010101u : value;
  return {2 * (spread >> 24), 2 * ((spread >> 16) & 0xFF), 2 * ((spread >> 8) & 0xFF), 2 * (spread & 0xFF)};
}

template <halftone_lines::SimdPath P>
[[gnu::always_inline]] inline uint32_t CellNibblesOf(const DotTable* b, uint32_t value, bool flat, const int16_t* s) {
  if constexpr (P == halftone_lines::SimdPath::kScalar) {
    return CellNibbles<false>(b, b, -1, value, flat, s);
  } else {
    const uint32_t n = halftone_lines::CellCodes<P>(&b->level[0][0], RowsOfCell(value, flat), s);
    return flat && value == 0 ? 0 : n;
  }
}


#ifdef TONVAR_HALFTONE_X86
// Four cells at a time from the packed table, from a walk at a four-cell boundary of its word,
// while four cells of the zone remain; x and the walk move past them.
[[gnu::target("avx2")]] void DitherBlocksAvx2(const PlaneDither& d, int32_t end,
                                              const halftone_lines::ShortThresholds& table, int32_t& x,
                                              PlaneWalk& w) {
  uint32_t word0 = w.word0, word1 = w.word1;
  int32_t q = w.position / 2;
  int32_t m = w.matrix;
  uint32_t offset = w.offset;
  uint32_t cell = w.cell;
  const int32_t mask = d.matrix_mask;
  for (; x + 6 < end; x += 8, cell += 4) {
    const int32_t first = (m + 4) & mask;
    m = (m + 16) & mask;
    const int16_t* s = d.matrix + first;
    alignas(32) int16_t wrapped[16];
    if (first + 16 > mask + 1) {
      for (int i = 0; i < 16; ++i) wrapped[i] = d.matrix[(first + i) & mask];
      s = wrapped;
    }
    const uint32_t at = cell / kCellsPerFlatWord, shift = cell % kCellsPerFlatWord;
    uint64_t flat_bits = d.flat_words[at];
    if (shift > kCellsPerFlatWord - 4) flat_bits |= static_cast<uint64_t>(d.flat_words[at + 1]) << 32;
    const uint32_t detailed = static_cast<uint32_t>(flat_bits >> shift) & 15;
    const uint32_t rows = halftone_lines::FourCellRowsAvx2(table, d.cells + cell, detailed, s);
    word0 |= (rows & 0xFFFF) << (4 * q);
    word1 |= (rows >> 16) << (4 * q);
    q += 4;
    if (q == kWordDots / 2) {
      StoreWord(d.out[1] + offset, word1, 4);
      StoreWord(d.out[0] + offset, word0, 4);
      offset += 4;
      word0 = word1 = 0;
      q = 0;
    }
  }
  w = {word0, word1, 2 * q, m, offset, cell};
}
#endif

// The cells of one zone. A transition zone (kTransition) blends its two table sets by column;
// a transition of no width is never blended and takes table b alone, four cells at a time from
// `packed` when the path is the wide one and the table could be packed.
template <bool kTransition, halftone_lines::SimdPath P>
[[gnu::always_inline]] inline void DitherZone(const PlaneDither& d, const HorizontalZone& zone,
                                              const HorizontalZone& job_zone, const DotTable* b, const DotTable* a,
                                              const halftone_lines::ShortThresholds* packed, PlaneWalk& w) {
  uint32_t word0 = w.word0, word1 = w.word1;
  int32_t q = w.position / 2;
  int32_t m = w.matrix;
  uint32_t offset = w.offset;
  uint32_t cell = w.cell;
  const int16_t* const matrix = d.matrix;
  const int32_t mask = d.matrix_mask;
  const uint32_t* const cells = d.cells;
  const uint32_t* const flat_words = d.flat_words;
  const bool blend = kTransition && job_zone.width > 0;
  auto flat_at = [flat_words](uint32_t c) {
    return ((flat_words[c / kCellsPerFlatWord] >> (c % kCellsPerFlatWord)) & 1) == 0;
  };
  auto put = [&](uint32_t n) {
    word0 |= (n & 15) << kNibbleShift[q];
    word1 |= ((n >> 4) & 15) << kNibbleShift[q];
    if (++q == kWordDots / 2) {
      StoreWord(d.out[1] + offset, word1, 4);
      StoreWord(d.out[0] + offset, word0, 4);
      offset += 4;
      word0 = word1 = 0;
      q = 0;
    }
  };
  auto one = [&](int32_t x) {
    m = (m + 4) & mask;
    const int16_t* s = matrix + m;
    const uint32_t value = cells[cell];
    const bool flat = flat_at(cell);
    put(kTransition && blend ? CellNibbles<true>(b, a, TransitionWeight(job_zone, x), value, flat, s)
                             : CellNibblesOf<P>(b, value, flat, s));
  };
  int32_t x = zone.start;
#ifdef TONVAR_HALFTONE_X86
  if constexpr (P == halftone_lines::SimdPath::kAvx2) {
    if (packed != nullptr && !blend) {
      for (; x < zone.end && q % 4 != 0; x += 2, ++cell) one(x);
      w = {word0, word1, 2 * q, m, offset, cell};
      DitherBlocksAvx2(d, zone.end, *packed, x, w);
      word0 = w.word0;
      word1 = w.word1;
      q = w.position / 2;
      m = w.matrix;
      offset = w.offset;
      cell = w.cell;
    }
  }
#endif
  for (; x < zone.end; x += 2, ++cell) one(x);
  w = {word0, word1, 2 * q, m, offset, cell};
}

// Cells a zone needs before its table is worth packing.
constexpr int32_t kPackedZoneCells = 64;

// Every zone of the plane on path P; the walk's end state is left in w.
template <halftone_lines::SimdPath P>
[[gnu::always_inline]] inline void DitherZones(const PlaneDither& d, PlaneWalk& w) {
  const int set_a[kZoneCount] = {kEdgeSet, d.kind, d.kind, kEdgeSet, kEdgeSet};
  const int set_b[kZoneCount] = {kEdgeSet, kEdgeSet, d.kind, d.kind, kEdgeSet};
  // The packed tables of the wide path, by table set: 0 not tried, 1 packed, -1 not packable.
  [[maybe_unused]] halftone_lines::ShortThresholds packed[2];
  [[maybe_unused]] int packed_set[2] = {-1, -1};
  [[maybe_unused]] bool packed_ok[2] = {false, false};
  for (int z = 0; z < kZoneCount; ++z) {
    const HorizontalZone& zone = d.run->zone[z];
    if (zone.start >= zone.end) continue;
    const DotTable* b = &d.slot->set[set_b[z]];
    const DotTable* a = &d.slot->set[set_a[z]];
    const halftone_lines::ShortThresholds* table = nullptr;
    if constexpr (P == halftone_lines::SimdPath::kAvx2) {
      if ((d.zones[z].plain != 0 || d.zones[z].width <= 0) && (zone.end - zone.start) / 2 >= kPackedZoneCells) {
        int slot = packed_set[0] == set_b[z] ? 0 : packed_set[1] == set_b[z] ? 1 : packed_set[0] < 0 ? 0 : 1;
        if (packed_set[slot] != set_b[z]) {
          packed_set[slot] = set_b[z];
          packed_ok[slot] = halftone_lines::PackShortThresholds(&b->level[0][0], &packed[slot]);
        }
        if (packed_ok[slot]) table = &packed[slot];
      }
    }
    if (d.zones[z].plain != 0) {
      DitherZone<false, P>(d, zone, d.zones[z], b, a, table, w);
    } else {
      DitherZone<true, P>(d, zone, d.zones[z], b, a, table, w);
    }
  }
}

void DitherZonesScalar(const PlaneDither& d, PlaneWalk& w) { DitherZones<halftone_lines::SimdPath::kScalar>(d, w); }
#ifdef TONVAR_HALFTONE_X86
void DitherZonesSse2(const PlaneDither& d, PlaneWalk& w) { DitherZones<halftone_lines::SimdPath::kSse2>(d, w); }
[[gnu::target("avx2"), gnu::flatten]] void DitherZonesAvx2(const PlaneDither& d, PlaneWalk& w) {
  DitherZones<halftone_lines::SimdPath::kAvx2>(d, w);
}
#endif

}  // namespace

void DitherPlane(const PlaneDither& d) {
  PlaneWalk w{d.initial[0], d.initial[1], d.dot_position, d.position, 0, 0};
  switch (d.path) {
#ifdef TONVAR_HALFTONE_X86
    case halftone_lines::SimdPath::kAvx2: DitherZonesAvx2(d, w); break;
    case halftone_lines::SimdPath::kSse2: DitherZonesSse2(d, w); break;
#endif
    default: DitherZonesScalar(d, w); break;
  }
  if (w.position != 0) {
    const uint32_t bytes = ((d.first_dot + d.count) % kWordDots + 3) / 4;
    StoreWord(d.out[1] + w.offset, w.word1, bytes);
    StoreWord(d.out[0] + w.offset, w.word0, bytes);
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
