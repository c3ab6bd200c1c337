// The vector form of the 2-bit ordered dither: the eight ink slots of a band line side by side,
// one 16-bit lane each, with the thresholds looked up once per grey level instead of once per
// ink amount. It gives the bytes of DitherSpan2Bit; the line driver takes it when the line
// suits it and the engine's path is not the scalar one.
#pragma once

#include <cstdint>

#include "tonvar/grey_input/grey_line.h"

namespace tonvar::grey_input {

// A line ready for the side-by-side dither.
struct SlotLine {
  int32_t cells;     // cells of the planned span
  int table;         // the one sub-table every planned zone reads
  int32_t out_bytes;  // bytes each output pointer may receive
};

// Settles whether the line from x (the rest of the span after any leading cell, dot position
// `position`) suits the side-by-side dither: every planned zone flat on one sub-table, output
// planes whose bytes do not overlap, every cumulative threshold of the grey levels within 16
// bits. On success the engine's grey_thresholds hold the line's thresholds; the slots of
// `diffused` get only their large dots there, and their diffusion thresholds in
// grey_diffusion_thresholds.
bool PrepareSlotLine(GreyHalftoneEngine* engine, const LineFrame& f, int32_t x, int position, uint32_t diffused,
                     SlotLine* line);

// Dithers the slots whose bit is set in `slots` over the line from the grey levels of its cells
// (four bytes a cell: A, B, C, D), writing their output bytes as DitherSpan2Bit does. With
// large_codes, every cell's codes of every slot go there too, eight bytes a cell (slot k's at
// byte k: row 0's nibble, then row 1's), for the diffusion of the slots not written.
void DitherSlotsSideBySide(const GreyHalftoneEngine& engine, const LineFrame& f, const SlotLine& line,
                           const uint32_t pending[kPendingWords], int position, uint32_t slots,
                           const uint8_t* greys, uint8_t* large_codes);

}  // namespace tonvar::grey_input
