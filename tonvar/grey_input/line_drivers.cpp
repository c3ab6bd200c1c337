// The line drivers of the grey-input engine: one band line (one or two raster rows) of the
// call's span into eight ink planes, at 1 or 2 bits per dot. The leading half cell of a span
// that starts inside a cell is dithered for all slots at once; then slots 4, 5 and 6 are
// diffused (method 1) or dithered, and the other five always dithered.
#include "tonvar/grey_input/grey_line.h"
#include "tonvar/grey_input/slot_lanes.h"
#include "tonvar/halftone_lines/cell_bits.h"
#include "tonvar/halftone_lines/four_level_dots.h"
#include "tonvar/halftone_lines/grey_line_lookup.h"

namespace tonvar::grey_input {
namespace {

constexpr int kPixelBytes = 4;
constexpr int kDiffusedSlots[3] = {4, 5, 6};
constexpr int kDitheredSlots[5] = {0, 1, 2, 7, 3};

// Keeps the first n dots of each first output byte as the output holds them; `dot_bits` is the
// mask of one dot at position i of the first byte.
void MergeLeadingBits(const LineFrame& f, uint32_t rows, int n, const uint32_t* dot_bits,
                      uint32_t pending[kPendingWords], bool keep_first_byte_only) {
  uint32_t mask = 0;
  for (int i = 0; i < n; ++i) mask |= dot_bits[i];
  mask &= 0xFF;
  for (uint32_t r = 0; r < rows && r < 2; ++r) {
    for (int k = 0; k < kInks; ++k) {
      uint32_t& word = pending[2 * k + r];
      const uint32_t kept = *f.pointers[2 * k + r] & mask;
      word = (word & ~uint32_t{0xFF}) | kept | (word & 0xFF & ~mask);
    }
  }
  if (keep_first_byte_only) {
    for (int i = 0; i < kPendingWords; ++i) pending[i] &= 0xFF;
  }
}

// The leading cell of a span starting at an odd dot: both dots of the cell from the first
// pixel; the left one is restored from the output afterwards.
struct Leading {
  uint32_t levels[52];
  uint32_t block[12 * kGroups];
};

void LookupLeadingCell(GreyHalftoneEngine* engine, LineFrame* f, Leading* leading) {
  const uint8_t* quad[4] = {f->in0, f->in0, f->in1, f->in1};
  if (f->pattern[0] != 0) {
    f->in0 += kPixelBytes;
    f->in1 += kPixelBytes;
  }
  LookupGreyInks(*engine->ink_table, quad, leading->levels);
  for (int32_t& phase : f->phases) phase = (phase + 4) & f->mask;
  ComputeCellThresholds(*engine, engine->call.x_start, leading->levels, f->plan, f->vertical_zone,
                        leading->block);
}

// A one-pixel span that starts inside a cell: its byte is complete after the leading cell.
void WriteFirstBytes(const LineFrame& f, const uint32_t pending[kPendingWords]) {
  for (int k = 0; k < kInks; ++k) {
    *f.pointers[2 * k + 1] = static_cast<uint8_t>(pending[2 * k + 1]);
    *f.pointers[2 * k] = static_cast<uint8_t>(pending[2 * k]);
  }
}

int PatternIndex(const LineFrame& f, int index) { return f.pattern[index] == -1 ? 0 : index; }

// Plans the rest of the span from x and looks it up into the ink lines.
EngineStatus LookupSpan(GreyHalftoneEngine* engine, LineFrame* f, int pattern_index, int32_t x) {
  const GreyCall& c = engine->call;
  const EngineStatus planned = halftone_lines::PlanLineZones(f->plan, engine->zones, x, c.x_end);
  if (planned != kStatusOk) return planned;
  const uint8_t* const pair[2] = {f->in0, f->in1};
  return halftone_lines::LookupGreyLine(
      reinterpret_cast<const halftone_lines::PackedInkRow*>(engine->ink_table->rows), c.replication,
      pattern_index, x, c.x_end, pair, engine->ink_line);
}

SpanArgs SlotArgs(GreyHalftoneEngine* engine, const LineFrame& f, const uint32_t pending[kPendingWords],
                  int k, int position) {
  SpanArgs a{};
  a.engine = engine;
  a.plan = f.plan;
  a.pending[0] = pending[2 * k];
  a.pending[1] = pending[2 * k + 1];
  a.group = kGroupOfSlot[k];
  a.v = f.vertical_zone;
  a.position = position;
  a.phase = f.phases[k];
  a.ink_line = engine->ink_line[k];
  a.out[0] = f.pointers[2 * k];
  a.out[1] = f.pointers[2 * k + 1];
  return a;
}

}  // namespace

EngineStatus GreyLine2Bit(GreyHalftoneEngine* engine) {
  const GreyCall& c = engine->call;
  const DotMasks2Bit& masks = Masks2Bit();
  uint32_t pending[kPendingWords] = {};
  LineFrame f;
  const EngineStatus prepared = PrepareLine(engine, &f);
  if (prepared != kStatusOk) return prepared;

  int position = 0, phase_index = 0;
  int32_t x = c.x_start;
  if (c.first_bit == 1 || c.first_bit == 3) {
    Leading leading{};
    LookupLeadingCell(engine, &f, &leading);
    const int p0 = c.first_bit - 1;
    halftone_lines::DitherLeadingCell8(x, engine->layout.samples, f.phases, pending, masks.small + p0,
                                       masks.medium + p0, masks.large + p0,
                                       reinterpret_cast<const int32_t*>(leading.block));
    MergeLeadingBits(f, c.row_count, c.first_bit, masks.large, pending, true);
    x = c.x_start + 1;
    position = c.first_bit + 1;
    phase_index = PatternIndex(f, (c.first_bit + 1) / 2);
    if (x == c.x_end) {
      WriteFirstBytes(f, pending);
      return kStatusOk;
    }
  } else if (c.first_bit == 2) {
    MergeLeadingBits(f, c.row_count, 2, masks.large, pending, true);
    position = 2;
    phase_index = PatternIndex(f, 1);
  }
  const EngineStatus planned = halftone_lines::PlanLineZones(f.plan, engine->zones, x, c.x_end);
  if (planned != kStatusOk) return planned;
  const uint8_t* const pair[2] = {f.in0, f.in1};
  const bool diffused = c.method == 1;
  uint32_t diffused_slots = 0;
  if (diffused) {
    for (int k : kDiffusedSlots) diffused_slots |= 1u << k;
  }
  static constexpr CellKernel kKernelOfClass[3] = {CellKernel::k1x1, CellKernel::k2x1, CellKernel::k4x1};
  const CellKernel kernel = kKernelOfClass[engine->ratio_class];
  // The vector paths dither the slots side by side from grey levels when the line suits it.
  SlotLine side{};
  if (engine->simd_path != halftone_lines::SimdPath::kScalar &&
      PrepareSlotLine(engine, f, x, position, diffused_slots, &side)) {
    // Grey levels and large-dot codes go where the ink amounts of slots 0 and 4 would be.
    auto* greys = reinterpret_cast<uint8_t*>(engine->ink_line[0]);
    auto* large_codes = diffused ? reinterpret_cast<uint8_t*>(engine->ink_line[4]) : nullptr;
    const EngineStatus greyed = halftone_lines::LookupGreyLevels(c.replication, phase_index, x, c.x_end, pair, greys);
    if (greyed != kStatusOk) return greyed;
    DitherSlotsSideBySide(*engine, f, side, pending, position, 0xFF & ~diffused_slots, greys, large_codes);
    for (int k : kDiffusedSlots) {
      if (!diffused) break;
      GreyDiffuseLevels(kernel, SlotArgs(engine, f, pending, k, position), k, greys, large_codes,
                        engine->error_row_even[k], engine->error_row_odd[k], masks);
    }
    return kStatusOk;
  }
  const EngineStatus looked_up = halftone_lines::LookupGreyLine(
      reinterpret_cast<const halftone_lines::PackedInkRow*>(engine->ink_table->rows), c.replication, phase_index,
      x, c.x_end, pair, engine->ink_line);
  if (looked_up != kStatusOk) return looked_up;
  for (int k : kDiffusedSlots) {
    const SpanArgs a = SlotArgs(engine, f, pending, k, position);
    if (diffused) {
      GreyDiffuseCells(kernel, a, engine->error_row_even[k], engine->error_row_odd[k], masks);
    } else {
      DitherSpan2Bit(a, masks);
    }
  }
  for (int k : kDitheredSlots) DitherSpan2Bit(SlotArgs(engine, f, pending, k, position), masks);
  return kStatusOk;
}

EngineStatus GreyLine1Bit(GreyHalftoneEngine* engine) {
  const GreyCall& c = engine->call;
  const uint32_t* dot_mask = DotMask1Bit();
  uint32_t pending[kPendingWords] = {};
  LineFrame f;
  const EngineStatus prepared = PrepareLine(engine, &f);
  if (prepared != kStatusOk) return prepared;

  int position = 0, pattern_index = 0;
  int32_t x = c.x_start;
  const int fb = c.first_bit;
  if (fb % 2 == 1) {
    Leading leading{};
    LookupLeadingCell(engine, &f, &leading);
    const uint32_t cell_masks[2] = {dot_mask[fb - 1], dot_mask[fb]};
    halftone_lines::DitherCellBits8(x, engine->layout.samples, f.phases, pending, cell_masks,
                                    reinterpret_cast<const int32_t*>(leading.block));
    MergeLeadingBits(f, c.row_count, fb, dot_mask, pending, false);
    x = c.x_start + 1;
    position = fb + 1;
    pattern_index = PatternIndex(f, fb == 1 ? 1 : 2);
    if (x == c.x_end) {
      WriteFirstBytes(f, pending);
      return kStatusOk;
    }
  } else if (fb != 0) {
    MergeLeadingBits(f, c.row_count, fb, dot_mask, pending, false);
    position = fb;
    pattern_index = PatternIndex(f, fb == 2 ? 1 : 2);
  }
  const EngineStatus looked_up = LookupSpan(engine, &f, pattern_index, x);
  if (looked_up != kStatusOk) return looked_up;

  for (int k : kDiffusedSlots) {
    const SpanArgs a = SlotArgs(engine, f, pending, k, position);
    if (c.method == 1) {
      GreyDiffuseSpan1Bit(a, engine->error_row_odd[k], dot_mask);
    } else {
      DitherSpan1Bit(a, dot_mask);
    }
  }
  for (int k : kDitheredSlots) DitherSpan1Bit(SlotArgs(engine, f, pending, k, position), dot_mask);
  return kStatusOk;
}

}  // namespace tonvar::grey_input
