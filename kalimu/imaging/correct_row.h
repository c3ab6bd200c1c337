// Per-pixel correction of one working row through the correction tables.
#pragma once

#include <cstdint>

#include "kalimu/imaging/correction_plan.h"
#include "kalimu/imaging/correction_tables.h"

namespace kalimu::imaging {

// Corrects the row_layout.bytes_per_row bytes of `input` into `output` (which may be the same
// row). Advances the tables' row counter, whose parity sets the dither phase. Always 0.
int32_t CorrectRow(const RowLayout& row, const CorrectionParameters& parameters, CorrectionTables* tables,
                   const uint8_t* input, uint8_t* output);

}  // namespace kalimu::imaging
