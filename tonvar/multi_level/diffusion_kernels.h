// The cell error-diffusion kernels of the multi-level engine and the one-bit plane kernels.
//
// A kernel turns one ink's cell plane, over the cells of one call's run, into dots on the ink's
// two output rows. The four-level kernels set large dots by ordered dither and medium and small
// dots by error diffusion over 2 x 2 cells, each size with an error row of its own; the one-bit
// core diffuses the one dot size on one error row. Error rows carry from one row pair to the
// next; everything else lives for one call.
#pragma once

#include <cstdint>

#include "tonvar/multi_level/multi_level_engine.h"

namespace tonvar::multi_level {

// Error spread around a cell at column c, widest over every kernel: columns c - 17 to c + 18,
// and the pending values of the last cell at the largest zone end - 2 and - 1.
inline constexpr int32_t kDiffusionReachLeft = 17;
inline constexpr int32_t kDiffusionReachRight = 18;

// Error rows: 30 words of margin left of column 0, and each row S = ((W + 60) & ~3) + 4 words
// long from its margin on, so at least W + 61 words: 30 columns of slack right of column W - 1.
inline constexpr int32_t kErrorMarginWords = 30;
inline constexpr int32_t kErrorRowExtraWords = 61;  // S - W, at the least
static_assert(kErrorMarginWords >= kDiffusionReachLeft,
              "error rows must reach past the widest spread left of the run");
static_assert(kErrorRowExtraWords - kErrorMarginWords - 1 >= kDiffusionReachRight,
              "error rows must reach past the widest spread right of the run");

// One call of a kernel: one ink of one row pair.
struct DiffusionCall {
  MultiLevelState* state;          // thresholds, matrix, generator, job zones, firstDot, count
  const HorizontalZone* run_zones;  // the five zones clipped to the run
  uint32_t words[2];               // output words of rows 0 and 1 as the leading cell left them
  const DotTableSlot* slot;        // the ink's dot tables
  int32_t table_set;               // the line's interior set: 0 edge, 1 interior, 2 vertical blend
  int32_t dot_position;            // position of the first cell's left pixel in the output word
  uint32_t matrix_position;        // the ink's matrix index before the first cell
  const uint32_t* cell_plane;      // one word per cell of the run
  const uint32_t* flat_cells;      // bit set: the cell holds four levels
  uint8_t* out_rows[2];            // at the byte holding the first cell
  int32_t* medium_errors;          // indexed by column (the one-bit core's only row)
  int32_t* small_errors;
};

// Four-level kernels, by resolution class.
void DiffuseCells1x1Ink4(const DiffusionCall& call);
void DiffuseCells1x1Ink8(const DiffusionCall& call);
void DiffuseCells1x2(const DiffusionCall& call);
void DiffuseCells2x1Ink4(const DiffusionCall& call);
void DiffuseCells2x1Ink8(const DiffusionCall& call);
void DiffuseCells4x1(const DiffusionCall& call);

using DiffuseCellsKernel = void (*)(const DiffusionCall& call);

// The same kernels over `count` (1 to 3) inks of one row pair at once, calls in ink order: the
// output, error rows and generator of calling the one-ink kernel on each ink in turn.
void DiffuseInks1x1Ink4(const DiffusionCall* calls, int count);
void DiffuseInks1x1Ink8(const DiffusionCall* calls, int count);
void DiffuseInks1x2(const DiffusionCall* calls, int count);
void DiffuseInks2x1Ink4(const DiffusionCall* calls, int count);
void DiffuseInks2x1Ink8(const DiffusionCall* calls, int count);
void DiffuseInks4x1(const DiffusionCall* calls, int count);

using DiffuseInksKernel = void (*)(const DiffusionCall* calls, int count);

// One bit per dot: the error-diffusion core (error row `medium_errors`; `small_errors` and
// `matrix_position` unread) and the ordered dither of a plane against the matrix's samples.
// `dot_position` counts within a group of 32 dots.
void DiffuseCellsOneBit(const DiffusionCall& call);
void DitherPlaneOneBit(const DiffusionCall& call);

// The third threshold of table set 2 of every slot, blended for a line inside a vertical
// transition from sets 0 and 1; the first two thresholds keep what they held. false, and nothing
// rebuilt, for a transition of no height.
bool BlendVerticalTablesOneBit(int32_t line, DotTableSlot slots[kDotSlots], const int32_t bounds[6],
                               const int32_t bounds_used[6]);

}  // namespace tonvar::multi_level
