// What the grey-input engine's line drivers, span dithers and diffusion kernels share: the
// preparation of a line, threshold look-ups by zone and the output of pending dot words.
#pragma once

#include <cstdint>
#include <type_traits>

#include "tonvar/grey_input/grey_halftone_engine.h"
#include "tonvar/halftone_lines/line_tables.h"

namespace tonvar::grey_input {

inline constexpr int kPendingWords = 16;  // slot k: row 0 at 2k, row 1 at 2k + 1
inline constexpr int kMaskEntries = 40;   // dot positions and the zero entries after them

// Sub-pixels of a cell: A row 0 left, B row 0 right, C row 1 left, D row 1 right.
enum SubPixel { kA, kB, kC, kD };

// Everything a line needs before its span is halftoned.
struct LineFrame {
  int32_t phases[kInks];
  int32_t mask;  // W x H - 1
  uint8_t* pointers[halftone_lines::kMaxPlanePointers];
  const uint8_t* in0;
  const uint8_t* in1;
  int32_t pattern[halftone_lines::kPatternLength];
  HorizontalZone plan[kZoneCount];
  int vertical_zone;
};

// Phases, output pointers, zones, the plan from x_start, the vertical zone and the error-row
// reset. 768 for a span outside the zones, 512 for a line beyond the last vertical bound.
EngineStatus PrepareLine(GreyHalftoneEngine* engine, LineFrame* frame);

// Clears the error rows the next line cannot use: all of them after a jump of more than one
// line, the columns right of the span on every sixteenth line.
void ResetGreyErrorRows(GreyHalftoneEngine* engine);

// Eight ink amounts of each of the four sub-pixels (4-byte pixels), slot k of sub-pixel s at
// levels[13 s + k].
void LookupGreyInks(const PackedInkTable& table, const uint8_t* const quad[4], uint32_t levels[52]);

// block[12 g(k) + 3 s + j] = threshold j of sub-table t of slot k's group at sub-pixel s's level.
void LookupCellThresholds(const uint32_t levels[52], const GreyHalftoneEngine& engine, int t,
                          uint32_t* block);

// The leading cell's thresholds by the planned zone of x (2-bit and 1-bit drivers alike).
void ComputeCellThresholds(const GreyHalftoneEngine& engine, int32_t x, const uint32_t levels[52],
                           const HorizontalZone plan[kZoneCount], int v, uint32_t* block);

// The level tables of one zone: flat (one sub-table) or a blend of two by column.
struct ZoneTables {
  const LevelTable* weighted;  // taken w / 32
  const LevelTable* other;     // taken (32 - w) / 32; the flat zone's table
  bool flat;
  int32_t start;  // the engine zone's start
  int32_t width;  // the planned zone's width
};
ZoneTables TablesOfZone(const GreyHalftoneEngine& engine, int group, int zone, int v,
                        const HorizontalZone plan[kZoneCount]);

// Thresholds of `amount` in the zone at the cell's column x.
inline void FlatThresholds(const ZoneTables& z, uint32_t amount, int32_t out[3]) {
  const uint32_t* b = z.other->level[amount];
  out[0] = static_cast<int32_t>(b[0]);
  out[1] = static_cast<int32_t>(b[1]);
  out[2] = static_cast<int32_t>(b[2]);
}
inline int32_t ZoneWeight(const ZoneTables& z, int32_t x) {
  return z.width != 0 ? ((x - z.start) * 32) / z.width : 0;
}
inline void BlendedThresholds(const ZoneTables& z, int32_t w, uint32_t amount, int32_t out[3]) {
  const uint32_t* b = z.other->level[amount];
  const uint32_t* a = z.weighted->level[amount];
  for (int j = 0; j < 3; ++j) {
    out[j] = (static_cast<int32_t>(a[j]) * w + static_cast<int32_t>(b[j]) * (32 - w)) / 32;
  }
}
inline void ZoneThresholds(const ZoneTables& z, int32_t x, uint32_t amount, int32_t out[3]) {
  if (z.flat) {
    FlatThresholds(z, amount, out);
  } else {
    BlendedThresholds(z, ZoneWeight(z, x), amount, out);
  }
}

inline void WriteWord(uint8_t* out, uint32_t word, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(word >> (8 * i));
}

// Largest end of the planned zones.
int32_t PlanEnd(const HorizontalZone plan[kZoneCount]);

// The span routines of one slot.
struct SpanArgs {
  GreyHalftoneEngine* engine;  // its simd_path picks the dither's path
  const HorizontalZone* plan;
  uint32_t pending[2];
  int group;
  int v;
  int position;
  int32_t phase;
  const uint32_t* ink_line;
  uint8_t* out[2];
};

// 2-bit mask tables.
struct DotMasks2Bit {
  uint32_t small[kMaskEntries];
  uint32_t medium[kMaskEntries];
  uint32_t large[kMaskEntries];
};
const DotMasks2Bit& Masks2Bit();
// 1-bit dot masks: position p sets bit (p AND ~7) + 7 - (p AND 7).
const uint32_t* DotMask1Bit();

// Matrix offsets of the sub-pixels A, B, C, D from a cell's index.
inline constexpr int kMatrixOffset[4] = {0, 2, 1, 3};

// The cell walk every span routine shares: zones in order, cells of two columns within each,
// the matrix index advanced by 4 and masked before each cell, two ink-line words a cell and
// the thresholds of its four levels. cell(x, position, phi, thresholds, rows) decides the dots
// of the cell at dot `position` of the two pending words; a full word (kWordDots dots) is
// written as four bytes, row 1 first, and at the end the bytes the call's dots reach.
// Given flat_cell(position, phi, level table, amounts, rows), a flat zone's cells go to it
// instead, without their thresholds read.
struct NoFlatCells {
  template <typename... Args>
  void operator()(Args&&...) const {}
};
template <int kWordDots, typename CellFn, typename FlatCellFn = NoFlatCells>
[[gnu::always_inline]] inline void WalkSpanCells(const SpanArgs& a, CellFn&& cell, FlatCellFn&& flat_cell = {}) {
  constexpr bool kFlatCells = !std::is_same_v<std::decay_t<FlatCellFn>, NoFlatCells>;
  const GreyHalftoneEngine& e = *a.engine;
  const int32_t mask = e.layout.width * e.layout.height - 1;
  uint32_t rows[2] = {a.pending[0], a.pending[1]};
  int position = a.position;
  int32_t phi = a.phase;
  const uint32_t* ink = a.ink_line;
  int64_t offset = 0;
  // One zone's cells; a flat zone reads one table, a transition blends two by column.
  auto walk_zone = [&](const HorizontalZone& zone, const ZoneTables& tables, auto flat_zone) {
    for (int32_t x = zone.start; x < zone.end; x += 2) {
      phi = (phi + 4) & mask;
      const uint32_t amounts[4] = {ink[0] >> 16, ink[0] & 0xFFFF, ink[1] >> 16, ink[1] & 0xFFFF};
      ink += 2;
      if constexpr (decltype(flat_zone)::value && kFlatCells) {
        flat_cell(position, phi, *tables.other, amounts, rows);
      } else {
        int32_t t[4][3];
        if constexpr (decltype(flat_zone)::value) {
          for (int s = 0; s < 4; ++s) FlatThresholds(tables, amounts[s], t[s]);
        } else {
          const int32_t w = ZoneWeight(tables, x);
          for (int s = 0; s < 4; ++s) BlendedThresholds(tables, w, amounts[s], t[s]);
        }
        cell(x, position, phi, t, rows);
      }
      position += 2;
      if (position == kWordDots) {
        WriteWord(a.out[1] + offset, rows[1], 4);
        WriteWord(a.out[0] + offset, rows[0], 4);
        offset += 4;
        position = 0;
        rows[0] = rows[1] = 0;
      }
    }
  };
  for (int z = 0; z < kZoneCount; ++z) {
    const HorizontalZone& zone = a.plan[z];
    if (zone.start >= zone.end) continue;
    const ZoneTables tables = TablesOfZone(e, a.group, z, a.v, a.plan);
    if (tables.flat) {
      walk_zone(zone, tables, std::true_type{});
    } else {
      walk_zone(zone, tables, std::false_type{});
    }
  }
  constexpr int kDotsPerByte = kWordDots / 4;
  const int bytes = ((e.call.count + e.call.first_bit) % kWordDots + kDotsPerByte - 1) / kDotsPerByte;
  if (bytes > 0 && position != 0) {
    WriteWord(a.out[1] + offset, rows[1], bytes);
    WriteWord(a.out[0] + offset, rows[0], bytes);
  }
}

void DitherSpan2Bit(const SpanArgs& a, const DotMasks2Bit& masks);
void DitherSpan1Bit(const SpanArgs& a, const uint32_t* dot_mask);

enum class CellKernel { k1x1, k2x1, k4x1 };

// The carries of one pass of the cell diffusion along a line: C, P, Q, R, U, the dot history H
// and the idle countdown K.
struct Carries {
  int32_t C = 0, P = 0, Q = 0, R = 0, U = 0;
  uint32_t H = 0;
  int32_t K = 0;
};
// What one slot's diffusion carries from cell to cell: both passes' carries and the random
// word being used up four bits a pass.
struct DiffusionCarries {
  explicit DiffusionCarries(CellKernel kernel);
  Carries medium, small;
  uint32_t r = 0;
};
// The carries P and U left at the end of the planned span.
void StoreDiffusionCarries(const DiffusionCarries& st, const HorizontalZone plan[kZoneCount],
                           int32_t* medium_errors, int32_t* small_errors);

void GreyDiffuseCells(CellKernel kernel, const SpanArgs& a, int32_t* medium_errors,
                      int32_t* small_errors, const DotMasks2Bit& masks);
// The cell diffusion of one slot from the cells' grey levels (four bytes a cell) and the large
// dots of the side-by-side dither (slot's byte of eight a cell), with the slot's thresholds by
// grey level from grey_diffusion_thresholds: the bytes and carries of GreyDiffuseCells.
void GreyDiffuseLevels(CellKernel kernel, const SpanArgs& a, int slot, const uint8_t* greys,
                       const uint8_t* large_codes, int32_t* medium_errors, int32_t* small_errors,
                       const DotMasks2Bit& masks);
void GreyDiffuseSpan1Bit(const SpanArgs& a, int32_t* errors, const uint32_t* dot_mask);

}  // namespace tonvar::grey_input
