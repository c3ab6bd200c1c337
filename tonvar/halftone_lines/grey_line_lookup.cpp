// Grey input pixels to ink amounts, two output pixels a step.
#include "tonvar/halftone_lines/grey_line_lookup.h"

namespace tonvar::halftone_lines {
namespace {

constexpr int kPixelBytes = 4;

const uint32_t* RowOf(const PackedInkRow* table, const uint8_t* pixel) {
  return table[(30 * pixel[0] + 59 * pixel[1] + 11 * pixel[2]) / 100];
}

uint32_t Amount(const uint32_t* row, int plane) {
  const uint32_t word = row[plane / 2];
  return plane % 2 == 0 ? word >> 16 : word & 0xFFFF;
}

}  // namespace

EngineStatus LookupGreyLine(const PackedInkRow* ink_table, int32_t replication_code,
                            int32_t pattern_index, int32_t x, int32_t span_end,
                            const uint8_t* const input_pair[2], uint32_t* const ink_line[kGreyPlanes]) {
  if (replication_code == -1 || pattern_index < 0 || pattern_index >= kPatternLength) {
    return kStatusBadResource;
  }
  int32_t pattern[kPatternLength];
  GetReplicationPattern(replication_code, pattern);
  const uint8_t* top = input_pair[0];
  const uint8_t* bottom = input_pair[1];
  int32_t index = pattern_index;
  for (int64_t step = 0; int64_t{x} + 2 * step < span_end; ++step) {
    const int64_t at = int64_t{x} + 2 * step;
    const uint32_t *a, *b, *c, *d;
    if (replication_code == 0 && at != int64_t{span_end} - 1) {
      a = RowOf(ink_table, top), b = RowOf(ink_table, top + kPixelBytes);
      c = RowOf(ink_table, bottom), d = RowOf(ink_table, bottom + kPixelBytes);
      top += 2 * kPixelBytes;
      bottom += 2 * kPixelBytes;
    } else {
      a = b = RowOf(ink_table, top);
      c = d = RowOf(ink_table, bottom);
      if (pattern[index] != 0) {
        top += kPixelBytes;
        bottom += kPixelBytes;
      }
      index = index + 1 < kPatternLength && pattern[index + 1] != -1 ? index + 1 : 0;
    }
    for (int k = 0; k < kGreyPlanes; ++k) {
      ink_line[k][2 * step] = (Amount(a, k) << 16) | Amount(b, k);
      ink_line[k][2 * step + 1] = (Amount(c, k) << 16) | Amount(d, k);
    }
  }
  return kStatusOk;
}

}  // namespace tonvar::halftone_lines
