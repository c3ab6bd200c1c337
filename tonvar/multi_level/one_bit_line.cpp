// The one-bit line routine: rounding draw, vertical zone, matrix positions, rows and zones, the
// leading dots of the first output byte, separation, then every ink's kernel.
#include "tonvar/multi_level/one_bit_line.h"

#include "tonvar/halftone_lines/cell_bits.h"
#include "tonvar/halftone_lines/line_tables.h"
#include "tonvar/halftone_lines/matrix_layout.h"
#include "tonvar/multi_level/cell_thresholds.h"
#include "tonvar/multi_level/colour_separation.h"
#include "tonvar/multi_level/diffusion_kernels.h"
#include "tonvar/multi_level/line_machinery.h"

namespace tonvar::multi_level {
namespace {

constexpr int32_t kPixelBytes = 4;

// Bit of dot i of a group of 32 in a word stored little-endian.
constexpr uint32_t DotMask(uint32_t i) { return 1u << ((7 - i % 8) + 8 * (i / 8)); }

// Diffusion inks first, then the dithered ones.
constexpr int kInkOrder4[4] = {0, 1, 3, 2};
constexpr int kInkOrder8[8] = {4, 5, 6, 0, 1, 3, 7, 2};

// Table set of the line, with set 2 rebuilt for a line in a vertical transition; -1 beyond the
// last bound.
int OneBitTableSet(MultiLevelState* s) {
  const int32_t* b = s->row_bounds_used;
  const int32_t line = s->line;
  const auto blended = [&] {
    return BlendVerticalTablesOneBit(line, s->dot_tables, s->row_bounds, b) ? kBlendSet : kEdgeSet;
  };
  if (line < b[1]) return kEdgeSet;
  if (line < b[2]) return blended();
  if (line < b[3]) return kInteriorSet;
  if (line < b[4]) return blended();
  if (line < b[5]) return kEdgeSet;
  return -1;
}

// The dots of the first output byte before `first_dot` keep what the output holds; every
// accumulator keeps only its first byte.
void KeepLeadingDots(uint8_t* const rows[kRowSetEntries], uint32_t first_dot, uint32_t row_count, int inks,
                     uint32_t accumulators[kRowSetEntries]) {
  const uint32_t kept = (0xFF00u >> first_dot) & 0xFF;
  for (int k = 0; k < inks; ++k) {
    for (uint32_t r = 0; r < 2; ++r) {
      uint32_t& a = accumulators[2 * k + r];
      if (r < row_count) a = (rows[2 * k + r][0] & kept) | (a & ~kept);
      a &= 0xFF;
    }
  }
}

// The half cell of pixel x: both top pixels from input row 0, both bottom ones from row 1.
CellPixels HalfCellPixels(const uint8_t* pair[2], const int32_t pattern[]) {
  CellPixels cell{};
  for (int r = 0; r < 2; ++r) {
    const uint8_t* pixel = pair[r];
    for (int p : {2 * r, 2 * r + 1}) {
      cell.c0[p] = pixel[0];
      cell.c1[p] = pixel[1];
      cell.c2[p] = pixel[2];
      cell.tag[p] = pixel[3];
    }
  }
  if (pattern[0] != 0) {
    pair[0] += kPixelBytes;
    pair[1] += kPixelBytes;
  }
  return cell;
}

}  // namespace

template <int kInks, bool kDiffuse>
EngineStatus RunOneBitLine(MultiLevelState* s) {
  uint32_t accumulators[kRowSetEntries] = {};
  const int32_t offset = RoundingOffset(DrawRounding(&s->random));
  const int table_set = OneBitTableSet(s);
  if (table_set < 0) return kStatusBadArgument;

  const halftone_lines::MatrixLayout& matrix = s->matrix;
  int32_t positions[kMaxInks];
  halftone_lines::ComputeMatrixPhases(positions, matrix, s->x_start, s->line);
  uint8_t* rows[kRowSetEntries];
  SetupOutputRows(rows, s->out_rows, static_cast<int32_t>(s->plane_stride), s->row_count, kInks);
  const int32_t matrix_mask = matrix.width * matrix.height - 1;
  const uint8_t* pair[2];
  SelectInputRows(pair, *s);
  int32_t pattern[halftone_lines::kPatternLength];
  halftone_lines::GetReplicationPattern(s->replication_code, pattern);

  halftone_lines::SetupHorizontalZones(s->zones, s->width, s->edge_left, s->edge_right, s->blend_left,
                                       s->blend_right);
  RunZones run;
  int32_t x = static_cast<int32_t>(s->x_start);
  if (SelectRunZones(*s, x, &run) != kStatusOk) return kStatusBadResource;
  ResetErrorRows(s, kInks);
  if (s->count == 0) return kStatusOk;

  // The leading part of the first output byte; an odd first dot gets a half cell of pixel x.
  const uint32_t first_dot = s->first_dot;
  if ((first_dot & 1) != 0) {
    const CellPixels pixels = HalfCellPixels(pair, pattern);
    CellLevels levels;
    SeparateCell<kInks>(pixels, s->tone_ramp, s->cubes, offset, &levels);
    AdvanceMatrixPositions(positions, matrix_mask);
    CellDotThresholds thresholds{};
    InterpolateCellThresholdsOneBit(kInks, x, levels, run, s->zones, table_set, s->dot_tables, &thresholds);
    halftone_lines::DitherCellBits(kInks, matrix.samples, positions, accumulators, DotMask(first_dot - 1),
                                   DotMask(first_dot), &thresholds.group[0][0][0]);
  }
  if (first_dot != 0) KeepLeadingDots(rows, first_dot, s->row_count, kInks, accumulators);
  if ((first_dot & 1) != 0) x += 1;
  const int32_t dot_position = static_cast<int32_t>(first_dot + (first_dot & 1));
  int32_t pattern_index = first_dot == 0 ? 0 : first_dot <= 2 ? 1 : 2;
  if (pattern[pattern_index] < 0) pattern_index = 0;

  if (SelectRunZones(*s, x, &run) != kStatusOk) return kStatusBadResource;
  const EngineStatus separated = SeparateLine<kInks, true>(s, pattern_index, x, pair);
  if (separated != kStatusOk) return separated;

  const int* order = kInks == 4 ? kInkOrder4 : kInkOrder8;
  const int diffused = !kDiffuse ? 0 : kInks == 4 ? 2 : 3;  // the first inks of the order
  for (int i = 0; i < kInks; ++i) {
    const int k = order[i];
    const DiffusionCall call{s,
                             run.zone,
                             {accumulators[2 * k], accumulators[2 * k + 1]},
                             &s->dot_tables[kSlotOfPlane[k]],
                             table_set,
                             dot_position,
                             static_cast<uint32_t>(positions[k]),
                             reinterpret_cast<const uint32_t*>(s->cell_planes[k]),
                             reinterpret_cast<const uint32_t*>(s->flat_cells),
                             {rows[2 * k], rows[2 * k + 1]},
                             s->error_rows1[k],
                             nullptr};
    if (i < diffused) {
      DiffuseCellsOneBit(call);
    } else {
      DitherPlaneOneBit(call);
    }
  }
  return kStatusOk;
}

template EngineStatus RunOneBitLine<4, false>(MultiLevelState*);
template EngineStatus RunOneBitLine<8, false>(MultiLevelState*);
template EngineStatus RunOneBitLine<4, true>(MultiLevelState*);
template EngineStatus RunOneBitLine<8, true>(MultiLevelState*);

}  // namespace tonvar::multi_level
