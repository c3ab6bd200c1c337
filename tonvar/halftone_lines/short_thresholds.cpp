// Packing of threshold tables for the wide ordered-dither path.
#include "tonvar/halftone_lines/short_thresholds.h"

namespace tonvar::halftone_lines {

bool PackShortThresholds(const uint32_t* table, ShortThresholds* out) {
  uint32_t outside = 0;
  for (uint32_t v = 0; v < 256; ++v) {
    const uint32_t* t = table + 6 * v;
    uint64_t row = 0;
    for (int k = 0; k < 4; ++k) {
      const uint32_t word = t[k < 3 ? k : 2];
      // Inside the signed 16-bit range when adding 0x8000 leaves the top half clear.
      outside |= (word + 0x8000u) >> 16;
      row |= static_cast<uint64_t>(word & 0xFFFF) << (16 * k);
    }
    out->row[v] = row;
  }
  return outside == 0;
}

}  // namespace tonvar::halftone_lines
