// The 2-bit line driver of the multi-level engine: rounding offset, vertical zone, matrix
// positions, rows and zones, the leading partial byte, separation, then every ink's dither.
#include "tonvar/multi_level/four_level_line.h"

#include "tonvar/halftone_lines/four_level_dots.h"
#include "tonvar/halftone_lines/line_tables.h"
#include "tonvar/halftone_lines/matrix_layout.h"
#include "tonvar/multi_level/cell_thresholds.h"
#include "tonvar/multi_level/colour_separation.h"
#include "tonvar/multi_level/line_machinery.h"
#include "tonvar/multi_level/one_bit_line.h"
#include "tonvar/multi_level/ordered_dither.h"

namespace tonvar::multi_level {
namespace {

constexpr int32_t kPixelBytes = 4;

// Order in which the inks are written (diffusion inks first).
constexpr int kInkOrder4[4] = {0, 1, 3, 2};
constexpr int kInkOrder8[8] = {4, 5, 6, 0, 1, 2, 3, 7};

// The leading half-cell: the cell whose right column is the run's first pixel. Both columns
// take each row's next pixel (the darker of two with 2:1 reduction).
CellPixels LeadingPixels(const uint8_t* pair[2], int32_t code, const int32_t pattern[]) {
  CellPixels cell{};
  for (int r = 0; r < 2; ++r) {
    const uint8_t* pixel = pair[r];
    if (code == -1) {
      pixel = DarkerPixel(pair[r], pair[r] + kPixelBytes);
      pair[r] += 2 * kPixelBytes;
    } else if (pattern[0] != 0) {
      pair[r] += kPixelBytes;
    }
    for (int p : {2 * r, 2 * r + 1}) {
      cell.c0[p] = pixel[0];
      cell.c1[p] = pixel[1];
      cell.c2[p] = pixel[2];
      cell.tag[p] = pixel[3];
    }
  }
  return cell;
}

}  // namespace

template <int kInks, DiffuseCellsKernel kKernel, DiffuseInksKernel kTogether>
EngineStatus RunFourLevelLine(MultiLevelState* s) {
  uint32_t partial[kRowSetEntries] = {};
  const int32_t offset = RoundingOffset(DrawRounding(&s->random));
  const int kind = VerticalKind(s->line, s->dot_tables, s->row_bounds, s->row_bounds_used);
  if (kind < 0) return kStatusBadArgument;

  const halftone_lines::MatrixLayout& matrix = s->matrix;
  int32_t positions[kMaxInks];
  halftone_lines::ComputeMatrixPhases(positions, matrix, s->x_start, s->line);
  const int32_t matrix_mask = matrix.width * matrix.height - 1;

  uint8_t* rows[kRowSetEntries];
  SetupOutputRows(rows, s->out_rows, static_cast<int32_t>(s->plane_stride), s->row_count, kInks);
  const uint8_t* pair[2];
  SelectInputRows(pair, *s);
  const int32_t code = s->replication_code;
  int32_t pattern[halftone_lines::kPatternLength];
  halftone_lines::GetReplicationPattern(code, pattern);
  const halftone_lines::DotMaskTables masks = halftone_lines::BuildDotMaskTables();

  halftone_lines::SetupHorizontalZones(s->zones, s->width, s->edge_left, s->edge_right, s->blend_left,
                                       s->blend_right);
  RunZones run;
  if (SelectRunZones(*s, static_cast<int32_t>(s->x_start), &run) != kStatusOk) return kStatusBadResource;
  ResetErrorRows(s, kInks);
  if (s->count == 0) return kStatusOk;

  // The first output byte: dots before first_dot keep what the output holds.
  const uint32_t first_dot = s->first_dot;
  int32_t x = static_cast<int32_t>(s->x_start);
  int32_t dot_position = 0;
  int32_t pattern_index = 0;
  if (first_dot == 1 || first_dot == 3) {
    const int32_t lead_at = first_dot == 1 ? 0 : 2;
    const int32_t lead_x = first_dot == 1 ? x : x + 1;
    const CellPixels pixels = LeadingPixels(pair, code, pattern);
    CellLevels levels{};
    SeparateCell<kInks>(pixels, s->tone_ramp, s->cubes, offset, &levels);
    AdvanceMatrixPositions(positions, matrix_mask);
    CellDotThresholds thresholds{};
    if constexpr (kInks == 4) {
      InterpolateCellThresholds4(lead_x, levels, run, s->zones, kind, s->dot_tables, &thresholds);
      DitherLeadingCell4(matrix.samples, positions, partial, masks.small + lead_at, masks.medium + lead_at,
                         masks.large + lead_at, thresholds);
    } else {
      InterpolateCellThresholds8(lead_x, levels, run, s->zones, kind, s->dot_tables, &thresholds);
      halftone_lines::DitherLeadingCell8(lead_x, matrix.samples, positions, partial, masks.small + lead_at,
                                         masks.medium + lead_at, masks.large + lead_at,
                                         &thresholds.group[0][0][0]);
    }
    x += 1;
  }
  if (first_dot != 0) {
    MergeLeadingByte(rows, first_dot, s->row_count, kInks, partial);
    dot_position = first_dot == 3 ? 4 : 2;
    pattern_index = first_dot == 3 ? 2 : 1;
    if (code == -1 || pattern[pattern_index] < 0) pattern_index = 0;
  }

  if (SelectRunZones(*s, x, &run) != kStatusOk) return kStatusBadResource;
  const EngineStatus separated = SeparateLine<kInks>(s, pattern_index, x, pair);
  if (separated != kStatusOk) return separated;

  const int* order = kInks == 4 ? kInkOrder4 : kInkOrder8;
  constexpr int kDiffused = kKernel == nullptr ? 0 : kInks == 4 ? 2 : 3;  // the first inks of the order
  if constexpr (kDiffused != 0) {
    DiffusionCall calls[kDiffused];
    for (int i = 0; i < kDiffused; ++i) {
      const int k = order[i];
      calls[i] = {s, run.zone, {partial[2 * k], partial[2 * k + 1]}, &s->dot_tables[kSlotOfPlane[k]], kind,
                  dot_position, static_cast<uint32_t>(positions[k]),
                  reinterpret_cast<const uint32_t*>(s->cell_planes[k]), reinterpret_cast<const uint32_t*>(s->flat_cells),
                  {rows[2 * k], rows[2 * k + 1]}, s->error_rows0[k], s->error_rows1[k]};
    }
    if (s->simd_path == halftone_lines::SimdPath::kScalar) {
      for (const DiffusionCall& call : calls) kKernel(call);
    } else {
      kTogether(calls, kDiffused);
    }
  }
  for (int i = kDiffused; i < kInks; ++i) {
    const int k = order[i];
    PlaneDither plane{};
    plane.run = &run;
    plane.zones = s->zones;
    plane.slot = &s->dot_tables[kSlotOfPlane[k]];
    plane.kind = kind;
    plane.matrix = matrix.samples;
    plane.matrix_mask = matrix_mask;
    plane.position = positions[k];
    plane.cells = reinterpret_cast<const uint32_t*>(s->cell_planes[k]);
    plane.flat_words = reinterpret_cast<const uint32_t*>(s->flat_cells);
    plane.initial[0] = partial[2 * k];
    plane.initial[1] = partial[2 * k + 1];
    plane.out[0] = rows[2 * k];
    plane.out[1] = rows[2 * k + 1];
    plane.dot_position = dot_position;
    plane.first_dot = first_dot;
    plane.count = s->count;
    plane.path = s->simd_path;
    DitherPlane(plane);
  }
  return kStatusOk;
}

template EngineStatus RunFourLevelLine<4>(MultiLevelState*);
template EngineStatus RunFourLevelLine<8>(MultiLevelState*);
template EngineStatus RunFourLevelLine<4, &DiffuseCells1x1Ink4, &DiffuseInks1x1Ink4>(MultiLevelState*);
template EngineStatus RunFourLevelLine<8, &DiffuseCells1x1Ink8, &DiffuseInks1x1Ink8>(MultiLevelState*);
template EngineStatus RunFourLevelLine<4, &DiffuseCells1x2, &DiffuseInks1x2>(MultiLevelState*);
template EngineStatus RunFourLevelLine<8, &DiffuseCells1x2, &DiffuseInks1x2>(MultiLevelState*);
template EngineStatus RunFourLevelLine<4, &DiffuseCells2x1Ink4, &DiffuseInks2x1Ink4>(MultiLevelState*);
template EngineStatus RunFourLevelLine<8, &DiffuseCells2x1Ink8, &DiffuseInks2x1Ink8>(MultiLevelState*);
template EngineStatus RunFourLevelLine<4, &DiffuseCells4x1, &DiffuseInks4x1>(MultiLevelState*);
template EngineStatus RunFourLevelLine<8, &DiffuseCells4x1, &DiffuseInks4x1>(MultiLevelState*);

namespace {

constexpr uint32_t kMethodDiffusion = 1;
constexpr uint32_t kMethodDither = 3;

// The engine takes 6 and 7 ink jobs through its resources but has no line routine for them.
EngineStatus RejectInkCount(MultiLevelState*) { return kStatusBadArgument; }

struct LineRow {
  uint32_t bits_per_dot;
  uint32_t ratio_class;
  int32_t ink_count;
  uint32_t method;
  LineRoutine routine;
};

constexpr LineRow kLineRows[] = {
    // 2 bits per dot, ordered dither, in each resolution class: H=V, V=2H, H=2V, H=4V.
    {2, 0, 4, kMethodDither, &RunFourLevelLine<4>}, {2, 0, 8, kMethodDither, &RunFourLevelLine<8>},
    {2, 1, 4, kMethodDither, &RunFourLevelLine<4>}, {2, 1, 8, kMethodDither, &RunFourLevelLine<8>},
    {2, 2, 4, kMethodDither, &RunFourLevelLine<4>}, {2, 2, 8, kMethodDither, &RunFourLevelLine<8>},
    {2, 3, 4, kMethodDither, &RunFourLevelLine<4>}, {2, 3, 8, kMethodDither, &RunFourLevelLine<8>},
    // 2 bits per dot, cell error diffusion for the diffusion inks.
    {2, 0, 4, kMethodDiffusion, &RunFourLevelLine<4, &DiffuseCells1x1Ink4, &DiffuseInks1x1Ink4>},
    {2, 0, 8, kMethodDiffusion, &RunFourLevelLine<8, &DiffuseCells1x1Ink8, &DiffuseInks1x1Ink8>},
    {2, 1, 4, kMethodDiffusion, &RunFourLevelLine<4, &DiffuseCells1x2, &DiffuseInks1x2>},
    {2, 1, 8, kMethodDiffusion, &RunFourLevelLine<8, &DiffuseCells1x2, &DiffuseInks1x2>},
    {2, 2, 4, kMethodDiffusion, &RunFourLevelLine<4, &DiffuseCells2x1Ink4, &DiffuseInks2x1Ink4>},
    {2, 2, 8, kMethodDiffusion, &RunFourLevelLine<8, &DiffuseCells2x1Ink8, &DiffuseInks2x1Ink8>},
    {2, 3, 4, kMethodDiffusion, &RunFourLevelLine<4, &DiffuseCells4x1, &DiffuseInks4x1>},
    {2, 3, 8, kMethodDiffusion, &RunFourLevelLine<8, &DiffuseCells4x1, &DiffuseInks4x1>},
    // 1 bit per dot: H=V by ordered dither only; H=2V diffuses with method 1.
    {1, 0, 4, kMethodDither, &RunOneBitLine<4, false>}, {1, 0, 8, kMethodDither, &RunOneBitLine<8, false>},
    {1, 2, 4, kMethodDither, &RunOneBitLine<4, false>}, {1, 2, 8, kMethodDither, &RunOneBitLine<8, false>},
    {1, 2, 4, kMethodDiffusion, &RunOneBitLine<4, true>}, {1, 2, 8, kMethodDiffusion, &RunOneBitLine<8, true>},
};

}  // namespace

LineRoutine ChooseLineRoutine(uint32_t bits_per_dot, uint32_t ratio_class, int32_t ink_count, uint32_t method) {
  if (ink_count == 6 || ink_count == 7) return &RejectInkCount;
  for (const LineRow& row : kLineRows) {
    if (row.bits_per_dot == bits_per_dot && row.ratio_class == ratio_class && row.ink_count == ink_count &&
        row.method == method) {
      return row.routine;
    }
  }
  return nullptr;
}

}  // namespace tonvar::multi_level
