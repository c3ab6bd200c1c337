// Line preparation, threshold look-ups and the ordered dithers of the grey-input engine.
#include "tonvar/grey_input/grey_line.h"

#include "tonvar/halftone_lines/cell_codes.h"
#include "tonvar/halftone_lines/four_level_dots.h"

#include <algorithm>
#include <cstring>

namespace tonvar::grey_input {
namespace {

int32_t GreyOf(const uint8_t* pixel) { return (30 * pixel[0] + 59 * pixel[1] + 11 * pixel[2]) / 100; }

uint32_t AmountOf(const PackedInkRow& row, int slot) {
  const uint32_t word = row.words[slot / 2];
  return slot % 2 == 0 ? word >> 16 : word & 0xFFFF;
}

// Rebuilds sub-table 2 of groups 0 to 7 for a line in a vertical transition.
void BlendVerticalZone(GreyHalftoneEngine* engine, int32_t line) {
  const int32_t* b = engine->vertical_bounds;
  int32_t w;
  int from, to;  // sub-table 2 = from x (32 - w) / 32 + to x w / 32
  if (line >= b[8]) {
    w = b[4] != b[3] ? static_cast<int32_t>((int64_t{b[4]} - line) * 32 / (int64_t{b[4]} - b[3])) : 0;
    from = kEdgeTable;
    to = kInteriorTable;
  } else {
    w = b[2] != b[1] ? static_cast<int32_t>((int64_t{b[2]} - line) * 32 / (int64_t{b[2]} - b[1])) : 0;
    from = kInteriorTable;
    to = kEdgeTable;
  }
  for (int g = 0; g < kInks; ++g) {
    const LevelTable& f = engine->level_tables[g][from];
    const LevelTable& t = engine->level_tables[g][to];
    LevelTable& out = engine->level_tables[g][kBlendTable];
    for (uint32_t l = 0; l < kLevels; ++l) {
      for (int j = 0; j < 3; ++j) {
        out.level[l][j] = static_cast<uint32_t>(
            (int64_t{static_cast<int32_t>(f.level[l][j])} * (32 - w) + int64_t{static_cast<int32_t>(t.level[l][j])} * w) / 32);
      }
    }
  }
}

}  // namespace

EngineStatus PrepareLine(GreyHalftoneEngine* engine, LineFrame* f) {
  const GreyCall& c = engine->call;
  halftone_lines::ComputeMatrixPhases(f->phases, engine->layout, c.x_start, c.line);
  f->mask = engine->layout.width * engine->layout.height - 1;
  halftone_lines::SetupPlanePointers(f->pointers, c.out_rows, c.plane_stride, c.row_count, kInks);
  f->in0 = c.in_rows[0];
  f->in1 = c.in_rows[1];
  halftone_lines::SetupHorizontalZones(engine->zones, c.width, engine->edge_widths[3],
                                       engine->edge_widths[2], engine->transition_widths[3],
                                       engine->transition_widths[2]);
  halftone_lines::GetReplicationPattern(c.replication, f->pattern);
  const EngineStatus planned = halftone_lines::PlanLineZones(f->plan, engine->zones, c.x_start, c.x_end);
  if (planned != kStatusOk) return planned;
  const int32_t* b = engine->vertical_bounds;
  if (c.line < b[7]) {
    f->vertical_zone = kEdgeTable;
  } else if (c.line < b[8]) {
    f->vertical_zone = kBlendTable;
  } else if (c.line < b[9]) {
    f->vertical_zone = kInteriorTable;
  } else if (c.line < b[10]) {
    f->vertical_zone = kBlendTable;
  } else if (c.line < b[11]) {
    f->vertical_zone = kEdgeTable;
  } else {
    return kStatusBadArgument;
  }
  if (f->vertical_zone == kBlendTable) BlendVerticalZone(engine, c.line);
  ResetGreyErrorRows(engine);
  return kStatusOk;
}

void ResetGreyErrorRows(GreyHalftoneEngine* engine) {
  const GreyCall& c = engine->call;
  const int64_t previous = c.previous_line, line = c.line;
  if (previous + 2 < line) {
    std::memset(engine->error_rows_base, 0, engine->error_rows_size);
  } else if (previous + 1 == line && line % 16 == 15 && c.x_end != 0) {
    for (int i = 0; i < kInks; ++i) {
      for (int32_t* row : {engine->error_row_even[i], engine->error_row_odd[i]}) {
        for (int32_t x = std::max(c.x_end, -kErrorMargin); x < c.width; ++x) row[x] = 0;
      }
    }
  }
}

void LookupGreyInks(const PackedInkTable& table, const uint8_t* const quad[4], uint32_t levels[52]) {
  for (int s = 0; s < 4; ++s) {
    const PackedInkRow& row = table.rows[GreyOf(quad[s])];
    for (int k = 0; k < kInks; ++k) levels[13 * s + k] = AmountOf(row, k);
  }
}

void LookupCellThresholds(const uint32_t levels[52], const GreyHalftoneEngine& engine, int t,
                          uint32_t* block) {
  for (int s = 0; s < 4; ++s) {
    for (int k = 0; k < kInks; ++k) {
      const int g = kGroupOfSlot[k];
      const uint32_t* entry = engine.level_tables[g][t].level[levels[13 * s + k]];
      std::copy(entry, entry + 3, block + 12 * g + 3 * s);
    }
  }
}

void ComputeCellThresholds(const GreyHalftoneEngine& engine, int32_t x, const uint32_t levels[52],
                           const HorizontalZone plan[kZoneCount], int v, uint32_t* block) {
  int z = 0;
  while (z < kZoneCount && x >= plan[z].end) ++z;
  if (z == kZoneCount) return;  // beyond the last zone the block keeps what it holds
  static constexpr bool kBlended[kZoneCount] = {false, true, false, true, false};
  if (!kBlended[z]) {
    LookupCellThresholds(levels, engine, z == halftone_lines::kCentre ? v : kEdgeTable, block);
    return;
  }
  const int first = z == 1 ? kEdgeTable : v;
  const int second = z == 1 ? v : kEdgeTable;
  const int32_t w = plan[z].width != 0 ? ((x - engine.zones[z].start) * 32) / plan[z].width : 0;
  for (int k = 0; k < kInks; ++k) {
    const int g = kGroupOfSlot[k];
    for (int s = 0; s < 4; ++s) {
      const uint32_t level = levels[13 * s + k];
      const uint32_t* a = engine.level_tables[g][first].level[level];
      const uint32_t* b = engine.level_tables[g][second].level[level];
      for (int j = 0; j < 3; ++j) {
        block[12 * g + 3 * s + j] = static_cast<uint32_t>(
            (static_cast<int32_t>(a[j]) * (32 - w) + static_cast<int32_t>(b[j]) * w) / 32);
      }
    }
  }
}

ZoneTables TablesOfZone(const GreyHalftoneEngine& engine, int group, int zone, int v,
                        const HorizontalZone plan[kZoneCount]) {
  static constexpr bool kWeightedIsV[kZoneCount] = {false, true, true, false, false};
  static constexpr bool kOtherIsV[kZoneCount] = {false, false, true, true, false};
  const auto& tables = engine.level_tables[group];
  return {&tables[kWeightedIsV[zone] ? v : kEdgeTable], &tables[kOtherIsV[zone] ? v : kEdgeTable],
          plan[zone].plain != 0, engine.zones[zone].start, plan[zone].width};
}

int32_t PlanEnd(const HorizontalZone plan[kZoneCount]) {
  int32_t end = plan[0].end;
  for (int z = 1; z < kZoneCount; ++z) end = std::max(end, plan[z].end);
  return end;
}

const DotMasks2Bit& Masks2Bit() {
  static const DotMasks2Bit masks = [] {
    DotMasks2Bit m{};
    for (int i = 0; i < 16; ++i) {
      const int shift = 2 * (i ^ 3);
      m.small[i] = 1u << shift;
      m.medium[i] = 2u << shift;
      m.large[i] = 3u << shift;
    }
    return m;
  }();
  return masks;
}

const uint32_t* DotMask1Bit() {
  static const auto masks = [] {
    struct Table {
      uint32_t bit[kMaskEntries];
    } t{};
    for (int p = 0; p < 32; ++p) t.bit[p] = 1u << ((p & ~7) + 7 - (p & 7));
    return t;
  }();
  return masks.bit;
}

namespace {

// The 2-bit dither of a span on path P: flat zones by the path's cell kernel, transitions by
// their blended thresholds.
template <halftone_lines::SimdPath P>
[[gnu::always_inline]] inline void DitherSpan2BitOn(const SpanArgs& a) {
  const int16_t* matrix = a.engine->layout.samples;
  auto cell = [&](int32_t, int p, int32_t phi, const int32_t (&t)[4][3], uint32_t (&rows)[2]) {
    const int16_t* m = matrix + phi;
    // Sub-pixels A, B, C, D at matrix offsets 0, 2, 1, 3; codes without branches.
    const uint32_t a_code = halftone_lines::FourLevelCodeOf(t[kA], m[0]);
    const uint32_t b_code = halftone_lines::FourLevelCodeOf(t[kB], m[2]);
    const uint32_t c_code = halftone_lines::FourLevelCodeOf(t[kC], m[1]);
    const uint32_t d_code = halftone_lines::FourLevelCodeOf(t[kD], m[3]);
    const int shift = 2 * ((p + 1) ^ 3);  // the right dot; the left one sits two bits higher
    rows[0] |= (a_code << 2 | b_code) << shift;
    rows[1] |= (c_code << 2 | d_code) << shift;
  };
  if constexpr (P == halftone_lines::SimdPath::kScalar) {
    WalkSpanCells<16>(a, cell);
  } else {
    auto flat_cell = [&](int p, int32_t phi, const LevelTable& table, const uint32_t (&amounts)[4],
                         uint32_t (&rows)[2]) {
      const uint32_t n = halftone_lines::CellCodes<P>(&table.level[0][0],
                                                      {amounts[kA], amounts[kB], amounts[kC], amounts[kD]},
                                                      matrix + phi);
      const int shift = 2 * ((p + 1) ^ 3);
      rows[0] |= (n & 15) << shift;
      rows[1] |= (n >> 4) << shift;
    };
    WalkSpanCells<16>(a, cell, flat_cell);
  }
}

#ifdef TONVAR_HALFTONE_X86
void DitherSpan2BitSse2(const SpanArgs& a) { DitherSpan2BitOn<halftone_lines::SimdPath::kSse2>(a); }
[[gnu::target("avx2"), gnu::flatten]] void DitherSpan2BitAvx2(const SpanArgs& a) {
  DitherSpan2BitOn<halftone_lines::SimdPath::kAvx2>(a);
}
#endif

}  // namespace

void DitherSpan2Bit(const SpanArgs& a, const DotMasks2Bit& masks) {
  (void)masks;  // the code shifted into place is the mask: code << 2 (position XOR 3)
  switch (a.engine->simd_path) {
#ifdef TONVAR_HALFTONE_X86
    case halftone_lines::SimdPath::kAvx2: DitherSpan2BitAvx2(a); break;
    case halftone_lines::SimdPath::kSse2: DitherSpan2BitSse2(a); break;
#endif
    default: DitherSpan2BitOn<halftone_lines::SimdPath::kScalar>(a); break;
  }
}

void DitherSpan1Bit(const SpanArgs& a, const uint32_t* dot_mask) {
  const int16_t* matrix = a.engine->layout.samples;
  WalkSpanCells<32>(a, [&](int32_t, int p, int32_t phi, const int32_t (&t)[4][3], uint32_t (&rows)[2]) {
    for (int s = 0; s < 4; ++s) {
      if (t[s][kLargeDot] > matrix[phi + kMatrixOffset[s]]) rows[s >> 1] |= dot_mask[p + (s & 1)];
    }
  });
}

}  // namespace tonvar::grey_input
