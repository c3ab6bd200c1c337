// The arguments of one Halftone call, handed unchanged to the engine of the handle.
#pragma once

#include <cstdint>

namespace tonvar {

struct HalftoneBand {
  const uint8_t* const* input_rows;  // one or two rows of 8-bit pixels
  uint8_t* const* output_rows;       // one or two rows, ink planes one after another
  int64_t plane_stride;              // bytes between the ink planes of an output row
  uint32_t first_bit;                // position of the first pixel in the first output byte
  uint32_t count;                    // pixels
  uint32_t x_start;
  uint32_t row_count;                // 1 or 2
  uint32_t line_number;              // y of the first row
  uint32_t mode_word;
  uint64_t spare;                    // not read
};

}  // namespace tonvar
